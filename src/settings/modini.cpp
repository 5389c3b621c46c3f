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

FileState readFile(const QString &path, QByteArray &content) {
    const QFileInfo info(path); // follows symbolic links
    if (!info.exists())
        return FileState::Missing;
    // A directory, a pipe or a device is no settings file (a pipe would block the read).
    if (!info.isFile() || info.size() > MaxFileSize)
        return FileState::Unusable;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return FileState::Unusable;
    content = file.readAll();
    if (file.error() != QFileDevice::NoError || content.size() > MaxFileSize)
        return FileState::Unusable;
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

QList<std::pair<QString, QString>> ModIni::ReadSection(const QString &section) const {
    QList<std::pair<QString, QString>> keys;
    QByteArray content;
    if (readFile(fileName(), content) != FileState::Read)
        return keys;
    const auto raw = profile::readSection(content, section.toLatin1());
    keys.reserve(raw.size());
    for (const auto &[key, value] : raw)
        keys.emplace_back(QString::fromLatin1(key), QString::fromLatin1(value));
    return keys;
}

bool ModIni::WriteINI(const QString &section, const QString &key, const QString &value) const {
    const QByteArray sectionBytes = section.toLatin1();
    const QByteArray keyBytes = key.toLatin1();
    const QByteArray valueBytes = value.toLatin1();
    const QString path = fileName();
    if (!profile::canWrite(sectionBytes, keyBytes, valueBytes)) {
        qCInfo(lcSettings) << "not written, names or value break the file's lines:" << section
                           << key;
        return false;
    }

    const QString folder = AppFolder();
    if (!QFileInfo(folder).isDir() && !QDir().mkpath(folder)) {
        qCInfo(lcSettings) << "cannot create" << folder;
        return false;
    }

    QByteArray content;
    const FileState state = readFile(path, content);
    if (state == FileState::Unusable) {
        // Writing without the old content would wipe every other setting.
        qCInfo(lcSettings) << "not written, cannot read" << path;
        return false;
    }
    const QByteArray updated = profile::writeString(content, sectionBytes, keyBytes, valueBytes);
    if (state == FileState::Read && updated == content)
        return true;

    // QSaveFile keeps the permissions and writes to the target of a symbolic link.
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly)) {
        qCInfo(lcSettings) << "not written:" << path << file.errorString();
        return false;
    }
    file.write(updated);
    if (!file.commit()) {
        qCInfo(lcSettings) << "not written:" << path << file.errorString();
        return false;
    }
    return true;
}

QString settingsFolderFor(const QString &executableFolder) {
    const ModIni beside(executableFolder);
    const QFileInfo file(beside.fileName());
    if (file.exists() || file.isSymLink() || QFileInfo(beside.AppFolder()).isWritable())
        return beside.AppFolder();
    // Relative values are to be ignored, as the base-directory rules say.
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty() || QDir::isRelativePath(config))
        config = QDir::homePath() + QStringLiteral("/.config");
    return ModIni(config + QStringLiteral("/torvika")).AppFolder();
}

} // namespace torvika
