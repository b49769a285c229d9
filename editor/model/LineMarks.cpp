#include "editor/model/LineMarks.h"

#include "editor/model/Characters.h"
#include "editor/model/StyleCodes.h"
#include "editor/model/TextLayout.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

// A walk along an unbroken line as painting takes it: run after run, each
// ended by a context record, a tab or a style code, its characters measured
// by the measure's advances in the run's font.
class TMarkWalk {
public:
    TMarkWalk(const TParagraph& paragraph, const TTextLayout& layout, const TLineMarkRules& rules)
        : p_(paragraph), text_(paragraph.Text), bytes_(paragraph.Text), stop_(paragraph.Length()), layout_(layout), rules_(rules),
          measure_(*rules.Measure) {}

    // Stands where a mark stands (the line's start: the mark at 0 there).
    void Resume(const TLineMark& mark) {
        pos_ = mark.Offset;
        x_ = mark.X;
        style_ = rules_.StaticFormat ? mark.Style : 0;
        characters_ = mark.Characters;
        next_ = p_.Contexts.IndexAt(pos_);
        context_ = next_ > 0 ? &p_.Contexts.State(next_ - 1) : &p_.Base();
        selectFont();
        top_ = mark.AtRunStart();
        if (!top_) {
            runStart_ = mark.RunStart;
            runEnd_ = runEndFrom(runStart_);
        }
    }

    // Walks on until the position reaches target at a place a mark may
    // stand (the top of a run, or inside a run past its first character),
    // or the line's end.
    void WalkTo(int32_t target) {
        for (;;) {
            if (top_) {
                if (pos_ >= target || pos_ >= stop_)
                    return;
                beginRun();
                continue;
            }
            if (pos_ >= runEnd_ || isRunBreak(bytes_[static_cast<size_t>(pos_)])) {
                endRun();
                continue;
            }
            if (pos_ >= target && pos_ > runStart_)
                return;
            stepCharacters(pos_ < target ? std::min(runEnd_, target) : pos_ + 1);
        }
    }

    bool AtEnd() const { return top_ && pos_ >= stop_; }
    bool AtTop() const { return top_; }
    int32_t Position() const { return pos_; }
    int64_t X() const { return x_; }
    int32_t Characters() const { return characters_; }
    int32_t RunStart() const { return top_ ? pos_ : runStart_; }
    uint8_t Style() const { return style_; }
    TContextId ContextBefore() const {
        const int32_t index = p_.Contexts.IndexAt(pos_) - 1;
        return index >= 0 ? p_.Contexts.Id(index) : p_.BaseContext;
    }
    TLineMark Mark() const { return {x_, pos_, RunStart(), characters_, ContextBefore(), style_}; }

    // What the walk saw since it started: -1 when it saw none.
    int32_t LastTab() const { return lastTab_; }
    int32_t WordEnd() const { return wordEnd_; }
    int64_t XAfterWord() const { return xAfterWord_; }
    bool BlanksAgree() const { return blanksAgree_; }

private:
    bool isRunBreak(char c) const { return c == '\t' || (rules_.StaticFormat && IsStyleCode(c)); }

    void selectFont() {
        // Runs of one look follow each other (a tag's parts, say): the
        // font's table is asked for only when the look for measuring changes.
        const uint8_t style = layout_.StyleForMeasure(style_, *context_);
        if (advances_ != nullptr && style == measureStyle_)
            return;
        measureStyle_ = style;
        advances_ = measure_.AdvanceTable(measureStyle_);
        if (advances_[static_cast<unsigned char>(' ')] < 1)
            blanksAgree_ = false;
    }

    // Where the run whose text starts at start ends at the latest: at the
    // next context record (never inside a character).
    int32_t runEndFrom(int32_t start) const {
        const int32_t boundary = next_ < p_.Contexts.Count() ? p_.Contexts.Offset(next_) : INT32_MAX;
        const int32_t end = std::min(stop_, std::max(boundary, start + 1));
        return std::min(CharEnd(text_, end, rules_.Utf8), stop_);
    }

