#include "lcdd/linequeue.h"

#include <algorithm>

namespace torvika::lcdd {

void LineBacklog::wrote(std::int64_t bytes, std::int64_t nowUs) {
    backlog_ = queued(nowUs) + bytes;
    lastUs_ = nowUs;
}

std::int64_t LineBacklog::queued(std::int64_t nowUs) const {
    const std::int64_t carried = (nowUs - lastUs_) * bytesPerSecond_ / 1000000;
    return std::max<std::int64_t>(0, backlog_ - carried);
}

std::int64_t LineBacklog::drainMs(std::int64_t nowUs) const {
    return bytesPerSecond_ > 0 ? queued(nowUs) * 1000 / bytesPerSecond_ : 0;
}

bool mayFlush(std::int64_t deviceQueued, std::int64_t lineQueued, std::int64_t held, int budget) {
    return std::max(deviceQueued, lineQueued) + held <= budget;
}

bool handOver(QByteArray &held, LineBacklog &backlog, std::int64_t nowUs, const Write &write) {
    while (!held.isEmpty()) {
        const auto taken = write(held);
        if (!taken)
            return false;
        if (*taken == 0)
            return true;
        held.remove(0, *taken);
        backlog.wrote(*taken, nowUs);
    }
    return true;
}

} // namespace torvika::lcdd
