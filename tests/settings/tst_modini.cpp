// The settings file on disk: created where missing, changed in place of its one key, replaced
// whole, never rewritten when it cannot be read, and its folder chosen as the install allows.
#include "settings/modini.h"
#include "support/data.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <functional>
#include <optional>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace torvika;
using torvika::test::columns;
using namespace Qt::StringLiterals;

namespace {

const QString S = u"Settings"_s, K = u"CommPort"_s;

QByteArray contentOf(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}
bool put(const QString &path, const QByteArray &content) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}
struct stat statOf(const QString &path) {
    struct stat info {};
    ::stat(QFile::encodeName(path).constData(), &info);
    return info;
}

// Mode bits mean nothing to root, so as root `check` runs in a child process that has become
// "nobody". Empty when that is impossible.
std::optional<bool> asUnprivilegedUser(const std::function<bool()> &check) {
    if (::geteuid() != 0)
        return check();
    const passwd *nobody = ::getpwnam("nobody");
    const pid_t child = nobody ? ::fork() : -1;
    if (child == 0)
        ::_exit(::setgroups(0, nullptr) != 0 || ::setgid(nobody->pw_gid) != 0 ||
                        ::setuid(nobody->pw_uid) != 0
                    ? 77
                    : !check());
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) > 1)
        return std::nullopt;
    return WEXITSTATUS(status) == 0;
}

} // namespace

class TstModIni : public QObject {
    Q_OBJECT
    std::optional<QTemporaryDir> dir_;
    QString path(const QString &name) const { return dir_->filePath(name); }

private slots:
    void init() {
        dir_.emplace();
        // Lets the unprivileged child reach the files.
        QVERIFY(::chmod(QFile::encodeName(dir_->path()).constData(), 0755) == 0);
    }
    void cleanup() { dir_.reset(); }

    void missingFolderAndFileAreCreatedOnWrite() {
        const ModIni ini(path(u"config/torvika"_s));
        QCOMPARE(ini.ReadINI(S, K), QString());
        QCOMPARE(ini.fileProblem(), QString());
        QVERIFY(!QFileInfo::exists(path(u"config"_s))); // reading creates nothing
        QVERIFY(ini.WriteINI(S, K, u"2"_s));
        QCOMPARE(contentOf(ini.fileName()), "[Settings]\r\nCommPort=2\r\n"_ba);
        QVERIFY(!ini.WriteINI(S, u"k\n"_s, u"1"_s)); // a key that would break the lines
        QVERIFY(ini.lastWriteProblem().contains(u"break"));
        QCOMPARE(ModIni(u"/opt/t//"_s).fileName(), u"/opt/t/torvika.ini"_s);
        QCOMPARE(ModIni(u"//"_s).AppFolder() + ModIni(QString()).AppFolder(), u"/./"_s);
    }

    void aChangedKeyReplacesTheFileKeepingItsMode() {
        const ModIni ini(dir_->path());
        QVERIFY(put(ini.fileName(), "; mine\n[settings]\ncommport = 1\nExtra=\xe9\n"));
        QVERIFY(::chmod(QFile::encodeName(ini.fileName()).constData(), 0640) == 0);
        const ino_t before = statOf(ini.fileName()).st_ino;
        QVERIFY(ini.WriteINI(S, K, u"1"_s)); // unchanged: the file is left alone
        QCOMPARE(statOf(ini.fileName()).st_ino, before);
        QVERIFY(ini.WriteINI(S, K, u"2"_s));
        QVERIFY(statOf(ini.fileName()).st_ino != before); // a new file renamed over the old one
        QVERIFY(ini.WriteINI(u"LCD"_s, u"BL"_s, u"155"_s));
        QCOMPARE(contentOf(ini.fileName()),
                 "; mine\n[settings]\ncommport = 2\nExtra=\xe9\n[LCD]\nBL=155\n"_ba);
        QCOMPARE(ini.ReadINI(S, u"extra"_s), u"\u00e9"_s);
        QCOMPARE(statOf(ini.fileName()).st_mode & 0777, 0640u);
    }

    void aDanglingSymbolicLinkIsWrittenThrough() {
        const ModIni ini(path(u"app"_s));
        QVERIFY(QDir(dir_->path()).mkpath(u"app"_s) &&
                QFile::link(u"../real.ini"_s, ini.fileName()));
        QVERIFY(ini.WriteINI(S, K, u"5"_s));
        QVERIFY(QFileInfo(ini.fileName()).isSymLink());
        QCOMPARE(contentOf(path(u"real.ini"_s)), "[Settings]\r\nCommPort=5\r\n"_ba);
    }

