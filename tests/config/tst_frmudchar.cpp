// The configuration dialog as the operator meets it: opened from "Config LCD", laid out as
// designed, driven by clicks and keys, its bytes read at the far end of a real serial line.
#include "config/frmudchar.h"
#include "platform/captionbutton.h"
#include "platform/fonts.h"
#include "platform/pixelcell.h"
#include "support/layoutcheck.h"
#include "support/messageboxrecorder.h"
#include "support/recordingserialport.h"
#include "support/wiredpanel.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

using namespace torvika;
using namespace torvika::test;

namespace {

const QColor Unlit(128, 255, 128);
const QColor Lit(0, 0, 0);
const char *const CellRows[] = {"UDC1",  "UDC1A", "UDC1B", "UDC1C",
                                "UDC1D", "UDC1E", "UDC1F", "UDC1G"};
constexpr int Weights[] = {16, 8, 4, 2, 1};

QByteArray hex(const char *text) {
    return QByteArray::fromHex(text);
}

// Steps of a script, one per string:
//   "cell UDC1B 4"      click a pixel cell
//   "click cmdSetUD 7"  click a button (index optional)
//   "type txtLine1 abc" type into a field (the rest of the line, spaces included)
//   "set TxtLine2 ..."  put text into a field as a paste would
// Returns "" or what could not be done.
QString run(const FrmUDChar &dialog, const QStringList &steps) {
    for (const QString &step : steps) {
        const QString verb = step.section(u' ', 0, 0);
        const QByteArray name = step.section(u' ', 1, 1).toLatin1();
        const QString rest = step.section(u' ', 2);
        if (verb == u"cell" || verb == u"click") {
            const int index = rest.isEmpty() ? -1 : rest.toInt();
            QWidget *target = dialog.controls().get<QWidget>(name.constData(), index);
            if (!target)
                return QStringLiteral("no control for ") + step;
            QTest::mouseClick(target, Qt::LeftButton);
        } else if (verb == u"type" || verb == u"set") {
            auto *field = dialog.controls().get<QLineEdit>(name.constData());
            if (!field)
                return QStringLiteral("no field for ") + step;
            if (verb == u"type")
                QTest::keyClicks(field, rest);
            else
                field->setText(rest);
        } else {
            return QStringLiteral("unknown step ") + step;
        }
    }
    return {};
}

// The panel on a pty with its dialog open.
struct DialogOnLine {
    WiredPanel panel;
    FrmUDChar *dialog = nullptr;

    DialogOnLine() {
        panel.window->mnuConfig()->trigger();
        dialog = panel.window->configDialog();
    }
    QString label(int row) const {
        auto *l = dialog->controls().get<QLabel>(qPrintable(QStringLiteral("lblRow%1").arg(row)));
        return l ? l->text() : QStringLiteral("<no label>");
    }
};

// The dialog alone on a port that records each write.
struct DialogOnRecorder {
    RecordingSerialPort port;
    MessageBoxRecorder boxes;
    FrmUDChar dialog{port, boxes};
    DialogOnRecorder() { dialog.showDialog(); }
};

} // namespace

