// The toolkit layers, the message boxes, the display widget and the lamps.
#include "moduleview/lcdview.h"
#include "platform/captionbutton.h"
#include "platform/framebox.h"
#include "platform/pixelcell.h"
#include "platform/qtmessageboxes.h"
#include "support/data.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace torvika;
using namespace torvika::moduleview;
using torvika::test::hex;

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

void drive(module::DisplayModel &model, const QByteArray &bytes) {
    for (const auto &frame : protocol::FrameDecoder().feed(bytes))
        model.apply(frame);
}
// The colour of dot (x, y) of the character cell at row 0, `column`.
QColor dot(LcdView &view, int column, int x, int y) {
    return view.grab().toImage().pixelColor(15 + column * 29 + x * 5, 15 + y * 5);
}

} // namespace

class TstWidgets : public QObject {
    Q_OBJECT
private slots:
    // Frames and buttons keep parts of their drawing; what shows is always what a new frame
    // and the text engine would draw, after any change.
    void keptDrawingNeverShows() {
        FrameBox frame(QStringLiteral("Backlight"));
        for (const bool enabled : {true, false}) {
            FrameBox fresh(QStringLiteral("Backlight"));
            for (FrameBox *box : {&frame, &fresh}) {
                box->resize(enabled ? 185 : 160, 97);
                box->setEnabled(enabled);
            }
            for (const QRegion &damage :
                 {QRegion(40, 40, 90, 30), QRegion(frame.titleRect()), QRegion()})
                QCOMPARE(render(frame, damage), render(fresh, damage));
        }
        CaptionButton button(QStringLiteral("Set Cursor Position"));
        button.resize(120, 33);
        render(button);
        button.setText(QStringLiteral("Cursor Home"));
        button.resize(49, 41);
        CaptionButton bare(QString{});
        bare.resize(49, 41);
        QImage expected = render(bare);
        QPainter painter(&expected);
        painter.setFont(bare.font());
        painter.setPen(bare.palette().color(QPalette::Active, QPalette::ButtonText));
        painter.drawText(button.captionRect(), Qt::AlignCenter | Qt::TextWordWrap, button.text());
        painter.end();
        QCOMPARE(render(button), expected);
    }

    // A pixel toggles on a release over it, or on Space; a press dragged off it does nothing.
    // Return and the keypad's Enter press a button, as a click does.
    void pixelsAndButtonsPress() {
        PixelCell cell(16);
        cell.resize(20, 20);
        QSignalSpy clicked(&cell, &PixelCell::clicked);
        QTest::mousePress(&cell, Qt::LeftButton);
        QTest::mouseRelease(&cell, Qt::LeftButton, {}, QPoint(30, 5));
        QCOMPARE(clicked.count(), 0);
        QTest::mouseClick(&cell, Qt::LeftButton);
        QTest::keyClick(&cell, Qt::Key_Space);
        QCOMPARE(clicked, (QList<QVariantList>{{16}, {16}}));
        CaptionButton button(QStringLiteral("Save"));
        QSignalSpy pressed(&button, &QAbstractButton::clicked);
        QTest::keyClick(&button, Qt::Key_Return);
        QTest::keyClick(&button, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(pressed.count(), 2);
    }

    void messageBoxesAnswer() {
        QtMessageBoxes boxes;
        QStringList seen;
        const auto answer = [&](Qt::Key key) {
            QTimer::singleShot(0, [&seen, key] {
                auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
                seen << (box ? box->windowTitle() + u':' + box->text() + u':' +
                                   box->informativeText()
                             : QString());
                QTest::keyClick(box, key);
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

    void drawsDotsCursorBacklightAndLamps() {
        module::DisplayModel model;
        LcdView view(model);
        view.resize(view.sizeHint());
        const QColor lit(20, 40, 10);
        drive(model, "A"); // top row of A: .###.
        QCOMPARE(dot(view, 0, 1, 0), lit);
        QVERIFY(dot(view, 0, 0, 0) != lit && dot(view, 1, 0, 6) != lit);
        QCOMPARE(dot(view, 1, 0, 7), lit); // the underline cursor in the next cell
        drive(model, hex("FE02"));
        QCOMPARE(dot(view, 1, 0, 0), lit); // the blinking block, shown first
        drive(model, hex("FE07"));
        QCOMPARE(dot(view, 0, 1, 0), QColor(35, 40, 30));
        OutputLamps lamps; // and the lamps show the outputs

        lamps.setOutputs(5);
        QStringList states;
        for (const QLabel *lamp : lamps.findChildren<QLabel *>())
            if (!lamp->accessibleName().isEmpty())
                states << lamp->accessibleName() + u' ' + lamp->accessibleDescription();
        QCOMPARE(states, (QStringList{"Output 1 on", "Output 2 off", "Output 3 on"}));
    }
};

QTEST_MAIN(TstWidgets)
#include "tst_widgets.moc"
