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
    const QString &commPort = texts.commPort;
    const QString &setting = texts.setting;
    const QString &bl = texts.bl;
    StartValues v;
    int number = 0;
    if (!commPort.isEmpty()) {
        if (parseWholeNumber(commPort, number) && number >= FirstPort && number <= LastPort)
            v.commPort = number;
        else
            v.problems << QStringLiteral("\"CommPort\" = \"%1\" is not a port number from %2 to "
                                         "%3; port %4 is used.")
                              .arg(commPort)
                              .arg(FirstPort)
                              .arg(LastPort)
                              .arg(DefaultCommPort);
    }
    if (!setting.isEmpty()) {
        const QString why = settingProblem(setting);
        if (why.isEmpty())
            v.setting = setting;
        else
            v.problems << QStringLiteral("\"Setting\" = \"%1\" cannot be used (%2); \"%3\" is "
                                         "used.")
                              .arg(setting, why, DefaultSetting);
    }
    if (!bl.isEmpty()) {
        if (parseWholeNumber(bl, number) && number >= MinBacklight && number <= MaxBacklight)
            v.backlight = number;
        else
            v.problems << QStringLiteral("\"BL\" = \"%1\" is not a brightness from %2 to %3; %4 "
                                         "is used.")
                              .arg(bl)
                              .arg(MinBacklight)
                              .arg(MaxBacklight)
                              .arg(DefaultBL);
    }
    return v;
}

} // namespace torvika
