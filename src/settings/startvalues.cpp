#include "settings/startvalues.h"

namespace torvika {

bool parseWholeNumber(const QString &text, int &value) {
    const QString t = text.trimmed();
    int start = (t.startsWith(u'-') || t.startsWith(u'+')) ? 1 : 0;
    if (t.size() == start || t.size() > start + 9)
        return false;
    for (int i = start; i < t.size(); ++i)
        if (t[i] < u'0' || t[i] > u'9')
            return false;
    bool ok = false;
    value = t.toInt(&ok, 10);
    return ok;
}

namespace {

const QString SettingsSection = QStringLiteral("Settings");
const QString LcdSection = QStringLiteral("LCD");
const QString CommPortKey = QStringLiteral("CommPort");
const QString SettingKey = QStringLiteral("Setting");
const QString BacklightKey = QStringLiteral("BL");

// Takes a key's text into `value` when it is a whole number from `min` to `max`; otherwise
// names it with `problem` ("%1" the text, "%2" to "%3" the range, "%4" the default used).
void takeNumber(const QString &text, int min, int max, const QString &problem,
                const QString &fallback, int &value, QStringList &problems) {
    int number = 0;
    if (text.isEmpty())
        return;
    if (parseWholeNumber(text, number) && number >= min && number <= max)
        value = number;
    else
        problems << problem.arg(text).arg(min).arg(max).arg(fallback);
}

QString orDefault(const QString &text, const QString &fallback) {
    return text.isEmpty() ? fallback : text;
}

} // namespace

RememberedTexts
readRemembered(const std::function<QString(const QString &, const QString &)> &read) {
    return {read(SettingsSection, CommPortKey), read(SettingsSection, SettingKey),
            read(LcdSection, BacklightKey)};
}

QList<SettingsEntry> closeWriteBack(const RememberedTexts &asRead) {
    return {{SettingsSection, CommPortKey, orDefault(asRead.commPort, DefaultCommPort)},
            {SettingsSection, SettingKey, orDefault(asRead.setting, DefaultSetting)},
            {LcdSection, BacklightKey, orDefault(asRead.bl, DefaultBL)}};
}

QString startMessage(const QString &fileName, const QString &fileProblem,
                     const QStringList &valueProblems) {
    if (!fileProblem.isEmpty())
        return QStringLiteral("The settings file %1 %2. The panel starts with its defaults and "
                              "leaves the file as it is.")
            .arg(fileName, fileProblem);
    if (!valueProblems.isEmpty())
        return QStringLiteral("Some values in the settings file %1 cannot be used; the file is "
                              "left as it is.\n\n%2")
            .arg(fileName, valueProblems.join(u'\n'));
    return {};
}

StartValues resolveStartValues(const RememberedTexts &texts,
                               const std::function<QString(const QString &)> &settingProblem) {
    StartValues v;
    takeNumber(texts.commPort, FirstPort, LastPort,
               QStringLiteral("\"CommPort\" = \"%1\" is not a port number from %2 to %3; port %4 "
                              "is used."),
               DefaultCommPort, v.commPort, v.problems);
    if (!texts.setting.isEmpty()) {
        const QString why = settingProblem(texts.setting);
        if (why.isEmpty())
            v.setting = texts.setting;
        else
            v.problems << QStringLiteral("\"Setting\" = \"%1\" cannot be used (%2); \"%3\" is "
                                         "used.")
                              .arg(texts.setting, why, DefaultSetting);
    }
    takeNumber(texts.bl, MinBacklight, MaxBacklight,
               QStringLiteral("\"BL\" = \"%1\" is not a brightness from %2 to %3; %4 is used."),
               DefaultBL, v.backlight, v.problems);
    return v;
}

} // namespace torvika
