#include "settings/modini.h"

#include "settings/profile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <sys/stat.h>
#include <unistd.h>

namespace torvika {
namespace {

Q_LOGGING_CATEGORY(lcSettings, "torvika.settings", QtWarningMsg)

const QString IniName = QStringLiteral("torvika.ini");

// A settings file is a few hundred bytes; anything far larger is not one, and reading it
// whole could exhaust memory.
constexpr qint64 MaxFileSize = 16 * 1024 * 1024;

enum class FileState { Missing, Read, Unusable };

FileState readFile(const QString &path, QByteArray &content, QString *problem = nullptr) {
    const auto unusable = [problem](const QString &why) {
        if (problem)
            *problem = why;
        return FileState::Unusable;
    };
    const QFileInfo info(path); // follows symbolic links
    if (!info.exists())
        return FileState::Missing;
    // A directory, a pipe or a device is no settings file (a pipe would block the read).
    if (info.isDir())
        return unusable(QStringLiteral("is a folder"));
    if (!info.isFile())
        return unusable(QStringLiteral("is not a regular file"));
    if (info.size() > MaxFileSize)
        return unusable(QStringLiteral("is larger than 16 MB, too large for a settings file"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return unusable(QStringLiteral("cannot be read: ") + file.errorString());
    content = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return unusable(QStringLiteral("cannot be read: ") + file.errorString());
    if (content.size() > MaxFileSize)
        return unusable(QStringLiteral("is larger than 16 MB, too large for a settings file"));
    return FileState::Read;
}

// A file that starts with a UTF-16 byte-order mark is text in UTF-16, as the platform reads
// and writes it; any other is 8-bit text, one character a byte.
enum class Encoding { EightBit, Utf16LE, Utf16BE };

Encoding encodingOf(const QByteArray &content) {
    if (content.startsWith("\xFF\xFE"))
        return Encoding::Utf16LE;
    if (content.startsWith("\xFE\xFF"))
        return Encoding::Utf16BE;
    return Encoding::EightBit;
}

QStringConverter::Encoding utf16(Encoding encoding) {
    return encoding == Encoding::Utf16LE ? QStringConverter::Utf16LE : QStringConverter::Utf16BE;
}

// The profile rules work on bytes: a UTF-16 file is handled as UTF-8 and stored back in its
// own encoding, with its mark.
QByteArray decode(const QByteArray &content, Encoding encoding) {
    if (encoding == Encoding::EightBit)
        return content;
    QStringDecoder decoder(utf16(encoding)); // drops the mark
    return QString(decoder(content)).toUtf8();
}
QByteArray encode(const QByteArray &text, Encoding encoding) {
    if (encoding == Encoding::EightBit)
        return text;
    QStringEncoder encoder(utf16(encoding), QStringConverter::Flag::WriteBom);
    return encoder(QString::fromUtf8(text));
}
QByteArray bytesOf(const QString &text, Encoding encoding) {
    return encoding == Encoding::EightBit ? text.toLatin1() : text.toUtf8();
}
QString textOf(const QByteArray &bytes, Encoding encoding) {
    return encoding == Encoding::EightBit ? QString::fromLatin1(bytes) : QString::fromUtf8(bytes);
}

// A file rewritten by a rename belongs to whoever wrote it; give it back to the owner and
// group it had, as far as this user may.
void restoreOwner(const QString &path, const struct stat &before) {
    const QByteArray target = QFile::encodeName(QFileInfo(path).canonicalFilePath());
    struct stat now {};
    if (target.isEmpty() || ::stat(target.constData(), &now) != 0 ||
        (now.st_uid == before.st_uid && now.st_gid == before.st_gid))
        return;
    if (::chown(target.constData(), before.st_uid, before.st_gid) != 0 &&
        ::chown(target.constData(), static_cast<uid_t>(-1), before.st_gid) != 0)
        qCInfo(lcSettings) << "owner and group not kept:" << path;
}

} // namespace

ModIni::ModIni(QString folder) : folder_(std::move(folder)), name_(IniName) {}

ModIni ModIni::file(const QString &path) {
    const QFileInfo info(path);
    ModIni ini(info.path());
    ini.name_ = info.fileName();
    return ini;
}

QString ModIni::AppFolder() const {
    if (folder_.isEmpty())
        return QStringLiteral("./");
    qsizetype end = folder_.size();
    while (end > 1 && folder_.at(end - 1) == u'/' && folder_.at(end - 2) == u'/')
        --end;
    QString folder = folder_.first(end);
    if (!folder.endsWith(u'/'))
        folder.append(u'/');
    return folder;
}

QString ModIni::fileName() const {
    return AppFolder() + name_;
}

QString ModIni::ReadINI(const QString &section, const QString &key) const {
    QByteArray content;
    if (readFile(fileName(), content) != FileState::Read)
        return {};
    const Encoding encoding = encodingOf(content);
    return textOf(profile::readString(decode(content, encoding), bytesOf(section, encoding),
                                      bytesOf(key, encoding)),
                  encoding);
}

QString ModIni::fileProblem() const {
    QByteArray content;
    QString problem;
    readFile(fileName(), content, &problem);
    return problem;
}

bool ModIni::WriteINI(const QString &section, const QString &key, const QString &value) const {
    lastWriteProblem_.clear();
    const auto refuse = [this](const QString &why) {
        lastWriteProblem_ = why;
        qCInfo(lcSettings) << "not written:" << fileName() << why;
        return false;
    };
    const QString path = fileName();
    if (!profile::canWrite(section.toUtf8(), key.toUtf8(), value.toUtf8()))
        return refuse(QStringLiteral("the value of %1 in [%2] would break the file's lines")
                          .arg(key, section));

    const QString folder = AppFolder();
    if (!QFileInfo(folder).isDir() && !QDir().mkpath(folder))
        return refuse(QStringLiteral("the folder %1 cannot be created").arg(folder));

    QByteArray content;
    QString problem;
    const FileState state = readFile(path, content, &problem);
    // Writing without the old content would wipe every other setting.
    if (state == FileState::Unusable)
        return refuse(QStringLiteral("the file ") + problem);
    const Encoding encoding = encodingOf(content);
    const QByteArray text = decode(content, encoding);
    const QByteArray updated = profile::writeString(
        text, bytesOf(section, encoding), bytesOf(key, encoding), bytesOf(value, encoding));
    if (state == FileState::Read && updated == text)
        return true;

    struct stat before {};
    const bool owned = state == FileState::Read && ::stat(QFile::encodeName(path), &before) == 0;
    // QSaveFile keeps the permissions and writes to the target of a symbolic link.
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    // Unbuffered, so a write that stops part way (a full disk) is seen here: committing then
    // would leave a cut file.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return refuse(file.errorString());
    const QByteArray bytes = encode(updated, encoding);
    if (const qint64 written = file.write(bytes); written != bytes.size()) {
        file.cancelWriting();
        return refuse(QStringLiteral("only %1 of its %2 bytes could be written")
                          .arg(qMax<qint64>(written, 0))
                          .arg(bytes.size()));
    }
    if (!file.commit())
        return refuse(file.errorString());
    if (owned)
        restoreOwner(path, before);
    return true;
}

namespace {

// Where installed programs live. Root may write there, but settings do not belong there.
bool isSystemFolder(const QString &folder) {
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    return canonical.startsWith(QLatin1String("/usr/")) || canonical == u"/bin" ||
           canonical == u"/sbin";
}

} // namespace

QString settingsFolderFor(const QString &executableFolder) {
    const ModIni beside(executableFolder);
    const QFileInfo file(beside.fileName());
    if (file.exists() || file.isSymLink() ||
        (QFileInfo(beside.AppFolder()).isWritable() && !isSystemFolder(beside.AppFolder())))
        return beside.AppFolder();
    // Relative values are to be ignored, as the base-directory rules say.
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty() || QDir::isRelativePath(config))
        config = QDir::homePath() + QStringLiteral("/.config");
    return ModIni(config + QStringLiteral("/torvika")).AppFolder();
}

} // namespace torvika
