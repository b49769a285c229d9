// TCodeMemo: construction, the store-level operations, properties and the
// consistency check.

#include "editor/CodeMemo.h"
#include "editor/FontMeasure.h"

#include "editor/MemoGuards.h"
#include "editor/StyleCodes.h"

#include "platform/base/Exceptions.h"
#include "platform/base/Stream.h"

#include <algorithm>

TCodeMemo::TCodeMemo(TComponent* owner) : TCustomControl(owner) {
    topLine_ = std::make_unique<TCodeNavigator>(this);
    selStart_ = std::make_unique<TCodeNavigator>(this);
    selEnd_ = std::make_unique<TCodeNavigator>(this);
    work1_ = std::make_unique<TCodeNavigator>(this);
    work2_ = std::make_unique<TCodeNavigator>(this);
    paragraphsView_ = std::make_unique<TCodeParaStrings>(*this);
    linesView_ = std::make_unique<TCodeLinesStrings>(*this);
    newEmptyText();
    SetSeparators(std::string_view("\t $%&,./:;<=>"));
    SetBounds(Left(), Top(), 100, 60);
    SetCursor(crIBeam);
    SetParentColor(false);
    SetColor(clWindow);
    SetTabStop(true);
    altFont_.OnChange = [this](TPersistent*) { ReformatAll(); };
    endOfTextMark_.SetColor(clRed);
    specUnderline_.SetColor(clRed);
    initWindowSide();
}

TCodeMemo::~TCodeMemo() {
    Destroying();
    detachHighlighter();
    finishWindowSide();
    // Navigators owned by others (bookmarks, a highlighter's cursors) are
    // detached; they stay valid as free navigators.
    std::vector<TCodeNavigator*> bound = navigators_;
    for (TCodeNavigator* navigator : bound)
        navigator->memo_ = nullptr, navigator->Invalidate();
    navigators_.clear();
}

// ---------------------------------------------------------------------------
// Store

void TCodeMemo::newEmptyText() {
    paragraphs_.Clear();
    auto paragraph = std::make_unique<TParagraph>();
    paragraph->Formatted = 1;
    paragraph->FormatFromLine = kMaxTextLength;
    paragraphs_.Add(std::move(paragraph));
    paragraphs_.SetStart(0, 0);
    paragraphs_.SetFirstLine(0, 0);
    textLength_ = 0;
    lineCount_ = 1;
    widestWidth_ = 0;
    widestParagraph_ = -1;
}

void TCodeMemo::resetAllNavigators() {
    for (TCodeNavigator* navigator : navigators_) {
        navigator->Invalidate();
        navigator->offset_ = 0;
    }
}

void TCodeMemo::registerNavigator(TCodeNavigator* navigator) { navigators_.push_back(navigator); }

void TCodeMemo::unregisterNavigator(TCodeNavigator* navigator) {
    auto it = std::find(navigators_.begin(), navigators_.end(), navigator);
    if (it != navigators_.end())
        navigators_.erase(it);
}

void TCodeMemo::swapInText(TParagraphsList&& paragraphs, int32_t textLength) {
    paragraphs_ = std::move(paragraphs);
    textLength_ = textLength;
    lineCount_ = 0;
    for (int32_t i = 0; i < paragraphs_.Count(); ++i)
        lineCount_ += paragraphs_[i].LineCount();
    widestWidth_ = 0;
    widestParagraph_ = -1;
    highlightFirst_ = 0;
    highlightLast_ = -1;
    validHighlight_ = -1;
    upperBuffer_.clear();
    upperIndex_ = -1;
    selLength_ = 0;
    blockMode_ = false;
    caretAtEnd_ = false;
    virtualColumns_ = 0;
    rememberedColumn_ = INT32_MIN;
    firstChangedPar_ = paragraphs_.Count();
    lastChangedPar_ = -1;
    firstChangedLine_ = lineCount_;
    resetAllNavigators();
}

void TCodeMemo::reloadText() {
    TMemoryStream stream;
    const bool modified = Modified;
    SaveToStream(stream);
    stream.SetPosition(0);
    LoadFromStream(stream);
    Modified = modified;
}

int32_t TCodeMemo::ParagraphStart(int32_t index) const {
    paragraphs_.GetItem(index);
    return paragraphs_.Start(index);
}

