#include "settings/modini.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <optional>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace torvika;
using namespace Qt::StringLiterals;

namespace {

const QString S = u"Settings"_s;

QByteArray contentOf(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

bool put(const QString &path, const QByteArray &content) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

ino_t inodeOf(const QString &path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

// Mode bits mean nothing to root, so as root `action` runs in a child process that has
// become "nobody"; its result comes back through a pipe. Empty when that is impossible.
std::optional<QByteArray> asUnprivilegedUser(const std::function<QByteArray()> &action) {
    if (::geteuid() != 0)
        return action();
    const passwd *nobody = ::getpwnam("nobody");
    if (!nobody)
        return std::nullopt;
    int channel[2];
    if (::pipe(channel) != 0)
        return std::nullopt;
    const pid_t child = ::fork();
    if (child < 0)
        return std::nullopt;
    if (child == 0) {
        ::close(channel[0]);
        if (::setgroups(0, nullptr) != 0 || ::setgid(nobody->pw_gid) != 0 ||
            ::setuid(nobody->pw_uid) != 0 || ::geteuid() == 0)
            ::_exit(77);
        const QByteArray result = action();
        const bool sent = ::write(channel[1], result.constData(), result.size()) == result.size();
        ::_exit(sent ? 0 : 1);
    }
    ::close(channel[1]);
    QByteArray result;
    char buffer[512];
    for (ssize_t n; (n = ::read(channel[0], buffer, sizeof buffer)) > 0;)
        result.append(buffer, n);
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return result;
}

QByteArray writeResult(const ModIni &ini) {
    return ini.WriteINI(S, u"CommPort"_s, u"7"_s) ? "written" : "refused";
}

} // namespace

class TstModIni : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void appFolder_data();
    void appFolder();
    void missingFileReadsEmpty();
    void missingFileIsCreated();
    void closeWritesOnlyTheThreeLines();
    void longValueReadsBackCut();
    void unchangedValueLeavesFileAlone();
    void permissionsKept_data();
    void permissionsKept();
    void symlinkFollowed();
    void danglingSymlinkCreatesTarget();
    void garbageFile_data();
    void garbageFile();
    void oversizedFileLeftAlone();
    void directoryInPlaceOfFile();
    void pipeInPlaceOfFile();
    void deviceInPlaceOfFile();
    void missingFolderCreatedOnWriteOnly();
    void unwritableCases_data();
    void unwritableCases();
    void readSection();
    void settingsFolderForWritableFolder();
    void settingsFolderForSystemFolder();
    void settingsFolderForReadOnlyFolder_data();
    void settingsFolderForReadOnlyFolder();

private:
    std::optional<QTemporaryDir> dir_;
    QString path(const QString &name) const { return dir_->filePath(name); }
};

void TstModIni::init() {
    dir_.emplace();
    QVERIFY(dir_->isValid());
    // Lets the unprivileged child reach the files.
    QVERIFY(QFile::setPermissions(
        dir_->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther |
                          QFile::ExeOther | QFile::ReadGroup | QFile::ExeGroup));
}

void TstModIni::cleanup() {
    // Folders made read-only by a test must be emptied by the cleanup.
    const auto all = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
    for (const QString &sub : QDir(dir_->path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        QFile::setPermissions(path(sub), all);
    dir_.reset();
}

void TstModIni::appFolder_data() {
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("expected");
    QTest::newRow("folder gains one slash") << u"/opt/torvika"_s << u"/opt/torvika/"_s;
    QTest::newRow("root stays a single slash") << u"/"_s << u"/"_s;
    QTest::newRow("folder with its slash keeps one") << u"/opt/torvika/"_s << u"/opt/torvika/"_s;
    QTest::newRow("doubled slashes at the end become one")
        << u"/opt/torvika//"_s << u"/opt/torvika/"_s;
    QTest::newRow("doubled root becomes one slash") << u"//"_s << u"/"_s;
}

void TstModIni::appFolder() {
    QFETCH(QString, folder);
    QFETCH(QString, expected);
    const ModIni ini(folder);
    QCOMPARE(ini.AppFolder(), expected);
    QCOMPARE(ini.fileName(), expected + u"torvika.ini"_s);
}

void TstModIni::missingFileReadsEmpty() {
    const ModIni ini(dir_->path());
    QCOMPARE(ini.ReadINI(S, u"CommPort"_s), QString());
    QVERIFY(!QFileInfo::exists(ini.fileName()));
}

void TstModIni::missingFileIsCreated() {
    const ModIni ini(dir_->path());
    QVERIFY(ini.WriteINI(S, u"CommPort"_s, u"2"_s));
    QCOMPARE(contentOf(ini.fileName()), "[Settings]\r\nCommPort=2\r\n"_ba);
    QCOMPARE(ini.ReadINI(S, u"CommPort"_s), u"2"_s);
}

void TstModIni::closeWritesOnlyTheThreeLines() {
    const ModIni ini(dir_->path());
    QVERIFY(put(ini.fileName(), "; my panel\n[settings]\ncommport = 1\nSetting=9600,n,8,1\n"
                                "Extra=x\n\n[Ports]\n2=/dev/ttyUSB0\n"));
    QVERIFY(ini.WriteINI(S, u"CommPort"_s, u"2"_s));
    QVERIFY(ini.WriteINI(S, u"Setting"_s, u"19200,n,8,1"_s));
    QVERIFY(ini.WriteINI(u"LCD"_s, u"BL"_s, u"155"_s));
    QCOMPARE(contentOf(ini.fileName()),
             "; my panel\n[settings]\ncommport = 2\nSetting=19200,n,8,1\n"
             "Extra=x\n\n[Ports]\n2=/dev/ttyUSB0\n[LCD]\nBL=155\n"_ba);
    QCOMPARE(ini.ReadINI(S, u"CommPort"_s), u"2"_s);
    QCOMPARE(ini.ReadINI(S, u"Setting"_s), u"19200,n,8,1"_s);
    QCOMPARE(ini.ReadINI(u"LCD"_s, u"BL"_s), u"155"_s);
}

void TstModIni::longValueReadsBackCut() {
    const ModIni ini(dir_->path());
    QString value;
    for (int i = 0; i < 300; ++i)
        value.append(QChar(u'A' + i % 26));
    QVERIFY(ini.WriteINI(S, u"Setting"_s, value));
    QCOMPARE(ini.ReadINI(S, u"Setting"_s), value.first(254));
}

void TstModIni::unchangedValueLeavesFileAlone() {
    const ModIni ini(dir_->path());
    QVERIFY(put(ini.fileName(), "[Settings]\nCommPort=3\n"));
    const ino_t before = inodeOf(ini.fileName());
    QVERIFY(ini.WriteINI(S, u"CommPort"_s, u"3"_s));
    QCOMPARE(inodeOf(ini.fileName()), before);
    // A changed value goes to a new file renamed over the old one.
    QVERIFY(ini.WriteINI(S, u"CommPort"_s, u"4"_s));
    QVERIFY(inodeOf(ini.fileName()) != before);
    QCOMPARE(contentOf(ini.fileName()), "[Settings]\nCommPort=4\n"_ba);
}

void TstModIni::permissionsKept_data() {
    QTest::addColumn<int>("permissions");
    QTest::newRow("owner read-write only") << int(QFile::ReadOwner | QFile::WriteOwner);
    QTest::newRow("group may read") << int(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    QTest::newRow("everyone may write")
        << int(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup |
               QFile::ReadOther | QFile::WriteOther);
}

void TstModIni::permissionsKept() {
    QFETCH(int, permissions);
    const ModIni ini(dir_->path());
    QVERIFY(put(ini.fileName(), "[Settings]\nCommPort=1\n"));
    const auto wanted = QFile::Permissions::fromInt(permissions);
    QVERIFY(QFile::setPermissions(ini.fileName(), wanted));
    const auto before = QFile::permissions(ini.fileName());
    QVERIFY(ini.WriteINI(S, u"CommPort"_s, u"9"_s));
    QCOMPARE(contentOf(ini.fileName()), "[Settings]\nCommPort=9\n"_ba);
    QCOMPARE(QFile::permissions(ini.fileName()), before);
}

void TstModIni::symlinkFollowed() {
    QVERIFY(QDir(dir_->path()).mkpath(u"app"_s));
    QVERIFY(QDir(dir_->path()).mkpath(u"real"_s));
    const QString target = path(u"real/torvika.ini"_s);
    QVERIFY(put(target, "[Settings]\r\nCommPort=1\r\n"));
    const ModIni ini(path(u"app"_s));
    QVERIFY(QFile::link(u"../real/torvika.ini"_s, ini.fileName()));

    QCOMPARE(ini.ReadINI(S, u"CommPort"_s), u"1"_s);
    QVERIFY(ini.WriteINI(S, u"CommPort"_s, u"5"_s));
    QVERIFY(QFileInfo(ini.fileName()).isSymLink());
    QCOMPARE(contentOf(target), "[Settings]\r\nCommPort=5\r\n"_ba);
    QCOMPARE(QDir(path(u"app"_s)).entryList(QDir::Files | QDir::Hidden | QDir::System),
             QStringList{u"torvika.ini"_s});
}

void TstModIni::danglingSymlinkCreatesTarget() {
    const ModIni ini(dir_->path());
    QVERIFY(QFile::link(path(u"elsewhere.ini"_s), ini.fileName()));
    QCOMPARE(ini.ReadINI(S, u"CommPort"_s), QString());
    QVERIFY(ini.WriteINI(S, u"CommPort"_s, u"3"_s));
    QVERIFY(QFileInfo(ini.fileName()).isSymLink());
    QCOMPARE(contentOf(path(u"elsewhere.ini"_s)), "[Settings]\r\nCommPort=3\r\n"_ba);
}

void TstModIni::garbageFile_data() {
    QTest::addColumn<QByteArray>("garbage");
    QByteArray binary;
    quint32 state = 12345;
    for (int i = 0; i < 64 * 1024; ++i) {
        state = state * 1103515245u + 12345u;
        binary.append(char(state >> 24));
    }
    QTest::newRow("64 KB of binary bytes") << binary;
    QTest::newRow("NUL bytes only") << QByteArray(4096, '\0');
    QTest::newRow("one 1 MB line") << QByteArray(1 << 20, 'x');
    QTest::newRow("a 1 MB value in the section")
        << "[Settings]\nSetting=" + QByteArray(1 << 20, 'v') + "\n";
}

void TstModIni::garbageFile() {
    QFETCH(QByteArray, garbage);
    const ModIni ini(dir_->path());
    QVERIFY(put(ini.fileName(), garbage));
    QCOMPARE(ini.ReadINI(S, u"CommPort"_s), QString());
    QVERIFY(ini.WriteINI(S, u"CommPort"_s, u"2"_s));
    QCOMPARE(ini.ReadINI(S, u"CommPort"_s), u"2"_s);
    // The bytes that were there stay; the key went in after them.
    QVERIFY(contentOf(ini.fileName()).startsWith(garbage.first(garbage.size() - 1)));
}

void TstModIni::oversizedFileLeftAlone() {
    // Far beyond any settings file: not read into memory, and not rewritten without it.
    const ModIni ini(dir_->path());
    const QByteArray huge = "[Settings]\nCommPort=1\n" + QByteArray(17 << 20, ';');
    QVERIFY(put(ini.fileName(), huge));
    QCOMPARE(ini.ReadINI(S, u"CommPort"_s), QString());
    QVERIFY(!ini.WriteINI(S, u"CommPort"_s, u"2"_s));
    QCOMPARE(contentOf(ini.fileName()), huge);
}

void TstModIni::directoryInPlaceOfFile() {
    const ModIni ini(dir_->path());
    QVERIFY(QDir().mkpath(ini.fileName()));
    QCOMPARE(ini.ReadINI(S, u"CommPort"_s), QString());
    QVERIFY(!ini.WriteINI(S, u"CommPort"_s, u"2"_s));
    QVERIFY(QFileInfo(ini.fileName()).isDir());
    QVERIFY(QDir(ini.fileName()).isEmpty());
    QCOMPARE(QDir(dir_->path()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

void TstModIni::pipeInPlaceOfFile() {
    const ModIni ini(dir_->path());
    QVERIFY(::mkfifo(QFile::encodeName(ini.fileName()).constData(), 0644) == 0);
    // Opening a pipe with no writer would block; the read must not.
    QCOMPARE(ini.ReadINI(S, u"CommPort"_s), QString());
    QVERIFY(!ini.WriteINI(S, u"CommPort"_s, u"2"_s));
    QVERIFY(!QFileInfo(ini.fileName()).isFile());
}

void TstModIni::deviceInPlaceOfFile() {
    // A device node of our own (like /dev/null): a test gone wrong can only harm this copy.
    const ModIni ini(dir_->path());
    const QByteArray node = QFile::encodeName(ini.fileName());
    if (::mknod(node.constData(), S_IFCHR | 0666, makedev(1, 3)) != 0)
        QSKIP("cannot create a device node here");
    QCOMPARE(ini.ReadINI(S, u"CommPort"_s), QString());
    QVERIFY(!ini.WriteINI(S, u"CommPort"_s, u"2"_s));
    struct stat info {};
    QVERIFY(::stat(node.constData(), &info) == 0);
    QVERIFY(S_ISCHR(info.st_mode));
}

void TstModIni::missingFolderCreatedOnWriteOnly() {
    const QString folder = path(u"config/torvika"_s);
    const ModIni ini(folder);
    QCOMPARE(ini.ReadINI(S, u"CommPort"_s), QString());
    QVERIFY(!QFileInfo::exists(path(u"config"_s)));
    QVERIFY(ini.WriteINI(S, u"CommPort"_s, u"2"_s));
    QCOMPARE(contentOf(folder + u"/torvika.ini"_s), "[Settings]\r\nCommPort=2\r\n"_ba);
}

void TstModIni::unwritableCases_data() {
    QTest::addColumn<bool>("folderWritable");
    QTest::addColumn<int>("fileMode");
    QTest::addColumn<bool>("written");
    QTest::newRow("writable file in a read-only folder written directly") << false << 0666 << true;
    QTest::newRow("read-only file in a read-only folder: write lost") << false << 0444 << false;
    QTest::newRow("read-only file in a writable folder: write lost") << true << 0444 << false;
    // Rewriting a file that cannot be read would wipe every other setting.
    QTest::newRow("unreadable file: write lost, file kept") << true << 0222 << false;
}

void TstModIni::unwritableCases() {
    QFETCH(bool, folderWritable);
    QFETCH(int, fileMode);
    QFETCH(bool, written);
    const QString folder = path(u"app"_s);
    QVERIFY(QDir().mkpath(folder));
    const ModIni ini(folder);
    const QByteArray before = "[Settings]\r\nCommPort=1\r\n; keep me\r\n";
    QVERIFY(put(ini.fileName(), before));
    QVERIFY(::chmod(QFile::encodeName(ini.fileName()).constData(), fileMode) == 0);
    QVERIFY(::chmod(QFile::encodeName(folder).constData(), folderWritable ? 0777 : 0555) == 0);

    const auto result = asUnprivilegedUser([&] { return writeResult(ini); });
    if (!result)
        QSKIP("cannot act as an unprivileged user here");
    ::chmod(QFile::encodeName(folder).constData(), 0755);
    ::chmod(QFile::encodeName(ini.fileName()).constData(), 0644);
    QCOMPARE(*result, written ? "written"_ba : "refused"_ba);
    QCOMPARE(contentOf(ini.fileName()),
             written ? "[Settings]\r\nCommPort=7\r\n; keep me\r\n"_ba : before);
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{u"torvika.ini"_s});
}

void TstModIni::readSection() {
    const ModIni ini(dir_->path());
    QVERIFY(
        put(ini.fileName(), "[Ports]\r\n1=/dev/ttyUSB0\r\n2 = \"/dev/serial/by-id/x\xE9\"\r\n"));
    const QList<std::pair<QString, QString>> expected{{u"1"_s, u"/dev/ttyUSB0"_s},
                                                      {u"2"_s, u"/dev/serial/by-id/x\u00e9"_s}};
    QCOMPARE(ini.ReadSection(u"ports"_s), expected);
    QCOMPARE(ModIni(path(u"none"_s)).ReadSection(u"Ports"_s),
             (QList<std::pair<QString, QString>>{}));
}

void TstModIni::settingsFolderForWritableFolder() {
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(path(u"xdg"_s)));
    QCOMPARE(settingsFolderFor(dir_->path()), dir_->path() + u'/');
    QVERIFY(!QFileInfo::exists(path(u"xdg"_s)));
}

void TstModIni::settingsFolderForSystemFolder() {
    // Even for root, who may write there, an installed panel keeps its settings per user.
    const QString bin = u"/usr/bin"_s;
    if (QFileInfo::exists(bin + u"/torvika.ini"_s))
        QSKIP("a torvika.ini was put in /usr/bin by hand");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(path(u"xdg"_s)));
    QCOMPARE(settingsFolderFor(bin), path(u"xdg/torvika"_s) + u'/');
}

void TstModIni::settingsFolderForReadOnlyFolder_data() {
    QTest::addColumn<bool>("iniThere");
    QTest::addColumn<QString>("xdgConfigHome"); // relative to the temporary folder unless "-"
    QTest::addColumn<QString>("expected");      // relative to the temporary folder
    QTest::newRow("torvika.ini there: keep the folder") << true << u"xdg"_s << u"bin/"_s;
    QTest::newRow("no torvika.ini: XDG_CONFIG_HOME/torvika")
        << false << u"xdg"_s << u"xdg/torvika/"_s;
    QTest::newRow("empty XDG_CONFIG_HOME: ~/.config/torvika")
        << false << QString() << u"home/.config/torvika/"_s;
    QTest::newRow("relative XDG_CONFIG_HOME ignored")
        << false << u"-"_s << u"home/.config/torvika/"_s;
}

void TstModIni::settingsFolderForReadOnlyFolder() {
    QFETCH(bool, iniThere);
    QFETCH(QString, xdgConfigHome);
    QFETCH(QString, expected);
    const QString bin = path(u"bin"_s);
    QVERIFY(QDir().mkpath(bin));
    if (iniThere)
        QVERIFY(put(bin + u"/torvika.ini"_s, "[Settings]\r\nCommPort=1\r\n"));
    QVERIFY(::chmod(QFile::encodeName(bin).constData(), 0555) == 0);
    const QByteArray oldHome = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(path(u"home"_s)));
    if (xdgConfigHome.isEmpty())
        qunsetenv("XDG_CONFIG_HOME");
    else if (xdgConfigHome == u"-")
        qputenv("XDG_CONFIG_HOME", "relative/config");
    else
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(path(xdgConfigHome)));

    const auto result =
        asUnprivilegedUser([&] { return QFile::encodeName(settingsFolderFor(bin)); });
    qputenv("HOME", oldHome);
    ::chmod(QFile::encodeName(bin).constData(), 0755);
    if (!result)
        QSKIP("cannot act as an unprivileged user here");
    QCOMPARE(QFile::decodeName(*result), path(expected.chopped(1)) + u'/');
    // Choosing a folder creates nothing; the first write does.
    QVERIFY(!QFileInfo::exists(path(u"xdg"_s)));
    QVERIFY(!QFileInfo::exists(path(u"home"_s)));
}

QTEST_GUILESS_MAIN(TstModIni)
#include "tst_modini.moc"
