#pragma once

#include <QString>

namespace torvika {

// The program that holds `device` open, as the system tells it: "LCDd, process 812". Found
// by the device itself, so any name that leads to it counts. Empty when no process we may
// look at holds it.
QString deviceHolder(const QString &device);

} // namespace torvika
