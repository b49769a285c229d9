#include "app/InterruptedSaves.h"

#include "platform/base/FileNameText.h"
#include "platform/base/KeptCopies.h"
#include "platform/ui/UserInteraction.h"

#include <algorithm>

namespace {

// "60,000,094 bytes": a page's size as the user compares it with a listing.
std::string bytesText(uint64_t count) {
    const std::string digits = std::to_string(count);
    std::string text;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            text += ',';
        text += digits[i];
    }
    return text + (count == 1 ? " byte" : " bytes");
}

// Names the page (and the name it was reached by now, when another name of
// the same file), what it holds now, and what Yes gives back.  A write of
// the copy's own bytes cut short is a restore (or a save that changed
// nothing) cut short.
std::string question(const TKeptCopy& kept) {
    const bool writingCopy = kept.Finished.Matches(kept.CopyDigest());
    std::string text = (writingCopy ? "Writing the page \"" : "A save of the page \"") +
                       DisplayTextOfName(kept.Page) + "\"";
    if (kept.PageNow() != kept.Page)
        text += " (the same file as \"" + DisplayTextOfName(kept.PageNow()) + "\")";
    text += " was interrupted before it was complete.\n\n";
    if (kept.PageSize < 0)
        text += "The page can not be read now.";
    else if (writingCopy)
        text += "The page now holds " + bytesText(static_cast<uint64_t>(kept.PageSize)) + ", not the " +
                bytesText(kept.Finished.Size) + " being written to it, so it may be cut short.";
    else if (kept.Finished.Known())
        text += "The page now holds " + bytesText(static_cast<uint64_t>(kept.PageSize)) +
                ": neither what it held before that save nor the " + bytesText(kept.Finished.Size) +
                " that save was writing, so it may be cut short.";
    else
        text += "The page now holds " + bytesText(static_cast<uint64_t>(kept.PageSize)) +
                ", not what it held before that save, so it may be cut short.";
    return text + "\n\nYes puts back the page's last whole contents, as it was before the interrupted save: " +
           bytesText(kept.Size) + ", kept in \"" + DisplayTextOfName(kept.Copy) +
           "\".\n\nNo leaves the page as it is and keeps the copy where it is.";
}

std::string stillSavingQuestion(const TKeptCopy& kept) {
    return "The page \"" + DisplayTextOfName(kept.Page) +
           "\" is being saved by another running copy of the program (process " + std::to_string(kept.Saver.Pid) +
           "), so it may be cut short until that save is complete.\n\nOpen it all the same?";
}

// Asks about each copy of an interrupted save among copies (one for each
// page), drops those of pages found whole without a word; returns the last
// of them whose saver may still be at work, or null.
const TKeptCopy* askAboutInterrupted(const std::vector<TKeptCopy>& copies) {
    const TKeptCopy* saving = nullptr;
    for (const TKeptCopy& kept : copies) {
        if (kept.State == TKeptCopyState::Saving)
            saving = &kept;
        if (kept.State == TKeptCopyState::Whole)
            DropKeptCopy(kept);
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
