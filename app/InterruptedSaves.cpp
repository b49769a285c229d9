#include "app/InterruptedSaves.h"

#include "platform/base/FileNameText.h"
#include "platform/base/KeptCopies.h"
#include "platform/ui/UserInteraction.h"

namespace {

std::string question(const TKeptCopy& kept) {
    return "A save of the page \"" + DisplayTextOfName(kept.Page) +
           "\" was interrupted before it was complete, so the page may be cut short.\n\n"
           "A whole copy of the page as it was before that save is kept in \"" +
           DisplayTextOfName(kept.Copy) +
           "\".\n\nPut that copy back into the page?\n\n"
           "No leaves the page as it is and keeps the copy where it is.";
}

} // namespace

void OfferInterruptedSaves(const std::string& page) {
    for (const TKeptCopy& kept : FindInterruptedSaves(page)) {
        if (UserInteraction().MessageDlg(question(kept), mtWarning, mbYesNo) == mrYes)
            RunGuarded([&] { RestoreKeptCopy(kept); });
        else
            ForgetKeptCopy(kept);
    }
}
