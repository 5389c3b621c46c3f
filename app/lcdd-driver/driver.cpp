// torvika.so: LCDd's entry points. Drawing calls go to the frame; flush sends what the encoder
// makes of it when the line has room; get_key asks for the inputs on one call and takes the
// answer on a later one. Nothing here blocks LCDd, starts a thread or needs an event loop.

#include "lcdd.h"
#include "serialline.h"

#include "lcdd/frame.h"
#include "lcdd/keys.h"
#include "lcdd/linequeue.h"
#include "lcdd/settings.h"
#include "protocol/commands.h"
#include "protocol/frames.h"

#include <QByteArray>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <deque>
#include <string>

#define TORVIKA_EXPORT extern "C" __attribute__((visibility("default")))

using namespace torvika;

extern "C" {
__attribute__((visibility("default"))) char *api_version = const_cast<char *>("0.5");
__attribute__((visibility("default"))) int stay_in_foreground = 0;
__attribute__((visibility("default"))) int supports_multiple = 1;
__attribute__((visibility("default"))) char *symbol_prefix = const_cast<char *>("torvika_");
}

namespace {

constexpr int ReopenEveryMs = 1000;
// Beyond the time the line needs for what is queued before it: the module answers at once.
constexpr int AnswerMarginMs = 100;
constexpr std::size_t MaxWaitingKeys = 16;

std::int64_t nowUs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return std::int64_t(ts.tv_sec) * 1000000 + ts.tv_nsec / 1000;
}

struct Private {
    std::string name;
    lcdd::Settings settings;
    int speed = protocol::ModuleSpeedLow;
    SerialLine line;
    lcdd::Frame frame;
    lcdd::Encoder encoder;
    QByteArray held; // bytes the device has not taken yet: they go first
    lcdd::LineBacklog backlog{protocol::ModuleSpeedLow};
    lcdd::KeyEdges edges;
    lcdd::InputQuery query{50};
    std::deque<const char *> keys;
    std::int64_t nextOpenUs = 0;
    std::string lastRefusal;
    std::string info;

    void lost(const char *why);
    void reopen(std::int64_t now);
    bool usable(std::int64_t now);
    void send(std::int64_t now);
};

Private *p(Driver *drvthis) {
    return static_cast<Private *>(drvthis->private_data);
}

void Private::lost(const char *why) {
    report(RPT_ERR, "%s: %s went away (%s); trying to open it again every second", name.c_str(),
           settings.device.c_str(), why);
    line.close();
    held.clear();
    backlog.reset();
    edges.reset();
    query.reset();
    keys.clear();
    lastRefusal.clear();
    nextOpenUs = nowUs() + ReopenEveryMs * 1000;
}

void Private::reopen(std::int64_t now) {
    if (now < nextOpenUs)
        return;
    nextOpenUs = now + ReopenEveryMs * 1000;
    const SerialLine::Opened opened = line.open(settings.device, speed);
    if (!opened) {
        // Missing is what an unplugged device is; a refusal is worth saying, once.
        if (opened.refused && opened.problem != lastRefusal)
            report(RPT_ERR, "%s: cannot open %s again: %s", name.c_str(), settings.device.c_str(),
                   opened.problem.c_str());
        lastRefusal = opened.problem;
        return;
    }
    report(RPT_NOTICE, "%s: %s is back; sending the characters, settings and screen again",
           name.c_str(), settings.device.c_str());
    encoder.forget();
}

bool Private::usable(std::int64_t now) {
    if (!line.isOpen())
        reopen(now);
    else if (line.gone())
        lost("hung up");
    return line.isOpen();
}

void Private::send(std::int64_t now) {
    if (!lcdd::handOver(held, backlog, now,
                        [this](QByteArrayView bytes) { return line.write(bytes); }))
        lost(std::strerror(errno));
}

} // namespace

