#include "platform/ui/EndingSignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kEndingSignals[] = {SIGTERM, SIGHUP, SIGINT};

int signalPipe[2] = {-1, -1};
volatile sig_atomic_t caught = 0;

std::function<void()>& cleanUpToRun() {
    static std::function<void()> cleanUp;
    return cleanUp;
}

void endBy(int signal) {
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    ::sigaction(signal, &action, nullptr);
    sigset_t unblocked;
    sigemptyset(&unblocked);
    sigaddset(&unblocked, signal);
    ::pthread_sigmask(SIG_UNBLOCK, &unblocked, nullptr);
    ::raise(signal);
}

// Async-signal-safe: write, sigaction, raise and errno only.
extern "C" void onEndingSignal(int signal) {
    if (caught != 0) {
        endBy(signal);
        return;
    }
    caught = signal;
    const int saved = errno;
    const auto byte = static_cast<unsigned char>(signal);
    if (::write(signalPipe[1], &byte, 1) != 1)
        endBy(signal);
    errno = saved;
}

void heard() {
    unsigned char byte = 0;
    if (::read(signalPipe[0], &byte, 1) != 1)
        return;
    const int signal = caught != 0 ? static_cast<int>(caught) : byte;
    try {
        if (cleanUpToRun())
            cleanUpToRun()();
    } catch (...) {
        // The program ends whatever the clean-up met.
    }
    endBy(signal);
}

} // namespace

void CleanUpBeforeEndingSignals(std::function<void()> cleanUp) {
    cleanUpToRun() = std::move(cleanUp);
    if (signalPipe[0] >= 0 || QCoreApplication::instance() == nullptr)
        return;
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        signalPipe[0] = signalPipe[1] = -1;
        return;
    }
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [] { heard(); });
    for (const int signal : kEndingSignals) {
        struct sigaction before {};
        ::sigaction(signal, nullptr, &before);
        if (before.sa_handler == SIG_IGN)
            continue;
        struct sigaction action {};
        action.sa_handler = onEndingSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        ::sigaction(signal, &action, nullptr);
    }
}
