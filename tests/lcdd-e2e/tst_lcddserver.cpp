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

// The module's state in one line: "row 1|row 2|outputs 5|light 250" ("light off").
QString shown(const QJsonObject &state) {
    const QJsonArray rows = state.value("rows").toArray();
    const QJsonObject light = state.value("backlight").toObject();
    return rows.at(0).toString() + '|' + rows.at(1).toString() +
           QStringLiteral("|outputs %1|light ").arg(state.value("outputs").toInt()) +
           (light.value("on").toBool() ? QString::number(light.value("level").toInt()) : "off");
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
        server = std::make_unique<LcddServer>(
            dir.path(), TORVIKA_DRIVER_DIR,
            "Device=" + module->link.toLocal8Bit() + "\nSpeed=9600\nKey2=\n", TORVIKA_LCDD_PRELOAD);
        QVERIFY2(client.connectTo(server->port), server->read().constData());
        QVERIFY(client.command("hello").startsWith("connect LCDproc"));
        // Key2 is set to no key: the client asks for the empty name too, to see that none comes.
        for (const char *line :
             {"screen_add s", "screen_set s -priority foreground", "widget_add s t string",
              "widget_add s b hbar", "client_add_key Enter", "client_add_key {}"})
            QCOMPARE(client.command(line), QByteArray("success"));
    }

    // Each command in turn; the module's state as "row 1|row 2|outputs|light" after it.
    void clientSetsWhatTheModuleShows_data() {
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<QString>("pattern");
        // clang-format off
        QTest::newRow("a string widget on row 1") << QByteArray("widget_set s t 3 1 {Hello LCDd}") << "^  Hello LCDd    \\|";
        QTest::newRow("a bar of 40 pixels fills 8 cells of row 2") << QByteArray("widget_set s b 1 2 40") << "\\|[^ ]{8} {8}\\|";
        QTest::newRow("outputs 1 and 3") << QByteArray("output 5") << "\\|outputs 5\\|";
        QTest::newRow("backlight off") << QByteArray("screen_set s -backlight off") << "\\|light off$";
        QTest::newRow("backlight on at the module's top level") << QByteArray("screen_set s -backlight on") << "\\|light 250$";
        // clang-format on
    }
    void clientSetsWhatTheModuleShows() {
        QFETCH(QByteArray, command);
        QFETCH(QString, pattern);
        QCOMPARE(client.command(command), QByteArray("success"));
        QTRY_VERIFY2_WITH_TIMEOUT(
            QRegularExpression(pattern).match(shown(module->state())).hasMatch(),
            qPrintable(shown(module->state())), 3000);
    }

    // Input 1 going HIGH is one press of Enter; staying HIGH is no further press; input 2, set
    // to no key, is none.
    void inputIsKey() {
        module->process.write("inputs 1\n");
        QTRY_VERIFY_WITH_TIMEOUT(client.read().count("key Enter") == 1, 3000);
        module->process.write("inputs 3\n");
        QTest::qWait(500);
        QCOMPARE(client.read().count("key "), 1);
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
        // The outputs and the backlight's level only come back with everything else.
        const QRegularExpression whole("^Back again {6}\\|.*\\|outputs 5\\|light 250$");
        QTRY_VERIFY2_WITH_TIMEOUT(whole.match(shown(module->state())).hasMatch(),
                                  qPrintable(shown(module->state())), 5000);
        QCOMPARE(server->read().count("is back"), 1);
    }
};

QTEST_GUILESS_MAIN(TestLcddServer)
#include "tst_lcddserver.moc"
