#pragma once

#include <QByteArrayView>
#include <QString>

#include <cstdint>

namespace torvika::protocol {

// One byte as the traffic monitor shows it: two upper-case hex digits and a space ("0A ").
QString hexByteText(std::uint8_t byte);

// Bytes as upper-case hex pairs separated by single spaces ("FE 32 01 0F").
QString hexText(QByteArrayView bytes);

// Bytes as a C initializer list, without its braces: "0xFE, 0x32, 0x01, 0x0F".
QString cByteList(QByteArrayView bytes);

} // namespace torvika::protocol
