#pragma once

#include <QByteArrayView>
#include <QString>

#include <cstdint>

namespace torvika {

// One byte as the traffic monitor shows it: two upper-case hex digits and a space ("0A ").
QString hexByteText(std::uint8_t byte);

// A run of bytes in the same form ("FE 28 9B ").
QString hexTrace(QByteArrayView bytes);

} // namespace torvika
