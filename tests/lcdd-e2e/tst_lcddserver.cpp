// Debian's LCDd with the built driver, a client over TCP and the headless virtual module: what
// a client sets is what the module shows; an input is a key; an unplugged module is reported
// once and gets the whole screen back when it returns.
#include "support/lcddserver.h"
#include "support/virtualmodule.h"

#include <QJsonArray>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using torvika::test::LcdClient;
using torvika::test::LcddServer;
using torvika::test::VirtualModule;

namespace {

#ifndef TORVIKA_LCDD_PRELOAD
#define TORVIKA_LCDD_PRELOAD ""
#endif

// One part of the module's state as text: a row, the outputs or the backlight.
QString shown(const QJsonObject &state, const QString &part) {
    if (part.startsWith(u"row"))
        return state.value("rows").toArray().at(part.back().digitValue()).toString();
    if (part == u"outputs")
        return QString::number(state.value("outputs").toInt());
    const QJsonObject light = state.value("backlight").toObject();
    return light.value("on").toBool() ? QString::number(light.value("level").toInt())
                                      : QStringLiteral("off");
}

} // namespace

class TestLcddServer : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    std::unique_ptr<VirtualModule> module;
    std::unique_ptr<LcddServer> server;
    LcdClient client;

private slots:
    void initTestCase() {
        QVERIFY2(!LcddServer::program().isEmpty(), "LCDd is missing: apt-get install lcdproc");
        module = std::make_unique<VirtualModule>(TORVIKA_VIRTUAL_MODULE, dir.path());
        QTRY_VERIFY_WITH_TIMEOUT(module->read().contains("\"ready\""), 10000);
        server = std::make_unique<LcddServer>(dir.path(), TORVIKA_DRIVER_DIR,
                                              "Device=" + module->link.toLocal8Bit() + "\n",
                                              TORVIKA_LCDD_PRELOAD);
        QVERIFY2(client.connectTo(server->port), server->read().constData());
        QVERIFY(client.command("hello").startsWith("connect LCDproc"));
        for (const char *line :
             {"screen_add s", "screen_set s -priority foreground", "widget_add s t string",
              "widget_add s b hbar", "client_add_key Enter"})
            QCOMPARE(client.command(line), QByteArray("success"));
    }

    void clientSetsWhatTheModuleShows_data() {
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<QString>("part");
        QTest::addColumn<QString>("pattern");
        // clang-format off
        QTest::newRow("a string widget on row 1") << QByteArray("widget_set s t 3 1 {Hello LCDd}") << "row0" << "^  Hello LCDd    $";
        QTest::newRow("a bar of 40 pixels fills 8 cells of row 2") << QByteArray("widget_set s b 1 2 40") << "row1" << "^[^ ]{8} {8}$";
        QTest::newRow("outputs 1 and 3") << QByteArray("output 5") << "outputs" << "^5$";
        QTest::newRow("backlight off") << QByteArray("screen_set s -backlight off") << "backlight" << "^off$";
        QTest::newRow("backlight on at the module's top level") << QByteArray("screen_set s -backlight on") << "backlight" << "^250$";
        // clang-format on
    }
    void clientSetsWhatTheModuleShows() {
        QFETCH(QByteArray, command);
        QFETCH(QString, part);
        QFETCH(QString, pattern);
        QCOMPARE(client.command(command), QByteArray("success"));
        const QRegularExpression expected(pattern);
        QTRY_VERIFY2_WITH_TIMEOUT(expected.match(shown(module->state(), part)).hasMatch(),
                                  qPrintable(shown(module->state(), part)), 3000);
    }

    // Input 1 going HIGH is one press of Enter; staying HIGH is no further press.
    void inputIsKey() {
        module->process.write("inputs 1\n");
        QTRY_VERIFY_WITH_TIMEOUT(client.read().count("key Enter") == 1, 3000);
        QTest::qWait(500);
        QCOMPARE(client.read().count("key Enter"), 1);
        module->process.write("inputs 0\n");
        QTest::qWait(300);
        module->process.write("inputs 1\n");
        QTRY_VERIFY_WITH_TIMEOUT(client.read().count("key Enter") == 2, 3000);
    }

    // The module goes away: LCDd reports it once and keeps serving; a module at the same place
    // gets the whole screen again.
    void unplugAndBack() {
        module.reset();
        QTest::qWait(3000);
        QCOMPARE(server->read().count("went away"), 1);
        QCOMPARE(server->process.state(), QProcess::Running);
        QCOMPARE(client.command("widget_set s t 1 1 {Back again}"), QByteArray("success"));

        module = std::make_unique<VirtualModule>(TORVIKA_VIRTUAL_MODULE, dir.path());
        QTRY_VERIFY_WITH_TIMEOUT(shown(module->state(), "row0").startsWith(u"Back again"), 5000);
        QCOMPARE(shown(module->state(), "outputs"), QStringLiteral("5"));
        QCOMPARE(server->read().count("is back"), 1);
    }
};

QTEST_GUILESS_MAIN(TestLcddServer)
#include "tst_lcddserver.moc"
