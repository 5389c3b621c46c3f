// The settings file as Windows reads and writes it: what the close writes back leaves a file
// in its own encoding and layout, and in its owner's hands.
#include "settings/modini.h"

#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace torvika;

namespace {

QByteArray utf16(const QString &text, QStringConverter::Encoding encoding) {
    QStringEncoder encoder(encoding, QStringConverter::Flag::WriteBom);
    return encoder(text);
}

} // namespace

class TestSettingsFidelity : public QObject {
    Q_OBJECT
private slots:
    void writeKeepsTheFilesOwnForm_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("after");
        const QByteArray quoted = "[Settings]\r\nCommPort=\"2\"\r\nSetting = 19200,n,8,1   \r\n";
        QTest::newRow("quoted value that reads the same stays quoted") << quoted << "Settings"
                                                                       << "CommPort"
                                                                       << "2" << quoted;
        QTest::newRow("value that reads the same keeps its blanks") << quoted << "Settings"
                                                                    << "Setting"
                                                                    << "19200,n,8,1" << quoted;
        const QString windows = QStringLiteral("[Settings]\r\nCommPort=2\r\nName=Prüfstand\r\n");
        QTest::newRow("UTF-16 LE file gets a new section in UTF-16 LE")
            << utf16(windows, QStringConverter::Utf16LE) << "LCD"
            << "BL"
            << "155"
            << utf16(windows + QStringLiteral("[LCD]\r\nBL=155\r\n"), QStringConverter::Utf16LE);
        QTest::newRow("UTF-16 BE file, value beyond Latin-1 rewritten in UTF-16 BE")
            << utf16(windows, QStringConverter::Utf16BE) << "Settings"
            << "Name"
            << "Prüfstand №2"
            << utf16(QStringLiteral("[Settings]\r\nCommPort=2\r\nName=Prüfstand №2\r\n"),
                     QStringConverter::Utf16BE);
    }
    void writeKeepsTheFilesOwnForm() {
        QFETCH(QByteArray, before);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QByteArray, after);
        QTemporaryDir dir;
        ModIni ini(dir.path());
        QFile file(ini.fileName());
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(before) == before.size());
        file.close();
        QVERIFY(ini.WriteINI(section, key, value));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), after);
        QCOMPARE(ini.ReadINI(section, key), value);
    }

    // Root may give the file away; anyone else may move it to another of their groups.
    void rewriteKeepsOwnerAndGroup() {
        QTemporaryDir dir;
        ModIni ini(dir.path());
        QVERIFY(ini.WriteINI(QStringLiteral("LCD"), QStringLiteral("BL"), QStringLiteral("155")));
        const QByteArray path = QFile::encodeName(ini.fileName());
        uid_t owner = ::geteuid();
        gid_t group = ::getegid();
        gid_t groups[64];
        const int count = ::getgroups(64, groups);
        if (owner == 0) {
            owner = 1;
            group = 1;
        } else {
            for (int i = 0; i < count && group == ::getegid(); ++i)
                group = groups[i];
            if (group == ::getegid())
                QSKIP("this user has no second group to give the file to");
        }
        QCOMPARE(::chown(path.constData(), owner, group), 0);
        QVERIFY(ini.WriteINI(QStringLiteral("LCD"), QStringLiteral("BL"), QStringLiteral("200")));
        struct stat now {};
        QCOMPARE(::stat(path.constData(), &now), 0);
        QCOMPARE(now.st_uid, owner);
        QCOMPARE(now.st_gid, group);
        QCOMPARE(ini.ReadINI(QStringLiteral("LCD"), QStringLiteral("BL")), QStringLiteral("200"));
    }
};

QTEST_GUILESS_MAIN(TestSettingsFidelity)
#include "tst_settingsfidelity.moc"
