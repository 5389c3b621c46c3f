// What goes wrong around the panel: devices that vanish, flood, are busy or forbidden;
// settings files that are folders, junk, replaced, unwritable, or cut off by a kill. Each case
// ends with the panel still running, a message that says what happened, and nothing lost.
#include "config/frmudchar.h"
#include "platform/fonts.h"
#include "platform/portsettings.h"
#include "support/messageboxrecorder.h"
#include "support/recordingserialport.h"
#include "support/residentmemory.h"
#include "support/wiredpanel.h"

#include <QAction>
#include <QComboBox>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace torvika;
using namespace torvika::test;

namespace {

constexpr uid_t Nobody = 65534;
const QString NotAvailable = QStringLiteral("SELECTED PORT NOT AVAILABLE!");

// A real port whose device is pulled away just before the n-th write.
class VanishingPort final : public SerialPort {
public:
    VanishingPort(SystemSerialPort &real, PtyPeer &peer) : real_(real), peer_(peer) {}
    int vanishBeforeWrite = -1; // 0-based over all writes
    int writesSeen = 0;

    void setCommPort(int n) override { real_.setCommPort(n); }
    int commPort() const override { return real_.commPort(); }
    QString deviceName() const override { return real_.deviceName(); }
    QString deviceFor(int n) const override { return real_.deviceFor(n); }
    void setSettings(const QString &s) override { real_.setSettings(s); }
    QString settings() const override { return real_.settings(); }
    void setInputModeBinary() override { real_.setInputModeBinary(); }
    bool isOpen() const override { return real_.isOpen(); }
    PortResult open() override { return real_.open(); }
    void close() override { real_.close(); }
    PortResult write(QByteArrayView bytes) override {
        if (writesSeen++ == vanishBeforeWrite)
            peer_.closeMaster();
        return real_.write(bytes);
    }
    int inBufferCount() override { return real_.inBufferCount(); }
    QByteArray input() override { return real_.input(); }

private:
    SystemSerialPort &real_;
    PtyPeer &peer_;
};

QByteArray fileBytes(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
bool writeFile(const QString &path, const QByteArray &bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// A panel with a settings file of our choosing and a recording port.
struct PanelOnFile {
    QTemporaryDir dir;
    ModVariables vars;
    std::unique_ptr<ModIni> ini;
    RecordingSerialPort port;
    MessageBoxRecorder boxes;
    std::unique_ptr<FrmMain> window;

    void start(const QString &folder) {
        ini = std::make_unique<ModIni>(folder);
        window = std::make_unique<FrmMain>(vars, *ini, port, boxes);
        window->show();
        QTest::qWait(1); // the start message comes once the window is up
    }
};

// Settings written by the kill test: two versions of one file, both large enough that a
// write takes a while.
QByteArray versionOf(char fill) {
    return "[Settings]\r\nCommPort=1\r\nSetting=9600,n,8,1\r\n[Padding]\r\nx=" +
           QByteArray(1 << 20, fill) + "\r\n";
}

// The child of the kill test: rewrites the file between its two versions until killed.
int settingsWriterLoop(const QString &folder) {
    ModIni ini(folder);
    for (int i = 0;; ++i) {
        const QByteArray value(1 << 20, i % 2 ? 'b' : 'a');
        if (!ini.WriteINI(QStringLiteral("Padding"), QStringLiteral("x"),
                          QString::fromLatin1(value)))
            return 3;
    }
}

} // namespace

class TstFaults : public QObject {
    Q_OBJECT

    // Runs one test function of this suite again as an unprivileged user (as root, modes on
    // files and devices do not apply) and passes on its outcome.
    void rerunUnprivileged(const char *function) {
        const QString self = QCoreApplication::applicationFilePath();
        // Every folder above the test must be open to other users.
        for (QString at = QFileInfo(self).absolutePath(); at != u"/";
             at = QFileInfo(at).absolutePath())
            if (!(QFileInfo(at).permissions() & QFileDevice::ExeOther))
                QSKIP("the build folder is closed to other users; cannot run unprivileged");
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("HOME"), QDir::tempPath());
        env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
        child.setProcessEnvironment(env);
        child.setWorkingDirectory(QDir::tempPath());
        child.setChildProcessModifier([] {
            if (setgroups(0, nullptr) != 0 || setgid(Nobody) != 0 || setuid(Nobody) != 0)
                _exit(77);
        });
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(self, {QString::fromLatin1(function)});
        QVERIFY(child.waitForFinished(60000));
        const QByteArray out = child.readAll();
        if (child.exitCode() == 77)
            QSKIP("cannot become an unprivileged user here");
        QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0,
                 out.constData());
        QVERIFY2(out.contains("PASS   : TstFaults::" + QByteArray(function)), out.constData());
    }

private slots:
    void initTestCase() { installFontSubstitutions(); }

