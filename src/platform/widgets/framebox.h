#pragma once

#include <QGroupBox>
#include <QPixmap>

namespace torvika {

// A captioned frame drawn as the original toolkit drew it: an etched border whose top line
// runs through the middle of the title, so the layouts' controls, placed from the frame's
// top edge, stay clear of it. The desktop styles put the line under the title instead.
//
// A button or label repainting inside a frame repaints the frame beneath it; the frame's
// drawing is kept in a pixmap, redrawn only when something it depends on changes.
class FrameBox : public QGroupBox {
    Q_OBJECT
public:
    explicit FrameBox(const QString &caption, QWidget *parent = nullptr);

    // Where the title is drawn.
    QRect titleRect() const;
    // The outer edge of the border: its top at the middle of the title.
    QRect borderRect() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    struct Key {
        QSize size;
        QString title;
        QFont font;
        qint64 palette = 0;
        qreal pixelRatio = 0;
        bool enabled = false;
        bool active = false;
        bool operator==(const Key &) const = default;
    };
    Key currentKey() const;
    void refresh() const;

    mutable Key key_;
    mutable QRect titleRect_;
    mutable QPixmap drawing_;
};

} // namespace torvika
