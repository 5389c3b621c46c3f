#include "config/chareditor.h"

#include <algorithm>

namespace torvika {

void CharEditor::toggle(int row, int weight) {
    const bool knownWeight =
        weight == 16 || weight == 8 || weight == 4 || weight == 2 || weight == 1;
    if (row < 0 || row >= Rows || !knownWeight)
        return;
    UDRow[static_cast<std::size_t>(row)] ^= static_cast<std::uint8_t>(weight);
}

void CharEditor::setAll() {
    UDRow.fill(FullRow);
}

void CharEditor::clearAll() {
    UDRow.fill(0);
}

void CharEditor::store(int slot) {
    if (slot < 0 || slot >= Slots)
        return;
    std::copy(UDRow.begin(), UDRow.end(), UDBitmap.begin() + slot * Rows);
}

QString CharEditor::rowText(std::uint8_t value) {
    return QStringLiteral("0x") + QString::number(value, 16).toUpper();
}

} // namespace torvika
