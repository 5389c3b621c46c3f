// The toolkit layers: frames and buttons that keep parts of their drawing must put on screen
// exactly what a plain group box and a fresh button would; the message boxes answer.
#include "platform/captionbutton.h"
#include "platform/framebox.h"
#include "platform/qtmessageboxes.h"

#include <QApplication>
#include <QMessageBox>
#include <QPainter>
#include <QTest>
#include <QTimer>

using namespace torvika;

namespace {

// The pixels a repaint of `region` puts on screen over a background.
QImage render(QWidget &widget, const QRegion &region = {}) {
    const QRegion damage = region.isEmpty() ? QRegion(widget.rect()) : region;
    QImage painted(widget.size(), QImage::Format_ARGB32_Premultiplied);
    painted.fill(QColor(0xd4, 0xd0, 0xc8));
    widget.render(&painted, QPoint(), damage, QWidget::RenderFlags());
    QImage seen(widget.size(), QImage::Format_ARGB32_Premultiplied);
    seen.fill(Qt::transparent);
    QPainter painter(&seen);
    painter.setClipRegion(damage);
    painter.drawImage(0, 0, painted);
    return seen;
}

} // namespace

class TstWidgets : public QObject {
    Q_OBJECT
private slots:
    // Whatever the damage, and after changes that reach only the border.
    void frameDrawsWhatAGroupBoxDraws() {
        FrameBox frame(QStringLiteral("Backlight"));
        QGroupBox plain(QStringLiteral("Backlight"));
        for (QGroupBox *box : {static_cast<QGroupBox *>(&frame), &plain})
            box->resize(185, 97);
        const QRect title = frame.titleRect(), button(40, 40, 90, 30);
        const QRegion damages[] = {frame.rect(), button,
                                   QRegion(frame.rect().adjusted(3, 3, -3, -3)) - title,
                                   QRect(0, 94, 185, 3), QRegion(title) + button};
        for (const QRegion &damage : damages)
            QCOMPARE(render(frame, damage), render(plain, damage));
        QPalette dark = frame.palette();
        dark.setColor(QPalette::Dark, Qt::red);
        QFont bigger = frame.font();
        bigger.setPointSizeF(bigger.pointSizeF() * 2);
        for (QGroupBox *box : {static_cast<QGroupBox *>(&frame), &plain}) {
            box->setTitle(QStringLiteral("A much longer title"));
            box->setFont(bigger);
            box->setPalette(dark);
            box->setEnabled(false);
            box->resize(160, 100);
        }
        QVERIFY(frame.titleRect().width() > title.width());
        QCOMPARE(render(frame, button), render(plain, button));
        QCOMPARE(render(frame), render(plain));
    }

    // A button changed after it was painted must look as one made that way from the start,
    // its caption on the very pixels the text engine would draw.
    void buttonCaptionFollowsChanges_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QSize>("size");
        QTest::newRow("one line") << "Clear Screen" << QSize(73, 33);
        QTest::newRow("wrapped") << "Cursor Home" << QSize(49, 41);
        QTest::newRow("too wide") << "Backlight" << QSize(30, 25);
    }
    void buttonCaptionFollowsChanges() {
        QFETCH(QString, caption);
        QFETCH(QSize, size);
        CaptionButton changed(QStringLiteral("Set Cursor Position"));
        changed.resize(120, 33);
        const QImage before = render(changed);
        changed.setText(caption);
        changed.resize(size);
        CaptionButton bare(QString{});
        bare.resize(size);
        QImage expected = render(bare);
        QPainter painter(&expected);
        painter.setFont(bare.font());
        painter.setPen(bare.palette().color(QPalette::Active, QPalette::ButtonText));
        painter.drawText(changed.captionRect(), Qt::AlignCenter | Qt::TextWordWrap, caption);
        painter.end();
        QCOMPARE(render(changed), expected);
        QFont bigger = changed.font();
        bigger.setPointSizeF(bigger.pointSizeF() * 1.5);
        changed.setFont(bigger);
        CaptionButton fresh(caption);
        fresh.setFont(bigger);
        fresh.resize(size);
        QCOMPARE(render(changed), render(fresh));
        QVERIFY(render(changed) != before);
    }

    void messageBoxesAnswer() {
        QtMessageBoxes boxes;
        QStringList seen;
        const auto answer = [&](int key) {
            QTimer::singleShot(0, [&seen, key] {
                auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
                seen << (box ? box->windowTitle() + u':' + box->text() + u':' +
                                   box->informativeText()
                             : QStringLiteral("no box"));
                QTest::keyClick(box, Qt::Key(key));
            });
        };
        answer(Qt::Key_Return);
        boxes.information(QStringLiteral("TORVIKA"), QStringLiteral("<b>1</b>"),
                          QStringLiteral("why"));
        answer(Qt::Key_Return);
        QVERIFY(boxes.question(QStringLiteral("Save Setting"), QStringLiteral("Save?")));
        answer(Qt::Key_Escape);
        QVERIFY(!boxes.question(QStringLiteral("Save Setting"), QStringLiteral("Save?")));
        QCOMPARE(seen, (QStringList{"TORVIKA:<b>1</b>:why",
                                    "Save Setting:Save?:", "Save Setting:Save?:"}));
    }
};

QTEST_MAIN(TstWidgets)
#include "tst_widgets.moc"
