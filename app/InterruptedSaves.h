#pragma once
// Saves that a crash or a kill cut short while a page was rewritten in
// place leave a whole copy of the page's old contents in the cache folder
// (platform/base/KeptCopies.h).  The user is told and asked whether to put
// that copy back; nothing is restored without a yes.

#include <string>

// Asks, for each such copy (of page only, when one is given), whether to
// put it back.  Yes writes the copy's bytes over the page and drops the
// copy; No leaves the page as it is and keeps the copy where the question
// said it is, without asking again.  A restore that fails is reported and
// asked again next time.
void OfferInterruptedSaves(const std::string& page = {});
