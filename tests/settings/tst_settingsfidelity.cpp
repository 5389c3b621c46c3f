// The settings file as Windows reads and writes it: what the close writes back leaves a file
// in its own encoding and layout, and in its owner's hands.
#include "settings/modini.h"
#include "support/data.h"

#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

using namespace torvika;
using namespace torvika::test;

static QByteArray utf16(const QString &text, QStringConverter::Encoding encoding) {
    return QStringEncoder(encoding, QStringConverter::Flag::WriteBom).encode(text);
}

class TestSettingsFidelity : public QObject {
    Q_OBJECT
private slots:
    void writeKeepsTheFilesOwnForm_data() {
        // write: section/key=value
        columns<QByteArray, QString, QByteArray>({"before", "write", "after"});
        const QByteArray quoted = "[Settings]\r\nCommPort=\"2\"\r\nSetting = 19200,n,8,1   \r\n";
        const QString windows = QStringLiteral("[Settings]\r\nCommPort=2\r\nName=Prüfstand\r\n");
        const auto le = [](const QString &t) { return utf16(t, QStringConverter::Utf16LE); };
        const auto be = [](const QString &t) { return utf16(t, QStringConverter::Utf16BE); };
        // clang-format off
        QTest::newRow("quoted value that reads the same stays quoted") << quoted << "Settings/CommPort=2" << quoted;
        QTest::newRow("value that reads the same keeps its blanks") << quoted << "Settings/Setting=19200,n,8,1" << quoted;
        QTest::newRow("UTF-16 LE file gets a new section in UTF-16 LE") << le(windows) << "LCD/BL=155" << le(windows + "[LCD]\r\nBL=155\r\n");
        QTest::newRow("UTF-16 BE file, a value beyond Latin-1 in UTF-16 BE") << be(windows) << "Settings/Name=Prüfstand №2" << be(QString(windows).replace("stand", "stand №2"));
        // clang-format on
    }
    // Run as root, the file belongs to another user first, and keeps its owner and group.
    void writeKeepsTheFilesOwnForm() {
        const auto [before, write, after] =
            fetch<QByteArray, QString, QByteArray>({"before", "write", "after"});
        const QString section = write.section(u'/', 0, 0),
                      key = write.section(u'/', 1).section(u'=', 0, 0),
                      value = write.section(u'=', 1);
        QTemporaryDir dir;
        ModIni ini(dir.path());
        QFile file(ini.fileName());
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(before) == before.size());
        file.close();
        const bool root = ::geteuid() == 0;
        const QByteArray path = QFile::encodeName(ini.fileName());
        QVERIFY(!root || ::chown(path.constData(), 1, 2) == 0); // another owner
        QVERIFY(ini.WriteINI(section, key, value) && file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), after);
        QCOMPARE(ini.ReadINI(section, key), value);
        struct stat now {};
        QVERIFY(::stat(path.constData(), &now) == 0 &&
                (!root || (now.st_uid == 1 && now.st_gid == 2)));
    }
};

QTEST_GUILESS_MAIN(TestSettingsFidelity)
#include "tst_settingsfidelity.moc"