    // The top of a run: style codes are stepped over, the records up to the
    // position entered.
    void beginRun() {
        bool entered = false;
        if (rules_.StaticFormat)
            while (pos_ < stop_ && IsStyleCode(bytes_[static_cast<size_t>(pos_)])) {
                style_ = ToggleStyleBit(style_, bytes_[static_cast<size_t>(pos_)]);
                ++pos_;
                ++characters_;
                entered = true;
            }
        const int32_t count = p_.Contexts.Count();
        while (next_ < count && p_.Contexts.Offset(next_) <= pos_) {
            context_ = &p_.Contexts.State(next_);
            ++next_;
            entered = true;
        }
        if (entered)
            selectFont();
        runStart_ = pos_;
        runEnd_ = runEndFrom(pos_);
        top_ = false;
    }

    // A run ends; a tab after it reaches the next stop.
    void endRun() {
        if (pos_ < stop_ && bytes_[static_cast<size_t>(pos_)] == '\t') {
            lastTab_ = pos_;
            x_ = (x_ / rules_.TabWidth + 1) * rules_.TabWidth;
            ++pos_;
            ++characters_;
        }
        top_ = true;
    }

    void stepCharacters(int32_t limit) {
        while (pos_ < limit) {
            const char c = bytes_[static_cast<size_t>(pos_)];
            if (isRunBreak(c))
                return;
            const auto byte = static_cast<unsigned char>(c);
            if (!rules_.Utf8 || byte < 0x80) {
                x_ += advances_[byte];
                ++pos_;
            } else {
                const TCharacterWidth character = MeasureCharacter(measure_, measureStyle_, advances_, text_, pos_, true);
                x_ += character.Width;
                pos_ += character.Length;
            }
            ++characters_;
            if (c != ' ') {
                wordEnd_ = pos_;
                xAfterWord_ = x_;
            }
        }
    }

    const TParagraph& p_;
    const TParagraphText& text_;
    const TParagraphText::TReader bytes_;
    const int32_t stop_;
    const TTextLayout& layout_;
    const TLineMarkRules& rules_;
    const TCodeMeasure& measure_;

    int32_t pos_ = 0;
    int64_t x_ = 0;
    uint8_t style_ = 0;
    int32_t characters_ = 0;
    int32_t next_ = 0;
    const TContextState* context_ = nullptr;
    const int32_t* advances_ = nullptr;
    uint8_t measureStyle_ = 0;
    bool top_ = true;
    int32_t runStart_ = 0;
    int32_t runEnd_ = 0;

    int32_t lastTab_ = -1;
    int32_t wordEnd_ = -1;
    int64_t xAfterWord_ = 0;
    bool blanksAgree_ = true;
};

// The last character of text before offset that is neither blank nor
// style code: the offset after it, or 0.
int32_t WordEndBefore(const TParagraphText& text, int32_t offset, bool staticFormat) {
    while (offset > 0) {
        const char c = text[static_cast<size_t>(offset - 1)];
        if (!IsBlank(c) && !(staticFormat && IsStyleCode(c)))
            return offset;
        --offset;
    }
    return 0;
}

int32_t LastTabBefore(const TParagraphText& text, int32_t offset) {
    const void* found = memrchr(text.data(), '\t', static_cast<size_t>(offset));
    return found == nullptr ? -1 : static_cast<int32_t>(static_cast<const char*>(found) - text.data());
}

} // namespace

// ---------------------------------------------------------------------------

void TLineMarks::Build(const TParagraph& paragraph, const TTextLayout& layout, const TLineMarkRules& rules) {
    rules_ = rules;
    length_ = paragraph.Length();
    pending_ = false;
    marks_.clear();
    shiftFrom_ = 0;
    shift_ = {};
    TLineMark start;
    start.Context = paragraph.BaseContext;
    start.Style = rules.StaticFormat ? rules.StartStyle : 0;
    marks_.push_back(start);
    TMarkWalk walk(paragraph, layout, rules_);
    walk.Resume(start);
    const int32_t spacing = std::max(rules.Spacing, 1);
    for (;;) {
        walk.WalkTo(marks_.back().Offset + spacing);
        if (walk.AtEnd())
            break;
        marks_.push_back(walk.Mark());
    }
    fullWidth_ = walk.X();
    wordEnd_ = std::max(walk.WordEnd(), 0);
    textWidth_ = walk.WordEnd() >= 0 ? walk.XAfterWord() : 0;
    lastTab_ = walk.LastTab();
    blanksAgree_ = walk.BlanksAgree();
}

