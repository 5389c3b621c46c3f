// The main window's start and close, its port settings and the settings file it keeps.
#include "config/frmudchar.h"
#include "mainwindow/frmmain.h"
#include "platform/fonts.h"
#include "support/messageboxrecorder.h"
#include "support/recordingserialport.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
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
    std::unique_ptr<FrmMain> window;

    explicit Panel(const QByteArray &file, bool writeFile = true) {
        if (writeFile) {
            QFile f(ini.fileName());
            f.open(QIODevice::WriteOnly);
            f.write(file);
        }
        window = std::make_unique<FrmMain>(vars, ini, port, boxes);
    }
    template <typename T> T *get(const char *name, int index = -1) {
        return window->controls().get<T>(name, index);
    }
    QByteArray fileAfterClose() {
        window->close();
        QFile f(ini.fileName());
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }
};

QStringList items(QComboBox *list) {
    QStringList all;
    for (int i = 0; i < list->count(); ++i)
        all << list->itemText(i);
    return all;
}

QStringList numbers(int first, int last) {
    QStringList all;
    for (int n = first; n <= last; ++n)
        all << QString::number(n);
    return all;
}

const QByteArray Typical = "[Settings]\r\nCommPort=2\r\nSetting=19200,n,8,1\r\n[LCD]\r\nBL=155\r\n";

} // namespace

