#pragma once

#include "platform/layout.h"

#include <QStringList>

#include <span>

namespace torvika::test {

// What is wrong with a window built from its table: captions that do not fit, controls that
// overlap, a focus order that is not the table's tab order. Empty when all is well.
QStringList layoutFaults(const layout::Controls &controls, std::span<const layout::Item> table);

} // namespace torvika::test
