#include "shell/RefreshDeadline.h"

#include <algorithm>

unsigned TRefreshDeadline::Notice(uint64_t now, unsigned usual) {
    const uint64_t wanted = now + usual;
    if (!waiting_) {
        waiting_ = true;
        first_ = now;
        firstDue_ = wanted;
        due_ = wanted;
    } else {
        due_ = std::min(wanted, std::max(first_ + kLongestHold, firstDue_));
    }
    // A refresh already due runs at the next tick.
    return due_ > now ? unsigned(due_ - now) : 1u;
}