class TestFrmMainLifecycle : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { installFontSubstitutions(); }

    void startFillsTheListsAndSendsNothing() {
        Panel p(Typical);
        QCOMPARE(items(p.get<QComboBox>("cboComm")), numbers(1, 20));
        QCOMPARE(items(p.get<QComboBox>("cboColumn")), numbers(0, 15));
        QCOMPARE(items(p.get<QComboBox>("cboRow")), numbers(0, 1));
        QCOMPARE(items(p.get<QComboBox>("cboCursor")),
                 (QStringList{"Underline", "Block Blinking", "Hide"}));
        for (const char *out : {"cboOut1", "cboOut2", "cboOut3"}) {
            QCOMPARE(items(p.get<QComboBox>(out)), (QStringList{"ON", "OFF"}));
            QCOMPARE(p.get<QComboBox>(out)->currentText(), QStringLiteral("ON"));
        }
        QCOMPARE(items(p.get<QComboBox>("cboGraph")), numbers(1, 80));
        for (const char *list : {"cboColumn", "cboRow", "cboCursor", "cboGraph"})
            QCOMPARE(p.get<QComboBox>(list)->currentIndex(), 0);
        QVERIFY(!p.port.isOpen());
        QCOMPARE(p.port.opens, 0);
        QVERIFY(p.port.writes.isEmpty());
        QVERIFY(p.port.binary);
        QCOMPARE(p.get<QLabel>("lblTxData")->text(), QString());
    }

    void startAppliesTheRememberedValues_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("settings");
        QTest::addColumn<bool>("is9600");
        QTest::addColumn<int>("slider");
        QTest::newRow("port 3 selects the third item")
            << QByteArray("[Settings]\nCommPort=3\nSetting=9600,n,8,1\n[LCD]\nBL=100\n") << 3
            << "9600,n,8,1" << true << 100;
        QTest::newRow("9600 followed by anything selects 9600 bps, the port gets the text")
            << QByteArray("[Settings]\nCommPort=1\nSetting=9600,e,7,2\n[LCD]\nBL=50\n") << 1
            << "9600,e,7,2" << true << 50;
        QTest::newRow("19200 selects 19200 bps") << Typical << 2 << "19200,n,8,1" << false << 155;
        QTest::newRow("any other speed selects 19200 bps")
            << QByteArray("[Settings]\nCommPort=20\nSetting=115200,n,8,1\n[LCD]\nBL=250\n") << 20
            << "115200,n,8,1" << false << 250;
        QTest::newRow("no file: the design state")
            << QByteArray() << 1 << "9600,n,8,1" << true << 155;
    }
    void startAppliesTheRememberedValues() {
        QFETCH(QByteArray, file);
        QFETCH(int, port);
        QFETCH(QString, settings);
        QFETCH(bool, is9600);
        QFETCH(int, slider);
        Panel p(file, !file.isEmpty());
        QCOMPARE(p.port.commPort(), port);
        QCOMPARE(p.port.settings(), settings);
        QCOMPARE(p.get<QComboBox>("cboComm")->currentText(), QString::number(port));
        QCOMPARE(p.get<QRadioButton>("opt9600")->isChecked(), is9600);
        QCOMPARE(p.get<QRadioButton>("opt19200")->isChecked(), !is9600);
        QCOMPARE(p.get<QSlider>("Backlightlevel")->value(), slider);
        QVERIFY(p.port.writes.isEmpty()); // restoring the slider sends nothing
        QVERIFY(p.boxes.shown.isEmpty());
    }

    void closeWritesBackWhatWasRead() {
        Panel p(Typical);
        // Whatever the user chose meanwhile is not remembered.
        p.get<QComboBox>("cboComm")->setCurrentIndex(6);
        emit p.get<QComboBox>("cboComm")->activated(6);
        p.get<QRadioButton>("opt9600")->click();
        p.get<QSlider>("Backlightlevel")->setValue(60);
        QCOMPARE(p.fileAfterClose(), Typical);
    }

    void missingFileBecomesATemplate() {
        Panel p(QByteArray(), false);
        const QByteArray file = p.fileAfterClose();
        QCOMPARE(file, QByteArray("[Settings]\r\nCommPort=1\r\nSetting=9600,n,8,1\r\n"
                                  "[LCD]\r\nBL=155\r\n"));
        QVERIFY(p.boxes.shown.isEmpty());
    }

    void unusableValuesAreNamedAndKept() {
        const QByteArray file = "[Settings]\nCommPort=COM3\nSetting=9600,x,8,1\n[LCD]\nBL=999\n";
        Panel p(file);
        QCOMPARE(p.port.commPort(), 1);
        QCOMPARE(p.port.settings(), QStringLiteral("9600,n,8,1"));
        QCOMPARE(p.get<QSlider>("Backlightlevel")->value(), 155);
        QVERIFY(p.boxes.shown.isEmpty()); // not before the window is shown
        p.window->show();
        QTRY_COMPARE(p.boxes.shown.size(), 1);
        const auto &box = p.boxes.shown[0];
        QCOMPARE(box.caption, QStringLiteral("TORVIKA"));
        for (const char *part : {"CommPort", "COM3", "Setting", "9600,x,8,1", "BL", "999"})
            QVERIFY2(box.text.contains(QLatin1String(part)), part);
        QVERIFY(box.text.contains(p.ini.fileName()));
        // Shown once, not at every showing.
        p.window->hide();
        p.window->show();
        QTest::qWait(20);
        QCOMPARE(p.boxes.shown.size(), 1);
        QCOMPARE(p.fileAfterClose(), file);
    }

    void garbageFilesNeverStopTheStart_data() {
        QTest::addColumn<QByteArray>("file");
        QByteArray binary;
        for (int i = 0; i < 4096; ++i)
            binary.append(static_cast<char>((i * 131 + 7) & 0xFF));
        QTest::newRow("binary bytes") << binary;
        QTest::newRow("NUL bytes in the values")
            << QByteArray("[Settings]\nCommPort=\0\x01\nSetting=\0\n[LCD]\nBL=1\0\n", 43);
        QTest::newRow("a 1 MB line") << ("[Settings]\nCommPort=" + QByteArray(1 << 20, '7'));
        QTest::newRow("markup in a value") << QByteArray("[Settings]\nCommPort=<b>1</b>\n");
    }
    void garbageFilesNeverStopTheStart() {
        QFETCH(QByteArray, file);
        Panel p(file);
        p.window->show();
        QTest::qWait(10);
        QVERIFY(p.port.commPort() >= 1 && p.port.commPort() <= 20);
        QVERIFY(!p.port.isOpen());
    }

    void directoryInPlaceOfTheFile() {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("torvika.ini")));
        ModVariables vars;
        ModIni ini(dir.path());
        RecordingSerialPort port;
        MessageBoxRecorder boxes;
        {
            FrmMain window(vars, ini, port, boxes);
            QCOMPARE(port.commPort(), 1);
            window.close();
        }
        QVERIFY(QFileInfo(ini.fileName()).isDir());
    }

    void choosingAPortTakesEffectForThisRun() {
        Panel p(Typical);
        p.vars.TxData[0] = 13;
        p.window->transmitter().SendTxData(1);
        QVERIFY(p.port.isOpen());
        p.get<QComboBox>("cboComm")->setCurrentIndex(4);
        emit p.get<QComboBox>("cboComm")->activated(4);
        QVERIFY(!p.port.isOpen());
        QCOMPARE(p.port.commPort(), 5);
        QCOMPARE(p.fileAfterClose(), Typical);
    }

    void lineSpeedOptionsCloseThePortAndChangeItsSettings_data() {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("settings");
        QTest::newRow("19200 bps") << "opt19200"
                                   << "19200,n,8,1";
        QTest::newRow("9600 bps") << "opt9600"
                                  << "9600,n,8,1";
    }
    void lineSpeedOptionsCloseThePortAndChangeItsSettings() {
        QFETCH(QString, option);
        QFETCH(QString, settings);
        Panel p("[Settings]\nCommPort=1\nSetting=9600,e,8,1\n");
        p.get<QRadioButton>("opt19200")->setChecked(option == QLatin1String("opt9600"));
        p.vars.TxData[0] = 12;
        p.window->transmitter().SendTxData(1);
        QVERIFY(p.port.isOpen());
        p.get<QRadioButton>(qPrintable(option))->click();
        QVERIFY(!p.port.isOpen());
        QCOMPARE(p.port.settings(), settings);
        QCOMPARE(p.port.writes.size(), 1); // the option itself sends nothing
        p.window->transmitter().SendTxData(1);
        QVERIFY(p.port.isOpen());
        QCOMPARE(p.port.opens, 2);
        QCOMPARE(p.vars.SavedSetting, QStringLiteral("9600,e,8,1"));
    }

    void optionButtonsExcludeEachOther() {
        Panel p(Typical);
        auto *a = p.get<QRadioButton>("opt9600");
        auto *b = p.get<QRadioButton>("opt19200");
        a->click();
        QVERIFY(a->isChecked() && !b->isChecked());
        b->click();
        QVERIFY(!a->isChecked() && b->isChecked());
    }

    void configMenuShowsOneDialogAndCloseEndsBoth() {
        Panel p(Typical);
        p.window->show();
        p.window->mnuConfig()->trigger();
        FrmUDChar *first = p.window->configDialog();
        QVERIFY(first);
        QVERIFY(first->isVisible());
        p.window->mnuConfig()->trigger();
        QCOMPARE(p.window->configDialog(), first);
        QCOMPARE(p.window->mnuConfig()->text(), QStringLiteral("Config LCD"));
        // The main window stays usable meanwhile.
        p.get<QPushButton>("cmdLCD", 2)->click();
        QCOMPARE(p.port.written().right(1), QByteArray("\x0D"));
        p.window->close();
        QVERIFY(!first->isVisible());
    }

    void windowIsTheFixedClientArea() {
        Panel p(Typical);
        p.window->show();
        QCOMPARE(p.window->windowTitle(), QStringLiteral("TORVIKA Serial LCD"));
        QCOMPARE(p.window->centralWidget()->size(), QSize(694, 533));
        QVERIFY(!p.window->windowIcon().isNull());
        QCOMPARE(p.window->minimumSize(), p.window->maximumSize());
    }
};

QTEST_MAIN(TestFrmMainLifecycle)
#include "tst_frmmain_lifecycle.moc"
