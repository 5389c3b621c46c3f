#pragma once

#include <QByteArrayView>

#include <cstdint>
#include <optional>
#include <string>

// The serial device through POSIX calls only: opened without blocking and without becoming a
// controlling terminal, raw 8N1 at a given speed. Nothing here ever waits, except probe().
class SerialLine {
public:
    SerialLine() = default;
    SerialLine(const SerialLine &) = delete;
    SerialLine &operator=(const SerialLine &) = delete;
    ~SerialLine() { close(); }

    struct Opened {
        std::string problem; // empty when open: else the system's reason, and for a refusal
                             // which user was refused and the device's group it needs
        bool refused = false;
        explicit operator bool() const { return problem.empty(); }
    };
    Opened open(const std::string &path, int speed);
    void close();
    bool isOpen() const { return fd_ >= 0; }
    // Bytes the device took, 0 when it takes none now, nothing when it is gone (errno kept).
    std::optional<std::int64_t> write(QByteArrayView bytes);
    // One byte that came in, if any; nothing either when none came or when the device is gone
    // (then gone() says so).
    std::optional<std::uint8_t> readByte();
    void discardInput();
    std::int64_t outputQueued() const;
    // The device hung up or went away.
    bool gone() const;
    // The module's speed: the one of `speeds` at which it answers the inputs query, and the line
    // left at it; 0 for none, the line then at the first.
    int probe(const int *speeds, int count);

private:
    bool setSpeed(int speed);

    int fd_ = -1;
};
