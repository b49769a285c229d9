#pragma once
// The click that follows a menu choice.  When a menu loop ends with an item
// chosen, the item's Click must run only after the loop has unwound (the
// capture released, every popup closed), so it is posted: one message per
// choice to a hidden window, holding a token instead of the item.  The item
// is watched meanwhile: a click of an item freed before its turn is
// dropped, so a click never reaches a freed item.  An exception from the
// click is shown as an error box.

#include "platform/ui/Message.h"

class TTBCustomItem;

constexpr unsigned TBM_DEFERREDCLICK = WM_USER + 0x100;

// Queues item->Click().  Without an event loop to deliver it the click runs
// at once.
void PostItemClick(TTBCustomItem* item);
// Number of clicks queued and not yet run (of items that still live).
int PendingItemClicks();
// Frees the hidden window (when the last item goes).
void ReleaseDeferredClickWindow();