void TLineMarks::NoteEdit(int32_t from, int32_t to, int32_t inserted) {
    const int32_t delta = inserted - (to - from);
    // A record may now start right at the end of the inserted text.
    const int32_t end = from + inserted + 1;
    if (!pending_) {
        pending_ = true;
        unchanged_ = from;
        changedTo_ = end;
        delta_ = delta;
        return;
    }
    unchanged_ = std::min(unchanged_, from);
    if (changedTo_ >= to)
        changedTo_ += delta;
    else if (changedTo_ > from)
        changedTo_ = end;
    changedTo_ = std::max(changedTo_, end);
    delta_ += delta;
}

void TLineMarks::NoteChange(int32_t from, int32_t to) {
    if (!pending_) {
        pending_ = true;
        unchanged_ = from;
        changedTo_ = to + 1;
        delta_ = 0;
        return;
    }
    unchanged_ = std::min(unchanged_, from);
    changedTo_ = std::max(changedTo_, to + 1);
}

bool TLineMarks::Update(const TParagraph& paragraph, const TTextLayout& layout, const TLineMarkRules& rules) {
    const int32_t length = paragraph.Length();
    if (!(rules == rules_) || length_ + (pending_ ? delta_ : 0) != length)
        return false;
    if (!pending_)
        return true;
    // Marks before the change stand as they stood (whether a run starts at
    // a mark depends on a record right there); in UTF-8 the bytes just
    // before it may have become part of a character it completes.
    const int32_t safe = unchanged_ - (rules.Utf8 ? 4 : 0);
    size_t keep = std::max(firstAfter(safe - 1), size_t{1}) - 1;
    TLineMark kept = markAt(keep);
    // The marks walked anew take the place of the old ones from keep + 1
    // on; those behind the walk stay where they are, moved by the shift.
    std::vector<TLineMark>& walked = walked_;
    walked.clear();
    auto lastMark = [&]() -> const TLineMark& { return walked.empty() ? kept : walked.back(); };
    const int32_t resumedAt = kept.Offset;
    TMarkWalk walk(paragraph, layout, rules_);
    walk.Resume(kept);

    const int32_t spacing = std::max(rules.Spacing, 1);
    const int32_t changedTo = std::min(changedTo_, length);
    // The first tab at or after a place of the unchanged rest: behind it
    // positions move by the shift only when it is a whole number of stops.
    int32_t tabFrom = -1;
    int32_t tabAt = -1;
    auto firstTabFrom = [&](int32_t offset) {
        if (tabFrom < 0 || offset < tabFrom || (tabAt >= 0 && tabAt < offset)) {
            tabFrom = offset;
            const size_t found = paragraph.Text.find('\t', static_cast<size_t>(offset));
            tabAt = found == TParagraphText::npos ? -1 : static_cast<int32_t>(found);
        }
        return tabAt;
    };

    // The old marks from `old` on as they were: jumps over stretches
    // without a tab (below) move them on the way.
    TLineMark moved;
    auto oldMark = [&](size_t index) {
        TLineMark mark = markAt(index);
        mark.Offset -= moved.Offset;
        mark.RunStart -= moved.Offset;
        mark.X -= moved.X;
        mark.Characters -= moved.Characters;
        return mark;
    };
    // The last character that counts in a stretch jumped over, if any.
    int32_t jumpedWordEnd = -1;
    int64_t jumpedTextWidth = 0;

    size_t old = keep + 1;
    bool converged = false;
    bool wordKnown = false;
    bool tabKnown = false;
    for (;;) {
        while (old < marks_.size() && oldMark(old).Offset + delta_ < std::max(changedTo, walk.Position()))
            ++old;
        const int32_t candidate = old < marks_.size() ? oldMark(old).Offset + delta_ : INT32_MAX;
        walk.WalkTo(std::min(lastMark().Offset + spacing, candidate));
        if (walk.AtEnd())
            break;
        const int32_t position = walk.Position();
        if (position == candidate) {
            const TLineMark was = oldMark(old);
            const int64_t shift = walk.X() - was.X;
            const bool sameRun = was.AtRunStart() ? walk.AtTop()
                                                  : !walk.AtTop() && walk.RunStart() == (was.RunStart < unchanged_
                                                                                             ? was.RunStart
                                                                                             : was.RunStart + delta_);
            const bool runStartKnown = was.AtRunStart() || was.RunStart < unchanged_ || was.RunStart + delta_ >= changedTo;
            const int32_t tab = sameRun && runStartKnown && walk.Style() == was.Style &&
                                        walk.ContextBefore() == was.Context && shift % rules.TabWidth != 0
                                    ? firstTabFrom(position)
                                    : -1;
            // Up to the next tab the walk would go as it went before,
            // shifted: the marks before the tab follow without being
            // walked again.  Where the shift is a whole number of tab
            // stops (or no tab follows) that holds to the line's end;
            // otherwise the walk goes on from the last mark before the tab.
            const size_t last = tab >= 0 ? firstAfter(tab - 1 - delta_ + moved.Offset) - 1 : marks_.size() - 1;
            if (sameRun && runStartKnown && walk.Style() == was.Style && walk.ContextBefore() == was.Context &&
                (tab < 0 || last > old)) {
                const int32_t characters = walk.Characters() - was.Characters;
                const int32_t runStart = walk.RunStart();
                const int32_t oldPosition = was.Offset;
                shiftFrom(old, delta_ - moved.Offset, shift - moved.X, characters - moved.Characters);
                moved.Offset = delta_;
                moved.X = shift;
                moved.Characters = characters;
                // Marks in the run that holds the place keep the run's
                // start as the walk found it (the rest move with the text).
                for (size_t i = old; i <= last && markAt(i).RunStart < oldPosition + delta_; ++i)
                    marks_[i].RunStart = runStart - shift_.Offset;
                // The walked marks in place of those they replace.
                const size_t lastTaken = takeWalked(keep, old, walked) + last;
                if (tab >= 0) {
                    if (wordEnd_ > oldPosition && wordEnd_ + delta_ <= markAt(lastTaken).Offset) {
                        jumpedWordEnd = wordEnd_ + delta_;
                        jumpedTextWidth = textWidth_ + shift;
                    }
                    keep = lastTaken;
                    kept = markAt(keep);
                    old = keep + 1;
                    walked.clear();
                    walk.Resume(kept);
                    continue;
                }
                fullWidth_ += shift;
                // (A character that ends where the walk stands lies before it.)
                wordKnown = wordEnd_ > oldPosition;
                if (wordKnown) {
                    wordEnd_ += delta_;
                    textWidth_ += shift;
                }
                tabKnown = lastTab_ >= oldPosition;
                if (tabKnown)
                    lastTab_ += delta_;
                converged = true;
                break;
            }
        }
        if (position >= candidate)
            ++old;
        if (position >= lastMark().Offset + spacing)
            walked.push_back(walk.Mark());
    }
    if (!converged) {
        takeWalked(keep, old, walked);
        fullWidth_ = walk.X();
        // (Walked to the end, they replace every old mark behind keep.)
        marks_.resize(keep + 1 + walked.size());
        shiftFrom_ = marks_.size();
        shift_ = {};
    }
    // The last character that counts and the last tab, where the walk saw
    // them, or before where it began.
    if (!wordKnown) {
        if (walk.WordEnd() >= 0 && walk.WordEnd() > jumpedWordEnd) {
            wordEnd_ = walk.WordEnd();
            textWidth_ = walk.XAfterWord();
        } else if (jumpedWordEnd >= 0) {
            wordEnd_ = jumpedWordEnd;
            textWidth_ = jumpedTextWidth;
        } else if (wordEnd_ > resumedAt) {
            wordEnd_ = -1;  // looked for below
        }
    }
    if (!tabKnown) {
        if (walk.LastTab() >= 0)
            lastTab_ = walk.LastTab();
        else if (lastTab_ >= resumedAt)
            lastTab_ = LastTabBefore(paragraph.Text, resumedAt);
    }
    blanksAgree_ = blanksAgree_ && walk.BlanksAgree();
    length_ = length;
    pending_ = false;
    if (wordEnd_ < 0)
        findTextWidth(paragraph, layout, resumedAt);
    return true;
}

