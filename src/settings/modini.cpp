#include "settings/modini.h"

#include "settings/profile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QSaveFile>

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

} // namespace

ModIni::ModIni(QString folder) : folder_(std::move(folder)) {}

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
    return AppFolder() + IniName;
}

QString ModIni::ReadINI(const QString &section, const QString &key) const {
    QByteArray content;
    if (readFile(fileName(), content) != FileState::Read)
        return {};
    return QString::fromLatin1(profile::readString(content, section.toLatin1(), key.toLatin1()));
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
    const QByteArray sectionBytes = section.toLatin1();
    const QByteArray keyBytes = key.toLatin1();
    const QByteArray valueBytes = value.toLatin1();
    const QString path = fileName();
    if (!profile::canWrite(sectionBytes, keyBytes, valueBytes))
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
    const QByteArray updated = profile::writeString(content, sectionBytes, keyBytes, valueBytes);
    if (state == FileState::Read && updated == content)
        return true;

    // QSaveFile keeps the permissions and writes to the target of a symbolic link.
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return refuse(file.errorString());
    file.write(updated);
    if (!file.commit())
        return refuse(file.errorString());
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
