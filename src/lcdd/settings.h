#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// The driver's section of LCDd.conf, checked: what the driver can use, and a message for every
// value it cannot, naming the key, what is allowed and the default taken instead.
namespace torvika::lcdd {

constexpr int KeyInputs = 3;
constexpr int AutoSpeed = 0;

struct Settings {
    std::string device = "/dev/ttyUSB0";
    int speed = AutoSpeed; // 9600, 19200, or AutoSpeed: asked of the module at start
    int brightness = 1000;
    int offBrightness = 0;
    std::array<std::string, KeyInputs> keys{"Enter", "Up", "Down"}; // empty: no key
    int inputPollMs = 50;

    bool readsInputs() const;
};

struct SettingsCheck {
    Settings settings;
    std::vector<std::string> problems;
};

// The text of a key as the configuration holds it, or nothing when the key is absent.
using SettingLookup = std::function<std::optional<std::string>(const char *key)>;

// `section` only names where the values came from in the messages.
SettingsCheck readSettings(const std::string &section, const SettingLookup &lookup);

} // namespace torvika::lcdd
