#pragma once

#include <QGroupBox>
#include <QPixmap>

namespace torvika {

// A captioned frame. A button or label repainting inside a frame repaints the frame beneath
// it, and the style lays out the title and redraws the border for that every time, which
// was most of the cost of a click. Damage that misses the title is served from a pixmap of
// the frame's border drawing, redrawn only when something it depends on changes.
class FrameBox : public QGroupBox {
    Q_OBJECT
public:
    explicit FrameBox(const QString &caption, QWidget *parent = nullptr);

    // Where the style draws the title.
    QRect titleRect() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    struct Key {
        QSize size;
        QString title;
        QFont font;
        qint64 palette = 0;
        const QStyle *style = nullptr;
        qreal pixelRatio = 0;
        bool enabled = false;
        bool active = false;
        bool flat = false;
        bool operator==(const Key &) const = default;
    };
    Key currentKey() const;
    void refresh() const;

    mutable Key key_;
    mutable QRect titleRect_;
    mutable QPixmap border_;
};

} // namespace torvika