void TLineMarks::findTextWidth(const TParagraph& paragraph, const TTextLayout& layout, int32_t before) {
    // The last character that counts lies before where the walk began,
    // where the marks stand as they stood.
    wordEnd_ = WordEndBefore(paragraph.Text, before, rules_.StaticFormat);
    if (wordEnd_ == 0) {
        textWidth_ = 0;
        return;
    }
    const TLineMark& mark = AtOrBefore(wordEnd_ - 1);
    TMarkWalk walk(paragraph, layout, rules_);
    walk.Resume(mark);
    walk.WalkTo(wordEnd_);
    textWidth_ = walk.XAfterWord();
}

size_t TLineMarks::takeWalked(size_t keep, size_t old, const std::vector<TLineMark>& walked) {
    // Moving the marks behind only when the number changes.
    const auto from = static_cast<std::ptrdiff_t>(keep) + 1;
    const auto replaced = static_cast<std::ptrdiff_t>(old) - from;
    const auto common = std::min(replaced, static_cast<std::ptrdiff_t>(walked.size()));
    settleUpTo(old);
    std::copy(walked.begin(), walked.begin() + common, marks_.begin() + from);
    if (replaced > common)
        marks_.erase(marks_.begin() + from + common, marks_.begin() + from + replaced);
    else
        marks_.insert(marks_.begin() + from + common, walked.begin() + common, walked.end());
    const size_t added = walked.size() - static_cast<size_t>(replaced);
    shiftFrom_ += added;
    return added;
}