class TstFrmUDChar : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { installFontSubstitutions(); }

    // --- Layout -------------------------------------------------------------------------

    // Rows written out from the dialog's design: twips / 15 = pixels.
    void controlsStandWhereTheDesignPutsThem_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("className");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QRect>("rect");
        QTest::addColumn<QString>("parent");
        QTest::addColumn<QString>("family");
        const QString client = QStringLiteral("frmUDCharClient");
        const QString ms = QStringLiteral("MS Sans Serif"), tahoma = QStringLiteral("Tahoma");
        QTest::newRow("FrameC") << "FrameC"
                                << "QGroupBox"
                                << "Custom Character" << QRect(24, 8, 161, 225) << client << ms;
        QTest::newRow("top-left cell is UDC1(16)") << "UDC1(16)"
                                                   << "torvika::PixelCell"
                                                   << "" << QRect(48, 32, 17, 17) << client << ms;
        QTest::newRow("top-right cell is UDC1(1)") << "UDC1(1)"
                                                   << "torvika::PixelCell"
                                                   << "" << QRect(144, 32, 17, 17) << client << ms;
        QTest::newRow("bottom-left cell is UDC1G(16)")
            << "UDC1G(16)"
            << "torvika::PixelCell"
            << "" << QRect(48, 200, 17, 17) << client << ms;
        QTest::newRow("bottom-right cell is UDC1G(1)")
            << "UDC1G(1)"
            << "torvika::PixelCell"
            << "" << QRect(144, 200, 17, 17) << client << ms;
        QTest::newRow("middle cell of ROW4") << "UDC1C(4)"
                                             << "torvika::PixelCell"
                                             << "" << QRect(96, 104, 17, 17) << client << ms;
        QTest::newRow("cmdSetAll") << "cmdSetAll"
                                   << "torvika::CaptionButton"
                                   << "Set All" << QRect(40, 240, 57, 33) << client << ms;
        QTest::newRow("cmdClrAll") << "cmdClrAll"
                                   << "torvika::CaptionButton"
                                   << "Clear All" << QRect(120, 240, 49, 33) << client << ms;
        QTest::newRow("heading keeps its spacing")
            << "Label1"
            << "QLabel"
            << "ROW1   ROW2    ROW3   ROW4   ROW5  ROW6   ROW7   ROW8" << QRect(216, 16, 313, 17)
            << client << tahoma;
        QTest::newRow("lblRow1") << "lblRow1"
                                 << "QLabel"
                                 << "0x00" << QRect(216, 40, 33, 17) << client << ms;
        QTest::newRow("lblRow5") << "lblRow5"
                                 << "QLabel"
                                 << "0x00" << QRect(376, 40, 33, 17) << client << ms;
        QTest::newRow("lblRow8") << "lblRow8"
                                 << "QLabel"
                                 << "0x00" << QRect(496, 40, 33, 17) << client << ms;
        QTest::newRow("top-left store button is slot 0")
            << "cmdSetUD(0)"
            << "torvika::CaptionButton"
            << "Set As Char 0" << QRect(248, 80, 57, 41) << client << ms;
        QTest::newRow("slot 3 ends the first row")
            << "cmdSetUD(3)"
            << "torvika::CaptionButton"
            << "Set As Char 3" << QRect(464, 80, 57, 41) << client << ms;
        QTest::newRow("slot 4 stands under slot 0")
            << "cmdSetUD(4)"
            << "torvika::CaptionButton"
            << "Set As Char 4" << QRect(248, 136, 57, 41) << client << ms;
        QTest::newRow("bottom-right store button is slot 7")
            << "cmdSetUD(7)"
            << "torvika::CaptionButton"
            << "Set As Char 7" << QRect(464, 136, 57, 41) << client << ms;
        QTest::newRow("cmdLoadUD")
            << "cmdLoadUD"
            << "torvika::CaptionButton"
            << "Send Bitmap to LCD" << QRect(248, 200, 273, 25) << client << ms;
        QTest::newRow("Frame1") << "Frame1"
                                << "QGroupBox"
                                << "Set TORVIKA Baud Rate" << QRect(256, 240, 265, 65) << client
                                << tahoma;
        QTest::newRow("cmd9600") << "cmd9600"
                                 << "torvika::CaptionButton"
                                 << "9600 bps" << QRect(32, 24, 97, 25) << "Frame1" << tahoma;
        QTest::newRow("cmd19200") << "cmd19200"
                                  << "torvika::CaptionButton"
                                  << "19200 bps" << QRect(152, 24, 89, 25) << "Frame1" << tahoma;
        QTest::newRow("Frame2") << "Frame2"
                                << "QGroupBox"
                                << "Define Startup Screen" << QRect(48, 312, 473, 89) << client
                                << tahoma;
        QTest::newRow("Label2") << "Label2"
                                << "QLabel"
                                << "Row 0" << QRect(16, 24, 41, 17) << "Frame2" << tahoma;
        QTest::newRow("txtLine1") << "txtLine1"
                                  << "QLineEdit"
                                  << "" << QRect(80, 24, 169, 19) << "Frame2" << tahoma;
        QTest::newRow("Label3") << "Label3"
                                << "QLabel"
                                << "Row 1" << QRect(16, 56, 41, 17) << "Frame2" << tahoma;
        QTest::newRow("TxtLine2 with its capital T")
            << "TxtLine2"
            << "QLineEdit"
            << "" << QRect(80, 56, 169, 19) << "Frame2" << tahoma;
        QTest::newRow("cmdSetSU") << "cmdSetSU"
                                  << "torvika::CaptionButton"
                                  << "Set Startup Screen" << QRect(312, 16, 121, 25) << "Frame2"
                                  << tahoma;
        QTest::newRow("cmdClrSU") << "cmdClrSU"
                                  << "torvika::CaptionButton"
                                  << "Erase Startup Screen" << QRect(312, 48, 121, 25) << "Frame2"
                                  << tahoma;
    }
    void controlsStandWhereTheDesignPutsThem() {
        QFETCH(QString, name);
        QFETCH(QString, className);
        QFETCH(QString, caption);
        QFETCH(QRect, rect);
        QFETCH(QString, parent);
        QFETCH(QString, family);
        DialogOnRecorder d;
        QWidget *widget = d.dialog.controls().find(name);
        QVERIFY2(widget, qPrintable(name));
        QVERIFY2(widget->inherits(qPrintable(className)), widget->metaObject()->className());
        QCOMPARE(widget->geometry(), rect);
        QCOMPARE(widget->parentWidget()->objectName(), parent);
        QCOMPARE(captionOf(widget), caption);
        QCOMPARE(widget->font().family(), family);
        QCOMPARE(widget->font().pixelSize(), 11); // 8.25 pt at 96 dpi
    }

    void windowIsTheDesignedDialog() {
        DialogOnLine d;
        QVERIFY(d.dialog->isVisible());
        QCOMPARE(d.dialog->windowTitle(), QStringLiteral("Configure TORVIKA"));
        QCOMPARE(d.dialog->size(), QSize(555, 423));
        QVERIFY(!d.dialog->isModal());
        QVERIFY(!d.dialog->windowIcon().isNull());
        QCOMPARE(d.dialog->windowIcon().pixmap(32).toImage(),
                 d.panel.window->windowIcon().pixmap(32).toImage());
        // Modeless: the main window still takes clicks while the dialog is open.
        QVERIFY(d.panel.click("cmdLCD", 2));
        QCOMPARE(d.panel.peer.read(1).toHex(), QByteArray("0d"));
    }

    void everyCellCarriesItsWeightInEveryRow() {
        DialogOnRecorder d;
        for (int row = 0; row < 8; ++row)
            for (int column = 0; column < 5; ++column) {
                auto *cell = d.dialog.controls().get<PixelCell>(CellRows[row], Weights[column]);
                QVERIFY(cell);
                QCOMPARE(cell->index(), Weights[column]);
                QCOMPARE(cell->pos(), QPoint(48 + 24 * column, 32 + 24 * row));
                QCOMPARE(cell->background(), Unlit);
            }
    }

    void focusFollowsTheTabPlaces() {
        DialogOnRecorder d;
        QStringList expected;
        // The first four rows are tabbed right to left, the last four left to right.
        for (int row = 0; row < 8; ++row)
            for (int i = 0; i < 5; ++i) {
                const int weight = row < 4 ? Weights[4 - i] : Weights[i];
                expected << QStringLiteral("%1(%2)").arg(QLatin1String(CellRows[row])).arg(weight);
            }
        expected << "cmdSetAll"
                 << "cmdClrAll";
        for (int slot = 0; slot < 8; ++slot)
            expected << QStringLiteral("cmdSetUD(%1)").arg(slot);
        expected << "cmdLoadUD"
                 << "cmd9600"
                 << "cmd19200"
                 << "txtLine1"
                 << "TxtLine2"
                 << "cmdClrSU"
                 << "cmdSetSU";
        const QStringList chain =
            focusChain(d.dialog.controls(), d.dialog.controls().find(QStringLiteral("UDC1(1)")),
                       expected.size());
        QCOMPARE(chain, expected);
    }

    void everyCaptionFitsItsControl() {
        DialogOnRecorder d;
        const QStringList overflow = overflowingCaptions(d.dialog.controls());
        QVERIFY2(overflow.isEmpty(), qPrintable(overflow.join(u'\n')));
    }

    void fieldsRefuseTheSeventeenthCharacter_data() {
        QTest::addColumn<QString>("field");
        QTest::newRow("Row 0") << "txtLine1";
        QTest::newRow("Row 1") << "TxtLine2";
    }
    void fieldsRefuseTheSeventeenthCharacter() {
        QFETCH(QString, field);
        DialogOnRecorder d;
        auto *edit = d.dialog.controls().get<QLineEdit>(qPrintable(field));
        QTest::keyClicks(edit, QStringLiteral("0123456789ABCDEFG"));
        QCOMPARE(edit->text(), QStringLiteral("0123456789ABCDEF"));
        edit->clear();
        edit->insert(QStringLiteral("a pasted line that is far too long"));
        QCOMPARE(edit->text().size(), 16);
    }

    // --- The editor, through its cells ------------------------------------------------

    void everyCellTogglesItsOwnRowByItsWeight() {
        DialogOnLine d;
        for (int row = 0; row < 8; ++row) {
            for (const int weight : Weights) {
                auto *cell = d.dialog->controls().get<PixelCell>(CellRows[row], weight);
                const QString expectedText =
                    QStringLiteral("0x") + QString::number(weight, 16).toUpper();
                QTest::mouseClick(cell, Qt::LeftButton);
                QCOMPARE(cell->background(), Lit);
                for (int other = 0; other < 8; ++other)
                    QCOMPARE(d.label(other + 1),
                             other == row ? expectedText : QStringLiteral("0x00"));
                QTest::mouseClick(cell, Qt::LeftButton);
                QCOMPARE(cell->background(), Unlit);
                QCOMPARE(d.label(row + 1), QStringLiteral("0x0"));
                d.dialog->cmdClrAll_Click();
            }
        }
        QVERIFY(d.panel.peer.readAvailable(20).isEmpty()); // drawing sends nothing
    }

    void setAllAndClearAllRepaintTheGrid() {
        DialogOnLine d;
        QCOMPARE(run(*d.dialog, {"click cmdSetAll", "cell UDC1B 4"}), QString());
        QCOMPARE(d.label(3), QStringLiteral("0x1B"));
        QCOMPARE(d.label(8), QStringLiteral("0x1F"));
        QCOMPARE(d.dialog->controls().get<PixelCell>("UDC1G", 1)->background(), Lit);
        QCOMPARE(d.dialog->controls().get<PixelCell>("UDC1B", 4)->background(), Unlit);
        QCOMPARE(run(*d.dialog, {"click cmdClrAll"}), QString());
        for (int row = 1; row <= 8; ++row)
            QCOMPARE(d.label(row), QStringLiteral("0x00"));
        for (const char *row : CellRows)
            for (const int weight : Weights)
                QCOMPARE(d.dialog->controls().get<PixelCell>(row, weight)->background(), Unlit);
        QVERIFY(d.panel.peer.readAvailable(20).isEmpty());
    }

    // --- Bytes on the line ------------------------------------------------------------

    void buttonsPutTheirBytesOnTheLine_data() {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray head = hex("FE64");
        QTest::newRow("nothing stored: the two command bytes and 64 zeros")
            << QStringList{"click cmdLoadUD"} << head + QByteArray(64, '\0');
        QTest::newRow("the drawing is not sent until stored")
            << QStringList{"click cmdSetAll", "click cmdLoadUD"} << head + QByteArray(64, '\0');
        QTest::newRow("slot 0 fully lit")
            << QStringList{"click cmdSetAll", "click cmdSetUD 0", "click cmdLoadUD"}
            << head + QByteArray(8, '\x1f') + QByteArray(56, '\0');
        QTest::newRow("slot 7 fully lit ends in eight 1F")
            << QStringList{"click cmdSetAll", "click cmdSetUD 7", "click cmdLoadUD"}
            << head + QByteArray(56, '\0') + QByteArray(8, '\x1f');
        QTest::newRow("slot 7 top-left pixel")
            << QStringList{"cell UDC1 16", "click cmdSetUD 7", "click cmdLoadUD"}
            << head + QByteArray(56, '\0') + hex("10") + QByteArray(7, '\0');
        QTest::newRow("slot 0 bottom-right pixel")
            << QStringList{"cell UDC1G 1", "click cmdSetUD 0", "click cmdLoadUD"}
            << head + QByteArray(7, '\0') + hex("01") + QByteArray(56, '\0');
        QTest::newRow("drawing after storing leaves the slot as stored")
            << QStringList{"cell UDC1 1", "click cmdSetUD 4", "cell UDC1 16", "cell UDC1A 2",
                           "click cmdLoadUD"}
            << head + QByteArray(32, '\0') + hex("01") + QByteArray(7, '\0') + QByteArray(24, '\0');
        QTest::newRow("Set As Char 2 right after opening stores zeros")
            << QStringList{"click cmdSetAll", "click cmdSetUD 2", "click cmdClrAll",
                           "click cmdSetUD 2", "click cmdLoadUD"}
            << head + QByteArray(64, '\0');
        QTest::newRow("abc and xyz")
            << QStringList{"type txtLine1 abc", "type TxtLine2 xyz", "click cmdSetSU"}
            << hex("FEC86162630D78797AFF");
        QTest::newRow("abc with row 1 empty")
            << QStringList{"type txtLine1 abc", "click cmdSetSU"} << hex("FEC86162630DFF");
        QTest::newRow("two full rows make 36 bytes")
            << QStringList{"type txtLine1 0123456789ABCDEF", "type TxtLine2 fedcba9876543210",
                           "click cmdSetSU"}
            << hex("FEC8") + "0123456789ABCDEF" + hex("0D") + "fedcba9876543210" + hex("FF");
        QTest::newRow("trailing spaces go out as typed")
            << QStringList{"type txtLine1 ab  ", "type TxtLine2  z ", "click cmdSetSU"}
            << hex("FEC861622020") + hex("0D207A20FF");
        QTest::newRow("a single space in row 0 is sent")
            << QStringList{"type txtLine1  ", "click cmdSetSU"} << hex("FEC8200DFF");
        QTest::newRow("two clicks send the frame twice, the fields stay")
            << QStringList{"type txtLine1 Hi", "click cmdSetSU", "click cmdSetSU"}
            << hex("FEC848690DFF") + hex("FEC848690DFF");
        QTest::newRow("latin-1 text goes out as its codes")
            << QStringList{QStringLiteral("set txtLine1 caf\u00E9"), "click cmdSetSU"}
            << hex("FEC8636166E90DFF");
        QTest::newRow("Erase Startup Screen")
            << QStringList{"click cmdClrSU"} << hex("FE150D") + "Startup Screen Erased";
        QTest::newRow("module to 9600")
            << QStringList{"click cmd9600"} << hex("0D") + hex("FE1E") + "BR Set : 9600";
        QTest::newRow("module to 19200")
            << QStringList{"click cmd19200"} << hex("0D") + hex("FE1F") + "BR Set : 19200";
    }
    void buttonsPutTheirBytesOnTheLine() {
        QFETCH(QStringList, steps);
        QFETCH(QByteArray, bytes);
        DialogOnLine d;
        const QString before = d.panel.trace();
        QCOMPARE(run(*d.dialog, steps), QString());
        QCOMPARE(d.panel.peer.read(static_cast<int>(bytes.size())).toHex(' '), bytes.toHex(' '));
        QVERIFY(d.panel.peer.readAvailable(30).isEmpty());
        QVERIFY2(d.panel.boxes.shown.isEmpty(), qPrintable(d.panel.boxes.texts().join(u'|')));
        // Straight to the port: the traffic monitor and the transmit buffer never see them.
        QCOMPARE(d.panel.trace(), before);
    }

    void writesKeepTheirBoundaries_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QList<int>>("sizes");
        QTest::newRow("bitmap: 10 bytes, then seven of 8")
            << "cmdLoadUD" << QList<int>{10, 8, 8, 8, 8, 8, 8, 8};
        QTest::newRow("startup screen: one write") << "cmdSetSU" << QList<int>{7};
        QTest::newRow("erase: frame, then text") << "cmdClrSU" << QList<int>{3, 21};
        QTest::newRow("9600: clear, command, text") << "cmd9600" << QList<int>{1, 2, 13};
        QTest::newRow("19200: clear, command, text") << "cmd19200" << QList<int>{1, 2, 14};
    }
    void writesKeepTheirBoundaries() {
        QFETCH(QString, button);
        QFETCH(QList<int>, sizes);
        DialogOnRecorder d;
        QCOMPARE(run(d.dialog, {"type txtLine1 abc", "click " + button}), QString());
        QList<int> got;
        for (const QByteArray &w : d.port.writes)
            got << static_cast<int>(w.size());
        QCOMPARE(got, sizes);
    }

    // --- Refusals and failures --------------------------------------------------------

    void startupScreenRefusals_data() {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("message"); // a part of the one message shown
        QTest::newRow("row 0 empty, row 1 typed")
            << QStringList{"type TxtLine2 xyz", "click cmdSetSU"} << "Text is Empty";
        QTest::newRow("both rows empty") << QStringList{"click cmdSetSU"} << "Text is Empty";
        QTest::newRow("y with diaeresis would end the frame")
            << QStringList{"type txtLine1 ok", QStringLiteral("set TxtLine2 \u00FF"),
                           "click cmdSetSU"}
            << "Row 1";
        QTest::newRow("a pasted carriage return would split the rows")
            << QStringList{"set txtLine1 a\rb", "click cmdSetSU"} << "Row 0";
        QTest::newRow("a character with no byte")
            << QStringList{QStringLiteral("set txtLine1 5 \u20AC"), "click cmdSetSU"} << "8364";
    }
    void startupScreenRefusals() {
        QFETCH(QStringList, steps);
        QFETCH(QString, message);
        DialogOnLine d;
        QCOMPARE(run(*d.dialog, steps), QString());
        QCOMPARE(d.panel.boxes.shown.size(), 1);
        QCOMPARE(d.panel.boxes.shown[0].caption, QStringLiteral("TORVIKA"));
        QVERIFY2(d.panel.boxes.shown[0].text.contains(message),
                 qPrintable(d.panel.boxes.shown[0].text));
        QVERIFY(d.panel.peer.readAvailable(30).isEmpty());
        // The fields keep what the user typed.
        for (const QString &step : steps) {
            if (step.startsWith(u"click"))
                continue;
            const QByteArray field = step.section(u' ', 1, 1).toLatin1();
            auto *edit = d.dialog->controls().get<QLineEdit>(field.constData());
            QVERIFY(edit);
            QCOMPARE(edit->text(), step.section(u' ', 2));
        }
    }

    void reopeningStartsAfreshButKeepsTheSlots() {
        DialogOnLine d;
        QCOMPARE(run(*d.dialog, {"cell UDC1 16", "cell UDC1D 2", "click cmdSetUD 3",
                                 "type txtLine1 top", "type TxtLine2 bottom"}),
                 QString());
        d.dialog->close();
        QVERIFY(!d.dialog->isVisible());
        QVERIFY(d.dialog->controls().all().isEmpty());

        d.panel.window->mnuConfig()->trigger();
        QCOMPARE(d.panel.window->configDialog(), d.dialog); // one object for the run
        QVERIFY(d.dialog->isVisible());
        for (int row = 1; row <= 8; ++row)
            QCOMPARE(d.label(row), QStringLiteral("0x00"));
        for (const char *row : CellRows)
            for (const int weight : Weights)
                QCOMPARE(d.dialog->controls().get<PixelCell>(row, weight)->background(), Unlit);
        QVERIFY(d.dialog->controls().get<QLineEdit>("txtLine1")->text().isEmpty());
        QVERIFY(d.dialog->controls().get<QLineEdit>("TxtLine2")->text().isEmpty());

        // The stored slot still goes out, and the reopened grid starts from zero.
        QCOMPARE(run(*d.dialog, {"click cmdLoadUD", "cell UDC1A 8", "click cmdSetUD 0",
                                 "click cmdLoadUD", "click cmdSetSU"}),
                 QString());
        QByteArray slot3(8, '\0');
        slot3[0] = 0x10;
        slot3[4] = 0x02;
        const QByteArray first = hex("FE64") + QByteArray(24, '\0') + slot3 + QByteArray(32, '\0');
        QByteArray second = first;
        second[2 + 1] = 0x08;
        QCOMPARE(d.panel.peer.read(132).toHex(' '), (first + second).toHex(' '));
        QCOMPARE(d.panel.boxes.texts(), QStringList{"Text is Empty"});
    }

    void menuBringsTheOpenDialogForward() {
        DialogOnLine d;
        QCOMPARE(run(*d.dialog, {"cell UDC1 2", "type txtLine1 keep"}), QString());
        d.panel.window->mnuConfig()->trigger();
        QCOMPARE(d.panel.window->configDialog(), d.dialog);
        // Not rebuilt: the drawing and the text are still there.
        QCOMPARE(d.label(1), QStringLiteral("0x2"));
        QCOMPARE(d.dialog->controls().get<QLineEdit>("txtLine1")->text(), QStringLiteral("keep"));
        int dialogs = 0;
        for (QWidget *top : QApplication::topLevelWidgets())
            dialogs += qobject_cast<FrmUDChar *>(top) && top->isVisible();
        QCOMPARE(dialogs, 1);
    }

    void closingTheMainWindowClosesTheDialog() {
        DialogOnLine d;
        d.panel.window->close();
        QVERIFY(!d.dialog->isVisible());
    }

    // "19200 bps" in the main window closes the port while the dialog is open: each dialog
    // button opens it again, at the panel's new speed, and its bytes still go out whole.
    void buttonsReopenAPortTheMainWindowClosed_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("Send Bitmap to LCD") << "cmdLoadUD" << hex("FE64") + QByteArray(64, '\0');
        QTest::newRow("Set Startup Screen") << "cmdSetSU" << hex("FEC861620DFF");
        QTest::newRow("Erase Startup Screen")
            << "cmdClrSU" << hex("FE150D") + "Startup Screen Erased";
        QTest::newRow("9600 bps") << "cmd9600" << hex("0DFE1E") + "BR Set : 9600";
        QTest::newRow("19200 bps") << "cmd19200" << hex("0DFE1F") + "BR Set : 19200";
    }
    void buttonsReopenAPortTheMainWindowClosed() {
        QFETCH(QString, button);
        QFETCH(QByteArray, bytes);
        DialogOnLine d;
        QVERIFY(d.panel.port->isOpen()); // the dialog's load opened it
        QCOMPARE(run(*d.dialog, {"type txtLine1 ab"}), QString());
        QTest::mouseClick(d.panel.get<QRadioButton>("opt19200"), Qt::LeftButton);
        QVERIFY(!d.panel.port->isOpen());
        QCOMPARE(run(*d.dialog, {"click " + button}), QString());
        QVERIFY(d.panel.port->isOpen());
        QCOMPARE(d.panel.port->qtPort().baudRate(), 19200);
        QCOMPARE(d.panel.peer.read(static_cast<int>(bytes.size())).toHex(' '), bytes.toHex(' '));
        QVERIFY2(d.panel.boxes.shown.isEmpty(), qPrintable(d.panel.boxes.texts().join(u'|')));
    }

    // A port that cannot be opened: one message per click, nothing written, nothing lost.
    void buttonsOnAPortThatWillNotOpen_data() {
        QTest::addColumn<QString>("button");
        QTest::newRow("Send Bitmap to LCD") << "cmdLoadUD";
        QTest::newRow("Set Startup Screen") << "cmdSetSU";
        QTest::newRow("Erase Startup Screen") << "cmdClrSU";
        QTest::newRow("9600 bps") << "cmd9600";
        QTest::newRow("19200 bps") << "cmd19200";
    }
    void buttonsOnAPortThatWillNotOpen() {
        QFETCH(QString, button);
        RecordingSerialPort port;
        port.failOpenReason = QStringLiteral("no such device");
        MessageBoxRecorder boxes;
        FrmUDChar dialog(port, boxes);
        dialog.showDialog();
        // The load reports it, and still leaves grid and labels in step.
        QCOMPARE(boxes.texts(), QStringList{"SELECTED PORT NOT AVAILABLE!"});
        for (int row = 1; row <= 8; ++row)
            QCOMPARE(dialog.controls()
                         .get<QLabel>(qPrintable(QStringLiteral("lblRow%1").arg(row)))
                         ->text(),
                     QStringLiteral("0x00"));
        for (int row = 0; row < 8; ++row)
            QCOMPARE(dialog.editor().row(row), 0);
        QVERIFY2(boxes.shown[0].detail.contains(u"no such device") ||
                     boxes.shown[0].text.contains(u"no such device"),
                 qPrintable(boxes.shown[0].detail));

        QCOMPARE(run(dialog, {"type txtLine1 ab", "click " + button}), QString());
        QCOMPARE(boxes.texts(),
                 (QStringList{"SELECTED PORT NOT AVAILABLE!", "SELECTED PORT NOT AVAILABLE!"}));
        QVERIFY(port.writes.isEmpty());
        QCOMPARE(dialog.controls().get<QLineEdit>("txtLine1")->text(), QStringLiteral("ab"));

        // Once the device is back, the same click goes out.
        port.failOpenReason.clear();
        QCOMPARE(run(dialog, {"click " + button}), QString());
        QVERIFY(!port.writes.isEmpty());
        QCOMPARE(boxes.shown.size(), 2);
    }

    // A write that fails part-way: reported once, the rest of that click is not attempted.
    void failedWriteEndsTheClick_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("failAtByte");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("bitmap fails in its third write")
            << "cmdLoadUD" << 20 << hex("FE64") + QByteArray(18, '\0');
        QTest::newRow("bitmap fails at its first byte") << "cmdLoadUD" << 0 << QByteArray();
        QTest::newRow("erase fails in its text") << "cmdClrSU" << 5 << hex("FE150D") + "St";
        QTest::newRow("19200 fails at its command") << "cmd19200" << 1 << hex("0D");
    }
    void failedWriteEndsTheClick() {
        QFETCH(QString, button);
        QFETCH(int, failAtByte);
        QFETCH(QByteArray, written);
        DialogOnRecorder d;
        d.port.failAtByte = failAtByte;
        QCOMPARE(run(d.dialog, {"click " + button}), QString());
        // The port would take the later writes again: none were tried.
        QCOMPARE(d.port.written().toHex(' '), written.toHex(' '));
        QCOMPARE(d.boxes.texts(), QStringList{"SELECTED PORT NOT AVAILABLE!"});
        QVERIFY(d.dialog.isVisible());
    }
};

QTEST_MAIN(TstFrmUDChar)
#include "tst_frmudchar.moc"
