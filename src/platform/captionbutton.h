#pragma once

#include <QPushButton>

namespace torvika {

// A push button that word-wraps its caption when it does not fit on one line, as the
// original toolkit's buttons did ("Cursor Home" over two lines). QPushButton never wraps.
class CaptionButton : public QPushButton {
    Q_OBJECT
public:
    explicit CaptionButton(const QString &caption, QWidget *parent = nullptr);

    // The rectangle the caption is drawn in.
    QRect captionRect() const;

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace torvika
