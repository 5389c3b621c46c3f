#include "mainwindow/startvalues.h"

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

StartValues resolveStartValues(const QString &commPort, const QString &setting, const QString &bl,
                               const std::function<QString(const QString &)> &settingProblem) {
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
