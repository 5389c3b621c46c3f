// The panel and the virtual module on one line: what the operator does in the panel's
// windows must show in the module's state, and the module's inputs in the panel's labels.
#include "config/frmudchar.h"
#include "mainwindow/frmmain.h"
#include "platform/fonts.h"
#include "platform/pixelcell.h"
#include "platform/portsettings.h"
#include "platform/systemserialport.h"
#include "support/messageboxrecorder.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace torvika;
using namespace torvika::test;

namespace {

// The module started headless; its JSON lines read as they come.
class Module {
public:
    explicit Module(const QString &folder) : link_(folder + QStringLiteral("/module")) {
        process_.setProcessChannelMode(QProcess::SeparateChannels);
        QObject::connect(&process_, &QProcess::readyReadStandardOutput, [this] { readLines(); });
        process_.start(QStringLiteral(TORVIKA_VIRTUAL_MODULE),
                       {QStringLiteral("--headless"), QStringLiteral("--link"), link_,
                        QStringLiteral("--state-file"), folder + QStringLiteral("/state.json")});
    }
    ~Module() {
        process_.closeWriteChannel(); // end of input ends the module
        if (!process_.waitForFinished(3000))
            process_.kill();
    }
    QString link() const { return link_; }
    bool ready() const { return ready_; }
    const QJsonObject &state() const { return state_; }
    QStringList frames() const { return frames_; }
    QStringList ignored() const { return ignored_; }
    void send(const QByteArray &line) { process_.write(line + '\n'); }

private:
    void readLines() {
        buffer_ += process_.readAllStandardOutput();
        qsizetype end;
        while ((end = buffer_.indexOf('\n')) >= 0) {
            const QJsonObject event = QJsonDocument::fromJson(buffer_.first(end)).object();
            buffer_.remove(0, end + 1);
            const QString kind = event.value(QStringLiteral("event")).toString();
            if (kind == u"ready")
                ready_ = true;
            else if (kind == u"state")
                state_ = event;
            else if (kind == u"ignored")
                ignored_ << event.value(QStringLiteral("reason")).toString();
            else if (kind == u"frame")
                frames_ << event.value(QStringLiteral("bytes")).toString();
        }
    }

    QString link_;
    QProcess process_;
    QByteArray buffer_;
    bool ready_ = false;
    QJsonObject state_;
    QStringList frames_;
    QStringList ignored_;
};

QString row(const QJsonObject &state, int r) {
    return state.value(QStringLiteral("rows")).toArray().at(r).toString();
}

} // namespace

class TstEndToEnd : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { installFontSubstitutions(); }

    void operatorAndModuleOnOneLine() {
        QTemporaryDir dir;
        Module module(dir.path());
        QTRY_VERIFY_WITH_TIMEOUT(module.ready(), 10000);

        ModIni ini(dir.path());
        QFile settings(ini.fileName());
        QVERIFY(settings.open(QIODevice::WriteOnly));
        settings.write("[Settings]\r\nCommPort=1\r\nSetting=9600,n,8,1\r\n[Ports]\r\n1=" +
                       module.link().toLocal8Bit() + "\r\n");
        settings.close();
        ModVariables vars;
        SystemSerialPort port(portMapFromSettings(ini));
        MessageBoxRecorder boxes;
        FrmMain window(vars, ini, port, boxes);
        window.show();
        const layout::Controls &c = window.controls();

        // Typing goes onto the display.
        QTest::keyClicks(c.get<QLineEdit>("txtASCIIInput"), QStringLiteral("Hi"));
        QTRY_VERIFY_WITH_TIMEOUT(row(module.state(), 0).startsWith(u"Hi"), 5000);
        QCOMPARE(module.state().value(QStringLiteral("cursor")).toObject().value("column"), 2);

        // The cursor goes where the lists say, row first.
        c.get<QComboBox>("cboRow")->setCurrentIndex(1);
        c.get<QComboBox>("cboColumn")->setCurrentIndex(5);
        QTest::mouseClick(c.get<QPushButton>("cmdCurPos"), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(
            module.state().value(QStringLiteral("cursor")).toObject().value("row").toInt(), 1,
            5000);
        QCOMPARE(module.state().value(QStringLiteral("cursor")).toObject().value("column"), 5);

        // A character drawn in the dialog becomes user character 0 of the module.
        window.mnuConfig()->trigger();
        FrmUDChar *dialog = window.configDialog();
        QVERIFY(dialog);
        QTest::mouseClick(dialog->controls().get<PixelCell>("UDC1", 16), Qt::LeftButton);
        QTest::mouseClick(dialog->controls().get<PixelCell>("UDC1G", 1), Qt::LeftButton);
        QTest::mouseClick(dialog->controls().get<QPushButton>("cmdSetUD", 0), Qt::LeftButton);
        QTest::mouseClick(dialog->controls().get<QPushButton>("cmdLoadUD"), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(
            module.state().value(QStringLiteral("chars")).toArray().at(0).toString(),
            QStringLiteral("1000000000000001"), 5000);
        // And shows where the panel puts it.
        QTest::mouseClick(window.controls().get<QPushButton>("cmdCustom", 0), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(row(module.state(), 1).at(5), QChar(0), 5000);

        // The module's inputs, set to 5, read in the panel.
        module.send("inputs 5");
        QTRY_COMPARE_WITH_TIMEOUT(module.state().value(QStringLiteral("inputs")).toInt(), 5, 5000);
        QTest::mouseClick(c.get<QPushButton>("cmdReadInput"), Qt::LeftButton);
        QCOMPARE(c.get<QLabel>("lblInput", 0)->text(), QStringLiteral("HIGH"));
        QCOMPARE(c.get<QLabel>("lblInput", 1)->text(), QStringLiteral("LOW"));
        QCOMPARE(c.get<QLabel>("lblInput", 2)->text(), QStringLiteral("HIGH"));

        QVERIFY2(boxes.shown.isEmpty(), qPrintable(boxes.texts().join(u'|')));
        QVERIFY(module.frames().contains(QStringLiteral("FE 32 01 05")));
        QVERIFY(module.frames().contains(QStringLiteral("FE 0A")));
        window.close();
    }

    // The module holds the line: the panel may close and reopen its port at another speed,
    // and the module sees the mismatch and ignores what it cannot read.
    void speedMismatchIsSeenAndSurvived() {
        QTemporaryDir dir;
        Module module(dir.path());
        QTRY_VERIFY_WITH_TIMEOUT(module.ready(), 10000);
        PortMap map;
        map.set(1, module.link());
        SystemSerialPort port(map);
        port.setSettings(QStringLiteral("19200,n,8,1"));
        QVERIFY(port.open());
        QVERIFY(port.write("x"));
        QTRY_COMPARE_WITH_TIMEOUT(module.ignored().size(), 1, 5000);
        QVERIFY2(module.ignored()[0].contains(u"19200"), qPrintable(module.ignored()[0]));
        QVERIFY(row(module.state(), 0).trimmed().isEmpty());
        port.close();
        port.setSettings(QStringLiteral("9600,n,8,1"));
        QVERIFY(port.open());
        QVERIFY(port.write("ok"));
        QTRY_VERIFY_WITH_TIMEOUT(row(module.state(), 0).startsWith(u"ok"), 5000);
    }
};

QTEST_MAIN(TstEndToEnd)
#include "tst_endtoend.moc"