TORVIKA_EXPORT int torvika_init(Driver *drvthis) {
    auto *d = new Private;
    drvthis->store_private_ptr(drvthis, d);
    d->name = drvthis->name ? drvthis->name : "torvika";

    const lcdd::SettingsCheck check =
        lcdd::readSettings(d->name, [&](const char *key) -> std::optional<std::string> {
            if (!drvthis->config_has_key(d->name.c_str(), key))
                return std::nullopt;
            // The next configuration call may overwrite the text: copied at once.
            const char *value = drvthis->config_get_string(d->name.c_str(), key, 0, "");
            return std::string(value ? value : "");
        });
    for (const std::string &problem : check.problems)
        report(RPT_WARNING, "%s: %s", d->name.c_str(), problem.c_str());
    d->settings = check.settings;
    const lcdd::Settings &s = d->settings;

    const int first = s.speed == lcdd::AutoSpeed ? protocol::ModuleSpeedLow : s.speed;
    if (const SerialLine::Opened opened = d->line.open(s.device, first); !opened) {
        report(RPT_ERR, "%s: cannot open %s: %s", d->name.c_str(), s.device.c_str(),
               opened.problem.c_str());
        return -1;
    }
    d->speed = first;
    if (s.speed == lcdd::AutoSpeed) {
        const int speeds[] = {protocol::ModuleSpeedLow, protocol::ModuleSpeedHigh};
        d->speed = d->line.probe(speeds, 2);
        if (d->speed == 0) {
            d->speed = speeds[0];
            report(RPT_WARNING, "%s: no answer on %s at %d or %d bit/s; sending at %d",
                   d->name.c_str(), s.device.c_str(), speeds[0], speeds[1], d->speed);
        }
    }
    d->backlog = lcdd::LineBacklog(d->speed);
    d->query = lcdd::InputQuery(s.inputPollMs);
    d->frame.setBrightness(1, s.brightness);
    d->frame.setBrightness(0, s.offBrightness);
    d->encoder.forget();
    d->info =
        "TORVIKA 2x16 serial display on " + s.device + " at " + std::to_string(d->speed) + " bit/s";
    std::string keys;
    for (int i = 0; i < lcdd::KeyInputs; ++i)
        keys += (i ? ", " : "") + (s.keys[i].empty() ? std::string("no key") : s.keys[i]);
    report(RPT_INFO, "%s: %s; inputs 1-3: %s%s", d->name.c_str(), d->info.c_str(), keys.c_str(),
           s.readsInputs() ? (", read every " + std::to_string(s.inputPollMs) + " ms").c_str()
                           : ", never read");
    return 0;
}

TORVIKA_EXPORT void torvika_close(Driver *drvthis) {
    if (Private *d = p(drvthis)) {
        if (d->line.isOpen())
            d->send(nowUs()); // what the device takes now; nothing is waited for
        delete d;
    }
    drvthis->store_private_ptr(drvthis, nullptr);
}

TORVIKA_EXPORT int torvika_width(Driver *) {
    return lcdd::Width;
}
TORVIKA_EXPORT int torvika_height(Driver *) {
    return lcdd::Height;
}
TORVIKA_EXPORT int torvika_cellwidth(Driver *) {
    return lcdd::CellWidth;
}
TORVIKA_EXPORT int torvika_cellheight(Driver *) {
    return lcdd::CellHeight;
}

