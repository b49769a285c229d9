#include "app/InterruptedSaves.h"

#include "platform/base/FileNameText.h"
#include "platform/base/KeptCopies.h"
#include "platform/ui/UserInteraction.h"

#include <algorithm>

namespace {

std::string question(const TKeptCopy& kept) {
    return "A save of the page \"" + DisplayTextOfName(kept.Page) +
           "\" was interrupted before it was complete, so the page may be cut short.\n\n"
           "A whole copy of the page as it was before that save is kept in \"" +
           DisplayTextOfName(kept.Copy) +
           "\".\n\nPut that copy back into the page?\n\n"
           "No leaves the page as it is and keeps the copy where it is.";
}

std::string stillSavingQuestion(const TKeptCopy& kept) {
    return "The page \"" + DisplayTextOfName(kept.Page) +
           "\" is being saved by another running copy of the program (process " + std::to_string(kept.Saver.Pid) +
           "), so it may be cut short until that save is complete.\n\nOpen it all the same?";
}

// Asks about each copy of an interrupted save among copies; returns the
// last of them whose saver may still be at work, or null.
const TKeptCopy* askAboutInterrupted(const std::vector<TKeptCopy>& copies) {
    const TKeptCopy* saving = nullptr;
    for (const TKeptCopy& kept : copies) {
        if (kept.State == TKeptCopyState::Saving)
            saving = &kept;
        if (kept.State != TKeptCopyState::Interrupted)
            continue;
        if (UserInteraction().MessageDlg(question(kept), mtWarning, mbYesNo) == mrYes)
            RunGuarded([&] { RestoreKeptCopy(kept); });
        else
            ForgetKeptCopy(kept);
    }
    return saving;
}

} // namespace

bool OfferInterruptedSaves(const std::string& page) {
    const std::vector<TKeptCopy> copies = FindKeptCopies(page);
    const TKeptCopy* saving = askAboutInterrupted(copies);
    // At start-up a save still running elsewhere is that program's own
    // business; only opening its page must not pass over it.
    return page.empty() || saving == nullptr ||
           UserInteraction().MessageDlg(stillSavingQuestion(*saving), mtWarning, mbYesNo) == mrYes;
}

bool HasInterruptedSave(const std::vector<TKeptCopy>& found) {
    return std::any_of(found.begin(), found.end(),
                       [](const TKeptCopy& kept) { return kept.State == TKeptCopyState::Interrupted; });
}

void OfferFoundInterruptedSaves(const std::vector<TKeptCopy>& found) { askAboutInterrupted(found); }
