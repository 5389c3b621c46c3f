#pragma once

#include <QIcon>

namespace torvika {

// The panel's icon, shared by both windows: a small green two-row LCD in a dark bezel.
QIcon appIcon();

} // namespace torvika