int32_t TCodeMemo::ParagraphFirstLine(int32_t index) const {
    paragraphs_.GetItem(index);
    return paragraphs_.FirstLine(index);
}

std::string TCodeMemo::GetTextRange(int32_t from, int32_t to) const {
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
            result.append(p.Text, static_cast<size_t>(inPar), static_cast<size_t>(take));
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

std::string TCodeMemo::DisplayLineText(int32_t line) const {
    if (line < 0 || line >= lineCount_)
        return {};
    const int32_t index = paragraphs_.IndexOfLine(line);
    const TParagraph& p = paragraphs_[index];
    const TLineRecord& record = p.Line(line - paragraphs_.FirstLine(index));
    return p.Text.substr(static_cast<size_t>(record.Start), static_cast<size_t>(record.Stop - record.Start));
}

char TCodeMemo::CharAt(int32_t offset) const {
    offset = std::clamp(offset, 0, textLength_);
    int32_t index = paragraphs_.IndexOfOffset(offset);
    return paragraphs_[index].CharAt(offset - paragraphs_.Start(index));
}

void TCodeMemo::SetMaxTextLength(int32_t value) { maxTextLength_ = std::clamp(value, 0, kMaxTextLength); }

// ---------------------------------------------------------------------------
// Update batching

void TCodeMemo::BeginUpdate() { ++updateCount_; }

void TCodeMemo::EndUpdate() {
    if (updateCount_ <= 0)
        return;
    if (--updateCount_ == 0)
        UpdateAfterEdit();
}

// ---------------------------------------------------------------------------
// Properties

void TCodeMemo::SetStaticFormat(bool value) {
    if (value == staticFormat_)
        return;
    staticFormat_ = value;
    // Style codes are read anew; the text itself and the caret stay.
    const int32_t caret = SelStart();
    reloadText();
    SetSelStart(caret);
}

void TCodeMemo::SetOptions(TCodeMemoOptions options) {
    const TCodeMemoOptions before = options_;
    bool discardAdded = options.Contains(pmoDiscardTrailingSpaces) && !options_.Contains(pmoDiscardTrailingSpaces);
    options_ = options;
    if (discardAdded)
        reloadText();
    displayAfterOptions(before);
}

void TCodeMemo::SetWordWrap(bool value) {
    if (value == wordWrap_)
        return;
    wordWrap_ = value;
    ReformatAll();
    UpdateHScrollBar();
    SetLeftPixel(0);
    ScrollInView();
}

void TCodeMemo::SetAlignment(TCodeAlignment value) {
    if (value == alignment_)
        return;
    bool reformat = !wordWrap_ && (value != taLeftJustify || alignment_ != taLeftJustify);
    SetLeftPixel(0);
    alignment_ = value;
    if (reformat)
        ReformatAll();
    displayAfterAppearance();
}

void TCodeMemo::SetLeftMargin(int32_t value) {
    leftMargin_ = value;
    ReformatAll();
}

void TCodeMemo::SetRightMargin(int32_t value) {
    rightMargin_ = value;
    ReformatAll();
}

void TCodeMemo::SetTabStops(int32_t value) {
    tabStops_ = value;
    ReformatAll();
}

void TCodeMemo::SetUpperCaseType(TpmUpperCase value) {
    upperCaseType_ = value;
    keywords_->SetUpperCaseType(value);
    startStopKeys_->SetUpperCaseType(value);
    // A cached upper-case copy folded by the old rule is of no use any more.
    upperBuffer_.clear();
    upperIndex_ = -1;
}

std::string TCodeMemo::Separators() const { return separators_.Members(); }

void TCodeMemo::SetSeparators(std::string_view characters) {
    separators_ = TByteSet(characters);
    // Whole-word keys derive their separator needs from the set.
    startStopKeys_->SetPrepared(false);
}

void TCodeMemo::SetUpdateMode(TUpdateMode value) {
    updateMode_ = value;
    if (updateCount_ == 0)
        scheduleFormatting();
}

void TCodeMemo::SetHighlightRange(int32_t first, int32_t last) {
    highlightFirst_ = first;
    highlightLast_ = last;
}

// ---------------------------------------------------------------------------
// Consistency check

void TCodeMemo::CheckConsistency() const {
    auto fail = [](int number) {
        throw EInvalidOperation("Error " + std::to_string(number) + " in " + Version());
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
