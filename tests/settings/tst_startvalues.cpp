// What the start applies for each remembered text, and what it tells the user.
#include "settings/startvalues.h"

#include <QTest>

using namespace torvika;

namespace {

// Stands in for the line-settings parser: only "bad" texts are refused.
QString refuseBad(const QString &text) {
    return text.startsWith(QLatin1String("bad")) ? QStringLiteral("no such parity") : QString();
}
void row(const char *name, const char *port, const char *setting, const char *bl, int usedPort,
         const char *usedSetting, int usedBl, const QStringList &named) {
    QTest::newRow(name) << QString(port) << QString(setting) << QString(bl) << usedPort
                        << QString(usedSetting) << usedBl << named;
}

} // namespace

class TstStartValues : public QObject {
    Q_OBJECT
private slots:
    void resolves_data() {
        for (const char *column : {"commPort", "setting", "bl"})
            QTest::addColumn<QString>(column);
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("used");
        QTest::addColumn<int>("level");
        QTest::addColumn<QStringList>("named"); // the keys the problems name, in order
        const char *d = "9600,n,8,1";
        row("all missing gives the design state silently", "", "", "", 1, d, 155, {});
        row("the ends of the ranges are taken", "20", "19200,n,8,1", "50", 20, "19200,n,8,1", 50,
            {});
        row("port 21 and brightness 251 are refused", "21", d, "251", 1, d, 155,
            {"CommPort", "BL"});
        row("port 0 and brightness 49 are refused", " 0", d, "49", 1, d, 155, {"CommPort", "BL"});
        row("text and fractions are refused", "COM3", "bad,x", "2.5", 1, d, 155,
            {"CommPort", "Setting", "BL"});
        row("huge numbers are refused, not wrapped", "4294967297", d, "65691", 1, d, 155,
            {"CommPort", "BL"});
        row("a sign is read", "+3", d, "-155", 3, d, 155, {"BL"});
    }
    void resolves() {
        QFETCH(QString, commPort);
        QFETCH(QString, setting);
        QFETCH(QString, bl);
        QFETCH(QStringList, named);
        const StartValues v = resolveStartValues({commPort, setting, bl}, refuseBad);
        QTEST(v.commPort, "port");
        QTEST(v.setting, "used");
        QTEST(v.backlight, "level");
        QCOMPARE(v.problems.size(), named.size());
        for (int i = 0; i < named.size(); ++i) // each names its key and quotes the text found
            QVERIFY2(v.problems[i].startsWith(u'"' + named[i] + QStringLiteral("\" = \"")),
                     qPrintable(v.problems[i]));
    }

    void startMessageAndCloseWriteBack() {
        const QStringList problems =
            resolveStartValues({QStringLiteral("COM3"), {}, {}}, refuseBad).problems;
        QCOMPARE(problems, QStringList{"\"CommPort\" = \"COM3\" is not a port number from 1 to 20; "
                                       "port 1 is used."});
        QVERIFY(startMessage("/f.ini", {}, problems)
                    .endsWith(QStringLiteral("as it is.\n\n") + problems[0]));
        QVERIFY(startMessage("/f.ini", "is a folder", problems)
                    .startsWith(u"The settings file /f.ini is a folder."));
        QCOMPARE(startMessage("/f.ini", {}, {}), QString());
        const QList<SettingsEntry> back = closeWriteBack({QStringLiteral("COM3"), {}, {}});
        QCOMPARE(back.size(), 3);
        QCOMPARE(back[0].value, QStringLiteral("COM3")); // as read, even when unusable
        QCOMPARE(back[1].key + u'=' + back[1].value, QStringLiteral("Setting=9600,n,8,1"));
        QCOMPARE(back[2].section + back[2].key + back[2].value, QStringLiteral("LCDBL155"));
    }
};

QTEST_GUILESS_MAIN(TstStartValues)
#include "tst_startvalues.moc"
