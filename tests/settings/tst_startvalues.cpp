// What the start applies for each kind of settings text, and what it tells the user.
#include "settings/startvalues.h"

#include <QTest>

using namespace torvika;

namespace {
// Stands in for the line-settings parser: only "bad" texts are refused.
QString refuseBad(const QString &text) {
    return text.startsWith(QLatin1String("bad")) ? QStringLiteral("no such parity") : QString();
}
} // namespace

class TestStartValues : public QObject {
    Q_OBJECT
private slots:
    void resolves_data() {
        QTest::addColumn<QString>("commPort");
        QTest::addColumn<QString>("setting");
        QTest::addColumn<QString>("bl");
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("used");
        QTest::addColumn<int>("level");
        QTest::addColumn<QStringList>("named"); // keys the message must name

        const QString d = QStringLiteral("9600,n,8,1");
        QTest::newRow("all missing gives the design state silently")
            << ""
            << ""
            << "" << 1 << d << 155 << QStringList{};
        QTest::newRow("usable values are taken")
            << "3"
            << "19200,n,8,1"
            << "200" << 3 << "19200,n,8,1" << 200 << QStringList{};
        QTest::newRow("ports 1 and 20 are the ends of the list")
            << "20" << d << "50" << 20 << d << 50 << QStringList{};
        QTest::newRow("brightness 250 is the top of the slider")
            << "1" << d << "250" << 1 << d << 250 << QStringList{};
        QTest::newRow("port 0 is refused")
            << "0" << d << "155" << 1 << d << 155 << QStringList{"CommPort"};
        QTest::newRow("port 21 is refused")
            << "21" << d << "155" << 1 << d << 155 << QStringList{"CommPort"};
        QTest::newRow("port text is refused")
            << "COM3" << d << "155" << 1 << d << 155 << QStringList{"CommPort"};
        QTest::newRow("port with a fraction is refused")
            << "2.5" << d << "155" << 1 << d << 155 << QStringList{"CommPort"};
        QTest::newRow("huge port number is refused, not wrapped")
            << "4294967297" << d << "155" << 1 << d << 155 << QStringList{"CommPort"};
        QTest::newRow("brightness 49 is refused")
            << "1" << d << "49" << 1 << d << 155 << QStringList{"BL"};
        QTest::newRow("brightness 251 is refused")
            << "1" << d << "251" << 1 << d << 155 << QStringList{"BL"};
        QTest::newRow("negative brightness is refused")
            << "1" << d << "-155" << 1 << d << 155 << QStringList{"BL"};
        QTest::newRow("brightness 65691 does not wrap to 155")
            << "1" << d << "65691" << 1 << d << 155 << QStringList{"BL"};
        QTest::newRow("refused line settings fall back to the default")
            << "2"
            << "bad,x"
            << "100" << 2 << d << 100 << QStringList{"Setting"};
        QTest::newRow("every key unusable names every key")
            << "x"
            << "bad"
            << "y" << 1 << d << 155 << QStringList{"CommPort", "Setting", "BL"};
        QTest::newRow("binary bytes are refused")
            << QString::fromLatin1("\x01\xff", 2) << d << QString(QChar(0)) << 1 << d << 155
            << QStringList{"CommPort", "BL"};
    }
    void resolves() {
        QFETCH(QString, commPort);
        QFETCH(QString, setting);
        QFETCH(QString, bl);
        QFETCH(int, port);
        QFETCH(QString, used);
        QFETCH(int, level);
        QFETCH(QStringList, named);

        const StartValues v = resolveStartValues({commPort, setting, bl}, refuseBad);
        QCOMPARE(v.commPort, port);
        QCOMPARE(v.setting, used);
        QCOMPARE(v.backlight, level);
        QCOMPARE(v.problems.size(), named.size());
        for (int i = 0; i < named.size(); ++i) {
            // Each line names the key and quotes the text found.
            QVERIFY2(v.problems[i].contains(u'"' + named[i] + u'"'), qPrintable(v.problems[i]));
        }
    }

    void messageQuotesTheTextFound() {
        const StartValues v = resolveStartValues(
            {QStringLiteral("COM3"), QString(), QStringLiteral("999")}, refuseBad);
        QCOMPARE(v.problems.size(), 2);
        QVERIFY(v.problems[0].contains(QLatin1String("\"COM3\"")));
        QVERIFY(v.problems[0].contains(QLatin1String("port 1")));
        QVERIFY(v.problems[1].contains(QLatin1String("\"999\"")));
        QVERIFY(v.problems[1].contains(QLatin1String("155")));
    }
};

QTEST_GUILESS_MAIN(TestStartValues)
#include "tst_startvalues.moc"