    // --- The device -------------------------------------------------------------------

    void deviceVanishesInTheMiddleOfTheBitmapFrame() {
        PtyPeer peer, spare;
        QTemporaryDir dir;
        ModIni ini(dir.path());
        QVERIFY(writeFile(ini.fileName(), "[Ports]\r\n1=" + peer.slavePath().toLocal8Bit() +
                                              "\r\n2=" + spare.slavePath().toLocal8Bit() + "\r\n"));
        SystemSerialPort real(portMapFromSettings(ini));
        VanishingPort port(real, peer);
        ModVariables vars;
        MessageBoxRecorder boxes;
        FrmMain window(vars, ini, port, boxes);
        window.show();
        window.mnuConfig()->trigger();
        FrmUDChar *dialog = window.configDialog();
        dialog->cmdSetAll_Click();
        dialog->cmdSetUD_Click(5);

        port.vanishBeforeWrite = 3; // after 10 + 8 + 8 of the 66 bytes
        QTest::mouseClick(dialog->controls().get<QWidget>("cmdLoadUD"), Qt::LeftButton);
        QCOMPARE(boxes.texts(), QStringList{NotAvailable});
        QCOMPARE(port.writesSeen, 4); // nothing more was tried after the failure
        QVERIFY(!port.isOpen());
        QVERIFY(dialog->isVisible());

        // The user moves to another port: the stored characters go out whole there.
        auto *list = window.controls().get<QComboBox>("cboComm");
        list->setCurrentIndex(1);
        window.cboComm_Click(1);
        QTest::mouseClick(dialog->controls().get<QWidget>("cmdLoadUD"), Qt::LeftButton);
        QCOMPARE(spare.read(66).toHex(' '), (QByteArray::fromHex("FE64") + QByteArray(40, '\0') +
                                             QByteArray(8, '\x1f') + QByteArray(16, '\0'))
                                                .toHex(' '));
        QCOMPARE(boxes.shown.size(), 1);
    }

    void deviceVanishesDuringTheInputWait() {
        WiredPanel w;
        QVERIFY(w.click("cmdLCD", 2)); // the port is open
        QCOMPARE(w.peer.read(1).toHex(), QByteArray("0d"));
        const QString before = w.get<QLabel>("lblInput", 0)->text();
        QTimer::singleShot(40, [&] { w.peer.closeMaster(); });
        QVERIFY(w.click("cmdReadInput"));
        QCOMPARE(w.boxes.texts(), QStringList{NotAvailable});
        QVERIFY2(w.boxes.shown[0].detail.contains(u"went away"),
                 qPrintable(w.boxes.shown[0].detail));
        QCOMPARE(w.get<QLabel>("lblInput", 0)->text(), before);
        QVERIFY(w.window->isVisible());
        // Later clicks report the missing device and never crash.
        QVERIFY(w.click("cmdReadInput"));
        QVERIFY(w.click("cmdLCD", 0));
        QCOMPARE(w.boxes.texts().count(NotAvailable), 3);
    }

    void aFloodingPeerCannotSwellThePanel() {
        WiredPanel w;
        QVERIFY(w.click("cmdLCD", 2));
        QCOMPARE(w.peer.read(1).toHex(), QByteArray("0d"));
        const long before = residentMemoryKb();
        PtyFlood flood(w.peer, 50LL * 1024 * 1024);
        QTest::qWait(1500); // the panel idles with its event loop running
        const qint64 sent = flood.stop();
        const long after = residentMemoryKb();
        QVERIFY(w.port->qtPort().bytesAvailable() <= SystemSerialPort::ReadBufferSize);
        QVERIFY2(
            after - before < 8 * 1024,
            qPrintable(QStringLiteral("grew %1 kB after %2 bytes").arg(after - before).arg(sent)));
        // It still sends what it is asked to.
        w.peer.readAvailable(10);
        QVERIFY(w.click("cmdLCD", 0));
        QCOMPARE(w.peer.read(1).toHex(), QByteArray("0b"));
        QVERIFY(w.boxes.shown.isEmpty());
    }

