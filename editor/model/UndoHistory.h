#pragma once
// The undo history of a document: the recorded changes, the position
// between undone and redone ones, the grouping of several entries into one
// step and the limits on their number and size.
//
// An entry remembers where a change began, where the text it inserted ends
// and the text it removed; replaying an entry through the editing primitive
// records the inverse change in its place.  Undo and Redo run the replay
// through a function the caller gives, which selects the entry's range and
// replaces it (the selection does this, as typing would).

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// One recorded change: undoing it puts Text back in place of Start..Stop.
struct TUndoEntry {
    int32_t Start = 0;
    int32_t Stop = 0;
    bool Grouped = false;  // undoing this entry also undoes the one before it
    std::string Text;
    // How the document's break speller spelt the breaks in and around the
    // removed text (see TBreakSpeller); empty when nobody spells them.
    std::string Breaks;
    int64_t Size() const { return static_cast<int64_t>(Text.size() + Breaks.size()) + 13; }
};

class TUndoHistory {
public:
    // The most steps a history may keep; more raises "Undo set too high".
    static constexpr int32_t kMaxLevel = 134217727;

    const std::vector<TUndoEntry>& Entries() const { return entries_; }
    int32_t Position() const { return position_; }
    int64_t Total() const { return total_; }

    bool CanUndo() const { return position_ >= (undoing_ ? 2 : 1); }
    bool CanRedo() const;
    void Clear();

    int32_t MaxLevel() const { return maxLevel_; }
    void SetMaxLevel(int32_t value);
    int32_t MaxSpace() const { return maxSpace_; }
    void SetMaxSpace(int32_t value);

    // Records a change of from..to into inserted characters that removed
    // `removed`; consecutive typing extends the last entry instead.
    void Record(int32_t from, int32_t to, int32_t inserted, std::string removed, std::string breaks = {});
    // Marks entry `entry`, when the edit under way added it (one merged
    // into the entry before it has nothing to join), to undo together with
    // the one before it.
    void GroupWithPrevious(int32_t entry);
    // Marks the last recorded entry as undone together with the one before it.
    void GroupLast();
    // The next edit starts a new entry (a click or a paste does this).
    void BreakGrouping() { breakGrouping_ = true; }

    // Replays entries: replace(from, to, text) puts text in place of
    // from..to and records the inverse in place of the entry.
    using TReplace = std::function<void(int32_t from, int32_t to, const std::string& text)>;
    void Undo(const TReplace& replace);
    void Redo(const TReplace& replace);
    // While an entry is replayed: the edit is made exactly as recorded.
    bool Replaying() const { return replaying_; }
    // While an entry is replayed: the spelling of its breaks it keeps.
    const std::string& ReplayedBreaks() const { return replayed_ ? replayed_->Breaks : noBreaks_; }

    // Held while an action records its entries (an edit with its clean-up,
    // a column block, a drag-move): the limits wait until the outermost one
    // ends, when the action's grouping is complete.
    class TAction {
    public:
        explicit TAction(TUndoHistory& history) : history_(history) { ++history_.actionDepth_; }
        ~TAction() {
            if (--history_.actionDepth_ == 0 && !history_.replaying_)
                history_.trim();
        }
        TAction(const TAction&) = delete;
        TAction& operator=(const TAction&) = delete;

    private:
        TUndoHistory& history_;
    };

private:
    // The limits drop whole steps (an entry with the entries grouped behind
    // it), never part of one, so that undoing never reaches a text that did
    // not exist.
    void trim();
    void eraseEntries(size_t from, size_t to);
    void dropRedoStepsBeyond(size_t index);
    void dropOldestSteps(int32_t steps);
    // Whether steps older than the newest one stand before the position.
    bool holdsOlderSteps() const;

    std::vector<TUndoEntry> entries_;
    int32_t position_ = 0;
    int64_t total_ = 0;
    int32_t maxLevel_ = 256;
    int32_t maxSpace_ = 65536;
    int32_t actionDepth_ = 0;
    bool breakGrouping_ = true;
    bool replaying_ = false;
    bool undoing_ = false;
    const TUndoEntry* replayed_ = nullptr;
    inline static const std::string noBreaks_;
};
