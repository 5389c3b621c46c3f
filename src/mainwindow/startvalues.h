#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace torvika {

// What the start sequence applies when the settings file is missing a value or holds one
// it cannot use: the window's design state.
inline const QString DefaultCommPort = QStringLiteral("1");
inline const QString DefaultSetting = QStringLiteral("9600,n,8,1");
inline const QString DefaultBL = QStringLiteral("155");
constexpr int FirstPort = 1, LastPort = 20;
constexpr int MinBacklight = 50, MaxBacklight = 250;

struct StartValues {
    int commPort = 1;
    QString setting = DefaultSetting;
    int backlight = 155;
    // One line per key whose text could not be used, naming the key, the text and the
    // value used instead. Empty when everything was usable or simply missing.
    QStringList problems;
};

// `settingProblem` returns why the port cannot use a line-settings text, or "" if it can.
StartValues resolveStartValues(const QString &commPort, const QString &setting, const QString &bl,
                               const std::function<QString(const QString &)> &settingProblem);

// Whole decimal number, optionally signed, nothing else; false when the text is not one.
bool parseWholeNumber(const QString &text, int &value);

} // namespace torvika