    void aBusyDeviceIsReportedAndUsableOnceFree() {
        WiredPanel w;
        PortMap map;
        map.set(1, w.peer.slavePath());
        auto other = std::make_unique<SystemSerialPort>(map);
        QVERIFY(other->open()); // another program holds the device
        QVERIFY(w.click("cmdLCD", 2));
        QCOMPARE(w.boxes.texts(), QStringList{NotAvailable});
        QVERIFY2(w.boxes.shown[0].detail.contains(u"busy"), qPrintable(w.boxes.shown[0].detail));
        QVERIFY(w.peer.readAvailable(20).isEmpty());
        other.reset();
        QVERIFY(w.click("cmdLCD", 2));
        QCOMPARE(w.peer.read(1).toHex(), QByteArray("0d"));
        QCOMPARE(w.boxes.shown.size(), 1);
    }

    void aForbiddenDeviceIsReportedWithItsCause() {
        if (::geteuid() == 0)
            return rerunUnprivileged("aForbiddenDeviceIsReportedWithItsCause");
        WiredPanel w;
        const QByteArray device = w.peer.slavePath().toLocal8Bit();
        QVERIFY(::chmod(device.constData(), 0) == 0);
        QVERIFY(w.click("cmdLCD", 2));
        QCOMPARE(w.boxes.texts(), QStringList{NotAvailable});
        QVERIFY2(w.boxes.shown[0].detail.contains(u"permission denied") &&
                     w.boxes.shown[0].detail.contains(u"dialout"),
                 qPrintable(w.boxes.shown[0].detail));
        // Once the user has been given the device, the same click goes out.
        QVERIFY(::chmod(device.constData(), 0600) == 0);
        QVERIFY(w.click("cmdLCD", 2));
        QCOMPARE(w.peer.read(1).toHex(), QByteArray("0d"));
    }

    // --- The settings file ------------------------------------------------------------

    void settingsFileIsAFolder() {
        PanelOnFile p;
        QVERIFY(QDir(p.dir.path()).mkdir(QStringLiteral("torvika.ini")));
        QVERIFY(writeFile(p.dir.path() + QStringLiteral("/torvika.ini/keep"), "mine"));
        p.start(p.dir.path());
        QCOMPARE(p.boxes.shown.size(), 1);
        QVERIFY2(p.boxes.shown[0].text.contains(p.ini->fileName()) &&
                     p.boxes.shown[0].text.contains(u"folder"),
                 qPrintable(p.boxes.shown[0].text));
        QCOMPARE(p.port.commPort(), 1); // the defaults
        p.window->close();
        QCOMPARE(p.boxes.shown.size(), 2);
        QVERIFY2(p.boxes.shown[1].text.contains(u"could not be saved"),
                 qPrintable(p.boxes.shown[1].text));
        QCOMPARE(fileBytes(p.dir.path() + QStringLiteral("/torvika.ini/keep")), QByteArray("mine"));
    }

    void settingsFileIsFiftyMegabytesOfJunk() {
        PanelOnFile p;
        const QString path = p.dir.path() + QStringLiteral("/torvika.ini");
        QByteArray junk(50 * 1024 * 1024, '\0');
        QRandomGenerator generator(1234);
        generator.fillRange(reinterpret_cast<quint32 *>(junk.data()), junk.size() / 4);
        QVERIFY(writeFile(path, junk));
        const QByteArray hash = QCryptographicHash::hash(junk, QCryptographicHash::Sha256);
        junk.clear();
        p.start(p.dir.path());
        QCOMPARE(p.boxes.shown.size(), 1);
        QVERIFY2(p.boxes.shown[0].text.contains(u"16 MB"), qPrintable(p.boxes.shown[0].text));
        p.window->close();
        QCOMPARE(QCryptographicHash::hash(fileBytes(path), QCryptographicHash::Sha256), hash);
    }

    void smallJunkIsReadAsNoSettingsAndKept() {
        PanelOnFile p;
        const QString path = p.dir.path() + QStringLiteral("/torvika.ini");
        QByteArray junk(64 * 1024, '\0');
        QRandomGenerator generator(99);
        generator.fillRange(reinterpret_cast<quint32 *>(junk.data()), junk.size() / 4);
        QVERIFY(writeFile(path, junk));
        p.start(p.dir.path());
        p.window->close();
        const QByteArray after = fileBytes(path);
        // The junk is all still there; the panel's keys were added to it.
        QVERIFY(after.size() > junk.size());
        QVERIFY(after.contains("CommPort=1"));
        int kept = 0;
        for (qsizetype i = 0; i + 64 <= junk.size(); i += 4096)
            kept += after.contains(junk.mid(i, 64));
        QCOMPARE(kept, static_cast<int>(junk.size() / 4096));
    }

