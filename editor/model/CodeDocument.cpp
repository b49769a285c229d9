// TCodeDocument: construction, the store-level operations, the rules of the
// text, update batching, watchers and the consistency check.

#include "editor/model/CodeDocument.h"

#include "editor/model/Characters.h"
#include "editor/model/CodeNavigator.h"

#include "platform/base/Exceptions.h"
#include "platform/base/Stream.h"

#include <algorithm>
#include <chrono>

namespace {
uint64_t steadyMilliseconds() {
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                     std::chrono::steady_clock::now().time_since_epoch())
                                     .count());
}
} // namespace

TCodeDocument::TCodeDocument(TDocumentFields* fields)
    : fields_(fields != nullptr ? fields : &ownFields_), clock_(steadyMilliseconds) {
    parseFrom_ = std::make_unique<TCodeNavigator>(this);
    parseTo_ = std::make_unique<TCodeNavigator>(this);
    layout_ = std::make_unique<TTextLayout>(*this);
    highlighting_ = std::make_unique<THighlightEngine>(*this);
    newEmptyText();
    SetSeparators(std::string_view("\t $%&,./:;<=>"));
}

TCodeDocument::~TCodeDocument() {
    highlighting_.reset();
    layout_.reset();
    parseFrom_.reset();
    parseTo_.reset();
    // Navigators owned by others (bookmarks, a highlighter's cursors) are
    // detached; they stay valid as free navigators.
    std::vector<TCodeNavigator*> bound = navigators_;
    for (TCodeNavigator* navigator : bound)
        navigator->document_ = nullptr, navigator->Invalidate();
    navigators_.clear();
}

// ---------------------------------------------------------------------------
// Store

void TCodeDocument::newEmptyText() {
    paragraphs_.Clear();
    auto paragraph = std::make_unique<TParagraph>();
    paragraph->Formatted = 1;
    paragraph->FormatFromLine = kMaxTextLength;
    paragraphs_.Add(std::move(paragraph));
    paragraphs_.SetStart(0, 0);
    paragraphs_.SetFirstLine(0, 0);
    textLength_ = 0;
    lineCount_ = 1;
    layout_->ForgetWidest();
}

void TCodeDocument::registerNavigator(TCodeNavigator* navigator) { navigators_.push_back(navigator); }

void TCodeDocument::unregisterNavigator(TCodeNavigator* navigator) {
    auto it = std::find(navigators_.begin(), navigators_.end(), navigator);
    if (it != navigators_.end())
        navigators_.erase(it);
}

void TCodeDocument::swapInText(TParagraphsList&& paragraphs, int32_t textLength) {
    paragraphs_ = std::move(paragraphs);
    layout_->ForgetAllLineMarks();
    textLength_ = textLength;
    lineCount_ = 0;
    for (int32_t i = 0; i < paragraphs_.Count(); ++i)
        lineCount_ += paragraphs_[i].LineCount();
    layout_->ForgetWidest();
    highlighting_->textReplaced();
    dropUpperCache();
    firstChangedPar_ = kNoChange;
    lastChangedPar_ = -1;
    firstChangedLine_ = kNoChange;
    formattedInUpdate_ = false;
    for (TCodeNavigator* navigator : navigators_) {
        navigator->Invalidate();
        navigator->offset_ = 0;
    }
    notify([&](TDocumentWatcher& watcher) { watcher.TextReplaced(*this); });
}

void TCodeDocument::Reload() {
    TMemoryStream stream;
    const bool modified = fields_->Modified;
    SaveToStream(stream);
    stream.SetPosition(0);
    LoadFromStream(stream);
    fields_->Modified = modified;
}

void TCodeDocument::SetTextBuf(std::string_view text) {
    if (text.empty() && textLength_ == 0)
        return;
    TReadOnlyMemoryStream stream(text.data(), static_cast<int64_t>(text.size()));
    LoadFromStream(stream);
    fields_->Modified = true;
}

int32_t TCodeDocument::ParagraphStart(int32_t index) const {
    paragraphs_.GetItem(index);
    return paragraphs_.Start(index);
}

int32_t TCodeDocument::ParagraphFirstLine(int32_t index) const {
    paragraphs_.GetItem(index);
    return paragraphs_.FirstLine(index);
}

int32_t TCodeDocument::LastLineOfParagraph(int32_t index) const {
    index = std::clamp(index, 0, paragraphs_.Count() - 1);
    return paragraphs_.FirstLine(index) + paragraphs_[index].LineCount() - 1;
}

