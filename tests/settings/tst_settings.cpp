// The private-profile rules on bytes, and the settings file on disk.
#include "settings/modini.h"
#include "settings/profile.h"
#include "support/data.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <functional>
#include <optional>

#include <csignal>
#include <grp.h>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace torvika;
using namespace torvika::test;
using namespace Qt::StringLiterals;

namespace {

// Literal bytes, NULs included.
template <qsizetype N> QByteArray bytes(const char (&text)[N]) {
    return QByteArray(text, N - 1);
}
const QByteArray Bom = bytes("\xEF\xBB\xBF");

void rd(const char *name, const QByteArray &content, const char *section, const char *key,
        const QByteArray &value) {
    QTest::newRow(name) << content << QByteArray(section) << QByteArray(key) << value;
}
void wr(const char *name, const QByteArray &content, const char *section, const char *key,
        const QByteArray &value, const QByteArray &expected) {
    QTest::newRow(name) << content << QByteArray(section) << QByteArray(key) << value << expected;
}

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

// `check` in a child process, whose limits die with it. Mode bits mean nothing to root, so as
// root the child becomes "nobody" first. Empty when that is impossible.
std::optional<bool> asUnprivilegedUser(const std::function<bool()> &check) {
    const bool root = ::geteuid() == 0;
    const passwd *nobody = ::getpwnam("nobody");
    const pid_t child = nobody || !root ? ::fork() : -1;
    if (child == 0)
        ::_exit(root && (::setgroups(0, nullptr) != 0 || ::setgid(nobody->pw_gid) != 0 ||
                         ::setuid(nobody->pw_uid) != 0)
                    ? 77
                    : !check());
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) > 1)
        return std::nullopt;
    return WEXITSTATUS(status) == 0;
}

} // namespace

class TstSettings : public QObject {
    Q_OBJECT
    std::optional<QTemporaryDir> dir_;
    QString path(const QString &name) const { return dir_->filePath(name); }

private slots:
    void readString_data() {
        columns<QByteArray, QByteArray, QByteArray, QByteArray>(
            {"content", "section", "key", "expected"});
        const QByteArray file = "[Settings]\r\nCommPort=2\r\n[LCD]\r\nBL=155\r\n"_ba;
        rd("key of a later section", file, "LCD", "BL", "155");
        rd("names in any case", "[SETTINGS]\nCOMMPORT=4\n", "sEttings", "commport", "4");
        rd("blanks around names ignored", "  [ \tS ]\n \t k \t=\t 7 \t\n", " S\t", "\tk ", "7");
        rd("blanks inside kept", "[S]\nk 2=a  b\tc\n", "S", "k 2", "a  b\tc");
        rd("one pair of quotes removed", "[S]\nk= \"\" x \"\" \n", "S", "k", "\" x \"");
        rd("quotes that do not match kept", "[S]\nk=\"x'\n", "S", "k", "\"x'");
        rd("single quotes removed too", "[S]\nk=' x '\n", "S", "k", " x ");
        rd("; line is a comment", "[S]\n \t;k=1\nk=2\n", "S", "k", "2");
        rd("; after a value is part of it", "[S]\nk=1 ; main\n", "S", "k", "1 ; main");
        rd("line without = is no key", "[S]\nk\n", "S", "k", "");
        rd("key before sections unread", "k=1\n[S]\n", "S", "k", "");
        rd("header ends at its first ]", "[S]x] ; c\nk=1\n", "S", "k", "1");
        rd("[ without ] opens the section the line names", "[S]\n[ T \nk=1\n", "T", "k", "1");
        rd("first of duplicate keys wins", "[S]\nk=1\nK=2\n", "S", "k", "1");
        rd("first section of a name only", "[S]\n[T]\n[s]\nb=3\n", "S", "b", "");
        rd("empty key asked for", "[S]\n=1\n", "S", "", "");
        rd("byte-order mark skipped", Bom + "[S]\r\nk=3\r\n", "S", "k", "3");
        rd("CR line ends", "[S]\rk=1\r[T]\rk=2", "T", "k", "2");
        rd("bytes above 127, NUL kept", bytes("[S]\n\0\x01\nk=\xE9\0\xFF\n"), "S", "k",
           bytes("\xE9\0\xFF"));
        rd("cut to 254 bytes", "[S]\nk=" + QByteArray(300, 'v'), "S", "k", QByteArray(254, 'v'));
    }
    void readString() {
        const auto [content, section, key] =
            fetch<QByteArray, QByteArray, QByteArray>({"content", "section", "key"});
        QTEST(profile::readString(content, section, key), "expected");
    }

