// The display widget draws the model's dots, cursor and backlight; the lamps its outputs.
#include "moduleview/lcdview.h"
#include "support/data.h"

#include <QLabel>
#include <QTest>

using namespace torvika;
using namespace torvika::moduleview;
using torvika::test::hex;

namespace {

void drive(module::DisplayModel &model, const QByteArray &bytes) {
    for (const auto &frame : protocol::FrameDecoder().feed(bytes))
        model.apply(frame);
}
// The colour of dot (x, y) of the character cell at row 0, `column`.
QColor dot(LcdView &view, int column, int x, int y) {
    return view.grab().toImage().pixelColor(15 + column * 29 + x * 5, 15 + y * 5);
}

} // namespace

class TstLcdView : public QObject {
    Q_OBJECT
private slots:
    void drawsDotsCursorAndBacklight() {
        module::DisplayModel model;
        LcdView view(model);
        view.resize(view.sizeHint());
        const QColor lit(20, 40, 10);
        drive(model, "A"); // top row of A: .###.
        QCOMPARE(dot(view, 0, 1, 0), lit);
        QVERIFY(dot(view, 0, 0, 0) != lit);
        QVERIFY(dot(view, 1, 0, 6) != lit);
        QCOMPARE(dot(view, 1, 0, 7), lit); // the underline cursor in the next cell
        drive(model, hex("FE02"));
        QCOMPARE(dot(view, 1, 0, 0), lit); // the blinking block, shown first
        drive(model, hex("FE07"));
        QCOMPARE(dot(view, 0, 1, 0), QColor(35, 40, 30));
    }

    void lampsShowTheOutputs() {
        OutputLamps lamps;
        lamps.setOutputs(5);
        QStringList states;
        for (const QLabel *lamp : lamps.findChildren<QLabel *>())
            if (!lamp->accessibleName().isEmpty())
                states << lamp->accessibleName() + u' ' + lamp->accessibleDescription();
        QCOMPARE(states, (QStringList{"Output 1 on", "Output 2 off", "Output 3 on"}));
    }
};

QTEST_MAIN(TstLcdView)
#include "tst_lcdview.moc"
