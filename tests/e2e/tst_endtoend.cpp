// The panel and the virtual module on one line; the module's session on a real serial port.
#include "session.h"
#include "support/wiredpanel.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

using namespace torvika;
using namespace torvika::test;
using namespace torvika::vmodule;

namespace {

// The module started headless; the latest of each kind of its JSON lines, as they come.
struct Module {
    explicit Module(const QString &folder) : link(folder + QStringLiteral("/module")) {
        QObject::connect(&process_, &QProcess::readyReadStandardOutput, [this] {
            buffer_ += process_.readAllStandardOutput();
            for (qsizetype end; (end = buffer_.indexOf('\n')) >= 0; buffer_.remove(0, end + 1)) {
                const QJsonObject event = QJsonDocument::fromJson(buffer_.first(end)).object();
                last[event.value(QStringLiteral("event")).toString()] = event;
            }
        });
        process_.start(QStringLiteral(TORVIKA_VIRTUAL_MODULE),
                       {QStringLiteral("--headless"), QStringLiteral("--link"), link,
                        QStringLiteral("--state-file"), folder + QStringLiteral("/state.json")});
    }
    ~Module() {
        process_.closeWriteChannel(); // end of input ends the module
        if (!process_.waitForFinished(3000))
            process_.kill();
    }
    void send(const QByteArray &line) { process_.write(line + '\n'); }
    QJsonValue state(const char *key) const {
        return last.value("state").value(QLatin1String(key));
    }
    QString row(int r) const { return state("rows").toArray().at(r).toString(); }

    const QString link;
    QHash<QString, QJsonObject> last;
    QProcess process_;
    QByteArray buffer_;
};

struct Line {
    QTemporaryDir dir;
    PtyLink link{dir.filePath(QStringLiteral("module"))};
    std::unique_ptr<SystemSerialPort> port;
    QString open() {
        PortMap map;
        map.set(1, link.linkPath());
        port = std::make_unique<SystemSerialPort>(map);
        const QString problem = link.open();
        return problem.isEmpty() ? port->open().reason : problem;
    }
};

} // namespace

class TstEndToEnd : public QObject {
    Q_OBJECT
private slots:
    void operatorAndModuleOnOneLine() {
        QTemporaryDir dir;
        Module module(dir.path());
        QTRY_VERIFY_WITH_TIMEOUT(module.last.contains("ready"), 10000);
        WiredPanel w("[Ports]\r\n1=" + module.link.toLocal8Bit() + "\r\n");
        // Typing goes onto the display; the cursor goes where the lists say, row first.
        QTest::keyClicks(w.get<QLineEdit>("txtASCIIInput"), QStringLiteral("Hi"));
        QTRY_VERIFY_WITH_TIMEOUT(module.row(0).startsWith(u"Hi"), 5000);
        w.choose("cboRow", QStringLiteral("1"));
        w.choose("cboColumn", QStringLiteral("5"));
        QVERIFY(w.click("cmdCurPos"));
        QTRY_COMPARE_WITH_TIMEOUT(module.state("cursor").toObject().value("row").toInt(), 1, 5000);
        QCOMPARE(module.state("cursor").toObject().value("column").toInt(), 5);
        // The module's inputs, set to 5, read in the panel.
        module.send("inputs 5");
        QTRY_COMPARE_WITH_TIMEOUT(module.state("inputs").toInt(), 5, 5000);
        QVERIFY(w.click("cmdReadInput"));
        QCOMPARE(w.get<QLabel>("lblInput", 0)->text() + w.get<QLabel>("lblInput", 1)->text(),
                 QStringLiteral("HIGHLOW"));
        QVERIFY2(w.boxes.shown.isEmpty(), qPrintable(w.boxes.texts().join(u'|')));
    }

    // What follows the speed command in the same chunk arrives at the new speed: garbage, as is
    // all that follows until the panel's port runs at the module's speed.
    void speedSwitchInsideOneChunk() {
        Line line;
        QCOMPARE(line.open(), QString());
        Session session(line.link, line.dir.filePath(QStringLiteral("state.json")));
        QStringList ignored;
        connect(&session, &Session::ignored, [&](const QByteArray &bytes, const QString &why) {
            ignored << QString::fromLatin1(bytes) + u':' + why;
        });
        // Once the module has taken bytes, it has seen the port's opening settle.
        int frames = 0;
        connect(&session, &Session::frameDecoded, [&] { ++frames; });
        QVERIFY(line.port->write(hex("0B")));
        QTRY_COMPARE(frames, 1);
        QVERIFY(line.port->write(hex("FE1F") + "AB" + hex("FE")));
        QTRY_COMPARE(ignored, QStringList{QStringLiteral(
                                  "AB\u00FE:the module now runs at 19200 bit/s, the line at 9600 "
                                  "bit/s")});
        QVERIFY(session.speedMismatch());
        QVERIFY(line.port->write("C"));
        QTRY_COMPARE(ignored.size(), 2);
        QVERIFY(ignored[1].endsWith(u"C:the line runs at 9600 bit/s, the module at 19200"));
        line.port->close();
        line.port->setSettings(QStringLiteral("19200,n,8,1"));
        QVERIFY(line.port->open() && line.port->write("ok"));
        QTRY_COMPARE(session.model().row(0).left(3), QByteArray("ok ")); // the cut FE not joined
        // Written at the module's speed just before a sender changed the line's.
        emit line.link.received("!", {19200, 9600});
        QCOMPARE(session.model().row(0).left(3), QByteArray("ok!"));
    }

    void stateFileThatCannotBeReadOrWritten() {
        Line line;
        QCOMPARE(line.open(), QString());
        const QString junk = line.dir.filePath(QStringLiteral("junk.json"));
        QFile file(junk);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("{ not json") > 0);
        file.close();
        QVERIFY(Session(line.link, junk)
                    .memoryProblem()
                    .contains(junk + QStringLiteral(" is not a state file")));
        // Its folder would have to be where a file is.
        const QString state = junk + QStringLiteral("/state.json");
        Session session(line.link, state);
        Session fresh(line.link, line.dir.filePath(QStringLiteral("new/state.json")));
        QCOMPARE(session.memoryProblem(), QString());
        QVERIFY(line.port->write(hex("FE2864 FE140D") + "ok"));
        QTRY_VERIFY(session.model().row(0).startsWith("ok")); // the module runs on
        QVERIFY2(session.memoryProblem().startsWith(QStringLiteral("cannot write ") + state),
                 qPrintable(session.memoryProblem()));
        QCOMPARE(session.model().memory().brightness, 100);
        // A folder not there yet is made: what was saved comes back.
        QCOMPARE(Session(line.link, fresh.stateFile()).model().memory().brightness, 100);
    }
};

QTEST_MAIN(TstEndToEnd)
#include "tst_endtoend.moc"
