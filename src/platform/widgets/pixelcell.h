#pragma once

#include <QColor>
#include <QFrame>

namespace torvika {

// One clickable pixel of the character editor. It carries its index (the bit weight of its
// column) and hands it to whoever listens; its background colour shows its state.
class PixelCell : public QFrame {
    Q_OBJECT
public:
    PixelCell(int index, QWidget *parent = nullptr);

    int index() const { return index_; }
    QColor background() const { return background_; }
    void setBackground(const QColor &colour);
    // Whether the cell is lit; a screen reader reads it as a check box's state.
    bool isChecked() const { return checked_; }
    void setChecked(bool checked);

signals:
    void clicked(int index);

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    // The cell next to this one in the direction of an arrow key, or nullptr at the edge.
    PixelCell *neighbour(int key) const;

    int index_;
    QColor background_{Qt::white};
    bool checked_ = false;
};

} // namespace torvika