size_t TLineMarks::firstAfter(int32_t offset) const {
    size_t low = 0;
    size_t high = marks_.size();
    while (low < high) {
        const size_t middle = low + (high - low) / 2;
        if (markAt(middle).Offset <= offset)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

void TLineMarks::settleUpTo(size_t index) const {
    index = std::min(index, marks_.size());
    for (; shiftFrom_ < index; ++shiftFrom_) {
        TLineMark& mark = marks_[shiftFrom_];
        mark.Offset += shift_.Offset;
        mark.RunStart += shift_.Offset;
        mark.X += shift_.X;
        mark.Characters += shift_.Characters;
    }
}

void TLineMarks::shiftFrom(size_t index, int32_t offsets, int64_t pixels, int32_t characters) {
    settleUpTo(index);
    // Marks the shift covered that now lie before it hold it already.
    for (; shiftFrom_ > index; --shiftFrom_) {
        TLineMark& mark = marks_[shiftFrom_ - 1];
        mark.Offset -= shift_.Offset;
        mark.RunStart -= shift_.Offset;
        mark.X -= shift_.X;
        mark.Characters -= shift_.Characters;
    }
    shift_.Offset += offsets;
    shift_.X += pixels;
    shift_.Characters += characters;
}

const TLineMark& TLineMarks::AtOrBefore(int32_t offset) const {
    const size_t index = std::max(firstAfter(offset), size_t{1}) - 1;
    settleUpTo(index + 1);
    return marks_[index];
}

const TLineMark& TLineMarks::LeftOf(int64_t x) const {
    size_t low = 0;
    size_t high = marks_.size();
    while (low < high) {
        const size_t middle = low + (high - low) / 2;
        if (markAt(middle).X < x)
            low = middle + 1;
        else
            high = middle;
    }
    const size_t index = std::max(low, size_t{1}) - 1;
    settleUpTo(index + 1);
    return marks_[index];
}
