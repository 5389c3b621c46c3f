#pragma once

#include <cstdint>
#include <optional>

// The module's inputs as keys: when to ask for them and which presses an answer holds.
namespace torvika::lcdd {

// An input going from LOW to HIGH is one press. The first answer (at start, after a reopen)
// only tells what is there: an input held HIGH then is no press.
class KeyEdges {
public:
    // The inputs that went from LOW to HIGH (bit 0 = Input 1); the reply's bits 3..7 are no
    // inputs.
    std::uint8_t pressed(std::uint8_t reply);
    void reset() { last_.reset(); }

private:
    std::optional<std::uint8_t> last_;
};

// One query on the line at a time: asked every `intervalMs`, its answer taken until the
// deadline given when it went out; after that it counts as unanswered and the next one may go.
class InputQuery {
public:
    explicit InputQuery(int intervalMs) : intervalMs_(intervalMs) {}

    bool due(std::int64_t nowMs) const;
    void sent(std::int64_t nowMs, std::int64_t deadlineMs);
    // Whether a byte coming in now answers the query; a true answers it.
    bool takeAnswer(std::int64_t nowMs);
    void reset();

private:
    int intervalMs_;
    std::optional<std::int64_t> lastSentMs_;
    std::optional<std::int64_t> deadlineMs_;
};

} // namespace torvika::lcdd
