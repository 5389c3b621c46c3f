// The main window as laid out: names, kinds, captions, places, focus order, looks.
#include "mainwindow/frmmain.h"
#include "platform/captionbutton.h"
#include "platform/fonts.h"
#include "support/captionfit.h"
#include "support/layoutcheck.h"
#include "support/messageboxrecorder.h"
#include "support/recordingserialport.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>

using namespace torvika;
using namespace torvika::test;

namespace {

struct Window {
    QTemporaryDir dir;
    ModVariables vars;
    ModIni ini{dir.path()};
    RecordingSerialPort port;
    MessageBoxRecorder boxes;
    FrmMain window{vars, ini, port, boxes};
    QWidget *find(const QString &name) { return window.controls().find(name); }
};

} // namespace

class TestFrmMainLayout : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { installFontSubstitutions(); }

    // Rows written out from the window's design: twips / 15 = pixels.
    void controlsStandWhereTheDesignPutsThem_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("className");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QRect>("rect");
        QTest::addColumn<QString>("parent");
        QTest::newRow("Frame1") << "Frame1"
                                << "QGroupBox"
                                << "Comm Port Settings" << QRect(16, 16, 345, 65)
                                << "frmMainClient";
        QTest::newRow("Frame3") << "Frame3"
                                << "QGroupBox"
                                << "Communication Data Monitor" << QRect(16, 432, 465, 89)
                                << "frmMainClient";
        QTest::newRow("Frame8") << "Frame8"
                                << "QGroupBox"
                                << "Remember Settings" << QRect(504, 368, 169, 121)
                                << "frmMainClient";
        QTest::newRow("opt9600") << "opt9600"
                                 << "QRadioButton"
                                 << "9600 bps" << QRect(16, 24, 65, 17) << "Frame1";
        QTest::newRow("cboComm") << "cboComm"
                                 << "QComboBox"
                                 << "" << QRect(280, 24, 49, 21) << "Frame1";
        QTest::newRow("txtASCIIInput") << "txtASCIIInput"
                                       << "QLineEdit"
                                       << "" << QRect(40, 24, 41, 33) << "Frame2";
        QTest::newRow("Cursor Home is cmdLCD(0)")
            << "cmdLCD(0)"
            << "torvika::CaptionButton"
            << "Cursor Home" << QRect(120, 24, 49, 33) << "Frame2";
        QTest::newRow("Clear Screen is cmdLCD(2)")
            << "cmdLCD(2)"
            << "torvika::CaptionButton"
            << "Clear Screen" << QRect(232, 24, 49, 33) << "Frame2";
        QTest::newRow("custom 1 leftmost") << "cmdCustom(0)"
                                           << "torvika::CaptionButton"
                                           << "1" << QRect(16, 104, 33, 25) << "Frame2";
        QTest::newRow("custom 8 rightmost") << "cmdCustom(7)"
                                            << "torvika::CaptionButton"
                                            << "8" << QRect(296, 104, 33, 25) << "Frame2";
        QTest::newRow("lblTxData") << "lblTxData"
                                   << "QLabel"
                                   << "" << QRect(104, 24, 345, 17) << "Frame3";
        QTest::newRow("OFF is cmdBL(1)") << "cmdBL(1)"
                                         << "torvika::CaptionButton"
                                         << "OFF" << QRect(56, 24, 33, 25) << "Frame5";
        QTest::newRow("Backlightlevel") << "Backlightlevel"
                                        << "QSlider"
                                        << "" << QRect(112, 16, 169, 25) << "Frame5";
        QTest::newRow("Clear Selected Column is cmdClearCR(1)")
            << "cmdClearCR(1)"
            << "torvika::CaptionButton"
            << "Clear Selected Column" << QRect(128, 112, 153, 17) << "Frame4";
        QTest::newRow("lblInput(2)") << "lblInput(2)"
                                     << "QLabel"
                                     << "" << QRect(64, 72, 49, 17) << "Frame6";
        QTest::newRow("Draw Right to Left is cmdGraph(1)")
            << "cmdGraph(1)"
            << "torvika::CaptionButton"
            << "Draw Right to Left Graph" << QRect(104, 72, 169, 17) << "Frame7";
        QTest::newRow("Label16")
            << "Label16"
            << "QLabel"
            << "This will store the Custom Characters,the LCD Brightness and baud rate settings "
               "onto non-volatile memory"
            << QRect(16, 16, 145, 65) << "Frame8";
        QTest::newRow("cmdSave") << "cmdSave"
                                 << "torvika::CaptionButton"
                                 << "SAVE" << QRect(48, 88, 73, 25) << "Frame8";
    }
    void controlsStandWhereTheDesignPutsThem() {
        QFETCH(QString, name);
        QFETCH(QString, className);
        QFETCH(QString, caption);
        QFETCH(QRect, rect);
        QFETCH(QString, parent);
        Window w;
        QWidget *widget = w.find(name);
        QVERIFY2(widget, qPrintable(name));
        QVERIFY2(widget->inherits(qPrintable(className)), widget->metaObject()->className());
        QCOMPARE(widget->geometry(), rect);
        QCOMPARE(widget->parentWidget()->objectName(), parent);
        QCOMPARE(captionOf(widget), caption);
    }

    void focusFollowsTheTabPlaces() {
        Window w;
        const QStringList expected{
            "cboComm",      "opt19200",       "opt9600",       "txtASCIIInput", "cmdLCD(0)",
            "cmdLCD(1)",    "cmdLCD(2)",      "cboCursor",     "cmdCursor",     "cmdBL(0)",
            "cmdBL(1)",     "Backlightlevel", "cboRow",        "cboColumn",     "cmdCurPos",
            "cmdReadInput", "cboOut1",        "cboOut2",       "cboOut3",       "cmdOut",
            "cmdCustom(0)", "cmdCustom(1)",   "cmdCustom(2)",  "cmdCustom(3)",  "cmdCustom(4)",
            "cmdCustom(5)", "cmdCustom(6)",   "cmdCustom(7)",  "cboGraph",      "cmdGraph(0)",
            "cmdGraph(1)",  "cmdInitGraph",   "cmdClearCR(0)", "cmdClearCR(1)", "cmdCustomChar",
            "cmdSave",      "cmdCL",          "cmdCR",         "cmdBackspace",  "cmdDSU"};
        const QStringList chain =
            focusChain(w.window.controls(), w.find(QStringLiteral("cboComm")), expected.size());
        QCOMPARE(chain, expected);
    }

    void labelsAndFramesNeverTakeFocus() {
        Window w;
        for (QWidget *widget : w.window.controls().all())
            if (qobject_cast<QLabel *>(widget) || qobject_cast<QGroupBox *>(widget))
                QCOMPARE(widget->focusPolicy(), Qt::NoFocus);
    }

    void everyCaptionFitsItsControl() {
        Window w;
        w.window.show();
        const QStringList overflow = overflowingCaptions(w.window.controls());
        QVERIFY2(overflow.isEmpty(), qPrintable(overflow.join(u'\n')));
    }

    void looksAndLimits() {
        Window w;
        auto *text = qobject_cast<QLineEdit *>(w.find(QStringLiteral("txtASCIIInput")));
        QCOMPARE(text->maxLength(), 1);
        QCOMPARE(text->palette().color(QPalette::Base), QColor(0, 255, 0));
        QCOMPARE(text->font().pixelSize(), 19); // 14.25 pt at 96 dpi
        auto *tx = qobject_cast<QLabel *>(w.find(QStringLiteral("lblTxData")));
        QCOMPARE(tx->palette().color(QPalette::Window), QColor(255, 255, 192));
        QCOMPARE(tx->palette().color(QPalette::WindowText), QColor(0, 0, 192));
        QCOMPARE(tx->frameShape(), QFrame::Box);
        QCOMPARE(tx->font().pixelSize(), 11); // 8.25 pt at 96 dpi
        auto *slider = qobject_cast<QSlider *>(w.find(QStringLiteral("Backlightlevel")));
        QCOMPARE(slider->minimum(), 50);
        QCOMPARE(slider->maximum(), 250);
        QCOMPARE(slider->singleStep(), 1);
        QCOMPARE(slider->pageStep(), 5);
        QCOMPARE(slider->tickPosition(), QSlider::NoTicks);
        slider->setValue(10);
        QCOMPARE(slider->value(), 50);
        auto *combo = qobject_cast<QComboBox *>(w.find(QStringLiteral("cboGraph")));
        QVERIFY(combo->isEditable());
        QCOMPARE(combo->insertPolicy(), QComboBox::NoInsert);
    }

    void wrappingButtonsWrapTheirCaption() {
        Window w;
        auto *home = qobject_cast<CaptionButton *>(w.find(QStringLiteral("cmdLCD(0)")));
        const QFontMetrics fm(home->font());
        // Too wide for one line in 49 px, so it must take two.
        QVERIFY(fm.horizontalAdvance(home->text()) > home->captionRect().width());
        QVERIFY(captionOverflow(home).isEmpty());
    }
};

QTEST_MAIN(TestFrmMainLayout)
#include "tst_frmmain_layout.moc"
