// SPDX-License-Identifier: GPL-3.0-or-later
// POSIX signals, with the NEC-2 check only (Linux), as nec2c itself.
#include "cli_interrupt.h"

#include <csignal>

namespace vostrel::design::cli {
namespace {

// What a signal handler may touch: lock-free atomics.
std::atomic<bool> g_interrupted{false};
std::atomic<int> g_signal{0};
static_assert(std::atomic<bool>::is_always_lock_free && std::atomic<int>::is_always_lock_free);

extern "C" void onInterrupt(int signal)
{
    int none = 0;
    g_signal.compare_exchange_strong(none, signal);
    g_interrupted.store(true);
}

void install(int signal)
{
    struct sigaction before { };
    if (sigaction(signal, nullptr, &before) != 0 || before.sa_handler == SIG_IGN) {
        return;
    }
    struct sigaction action { };
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(signal, &action, nullptr);
}

} // namespace

const std::atomic<bool>* watchInterrupts()
{
    static const bool installed = [] {
        install(SIGINT);
        install(SIGTERM);
        return true;
    }();
    (void)installed;
    return &g_interrupted;
}

void endIfInterrupted()
{
    const int signal = g_signal.load();
    if (signal == 0) {
        return;
    }
    struct sigaction fallBack { };
    fallBack.sa_handler = SIG_DFL;
    sigemptyset(&fallBack.sa_mask);
    if (sigaction(signal, &fallBack, nullptr) == 0) {
        (void)std::raise(signal); // ends the program
    }
}

} // namespace vostrel::design::cli
