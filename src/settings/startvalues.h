#pragma once

#include "protocol/commands.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <utility>

namespace torvika {

// What the start sequence applies when the settings file is missing a value or holds one
// it cannot use: the window's design state.
constexpr int FirstPort = 1, LastPort = 20;
constexpr int MinBacklight = protocol::MinBrightness, MaxBacklight = protocol::MaxBrightness;
inline const QString DefaultCommPort = QString::number(FirstPort);
inline const QString DefaultSetting = protocol::lineSettingsText(protocol::ModuleSpeedLow);
inline const QString DefaultBL = QString::number(protocol::DefaultBrightness);

struct StartValues {
    int commPort = FirstPort;
    QString setting = DefaultSetting;
    int backlight = protocol::DefaultBrightness;
    // One line per key whose text could not be used, naming the key, the text and the
    // value used instead. Empty when everything was usable or simply missing.
    QStringList problems;
};

// The three remembered values as the settings file holds them, "" for a missing key.
struct RememberedTexts {
    QString commPort, setting, bl;
};

// One key of the settings file with the text to write into it.
struct SettingsEntry {
    QString section, key, value;
};

// Reads the three keys through `read(section, key)`.
RememberedTexts
readRemembered(const std::function<QString(const QString &, const QString &)> &read);

// What the close writes back: each key exactly as it was read, the default for a missing one,
// so a missing file becomes a template with the defaults.
QList<SettingsEntry> closeWriteBack(const RememberedTexts &asRead);

// The message shown once at start for a file that cannot be used or values that cannot be;
// "" when there is nothing to tell.
QString startMessage(const QString &fileName, const QString &fileProblem,
                     const QStringList &valueProblems);

// `settingProblem` returns why the port cannot use a line-settings text, or "" if it can.
StartValues resolveStartValues(const RememberedTexts &texts,
                               const std::function<QString(const QString &)> &settingProblem);

// Whole decimal number, optionally signed, nothing else; false when the text is not one.
bool parseWholeNumber(const QString &text, int &value);

} // namespace torvika
