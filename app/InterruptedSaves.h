#pragma once
// Saves that a crash or a kill cut short while a page was rewritten in
// place leave a whole copy of the page's old contents in the cache folder
// (platform/base/KeptCopies.h).  The user is told and asked whether to put
// that copy back; nothing is restored without a yes, and no page with such
// a copy is read into a window before the user has answered.

#include "platform/base/KeptCopies.h"

#include <string>
#include <vector>

// Asks, for each page with such a copy (page only, when one is given,
// reached by any of its names), whether to put it back: one question a
// page, saying what the page holds now and what Yes gives back.  Yes
// writes the copy's bytes over the page and drops the copy once the page
// is whole; No leaves the page as it is and keeps the copy where the
// question said it is, without asking again.  A restore that fails (or is
// cut short itself) is reported and asked again next time.  A page found
// to hold the finished save, or the copy's bytes, is whole: its copy goes
// and nothing is asked.
//
// With a page about to be opened, a save of it that another running copy
// of the program has not finished is told too, and the user asked whether
// to open the page all the same.  Returns whether the page may be opened:
// false only when the user said no to that.
bool OfferInterruptedSaves(const std::string& page = {});

// At start-up, with the records already found (RemoveAbandonedCopies):
// whether any is of an interrupted save, and the same questions as above
// for those, without reading the cache folder again.
bool HasInterruptedSave(const std::vector<TKeptCopy>& found);
void OfferFoundInterruptedSaves(const std::vector<TKeptCopy>& found);
