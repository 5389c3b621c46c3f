#include "lcdd/settings.h"

#include "protocol/commands.h"

#include <charconv>

namespace torvika::lcdd {

namespace {

constexpr int MinPollMs = 10, MaxPollMs = 10000;
constexpr std::size_t MaxKeyName = 32;

std::optional<int> wholeNumber(const std::string &text, int low, int high) {
    int value = 0;
    const char *end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end || value < low || value > high)
        return std::nullopt;
    return value;
}

// LCDd passes key names to clients as they are; a blank or a control character would make a
// name no client can ask for.
bool usableKeyName(const std::string &name) {
    if (name.size() > MaxKeyName)
        return false;
    for (const char c : name)
        if (c <= ' ' || c > '~')
            return false;
    return true;
}

} // namespace

bool Settings::readsInputs() const {
    for (const std::string &key : keys)
        if (!key.empty())
            return true;
    return false;
}

SettingsCheck readSettings(const std::string &section, const SettingLookup &lookup) {
    SettingsCheck check;
    Settings &s = check.settings;
    const auto refuse = [&](const char *key, const std::string &value, const std::string &allowed,
                            const std::string &fallback) {
        check.problems.push_back(key +
                                 ("=\"" + value + "\" in [" + section + "] cannot be used: ") +
                                 allowed + "; using " + fallback);
    };

    if (const auto device = lookup("Device")) {
        if (device->size() > 1 && device->front() == '/')
            s.device = *device;
        else
            refuse("Device", *device, "the path of a serial device, such as /dev/ttyUSB0",
                   s.device);
    }

    if (const auto speed = lookup("Speed")) {
        if (*speed == "auto")
            s.speed = AutoSpeed;
        else if (const auto n = wholeNumber(*speed, 0, protocol::ModuleSpeedHigh);
                 n == protocol::ModuleSpeedLow || n == protocol::ModuleSpeedHigh)
            s.speed = *n;
        else
            refuse("Speed", *speed, "9600, 19200 or auto", "auto");
    }

    const auto level = [&](const char *key, int &into) {
        if (const auto text = lookup(key)) {
            if (const auto n = wholeNumber(*text, 0, 1000))
                into = *n;
            else
                refuse(key, *text, "a whole number from 0 to 1000", std::to_string(into));
        }
    };
    level("Brightness", s.brightness);
    level("OffBrightness", s.offBrightness);

    for (int i = 0; i < KeyInputs; ++i) {
        const std::string key = "Key" + std::to_string(i + 1);
        if (const auto name = lookup(key.c_str())) {
            if (usableKeyName(*name))
                s.keys[i] = *name;
            else
                refuse(key.c_str(), *name,
                       "a key name of up to 32 letters, digits or signs, no blanks, or nothing "
                       "for no key",
                       s.keys[i]);
        }
    }

    if (const auto poll = lookup("InputPoll")) {
        if (const auto n = wholeNumber(*poll, MinPollMs, MaxPollMs))
            s.inputPollMs = *n;
        else
            refuse("InputPoll", *poll,
                   "milliseconds from " + std::to_string(MinPollMs) + " to " +
                       std::to_string(MaxPollMs),
                   std::to_string(s.inputPollMs));
    }
    return check;
}

} // namespace torvika::lcdd
