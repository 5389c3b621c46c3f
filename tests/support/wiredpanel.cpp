#include "support/wiredpanel.h"

#include "platform/portsettings.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace torvika::test {

WiredPanel::WiredPanel(const QByteArray &extraSettings) {
    QFile f(ini.fileName());
    if (f.open(QIODevice::WriteOnly)) {
        f.write(
            "[Settings]\r\nCommPort=1\r\nSetting=9600,n,8,1\r\n[LCD]\r\nBL=155\r\n[Ports]\r\n1=" +
            peer.slavePath().toLocal8Bit() + "\r\n" + extraSettings);
        f.close();
    }
    port = std::make_unique<SystemSerialPort>(portMapFromSettings(ini));
    window = std::make_unique<FrmMain>(vars, ini, *port, boxes);
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

} // namespace torvika::test