    void settingsFileReplacedWhileThePanelRuns() {
        PanelOnFile p;
        const QString path = p.dir.path() + QStringLiteral("/torvika.ini");
        QVERIFY(writeFile(path, "[Settings]\r\nCommPort=4\r\nSetting=19200,n,8,1\r\n[LCD]\r\n"
                                "BL=200\r\n"));
        p.start(p.dir.path());
        // Another program puts a new file in place, as editors do: a new file renamed over.
        const QByteArray replacement = "; edited by hand\r\n[Ports]\r\n4=/dev/ttyUSB0\r\n"
                                       "[Settings]\r\nCommPort=4\r\n";
        QVERIFY(writeFile(path + QStringLiteral(".new"), replacement));
        QVERIFY(::rename((path + QStringLiteral(".new")).toLocal8Bit().constData(),
                         path.toLocal8Bit().constData()) == 0);
        p.window->close();
        const QByteArray after = fileBytes(path);
        for (const QByteArray &line :
             {QByteArray("; edited by hand"), QByteArray("4=/dev/ttyUSB0"),
              QByteArray("CommPort=4"), QByteArray("Setting=19200,n,8,1"), QByteArray("BL=200")})
            QVERIFY2(after.contains(line), after.constData());
        QVERIFY(p.boxes.shown.isEmpty());
    }

    void settingsFolderIsReadOnly() {
        if (::geteuid() == 0)
            return rerunUnprivileged("settingsFolderIsReadOnly");
        PanelOnFile p;
        const QString path = p.dir.path() + QStringLiteral("/torvika.ini");
        const QByteArray before = "[Settings]\r\nCommPort=2\r\n"; // BL must be added at close
        QVERIFY(writeFile(path, before));
        QVERIFY(::chmod(path.toLocal8Bit().constData(), 0444) == 0);
        QVERIFY(::chmod(p.dir.path().toLocal8Bit().constData(), 0555) == 0);
        p.start(p.dir.path());
        QVERIFY(p.boxes.shown.isEmpty());
        p.window->close();
        QCOMPARE(p.boxes.shown.size(), 1);
        QVERIFY2(p.boxes.shown[0].text.contains(QStringLiteral("could not be saved to ") + path),
                 qPrintable(p.boxes.shown[0].text));
        QCOMPARE(fileBytes(path), before);
        ::chmod(p.dir.path().toLocal8Bit().constData(), 0755);
    }

    // The file is replaced whole by a rename: a kill at any moment leaves the old or the new
    // file, never a part of one.
    void killedDuringTheSettingsWrite() {
        QTemporaryDir dir;
        const QString path = dir.path() + QStringLiteral("/torvika.ini");
        QVERIFY(writeFile(path, versionOf('b')));
        const QByteArray a = versionOf('a'), b = versionOf('b');
        QRandomGenerator generator(7);
        int sawA = 0, sawB = 0;
        for (int round = 0; round < 12; ++round) {
            QProcess writer;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("TORVIKA_FAULT_WRITER"), dir.path());
            writer.setProcessEnvironment(env);
            writer.start(QCoreApplication::applicationFilePath(), {});
            QVERIFY(writer.waitForStarted());
            QTest::qWait(60 + generator.bounded(120));
            ::kill(static_cast<pid_t>(writer.processId()), SIGKILL);
            QVERIFY(writer.waitForFinished());
            const QByteArray now = fileBytes(path);
            QVERIFY2(now == a || now == b,
                     qPrintable(QStringLiteral("round %1: %2 bytes").arg(round).arg(now.size())));
            sawA += now == a;
            sawB += now == b;
        }
        // Leftover temporary files are not the settings file, and never read as one.
        const ModIni ini(dir.path());
        QCOMPARE(ini.ReadINI(QStringLiteral("Settings"), QStringLiteral("CommPort")),
                 QStringLiteral("1"));
        QVERIFY(sawA + sawB == 12);
    }
};

int main(int argc, char *argv[]) {
    if (qEnvironmentVariableIsSet("TORVIKA_FAULT_WRITER"))
        return settingsWriterLoop(qEnvironmentVariable("TORVIKA_FAULT_WRITER"));
    QApplication app(argc, argv);
    TstFaults test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_faults.moc"
