#pragma once
// The hub that tells the shell controls of drives arriving and leaving.
// It polls the mount table (every PollInterval milliseconds of the
// platform's tick source) on the user-interface thread; a mount that
// appeared posts DBT_DEVICEARRIVAL, one that went DBT_DEVICEREMOVECOMPLETE,
// as message 0x464 to its own hidden window, and the handler of that
// message calls every subscriber in turn, outside the poll.

#include "platform/ui/Message.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TDeviceChangeWindow;

enum : unsigned { WM_DEVICECHANGE = 0x0219, CM_DEFERREDDEVICECHANGE = 0x0464 };
enum : unsigned { DBT_DEVICEARRIVAL = 0x8000, DBT_DEVICEREMOVECOMPLETE = 0x8004 };

class TPTDeviceChangeHandler {
public:
    using TSubscriber = std::function<void(TPTDeviceChangeHandler& sender, TMessage& message)>;
    static constexpr unsigned PollInterval = 2000;

    TPTDeviceChangeHandler();
    ~TPTDeviceChangeHandler();
    TPTDeviceChangeHandler(const TPTDeviceChangeHandler&) = delete;
    TPTDeviceChangeHandler& operator=(const TPTDeviceChangeHandler&) = delete;

    // A subscriber is known by its key (the subscribing object); adding
    // appends, removing drops the first entry with that key.
    void Subscribe(const void* key, TSubscriber subscriber);
    void Unsubscribe(const void* key);
    bool Enabled = true;

    // Reads the mount table now and posts a notice for each kind of change
    // (the timer calls it).
    void Poll();

private:
    friend class TDeviceChangeWindow;
    void deliver(TMessage& message);
    std::unique_ptr<TDeviceChangeWindow> window_;
    std::vector<std::pair<const void*, TSubscriber>> subscribers_;
    std::vector<std::string> mountPoints_;
};

// The single instance, made on first use.
TPTDeviceChangeHandler& DeviceChangeHandler();
