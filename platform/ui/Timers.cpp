#include "platform/ui/Control.h"
#include "platform/ui/TickSource.h"
#include "platform/ui/TimerService.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <optional>
#include <vector>

namespace {

struct TimerEntry {
    TWinControl* Control;
    uintptr_t Id;
    unsigned Interval;
    uint64_t Due;
    uint64_t Serial; // keeps the order of timers due at the same time
};

std::vector<TimerEntry>& timers() {
    static std::vector<TimerEntry> entries;
    return entries;
}

uint64_t nextSerial = 0;

std::vector<TimerEntry>::iterator findTimer(TWinControl* control, uintptr_t id) {
    auto& entries = timers();
    return std::find_if(entries.begin(), entries.end(),
                        [&](const TimerEntry& e) { return e.Control == control && e.Id == id; });
}

class TRealTickSource : public TTickSource {
public:
    TRealTickSource() { clock_.start(); }
    uint64_t Milliseconds() override { return static_cast<uint64_t>(clock_.elapsed()); }

private:
    QElapsedTimer clock_;
};

TRealTickSource& realClock() {
    static TRealTickSource clock;
    return clock;
}

// A test's clock, or nullptr for the real one.
TTickSource* installedClock = nullptr;

// The earliest due time of all timers, if any.
std::optional<uint64_t> nextTimerDue();
// Delivers WM_TIMER to every timer due at the current tick, once each.
void fireDueTimers();
// Re-plans the real-clock driver (after timers or the clock changed).
void rescheduleTimers();
// Moves every timer to be due one interval from now (after a change of
// clock, whose time has another origin).
void rebaseTimers();

QTimer* driver() {
    static QTimer* timer = nullptr;
    if (timer == nullptr && QCoreApplication::instance() != nullptr) {
        timer = new QTimer();
        timer->setSingleShot(true);
        timer->setTimerType(Qt::PreciseTimer);
        QObject::connect(timer, &QTimer::timeout, [] {
            fireDueTimers();
            rescheduleTimers();
        });
    }
    return timer;
}

} // namespace

// --- the clock -------------------------------------------------------------------

void SetTickSource(TTickSource* source) {
    installedClock = source;
    rebaseTimers();
    rescheduleTimers();
}

uint64_t GetTickCount64() {
    return installedClock != nullptr ? installedClock->Milliseconds() : realClock().Milliseconds();
}

uint32_t GetTickCount() { return static_cast<uint32_t>(GetTickCount64()); }

void TManualTickSource::Advance(uint64_t milliseconds) {
    uint64_t target = now_ + milliseconds;
    bool current = installedClock == this;
    while (current) {
        std::optional<uint64_t> due = nextTimerDue();
        if (!due || *due > target)
            break;
        now_ = std::max(now_, *due);
        fireDueTimers();
        current = installedClock == this;
    }
    now_ = target;
}

// --- timers ----------------------------------------------------------------------

bool SetTimer(TWinControl* control, uintptr_t id, unsigned milliseconds) {
    if (control == nullptr)
        return false;
    unsigned interval = std::max(1u, milliseconds);
    uint64_t due = GetTickCount64() + interval;
    auto it = findTimer(control, id);
    if (it != timers().end()) {
        it->Interval = interval;
        it->Due = due;
    } else {
        timers().push_back({control, id, interval, due, nextSerial++});
    }
    rescheduleTimers();
    return true;
}

bool KillTimer(TWinControl* control, uintptr_t id) {
    auto it = findTimer(control, id);
    if (it == timers().end())
        return false;
    timers().erase(it);
    rescheduleTimers();
    return true;
}

void KillAllTimers(TWinControl* control) {
    auto& entries = timers();
    entries.erase(std::remove_if(entries.begin(), entries.end(),
                                 [&](const TimerEntry& e) { return e.Control == control; }),
                  entries.end());
}

namespace {

std::optional<uint64_t> nextTimerDue() {
    const auto& entries = timers();
    if (entries.empty())
        return std::nullopt;
    uint64_t earliest = entries.front().Due;
    for (const TimerEntry& e : entries)
        earliest = std::min(earliest, e.Due);
    return earliest;
}

void fireDueTimers() {
    uint64_t now = GetTickCount64();
    // Each timer due now fires once; handlers may add, kill or free.
    std::vector<std::pair<uint64_t, uint64_t>> due; // (due, serial)
    for (const TimerEntry& e : timers())
        if (e.Due <= now)
            due.emplace_back(e.Due, e.Serial);
    std::sort(due.begin(), due.end());
    for (const auto& entry : due) {
        const uint64_t serial = entry.second;
        auto& entries = timers();
        auto it = std::find_if(entries.begin(), entries.end(),
                               [&](const TimerEntry& e) { return e.Serial == serial; });
        if (it == entries.end() || it->Due > now)
            continue;
        it->Due = now + it->Interval;
        TWinControl* control = it->Control;
        TMessage message{WM_TIMER, it->Id, 0, 0};
        DeliverMessage(*control, message);
    }
}

void rescheduleTimers() {
    QTimer* timer = driver();
    if (timer == nullptr)
        return;
    std::optional<uint64_t> due = nextTimerDue();
    if (installedClock != nullptr || !due) {
        timer->stop();
        return;
    }
    uint64_t now = GetTickCount64();
    timer->start(static_cast<int>(*due > now ? std::min<uint64_t>(*due - now, 1u << 30) : 0));
}

void rebaseTimers() {
    uint64_t now = GetTickCount64();
    for (TimerEntry& e : timers())
        e.Due = now + e.Interval;
}

} // namespace
