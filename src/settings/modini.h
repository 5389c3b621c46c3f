#pragma once

#include <QString>

namespace torvika {

// The settings file "torvika.ini": lookup and update of one key in one section, with the
// behaviour of the platform's private-profile functions (see profile.h). Reading never
// fails towards the caller; a refused write is lost and leaves the file as it was.
class ModIni {
public:
    // `folder`: the folder of the running executable.
    explicit ModIni(QString folder);

    // The folder, ending in exactly one separator.
    QString AppFolder() const;
    // AppFolder() + "torvika.ini".
    QString fileName() const;

    // Value text, or "" for a missing file, section or key. Bytes map 1:1 to characters
    // (Latin-1), so any value is written back exactly as read.
    QString ReadINI(const QString &section, const QString &key) const;
    // Sets the key, creating file, section and key where missing. Returns whether the
    // new file is in place; callers that follow the original ignore it.
    bool WriteINI(const QString &section, const QString &key, const QString &value) const;

private:
    QString folder_;
};

} // namespace torvika