std::string TCodeDocument::GetTextRange(int32_t from, int32_t to) const {
    from = std::clamp(from, 0, textLength_);
    to = std::clamp(to, 0, textLength_);
    if (to <= from)
        return {};
    std::string result;
    result.reserve(static_cast<size_t>(to - from));
    int32_t index = paragraphs_.IndexOfOffset(from);
    int32_t offset = from;
    while (offset < to && index < paragraphs_.Count()) {
        const TParagraph& p = paragraphs_[index];
        int32_t start = paragraphs_.Start(index);
        int32_t inPar = offset - start;
        int32_t length = p.Length();
        if (inPar < length) {
            int32_t take = std::min(length - inPar, to - offset);
            p.Text.AppendTo(result, static_cast<size_t>(inPar), static_cast<size_t>(inPar + take));
            offset += take;
            inPar += take;
        }
        if (offset < to && inPar == length) {
            result += '\r';
            ++offset;
            ++inPar;
        }
        if (offset < to && inPar == length + 1) {
            result += '\n';
            ++offset;
        }
        ++index;
    }
    return result;
}

std::string TCodeDocument::DisplayLineText(int32_t line) const {
    if (line < 0 || line >= lineCount_)
        return {};
    const int32_t index = paragraphs_.IndexOfLine(line);
    const TParagraph& p = paragraphs_[index];
    const TLineRecord& record = p.Line(line - paragraphs_.FirstLine(index));
    return p.Text.substr(static_cast<size_t>(record.Start), static_cast<size_t>(record.Stop - record.Start));
}

char TCodeDocument::CharAt(int32_t offset) const {
    offset = std::clamp(offset, 0, textLength_);
    int32_t index = paragraphs_.IndexOfOffset(offset);
    return paragraphs_[index].CharAt(offset - paragraphs_.Start(index));
}

void TCodeDocument::SetClock(TClock clock) { clock_ = clock != nullptr ? clock : steadyMilliseconds; }

void TCodeDocument::SetMaxTextLength(int32_t value) { maxTextLength_ = std::clamp(value, 0, kMaxTextLength); }

void TCodeDocument::lineCountChanged(int32_t index, int32_t delta) {
    if (delta == 0)
        return;
    lineCount_ += delta;
    paragraphs_.ShiftFrom(index + 1, 0, delta);
}

void TCodeDocument::dropUpperCache() {
    upperBuffer_.clear();
    upperIndex_ = -1;
}

// ---------------------------------------------------------------------------
// Navigators

void TCodeDocument::InvalidateNavigators(int32_t offset, int32_t lastParagraph) {
    for (TCodeNavigator* navigator : navigators_)
        if (navigator->parIndex_ >= 0 && navigator->offset_ > offset && navigator->parIndex_ <= lastParagraph)
            navigator->InvalidateLineAndContext();
}

// ---------------------------------------------------------------------------
// Rules

void TCodeDocument::SetStaticFormat(bool value) {
    if (value == staticFormat_)
        return;
    staticFormat_ = value;
    Reload();
}

void TCodeDocument::SetOptions(TCodeMemoOptions options) {
    const bool discardAdded =
        options.Contains(pmoDiscardTrailingSpaces) && !options_.Contains(pmoDiscardTrailingSpaces);
    options_ = options;
    if (discardAdded)
        Reload();
}

void TCodeDocument::SetUpperCaseType(TpmUpperCase value) {
    upperCaseType_ = value;
    highlighting_->Keywords().SetUpperCaseType(FoldingRule());
    highlighting_->StartStopKeys().SetUpperCaseType(FoldingRule());
    // A cached upper-case copy folded by the old rule is of no use any more.
    dropUpperCache();
}

void TCodeDocument::SetSeparators(std::string_view characters) {
    separators_ = TByteSet(characters);
    // Whole-word keys derive their separator needs from the set.
    highlighting_->StartStopKeys().SetPrepared(false);
}

void TCodeDocument::SetEncoding(TTextEncoding encoding) {
    if (Encoding() == encoding)
        return;
    utf8_ = encoding == teUtf8;
    SetUpperCaseType(upperCaseType_);
    highlighting_->StartStopKeys().SetPrepared(false);
    layout_->ReformatAll();
}

int32_t TCodeDocument::CharStartAt(int32_t offset) const {
    if (!utf8_ || offset <= 0 || offset >= textLength_)
        return std::clamp(offset, 0, textLength_);
    const int32_t index = paragraphs_.IndexOfOffset(offset);
    const int32_t start = paragraphs_.Start(index);
    const TParagraph& paragraph = paragraphs_[index];
    if (offset - start > paragraph.Length())
        return offset;
    return start + CharStart(paragraph.Text, offset - start, true);
}

// ---------------------------------------------------------------------------
// Update batching

void TCodeDocument::EndUpdate() {
    if (updateCount_ <= 0)
        return;
    if (--updateCount_ == 0)
        updateAfterEdit();
}

bool TDocumentUpdate::Finish() {
    if (!Release())
        return false;
    document_.updateAfterEdit();
    return true;
}

void TCodeDocument::recordChangedRange(int32_t first, int32_t last, int32_t firstLine) {
    firstChangedPar_ = std::min(firstChangedPar_, first);
    lastChangedPar_ = std::max(lastChangedPar_, last);
    firstChangedLine_ = std::min(firstChangedLine_, firstLine);
}

