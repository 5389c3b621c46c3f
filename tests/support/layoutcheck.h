#pragma once

#include "platform/layout.h"

#include <QStringList>

#include <span>

namespace torvika::test {

// What is wrong with a window built from its layout table, one line each: a caption that does
// not fit its control, two controls of one container that overlap, a focus order that is not
// the table's tab order. Empty when all is well.
QStringList layoutFaults(const layout::Controls &controls, std::span<const layout::Item> table);

} // namespace torvika::test
