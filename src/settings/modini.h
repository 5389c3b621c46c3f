#pragma once

#include <QList>
#include <QString>

#include <utility>

namespace torvika {

// The settings file "torvika.ini": lookup and update of one key in one section, with the
// behaviour of the platform's private-profile functions (see profile.h). Reading never
// fails towards the caller; a refused write is lost and leaves the file as it was.
class ModIni {
public:
    // `folder`: the folder that holds the settings file (see settingsFolderFor()).
    explicit ModIni(QString folder);
    // A settings file of another name, read and written by the same rules.
    static ModIni file(const QString &path);

    // The folder, ending in exactly one separator ("/" stays "/"; "" is the current folder).
    QString AppFolder() const;
    // AppFolder() + "torvika.ini" (or the name given to file()).
    QString fileName() const;

    // Value text, or "" for a missing file, section or key. Bytes map 1:1 to characters
    // (Latin-1), so any value is written back exactly as read.
    QString ReadINI(const QString &section, const QString &key) const;
    // Every key of `section` with its value, in file order (first of repeated keys only).
    QList<std::pair<QString, QString>> ReadSection(const QString &section) const;
    // Sets the key, creating folder, file, section and key where missing. Returns whether the
    // new file is in place; callers that follow the original ignore it. The write goes through
    // a temporary file renamed over the old one (directly into the file when only the file is
    // writable), keeps the file's permissions and writes through a symbolic link to its target.
    bool WriteINI(const QString &section, const QString &key, const QString &value) const;

    // Why the file that is there cannot be used ("is a directory", ...); "" when it can be
    // read or is missing.
    QString fileProblem() const;
    // Why the last WriteINI() failed; "" after one that succeeded.
    QString lastWriteProblem() const { return lastWriteProblem_; }

private:
    QString folder_;
    QString name_;
    mutable QString lastWriteProblem_;
};

// The folder for the settings file of an executable in `executableFolder`: that folder when
// it holds a torvika.ini or is writable and not a system folder under /usr (a portable
// install), otherwise
// $XDG_CONFIG_HOME/torvika/ (~/.config/torvika/ by default), which WriteINI() creates.
QString settingsFolderFor(const QString &executableFolder);

} // namespace torvika
