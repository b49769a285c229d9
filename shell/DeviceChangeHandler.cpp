#include "shell/DeviceChangeHandler.h"

#include "platform/shellns/MountTable.h"
#include "platform/ui/Control.h"

#include <algorithm>

namespace {
constexpr uintptr_t kPollTimer = 1;

std::vector<std::string> mountPointsNow() {
    RevalidateMounts();
    std::vector<std::string> points;
    for (const TMountEntry& mount : CurrentMounts())
        points.push_back(mount.MountPoint);
    std::sort(points.begin(), points.end());
    return points;
}
} // namespace

// The hidden window: its timer polls, its posted notices reach the
// subscribers from the event loop.
class TDeviceChangeWindow : public TWinControl {
public:
    explicit TDeviceChangeWindow(TPTDeviceChangeHandler& owner) : owner_(owner) {
        SetTimer(this, kPollTimer, TPTDeviceChangeHandler::PollInterval);
    }
    ~TDeviceChangeWindow() override { KillTimer(this, kPollTimer); }
    void WndProc(TMessage& message) override {
        if (message.Msg == WM_TIMER && message.WParam == kPollTimer)
            owner_.Poll();
        else if (message.Msg == WM_DEVICECHANGE)
            PostMessage(this, CM_DEFERREDDEVICECHANGE, message.WParam, message.LParam);
        else if (message.Msg == CM_DEFERREDDEVICECHANGE)
            owner_.deliver(message);
        else
            TWinControl::WndProc(message);
    }

private:
    TPTDeviceChangeHandler& owner_;
};

TPTDeviceChangeHandler::TPTDeviceChangeHandler()
    : window_(std::make_unique<TDeviceChangeWindow>(*this)), mountPoints_(mountPointsNow()) {}

TPTDeviceChangeHandler::~TPTDeviceChangeHandler() = default;

void TPTDeviceChangeHandler::Subscribe(const void* key, TSubscriber subscriber) {
    subscribers_.emplace_back(key, std::move(subscriber));
}

void TPTDeviceChangeHandler::Unsubscribe(const void* key) {
    auto it = std::find_if(subscribers_.begin(), subscribers_.end(), [&](const auto& entry) { return entry.first == key; });
    if (it != subscribers_.end())
        subscribers_.erase(it);
}

void TPTDeviceChangeHandler::Poll() {
    std::vector<std::string> now = mountPointsNow();
    if (now == mountPoints_)
        return;
    bool arrived = std::any_of(now.begin(), now.end(), [&](const std::string& point) {
        return !std::binary_search(mountPoints_.begin(), mountPoints_.end(), point);
    });
    bool removed = std::any_of(mountPoints_.begin(), mountPoints_.end(), [&](const std::string& point) {
        return !std::binary_search(now.begin(), now.end(), point);
    });
    mountPoints_ = std::move(now);
    if (arrived)
        window_->Perform(WM_DEVICECHANGE, DBT_DEVICEARRIVAL, 0);
    if (removed)
        window_->Perform(WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, 0);
}

void TPTDeviceChangeHandler::deliver(TMessage& message) {
    if (!Enabled)
        return;
    // Subscribers may come and go while a notice goes round (a control
    // freed by what an earlier one did): those present when it started are
    // called in order, each only while it is still subscribed.
    std::vector<const void*> keys;
    for (const auto& entry : subscribers_)
        keys.push_back(entry.first);
    for (size_t i = 0; i < keys.size(); ++i) {
        // The same key may be subscribed more than once: its n-th entry.
        auto occurrence = std::count(keys.begin(), keys.begin() + static_cast<std::ptrdiff_t>(i), keys[i]);
        TSubscriber subscriber;
        for (const auto& [key, candidate] : subscribers_)
            if (key == keys[i] && occurrence-- == 0) {
                subscriber = candidate;
                break;
            }
        if (subscriber)
            subscriber(*this, message);
    }
}

TPTDeviceChangeHandler& DeviceChangeHandler() {
    // Made once and kept to the end of the process: its hidden window must
    // not outlive the event loop's own teardown.
    static auto* handler = new TPTDeviceChangeHandler;
    return *handler;
}
