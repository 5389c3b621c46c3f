#include "config/chareditor.h"

#include <algorithm>

namespace torvika {

namespace {

// The five columns of a row in reverse order: bit 4 becomes bit 0.
std::uint8_t mirrored(std::uint8_t row) {
    std::uint8_t out = 0;
    for (int bit = 0; bit < 5; ++bit)
        if (row & (1 << bit))
            out |= static_cast<std::uint8_t>(1 << (4 - bit));
    return out;
}

} // namespace

protocol::CharBitmap transformed(const protocol::CharBitmap &rows, Transform transform) {
    protocol::CharBitmap out{};
    const auto eachRow = [&](auto f) {
        std::transform(rows.begin(), rows.end(), out.begin(),
                       [&](std::uint8_t r) { return static_cast<std::uint8_t>(f(r) & 0x1F); });
    };
    switch (transform) {
    case Transform::Invert:
        eachRow([](std::uint8_t r) { return ~r; });
        break;
    case Transform::ShiftUp:
        std::copy(rows.begin() + 1, rows.end(), out.begin());
        break;
    case Transform::ShiftDown:
        std::copy(rows.begin(), rows.end() - 1, out.begin() + 1);
        break;
    case Transform::ShiftLeft:
        eachRow([](std::uint8_t r) { return r << 1; });
        break;
    case Transform::ShiftRight:
        eachRow([](std::uint8_t r) { return r >> 1; });
        break;
    case Transform::MirrorLeftRight:
        eachRow(mirrored);
        break;
    case Transform::MirrorTopBottom:
        std::reverse_copy(rows.begin(), rows.end(), out.begin());
        break;
    }
    return out;
}

bool CharEditor::isWeight(int weight) {
    return std::find(Weights.begin(), Weights.end(), weight) != Weights.end();
}

void CharEditor::toggle(int row, int weight) {
    if (row < 0 || row >= Rows || !isWeight(weight))
        return;
    record();
    UDRow[static_cast<std::size_t>(row)] ^= static_cast<std::uint8_t>(weight);
}

void CharEditor::setAll() {
    protocol::CharBitmap full;
    full.fill(FullRow);
    setDrawing(full);
}

void CharEditor::clearAll() {
    setDrawing({});
}

void CharEditor::setDrawing(const protocol::CharBitmap &rows) {
    if (rows == UDRow)
        return;
    record();
    UDRow = rows;
}

void CharEditor::recall(int slot) {
    if (slot >= 0 && slot < Slots)
        setDrawing(protocol::charOf(UDBitmap, slot));
}

void CharEditor::paint(int row, int weight, bool lit, bool firstOfStroke) {
    if (row < 0 || row >= Rows || !isWeight(weight))
        return;
    if (firstOfStroke)
        record();
    auto &bits = UDRow[static_cast<std::size_t>(row)];
    bits = static_cast<std::uint8_t>(lit ? bits | weight : bits & ~weight);
}

void CharEditor::record() {
    undo_.push_back(UDRow);
    if (undo_.size() > MaxSteps)
        undo_.pop_front();
    redo_.clear();
}

bool CharEditor::undo() {
    if (undo_.empty())
        return false;
    redo_.push_back(UDRow);
    UDRow = undo_.back();
    undo_.pop_back();
    return true;
}

bool CharEditor::redo() {
    if (redo_.empty())
        return false;
    undo_.push_back(UDRow);
    UDRow = redo_.back();
    redo_.pop_back();
    return true;
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
