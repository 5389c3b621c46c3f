// Both windows in any desktop theme: readable where a layout fixes a colour, lists that show
// the start of their text, frames whose border no control crosses.
#include "config/frmudchar.h"
#include "mainwindow/frmmain.h"
#include "platform/fonts.h"
#include "platform/framebox.h"
#include "support/messageboxrecorder.h"
#include "support/recordingserialport.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

using namespace torvika;
using namespace torvika::test;

namespace {

struct Panel {
    QTemporaryDir dir;
    ModVariables vars;
    ModIni ini{dir.path()};
    RecordingSerialPort port;
    MessageBoxRecorder boxes;
    FrmMain window{vars, ini, port, boxes};
    FrmUDChar *dialog() {
        window.mnuConfig()->trigger();
        return window.configDialog();
    }
};

QPalette darkPalette() {
    const QColor window(45, 45, 48), base(30, 30, 30), text(230, 230, 230);
    return QPalette(text, window, window.lighter(150), window.darker(150), window.darker(120), text,
                    Qt::white, base, window);
}

} // namespace

class TestAppearance : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { installFontSubstitutions(); }

    void contrastRatio_data() {
        QTest::addColumn<QColor>("a");
        QTest::addColumn<QColor>("b");
        QTest::addColumn<double>("ratio");
        QTest::newRow("black on white, the most") << QColor(Qt::black) << QColor(Qt::white) << 21.0;
        QTest::newRow("either order") << QColor(Qt::white) << QColor(Qt::black) << 21.0;
        QTest::newRow("same colour, the least") << QColor(0, 255, 0) << QColor(0, 255, 0) << 1.0;
        QTest::newRow("white on the typing field's green")
            << QColor(Qt::white) << QColor(0, 255, 0) << 1.37;
        QTest::newRow("mid grey on white") << QColor(128, 128, 128) << QColor(Qt::white) << 3.95;
        QTest::newRow("the monitor's blue on its yellow")
            << QColor(0, 0, 192) << QColor(255, 255, 192) << 11.54;
    }
    void contrastRatio() {
        QFETCH(QColor, a);
        QFETCH(QColor, b);
        QFETCH(double, ratio);
        QVERIFY2(qAbs(layout::contrastRatio(a, b) - ratio) < 0.01 * ratio,
                 qPrintable(QString::number(layout::contrastRatio(a, b))));
    }

    void fixedBackgroundsStayReadable_data() {
        QTest::addColumn<bool>("dark");
        QTest::newRow("light desktop") << false;
        QTest::newRow("dark desktop") << true;
    }
    void fixedBackgroundsStayReadable() {
        QFETCH(bool, dark);
        const QPalette before = QApplication::palette();
        if (dark)
            QApplication::setPalette(darkPalette());
        Panel panel;
        const layout::Controls &dialog = panel.dialog()->controls();
        int checked = 0;
        for (const auto &[items, controls] :
             {std::pair{frmMainLayout(), &panel.window.controls()}, {frmUDCharLayout(), &dialog}})
            for (const layout::Item &item : items) {
                if (!item.background || item.kind == layout::Kind::PixelCell)
                    continue; // a cell shows no text
                QWidget *w = controls->find(item.name, item.index);
                const bool field = qobject_cast<QLineEdit *>(w);
                const QPalette &p = w->palette();
                const double ratio =
                    layout::contrastRatio(p.color(field ? QPalette::Base : QPalette::Window),
                                          p.color(field ? QPalette::Text : QPalette::WindowText));
                QVERIFY2(ratio >= 4.5, qPrintable(w->objectName() + u' ' + QString::number(ratio)));
                ++checked;
            }
        QApplication::setPalette(before);
        QCOMPARE(checked, 6); // the typing field, the two monitor lines, the three inputs
    }

    // "Block Blinking" is wider than its field: the field shows "Block Blin", never "ock
    // Blinking", after the choice and after the keyboard leaves.
    void listShowsTheStartOfItsText() {
        Panel panel;
        auto *list = panel.window.controls().get<QComboBox>("cboCursor");
        QCOMPARE(list->currentIndex(), 0);
        list->setCurrentIndex(1);
        QCOMPARE(list->lineEdit()->cursorPosition(), 0);
        list->lineEdit()->end(false);
        QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(list->lineEdit(), &leave);
        QCOMPARE(list->lineEdit()->cursorPosition(), 0);
    }

    void nothingCrossesAFrameBorder_data() {
        QTest::addColumn<bool>("dialog");
        QTest::newRow("main window") << false;
        QTest::newRow("dialog: the grid stands on the dialog over its frame") << true;
    }
    void nothingCrossesAFrameBorder() {
        QFETCH(bool, dialog);
        Panel panel;
        const layout::Controls &controls =
            dialog ? panel.dialog()->controls() : panel.window.controls();
        int inFrames = 0;
        for (QWidget *w : controls.all()) {
            auto *frame = qobject_cast<FrameBox *>(w);
            if (!frame)
                continue;
            const QRect inside = frame->borderRect().adjusted(2, 2, -2, -2);
            for (QWidget *other : controls.all()) {
                const QPoint at =
                    other->mapTo(w->window(), QPoint()) - frame->mapTo(w->window(), QPoint());
                const QRect placed(at, other->size());
                if (other == frame || !placed.intersects(frame->rect()))
                    continue;
                ++inFrames;
                QVERIFY2(
                    inside.contains(placed) && !placed.intersects(frame->titleRect()),
                    qPrintable(other->objectName() + QStringLiteral(" in ") + frame->objectName()));
            }
        }
        QCOMPARE(inFrames, dialog ? 48 : 61);
    }
};

QTEST_MAIN(TestAppearance)
#include "tst_appearance.moc"
