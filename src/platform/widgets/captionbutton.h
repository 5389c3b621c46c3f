#pragma once

#include <QPushButton>
#include <QStaticText>

namespace torvika {

// A push button that word-wraps its caption when it does not fit on one line, as the
// original toolkit's buttons did ("Cursor Home" over two lines). QPushButton never wraps.
// Return and Enter click the button that has the keyboard, as on the original desktop.
class CaptionButton : public QPushButton {
    Q_OBJECT
public:
    explicit CaptionButton(const QString &caption, QWidget *parent = nullptr);

    // The rectangle the caption is drawn in.
    QRect captionRect() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    // Laying out and shaping the caption costs more than the rest of a repaint, and a press
    // repaints at once; the laid-out caption is kept until its text, font or width changes.
    const QStaticText &laidOutCaption(const QString &caption, int width);

    QStaticText laidOut_;
    QString laidOutFor_;
    QFont laidOutFont_;
    int laidOutWidth_ = -1;
};

} // namespace torvika