void TCodeDocument::updateAfterEdit() {
    TUpdateSummary summary;
    summary.FirstLine = std::min(firstChangedLine_, lineCount_);
    summary.LastParagraph = lastChangedPar_;
    TLineSpan laidOut;
    if (firstChangedPar_ <= lastChangedPar_) {
        int32_t first = std::clamp(firstChangedPar_, 0, paragraphs_.Count() - 1);
        int32_t last = std::clamp(lastChangedPar_, 0, paragraphs_.Count() - 1);
        laidOut = layout_->FormatRange(first, last, false);
    }
    // An edit shows in the lines laid out again after it (every edit makes
    // its paragraph wait for formatting from the edited line on, and a word
    // that moves up makes the line before it one of them).  Lines formatted
    // while the update was still open were not reported: the changed
    // paragraphs are then taken whole, from the line before the edit.
    if (lastChangedPar_ >= 0) {
        const int32_t edited = std::clamp(firstChangedLine_, 0, lineCount_ - 1);
        if (formattedInUpdate_) {
            summary.FirstLine = std::max(edited - 1, 0);
            summary.LastLine = LastLineOfParagraph(lastChangedPar_);
        } else {
            summary.FirstLine = std::min(edited, laidOut.First);
            summary.LastLine = std::max(edited, laidOut.Last);
        }
    }
    firstChangedPar_ = kNoChange;
    lastChangedPar_ = -1;
    firstChangedLine_ = kNoChange;
    formattedInUpdate_ = false;
    // The edited paragraphs are laid out: what parsing learnt is used up.
    layout_->ForgetLookHint();
    layout_->Schedule();
    notify([&](TDocumentWatcher& watcher) { watcher.UpdateEnded(*this, summary); });
}

// ---------------------------------------------------------------------------
// Watchers

void TCodeDocument::AddWatcher(TDocumentWatcher* watcher) {
    if (watcher != nullptr && std::find(watchers_.begin(), watchers_.end(), watcher) == watchers_.end())
        watchers_.push_back(watcher);
}

void TCodeDocument::RemoveWatcher(TDocumentWatcher* watcher) {
    auto it = std::find(watchers_.begin(), watchers_.end(), watcher);
    if (it != watchers_.end())
        watchers_.erase(it);
}

bool TCodeDocument::progressWanted() const {
    return std::any_of(watchers_.begin(), watchers_.end(),
                       [](const TDocumentWatcher* watcher) { return watcher != nullptr && watcher->WantsProgress(); });
}

void TCodeDocument::reportProgress(int32_t index, bool force) {
    constexpr uint64_t kProgressInterval = 300;
    if (!progressWanted())
        return;
    const uint64_t now = clock_();
    if (!force && now - lastProgressTick_ < kProgressInterval)
        return;
    lastProgressTick_ = now;
    const int32_t count = std::max(paragraphs_.Count(), 1);
    progress_ = force ? 100 : std::min<int32_t>(static_cast<int32_t>(int64_t{index} * 100 / count), 99);
    notify([&](TDocumentWatcher& watcher) { watcher.ProgressMade(*this); });
}

// ---------------------------------------------------------------------------
// The seams of formatting and highlighting

void TCodeDocument::FormatParagraph(const TCodeMeasure* measure, int32_t width, int32_t index, int32_t& firstLine,
                                    int32_t& lastLine, bool formatToEnd) {
    layout_->BreakParagraph(measure, width, index, firstLine, lastLine, formatToEnd);
}

void TCodeDocument::ApplyStartStopKeys(TCodeNavigator& from, TCodeNavigator& to) {
    highlighting_->ParseStartStopKeys(from, to);
}

void TCodeDocument::ApplyKeywords(TCodeNavigator& from, TCodeNavigator& to) {
    highlighting_->ApplyKeywordsBetween(from, to);
}

void TCodeDocument::ApplyContext(TCodeNavigator& first, TCodeNavigator& second, bool recordChange, bool opening,
                                 const TContextState& context) {
    highlighting_->PutContextBetween(first, second, recordChange, opening, context);
}

void TCodeDocument::ParseUpTo(int32_t index) { highlighting_->ParseUpTo(index); }

// ---------------------------------------------------------------------------
// Consistency check

void TCodeDocument::CheckConsistency() const {
    auto fail = [](int number) {
        throw EInvalidOperation("Error " + std::to_string(number) + " in " + kCodeMemoVersion);
    };
    int64_t lineTotal = 0;
    int64_t offset = 0;
    for (int32_t i = 0; i < paragraphs_.Count(); ++i) {
        const TParagraph& p = paragraphs_[i];
        if (paragraphs_.FirstLine(i) != lineTotal)
            fail(1);
        if (paragraphs_.Start(i) != offset)
            fail(2);
        int32_t stop = 0;
        for (int32_t line = 0; line < p.LineCount(); ++line) {
            if (p.Line(line).Start != stop)
                fail(3);
            stop = p.Line(line).Stop;
        }
        if (stop != p.Length())
            fail(4);
        lineTotal += p.LineCount();
        offset += p.Length() + 2;
    }
    if (textLength_ + 2 != offset)
        fail(5);
    if (lineTotal != lineCount_)
        fail(6);
}