    // What is there is no settings file: named, never read, never replaced.
    void unusableFilesAreLeftAlone_data() {
        columns<QString, QString>({"kind", "problem"});
        QTest::newRow("a folder") << u"folder"_s << u"is a folder"_s;
        QTest::newRow("a pipe, whose read would block") << u"pipe"_s << u"not a regular file"_s;
        QTest::newRow("a device") << u"device"_s << u"not a regular file"_s;
        QTest::newRow("a file over 16 MB") << u"huge"_s << u"larger than 16 MB"_s;
    }
    void unusableFilesAreLeftAlone() {
        QFETCH(QString, kind);
        QFETCH(QString, problem);
        const ModIni ini(dir_->path());
        const QByteArray node = QFile::encodeName(ini.fileName());
        if (kind == u"folder")
            QVERIFY(QDir().mkpath(ini.fileName()));
        else if (kind == u"pipe")
            QVERIFY(::mkfifo(node.constData(), 0644) == 0);
        else if (kind == u"huge")
            QVERIFY(put(ini.fileName(), "[Settings]\nCommPort=1\n" + QByteArray(17 << 20, ';')));
        else if (::mknod(node.constData(), S_IFCHR | 0666, makedev(1, 3)) != 0) // like /dev/null
            QSKIP("cannot create a device node here");
        const QFileInfo before(ini.fileName());
        QCOMPARE(ini.ReadINI(S, K), QString());
        QVERIFY2(ini.fileProblem().contains(problem), qPrintable(ini.fileProblem()));
        QVERIFY(!ini.WriteINI(S, K, u"2"_s));
        QVERIFY(ini.lastWriteProblem().contains(problem));
        QCOMPARE(QFileInfo(ini.fileName()).lastModified(), before.lastModified());
        QCOMPARE(QFileInfo(ini.fileName()).size(), before.size());
    }

    void unwritableCases_data() {
        columns<int, int, bool>({"folderMode", "fileMode", "written"});
        QTest::newRow("writable file in a read-only folder: written directly")
            << 0555 << 0666 << true;
        QTest::newRow("read-only file: write lost") << 0777 << 0444 << false;
        // Rewriting a file that cannot be read would wipe every other setting.
        QTest::newRow("unreadable file: write lost, file kept") << 0777 << 0222 << false;
    }
    void unwritableCases() {
        QFETCH(int, folderMode);
        QFETCH(int, fileMode);
        QFETCH(bool, written);
        const QString folder = path(u"app"_s);
        QVERIFY(QDir().mkpath(folder));
        const ModIni ini(folder);
        const QByteArray before = "[Settings]\r\nCommPort=1\r\n; keep me\r\n";
        QVERIFY(put(ini.fileName(), before));
        QVERIFY(::chmod(QFile::encodeName(ini.fileName()).constData(), mode_t(fileMode)) == 0);
        QVERIFY(::chmod(QFile::encodeName(folder).constData(), mode_t(folderMode)) == 0);
        const auto result = asUnprivilegedUser([&] { return ini.WriteINI(S, K, u"7"_s); });
        ::chmod(QFile::encodeName(folder).constData(), 0755);
        ::chmod(QFile::encodeName(ini.fileName()).constData(), 0644);
        if (!result)
            QSKIP("cannot act as an unprivileged user here");
        QCOMPARE(*result, written);
        QCOMPARE(contentOf(ini.fileName()),
                 written ? "[Settings]\r\nCommPort=7\r\n; keep me\r\n"_ba : before);
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{u"torvika.ini"_s});
    }

    void settingsFolder_data() {
        // bin: the program's folder; XDG_CONFIG_HOME ("" unset) and the folder chosen: "T/" is
        // the temporary folder.
        columns<QString, bool, QByteArray, QString>(
            {"bin", "iniThere", "xdgConfigHome", "expected"});
        QTest::newRow("writable folder: beside the program")
            << u"bin"_s << false << "T/xdg"_ba << u"T/bin/"_s;
        QTest::newRow("read-only folder with torvika.ini: beside the program")
            << u"ro"_s << true << "T/xdg"_ba << u"T/ro/"_s;
        QTest::newRow("read-only folder: XDG_CONFIG_HOME/torvika")
            << u"ro"_s << false << "T/xdg"_ba << u"T/xdg/torvika/"_s;
        // Even for root, who may write there, an installed panel keeps its settings per user.
        QTest::newRow("a system folder")
            << u"/usr/bin"_s << false << ""_ba << u"T/home/.config/torvika/"_s;
    }
    void settingsFolder() {
        QFETCH(QString, bin);
        QFETCH(bool, iniThere);
        QFETCH(QByteArray, xdgConfigHome);
        QFETCH(QString, expected);
        const QString base = dir_->path() + u'/';
        if (!bin.startsWith(u'/')) {
            bin = base + bin;
            QVERIFY(QDir().mkpath(bin));
            if (iniThere)
                QVERIFY(put(bin + u"/torvika.ini"_s, "[Settings]\r\n"));
            if (bin.endsWith(u"ro"))
                QVERIFY(::chmod(QFile::encodeName(bin).constData(), 0555) == 0);
        } else if (QFileInfo::exists(bin + u"/torvika.ini"_s)) {
            QSKIP("a torvika.ini was put there by hand");
        }
        const QByteArray oldHome = qgetenv("HOME");
        qputenv("HOME", QFile::encodeName(base + u"home"_s));
        qputenv("XDG_CONFIG_HOME",
                QByteArray(xdgConfigHome).replace("T/", QFile::encodeName(base)));
        const auto choose = [&] {
            return settingsFolderFor(bin) == expected.replace(u"T/"_s, base);
        };
        const auto result = bin.endsWith(u"ro") ? asUnprivilegedUser(choose) : choose();
        qputenv("HOME", oldHome);
        if (bin.endsWith(u"ro"))
            ::chmod(QFile::encodeName(bin).constData(), 0755);
        if (!result)
            QSKIP("cannot act as an unprivileged user here");
        QVERIFY(*result);
        QVERIFY(!QFileInfo::exists(base + u"xdg"_s)); // choosing creates nothing
    }
};

QTEST_GUILESS_MAIN(TstModIni)
#include "tst_modini.moc"