    // Refused triples (the last rows) would not read back: the content stays as it was.
    void writeString_data() {
        columns<QByteArray, QByteArray, QByteArray, QByteArray, QByteArray>(
            {"content", "section", "key", "value", "expected"});
        wr("new file", {}, " S\t", "\tk ", "2", "[S]\r\nk=2\r\n");
        wr("only the value changes", "; top\r\n[s]\r\n  K \t= \"old\" \r\nx y\r\n[T]\r\nk=t\r\n",
           "S", "k", "new", "; top\r\n[s]\r\n  K \t= new\r\nx y\r\n[T]\r\nk=t\r\n");
        wr("mixed line ends kept", "[S]\r\nk=1\na=2\rb=3\r\n", "S", "k", "9",
           "[S]\r\nk=9\na=2\rb=3\r\n");
        wr("no line end on the last line gets the file's", "[S]\r\nk=1", "S", "k", "22",
           "[S]\r\nk=22\r\n");
        wr("after the last key line", "[S]\na=1\n\n; next\n[T]\nc=3\n", "S", "k", "v",
           "[S]\na=1\nk=v\n\n; next\n[T]\nc=3\n");
        wr("after a lone header, an indented comment is no key", "[S]\n \t;k=1\n[T]\n", "S", "k",
           "v", "[S]\nk=v\n \t;k=1\n[T]\n");
        wr("key before sections kept", "k=1\n[S]\n", "S", "k", "2", "k=1\n[S]\nk=2\n");
        wr("after a last key line without end", "[S]\na=1", "S", "k", "v", "[S]\na=1\nk=v\n");
        wr("after a last header without end", "[S]", "S", "k", "v", "[S]\r\nk=v\r\n");
        wr("CR file ends in CR", "[S]\ra=1\r", "S", "k", "v", "[S]\ra=1\rk=v\r");
        wr("section appended", "[S]\na=1", "LCD", "BL", "155", "[S]\na=1\n[LCD]\nBL=155\n");
        wr("byte-order mark kept", Bom + "[S]\r\nk=1\r\n", "S", "k", "2", Bom + "[S]\r\nk=2\r\n");
        wr("binary lines kept", bytes("\0\xFF\n[S]\n\x80\0=\x7F\nk=1\n\0"), "S", "k", "2",
           bytes("\0\xFF\n[S]\n\x80\0=\x7F\nk=2\n\0"));
        const QByteArray file = "[S]\r\nk=0\r\n";
        wr("value with LF would add a line", file, "S", "k", "1\n[X]", file);
        wr("empty section name", file, " ", "k", "1", file);
        wr("section name with ]", file, "S]x", "k", "1", file);
        wr("key name with =", file, "S", "a=b", "1", file);
        wr("key name that reads as a comment", file, "S", ";k", "1", file);
    }
    void writeString() {
        const auto [content, section, key, value] =
            fetch<QByteArray, QByteArray, QByteArray, QByteArray>(
                {"content", "section", "key", "value"});
        QTEST(profile::writeString(content, section, key, value), "expected");
    }

    void lineOfAndSection() {
        const QByteArray file = "[Ports]\n2=/dev/b\n; c\n1 = \"/dev/a\"\nA=x\na=y\n[LCD]\nBL=9\n";
        QCOMPARE(profile::lineOf(file, "ports", "1"), 4);
        QCOMPARE(profile::lineOf(file, "LCD", "none"), 0);
        QList<QByteArray> flat;
        for (const auto &[key, value] : profile::readSection(file, "Ports"))
            flat << key << value;
        QCOMPARE(flat, (QList<QByteArray>{"2", "/dev/b", "1", "/dev/a", "A", "x"}));
        QVERIFY(profile::readSection(file, "none").isEmpty());
    }

    void init() {
        dir_.emplace();
        // Lets the unprivileged child reach the files.
        QVERIFY(::chmod(QFile::encodeName(dir_->path()).constData(), 0755) == 0);
    }
    void cleanup() { dir_.reset(); }