TORVIKA_EXPORT void torvika_clear(Driver *drvthis) {
    p(drvthis)->frame.clear();
}
TORVIKA_EXPORT void torvika_string(Driver *drvthis, int x, int y, const char *text) {
    if (text)
        p(drvthis)->frame.string(x, y, text);
}
TORVIKA_EXPORT void torvika_chr(Driver *drvthis, int x, int y, char c) {
    p(drvthis)->frame.chr(x, y, c);
}
TORVIKA_EXPORT void torvika_hbar(Driver *drvthis, int x, int y, int len, int promille,
                                 int options) {
    p(drvthis)->frame.hbar(x, y, len, promille, options);
}
TORVIKA_EXPORT void torvika_vbar(Driver *drvthis, int x, int y, int len, int promille,
                                 int options) {
    p(drvthis)->frame.vbar(x, y, len, promille, options);
}
TORVIKA_EXPORT void torvika_num(Driver *drvthis, int x, int num) {
    p(drvthis)->frame.num(x, num);
}
TORVIKA_EXPORT void torvika_heartbeat(Driver *drvthis, int state) {
    p(drvthis)->frame.heartbeat(state);
}
TORVIKA_EXPORT int torvika_icon(Driver *drvthis, int x, int y, int icon) {
    return p(drvthis)->frame.icon(x, y, icon) ? 0 : -1;
}
TORVIKA_EXPORT void torvika_cursor(Driver *drvthis, int x, int y, int type) {
    p(drvthis)->frame.cursor(x, y, type);
}
TORVIKA_EXPORT void torvika_set_char(Driver *drvthis, int n, unsigned char *rows) {
    if (rows)
        p(drvthis)->frame.setChar(n, rows);
}
TORVIKA_EXPORT void torvika_backlight(Driver *drvthis, int on) {
    p(drvthis)->frame.backlight(on);
}
TORVIKA_EXPORT int torvika_get_brightness(Driver *drvthis, int state) {
    return p(drvthis)->frame.brightness(state);
}
TORVIKA_EXPORT void torvika_set_brightness(Driver *drvthis, int state, int promille) {
    p(drvthis)->frame.setBrightness(state, promille);
}
TORVIKA_EXPORT void torvika_output(Driver *drvthis, int state) {
    p(drvthis)->frame.output(state);
}
TORVIKA_EXPORT const char *torvika_get_info(Driver *drvthis) {
    return p(drvthis)->info.c_str();
}

TORVIKA_EXPORT void torvika_flush(Driver *drvthis) {
    Private *d = p(drvthis);
    const std::int64_t now = nowUs();
    if (!d->usable(now))
        return;
    d->send(now);
    if (!d->line.isOpen())
        return;
    // The newest frame waits until the line has caught up; skipped frames are never sent.
    if (!lcdd::mayFlush(d->line.outputQueued(), d->backlog.queued(now), d->held.size(),
                        d->backlog.frameBudget()))
        return;
    d->held += d->encoder.flush(d->frame);
    d->send(now);
}

TORVIKA_EXPORT const char *torvika_get_key(Driver *drvthis) {
    Private *d = p(drvthis);
    if (!d->settings.readsInputs())
        return nullptr;
    const std::int64_t now = nowUs();
    if (d->usable(now)) {
        while (const auto byte = d->line.readByte()) {
            if (!d->query.takeAnswer(now / 1000))
                continue; // late or unasked for: no key
            const std::uint8_t pressed = d->edges.pressed(*byte);
            for (int i = 0; i < lcdd::KeyInputs; ++i)
                if ((pressed >> i & 1) && !d->settings.keys[i].empty() &&
                    d->keys.size() < MaxWaitingKeys)
                    d->keys.push_back(d->settings.keys[i].c_str());
        }
        // A query waits, as a frame does, while the line is behind: a stuck line never piles
        // queries up.
        if (d->line.isOpen() && d->query.due(now / 1000) &&
            lcdd::mayFlush(d->line.outputQueued(), d->backlog.queued(now), d->held.size(),
                           d->backlog.frameBudget())) {
            d->line.discardInput();
            const std::int64_t deadline = now / 1000 + d->backlog.drainMs(now) +
                                          d->held.size() * 1000 / (d->speed / 10) + AnswerMarginMs;
            d->held += protocol::readInputs().toByteArray();
            d->query.sent(now / 1000, deadline);
            d->send(now);
        }
    }
    if (d->keys.empty())
        return nullptr;
    const char *key = d->keys.front();
    d->keys.pop_front();
    return key;
}
