#include "lcdd/keys.h"

#include "protocol/commands.h"

namespace torvika::lcdd {

namespace {
constexpr std::uint8_t InputBits = (1u << protocol::Inputs) - 1;
}

std::uint8_t KeyEdges::pressed(std::uint8_t reply) {
    const std::uint8_t now = reply & InputBits;
    const std::uint8_t rising = last_ ? std::uint8_t(now & ~*last_) : 0;
    last_ = now;
    return rising;
}

bool InputQuery::due(std::int64_t nowMs) const {
    if (deadlineMs_ && nowMs <= *deadlineMs_)
        return false;
    return !lastSentMs_ || nowMs - *lastSentMs_ >= intervalMs_;
}

void InputQuery::sent(std::int64_t nowMs, std::int64_t deadlineMs) {
    lastSentMs_ = nowMs;
    deadlineMs_ = deadlineMs;
}

bool InputQuery::takeAnswer(std::int64_t nowMs) {
    if (!deadlineMs_ || nowMs > *deadlineMs_)
        return false;
    deadlineMs_.reset();
    return true;
}

void InputQuery::reset() {
    lastSentMs_.reset();
    deadlineMs_.reset();
}

} // namespace torvika::lcdd
