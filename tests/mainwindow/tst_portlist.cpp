// The port list tells, for each port number, the device it stands for and whether it is there.
#include "platform/fonts.h"
#include "platform/portsettings.h"
#include "support/wiredpanel.h"

#include <QComboBox>
#include <QHelpEvent>
#include <QTest>

using namespace torvika;
using namespace torvika::test;

class TstPortList : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { installFontSubstitutions(); }

    void toolTipTexts_data() {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("present");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("text");
        QTest::newRow("present with a description")
            << 2 << "/dev/serial/by-id/usb-FTDI_FT232R-if00-port0" << true << "FT232R USB UART"
            << "Port 2: /dev/serial/by-id/usb-FTDI_FT232R-if00-port0 (present, FT232R USB UART)";
        QTest::newRow("present, nothing known of it") << 1 << "/dev/ttyS0" << true << ""
                                                      << "Port 1: /dev/ttyS0 (present)";
        QTest::newRow("missing: a stale description is not shown")
            << 20 << "/dev/ttyUSB3" << false << "old"
            << "Port 20: /dev/ttyUSB3 (not present)";
        QTest::newRow("no device at all") << 5 << "" << false << ""
                                          << "Port 5: no device";
    }
    void toolTipTexts() {
        QFETCH(int, number);
        QFETCH(QString, path);
        QFETCH(bool, present);
        QFETCH(QString, description);
        QFETCH(QString, text);
        QCOMPARE(portToolTip(number, PortDevice{path, present, description}), text);
    }

    void probingTellsDevicesFromFilesAndGaps() {
        PtyPeer peer;
        QTemporaryDir dir;
        const QStringList paths{peer.slavePath(), dir.path() + QStringLiteral("/gone"), dir.path(),
                                QString()};
        const QList<PortDevice> found = probePortDevices(paths);
        QCOMPARE(found.size(), 4);
        QVERIFY(found[0].present);
        QVERIFY(!found[1].present);
        QVERIFY(!found[2].present); // a folder is no device
        QVERIFY(!found[3].present);
    }

    // What a user sees hovering over the list in the real window, with a mapping from the
    // settings file: port 1 on a pty that is there, port 2 on a device that is not.
    void theWindowsListCarriesTheToolTips() {
        WiredPanel w("2=/dev/serial/by-id/usb-nothing-here\r\n");
        auto *list = w.get<QComboBox>("cboComm");
        QHelpEvent hover(QEvent::ToolTip, QPoint(5, 5), list->mapToGlobal(QPoint(5, 5)));
        QCoreApplication::sendEvent(list, &hover);
        QCOMPARE(list->itemData(0, Qt::ToolTipRole).toString(),
                 QStringLiteral("Port 1: %1 (present)").arg(w.peer.slavePath()));
        QCOMPARE(list->itemData(1, Qt::ToolTipRole).toString(),
                 QStringLiteral("Port 2: /dev/serial/by-id/usb-nothing-here (not present)"));
        QVERIFY(list->itemData(19, Qt::ToolTipRole)
                    .toString()
                    .startsWith(QStringLiteral("Port 20: /dev/ttyS19 (")));
        QCOMPARE(list->toolTip(), list->itemData(0, Qt::ToolTipRole).toString());
        // Looking sends nothing.
        QVERIFY(w.peer.readAvailable(20).isEmpty());
    }
};

QTEST_MAIN(TstPortList)
#include "tst_portlist.moc"
