#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace torvika::test {

// The far end of a pseudo-terminal, standing in for the display module: the program opens
// slavePath() as its serial device; the test reads what it sent and answers from the master.
class PtyPeer {
public:
    // keepSlaveOpen: the line stays up while the program closes and reopens the port.
    explicit PtyPeer(bool keepSlaveOpen = true);
    ~PtyPeer();
    PtyPeer(const PtyPeer &) = delete;
    PtyPeer &operator=(const PtyPeer &) = delete;

    QString slavePath() const { return slavePath_; }
    // Reads until `count` bytes have come or `timeoutMs` passed; returns what came.
    QByteArray read(int count, int timeoutMs = 2000);
    // Everything that arrives until `waitMs` pass without a byte.
    QByteArray readAvailable(int waitMs = 50);
    // Writes what the line takes within `timeoutMs`; returns how much.
    qsizetype writeSome(QByteArrayView bytes, int timeoutMs = 1000);
    bool write(const QByteArray &bytes) { return writeSome(bytes) == bytes.size(); }
    // The peer goes away: the program's next read or write on the device fails.
    void closeMaster();

private:
    int master_ = -1;
    int slave_ = -1;
    QString slavePath_;
};

} // namespace torvika::test
