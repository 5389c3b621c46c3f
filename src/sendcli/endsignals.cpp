#include "sendcli/endsignals.h"

#include <csignal>
#include <initializer_list>

namespace torvika::sendcli {

namespace {

volatile std::sig_atomic_t caught = 0;

extern "C" void noteSignal(int signal) {
    caught = signal;
}

} // namespace

void catchEndSignals() {
    struct sigaction action {};
    action.sa_handler = noteSignal;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaction(signal, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

int endSignal() {
    return caught;
}

} // namespace torvika::sendcli
