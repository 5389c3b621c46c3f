// The virtual module's session on its pty, driven through a real serial port: a speed change
// inside one chunk of bytes, and a state file that cannot be read or written.
#include "platform/systemserialport.h"
#include "session.h"
#include "support/data.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace torvika;
using namespace torvika::vmodule;
using torvika::test::hex;

namespace {

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

class TstSession : public QObject {
    Q_OBJECT
private slots:
    // What follows the speed command in the same chunk arrives at the new speed: garbage.
    void speedSwitchInsideOneChunk() {
        Line line;
        QCOMPARE(line.open(), QString());
        Session session(line.link, line.dir.filePath(QStringLiteral("state.json")));
        QStringList ignored;
        connect(&session, &Session::ignored, [&](const QByteArray &bytes, const QString &why) {
            ignored << QString::fromLatin1(bytes) + u':' + why;
        });
        QVERIFY(line.port->write(hex("FE1F") + "AB"));
        QTRY_COMPARE(ignored,
                     QStringList{"AB:the module now runs at 19200 bit/s, the line at 9600"});
        QVERIFY(session.speedMismatch());
        QVERIFY(line.port->write("C"));
        QTRY_COMPARE(ignored.size(), 2);
        QCOMPARE(session.model().row(0), QByteArray(16, ' '));
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
        QCOMPARE(session.memoryProblem(), QString());
        QVERIFY(line.port->write(hex("FE2864 FE140D") + "ok"));
        QTRY_VERIFY(session.model().row(0).startsWith("ok")); // the module runs on
        QVERIFY2(session.memoryProblem().startsWith(QStringLiteral("cannot write ") + state),
                 qPrintable(session.memoryProblem()));
        QCOMPARE(session.model().memory().brightness, 100);
    }
};

QTEST_GUILESS_MAIN(TstSession)
#include "tst_session.moc"
