#include "support/wiredpanel.h"

#include "platform/portsettings.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace torvika::test {

WiredPanel::WiredPanel(const QByteArray &settings, bool show) {
    QFile f(ini.fileName());
    if (!settings.isNull() && f.open(QIODevice::WriteOnly))
        f.write(QByteArray(settings).replace("%PTY%", peer.slavePath().toLocal8Bit()));
    f.close();
    port = std::make_unique<SystemSerialPort>(portMapFromSettings(ini));
    window = std::make_unique<FrmMain>(vars, ini, *port, boxes);
    if (show)
        window->show();
}

bool WiredPanel::click(const char *name, int index) {
    auto *button = get<QPushButton>(name, index);
    if (!button)
        return false;
    QTest::mouseClick(button, Qt::LeftButton);
    return true;
}

void WiredPanel::choose(const char *list, const QString &text) {
    auto *box = get<QComboBox>(list);
    box->setCurrentIndex(box->findText(text));
}

QString WiredPanel::trace() {
    return get<QLabel>("lblTxData")->text();
}

FrmUDChar *WiredPanel::dialog() {
    window->mnuConfig()->trigger();
    return window->configDialog();
}

QByteArray WiredPanel::fileAfterClose() {
    window->close();
    QFile f(ini.fileName());
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace torvika::test
