#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace torvika::test {

// The far end of a pseudo-terminal, standing in for the display module: the program opens
// slavePath() as its serial device; the test reads what it sent and answers from the master.
class PtyPeer {
public:
    // keepSlaveOpen: hold a slave descriptor so the master survives the program closing and
    // reopening the port.
    explicit PtyPeer(bool keepSlaveOpen = true);
    ~PtyPeer();
    PtyPeer(const PtyPeer &) = delete;
    PtyPeer &operator=(const PtyPeer &) = delete;

    bool isValid() const { return master_ >= 0; }
    QString slavePath() const { return slavePath_; }

    // Reads until `count` bytes have come or `timeoutMs` passed; returns what came.
    QByteArray read(int count, int timeoutMs = 2000);
    // Everything that arrives within `waitMs` of quiet.
    QByteArray readAvailable(int waitMs = 50);
    // Bytes to the program.
    bool write(const QByteArray &bytes, int timeoutMs = 1000);
    // Writes what the line takes now, waiting at most timeoutMs for room; returns how much.
    qsizetype writeSome(QByteArrayView bytes, int timeoutMs);
    // The peer goes away: the program's next read or write on the device fails.
    void closeMaster();

private:
    int master_ = -1;
    int slave_ = -1;
    QString slavePath_;
};

} // namespace torvika::test