    void aWriteCreatesTheFolderAndFileAndFollowsALink() {
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
        const ModIni linked(path(u"app"_s)); // a dangling link is written through
        QVERIFY(QDir(dir_->path()).mkpath(u"app"_s) &&
                QFile::link(u"../real.ini"_s, linked.fileName()));
        QVERIFY(linked.WriteINI(S, K, u"5"_s) && QFileInfo(linked.fileName()).isSymLink());
        QCOMPARE(contentOf(path(u"real.ini"_s)), "[Settings]\r\nCommPort=5\r\n"_ba);
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

    // What is there is no settings file: named, never read, never replaced.
    void unusableFilesAreLeftAlone_data() {
        columns<QString, QString>({"kind", "problem"});
        QTest::newRow("a pipe, whose read would block") << u"pipe"_s << u"not a regular file"_s;
        QTest::newRow("a file over 16 MB") << u"huge"_s << u"larger than 16 MB"_s;
    }
    void unusableFilesAreLeftAlone() {
        const auto [kind, problem] = fetch<QString, QString>({"kind", "problem"});
        const ModIni ini(dir_->path());
        const QByteArray node = QFile::encodeName(ini.fileName());
        if (kind == u"pipe")
            QVERIFY(::mkfifo(node.constData(), 0644) == 0);
        else if (kind == u"huge")
            QVERIFY(put(ini.fileName(), "[Settings]\nCommPort=1\n" + QByteArray(17 << 20, ';')));
        const QFileInfo before(ini.fileName());
        QCOMPARE(ini.ReadINI(S, K), QString());
        QVERIFY2(ini.fileProblem().contains(problem), qPrintable(ini.fileProblem()));
        QVERIFY(!ini.WriteINI(S, K, u"2"_s) && ini.lastWriteProblem().contains(problem));
        QCOMPARE(QFileInfo(ini.fileName()).lastModified(), before.lastModified());
        QCOMPARE(QFileInfo(ini.fileName()).size(), before.size());
    }

    void unwritableCases_data() {
        columns<int, int, int, bool>({"folderMode", "fileMode", "sizeLimit", "written"});
        QTest::newRow("read-only folder: written directly") << 0555 << 0666 << 0 << true;
        QTest::newRow("read-only file: write lost") << 0777 << 0444 << 0 << false;
        // Rewriting a file that cannot be read would wipe every other setting.
        QTest::newRow("unreadable file: write lost, file kept") << 0777 << 0222 << 0 << false;
        QTest::newRow("disk full: write lost, file kept") << 0777 << 0666 << 16 << false;
    }
    void unwritableCases() {
        const auto [folderMode, fileMode, sizeLimit, written] =
            fetch<int, int, int, bool>({"folderMode", "fileMode", "sizeLimit", "written"});
        const QString folder = path(u"app"_s);
        QVERIFY(QDir().mkpath(folder));
        const ModIni ini(folder);
        const QByteArray before = "[Settings]\r\nCommPort=1\r\n; keep me\r\n";
        QVERIFY(put(ini.fileName(), before));
        QVERIFY(::chmod(QFile::encodeName(ini.fileName()).constData(), mode_t(fileMode)) == 0);
        QVERIFY(::chmod(QFile::encodeName(folder).constData(), mode_t(folderMode)) == 0);
        const auto result = asUnprivilegedUser([&] {
            const rlimit limit{rlim_t(sizeLimit), rlim_t(sizeLimit)};
            if (sizeLimit) // no file grows past it: as on a full disk
                ::signal(SIGXFSZ, SIG_IGN), ::setrlimit(RLIMIT_FSIZE, &limit);
            return ini.WriteINI(S, K, u"7"_s) || ini.lastWriteProblem().isEmpty();
        });
        ::chmod(QFile::encodeName(folder).constData(), 0755);
        ::chmod(QFile::encodeName(ini.fileName()).constData(), 0644);
        if (!result)
            QSKIP("cannot act as an unprivileged user here");
        QCOMPARE(*result, written);
        QCOMPARE(contentOf(ini.fileName()),
                 written ? "[Settings]\r\nCommPort=7\r\n; keep me\r\n"_ba : before);
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{u"torvika.ini"_s});
    }

    // Beside the program when it may write there; for an installed panel, even run by root,
    // $XDG_CONFIG_HOME/torvika or ~/.config/torvika. Choosing creates nothing.
    void settingsFolder() {
        const QString base = dir_->path() + u'/';
        QVERIFY(QDir().mkpath(base + u"bin"_s));
        QCOMPARE(settingsFolderFor(base + u"bin"_s), base + u"bin/"_s);
        if (QFileInfo::exists(u"/usr/bin/torvika.ini"_s))
            QSKIP("a torvika.ini was put in /usr/bin by hand");
        const QByteArray home = qgetenv("HOME");
        qputenv("HOME", QFile::encodeName(base + u"home"_s));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(base + u"xdg"_s));
        const QString xdg = settingsFolderFor(u"/usr/bin"_s);
        qputenv("XDG_CONFIG_HOME", "relative/is/ignored");
        const QString config = settingsFolderFor(u"/usr/bin"_s);
        qputenv("HOME", home);
        QCOMPARE(xdg + u'|' + config,
                 base + u"xdg/torvika/|"_s + base + u"home/.config/torvika/"_s);
        QVERIFY(!QFileInfo::exists(base + u"xdg"_s) && !QFileInfo::exists(base + u"home"_s));
    }
};

QTEST_GUILESS_MAIN(TstSettings)
#include "tst_settings.moc"
