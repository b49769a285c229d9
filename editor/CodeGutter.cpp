#include "editor/CodeGutter.h"

#include "editor/BookmarkIcons.h"

#include "platform/gfx/Bitmap.h"
#include "platform/ui/Keys.h"

#include <algorithm>
#include <string>

TCodeGutter::TCodeGutter(TComponent* owner) : TGraphicControl(owner), icons_(kBookmarkIconSize, kBookmarkIconSize) {
    ControlStyle |= csOpaque;
    SetBounds(Left(), Top(), 30, 50);
    TBitmap strip;
    DrawBookmarkIcons(strip);
    icons_.AddMasked(strip, clWhite);
    rememberedLines_.fill(-1);
}

TCodeGutter::~TCodeGutter() {
    Destroying();
    SetCodeMemo(nullptr);
}

void TCodeGutter::clearBookmarks() {
    for (auto& bookmark : bookmarks_)
        bookmark.reset();
    rememberedLines_.fill(-1);
}

void TCodeGutter::watch(TCodeMemo* memo, bool watching) {
    if (memo == nullptr)
        return;
    if (watching) {
        memo->AttachComponent(this);
        memo->FreeNotification(this);
        memo->Document().AddWatcher(this);
    } else {
        memo->DetachComponent(this);
        memo->RemoveFreeNotification(this);
        memo->Document().RemoveWatcher(this);
    }
}

void TCodeGutter::SetCodeMemo(TCodeMemo* memo) {
    if (memo == memo_)
        return;
    clearBookmarks();
    watch(memo_, false);
    memo_ = memo;
    lastLineCount_ = lastParagraphCount_ = -1;
    fitPosted_ = false;
    if (memo_ != nullptr) {
        watch(memo_, true);
        lastTopPixel_ = memo_->TopPixel();
        fitNumbers();
    }
    Invalidate();
}

void TCodeGutter::fitNumbers() {
    if (memo_ == nullptr)
        return;
    const int32_t base = widenedFrom_ >= 0 ? widenedFrom_ : Width();
    int32_t needed = 0;
    if (lineNumbers_) {
        const int32_t highest = paragraphNumbers_ ? memo_->ParagraphCount() : memo_->LineCount();
        const auto digits = static_cast<int32_t>(std::to_string(std::max(highest, 1)).size());
        Canvas().SetFont(Font());
        // The digits, the two frame lines at the right edge and a pixel
        // either side.
        needed = digits * Canvas().TextWidth("0") + 4;
    }
    if (needed > base) {
        widenedFrom_ = base;
        if (needed != Width())
            SetWidth(needed);
    } else if (widenedFrom_ >= 0) {
        widenedFrom_ = -1;
        SetWidth(base);
    }
}

void TCodeGutter::SetAlignment(TCodeAlignment value) {
    if (value == alignment_)
        return;
    alignment_ = value;
    Invalidate();
}

void TCodeGutter::SetLineNumbers(bool value) {
    if (value == lineNumbers_)
        return;
    lineNumbers_ = value;
    fitNumbers();
    Invalidate();
}

void TCodeGutter::SetParagraphNumbers(bool value) {
    if (value == paragraphNumbers_)
        return;
    paragraphNumbers_ = value;
    fitNumbers();
    Invalidate();
}

// ---------------------------------------------------------------------------
// Bookmarks

int32_t TCodeGutter::BookmarkLine(int index) const {
    if (index < 0 || index >= kBookmarkCount || !bookmarks_[static_cast<size_t>(index)] || memo_ == nullptr)
        return -1;
    return bookmarks_[static_cast<size_t>(index)]->LineNumber();
}

int TCodeGutter::FindBookmark(int32_t line) const {
    for (int index = 0; index < kBookmarkCount; ++index)
        if (BookmarkLine(index) == line)
            return index;
    return -1;
}

bool TCodeGutter::ToggleBookmark(int32_t line, int index) {
    if (memo_ == nullptr || index < 0 || index >= kBookmarkCount)
        return false;
    auto& bookmark = bookmarks_[static_cast<size_t>(index)];
    if (bookmark && bookmark->LineNumber() == line) {
        bookmark.reset();
        Invalidate();
        return true;
    }
    if (FindBookmark(line) >= 0)
        return false;
    auto placed = std::make_unique<TCodeNavigator>(memo_);
    placed->SetLineNumber(line);
    bookmark = std::move(placed);
    Invalidate();
    return true;
}

bool TCodeGutter::bookmarksMoved() const {
    for (int index = 0; index < kBookmarkCount; ++index)
        if (BookmarkLine(index) != rememberedLines_[static_cast<size_t>(index)])
            return true;
    return false;
}

// ---------------------------------------------------------------------------
// The memo's messages

void TCodeGutter::Notification(TComponent* component, TOperation operation) {
    if (component == memo_ && memo_ != nullptr) {
        if (operation == kMemoMessage) {
            MemoMessage(memo_->CurrentMessage());
            return;
        }
        if (operation == opRemove) {
            // The memo goes first: its bookmarks go with it.  Its document
            // is still whole while it tells of its end.
            clearBookmarks();
            memo_->Document().RemoveWatcher(this);
            memo_ = nullptr;
            Invalidate();
            return;
        }
    }
    TGraphicControl::Notification(component, operation);
}

void TCodeGutter::MemoMessage(const TMessage& message) {
    switch (message.Msg) {
    case WM_KEYDOWN: {
        const auto key = static_cast<uint16_t>(message.WParam);
        if (key < '0' || key > '9')
            return;
        const TShiftState shift = KeyDataToShiftState(message.LParam) & (ssShift | ssCtrl | ssAlt);
        const int digit = key - '0';
        if (shift == (ssCtrl | ssShift)) {
            ToggleBookmark(memo_->SelLine(), digit);
            Invalidate();
        } else if (shift == ssCtrl) {
            int32_t line = BookmarkLine(digit);
            if (line >= 0) {
                memo_->SetSelLine(line);
                memo_->ScrollInView();
            }
        }
        return;
    }
    case WM_CODEMEMO_SCROLLED:
        if (memo_->HandleAllocated() && memo_->LineCount() == lastLineCount_ &&
            memo_->ParagraphCount() == lastParagraphCount_ && Parent() != nullptr) {
            // Only the view moved: the gutter's pixels move with it.
            TRect area = BoundsRect();
            Parent()->ScrollWindow(0, lastTopPixel_ - memo_->TopPixel(), &area, &area);
            lastTopPixel_ = memo_->TopPixel();
        } else {
            Invalidate();
        }
        return;
    case CM_FONTCHANGED:
        Invalidate();
        return;
    case WM_CODEGUTTER_FIT:
        fitPosted_ = false;
        fitNumbers();
        return;
    case CM_TEXTCHANGED:
        if (memo_->LineCount() != lastLineCount_ || memo_->ParagraphCount() != lastParagraphCount_ ||
            bookmarksMoved()) {
            fitNumbers();
            Invalidate();
        }
        lastLineCount_ = memo_->LineCount();
        lastParagraphCount_ = memo_->ParagraphCount();
        return;
    default:
        return;
    }
}

// ---------------------------------------------------------------------------
// The memo's display lines

void TCodeGutter::LayoutChanged(TCodeDocument&, const TLayoutChange& change) { linesLaidOut(change.FirstLine); }

void TCodeGutter::LayoutReset(TCodeDocument&) { linesLaidOut(0); }

void TCodeGutter::linesLaidOut(int32_t firstLine) {
    // An edit is answered when it ends (CM_TEXTCHANGED); lines that kept
    // their count and their bookmarks kept their numbers.
    if (memo_ == nullptr || memo_->Document().UpdateCount() > 0)
        return;
    if (memo_->LineCount() == lastLineCount_ && memo_->ParagraphCount() == lastParagraphCount_ &&
        !bookmarksMoved())
        return;
    // Numbers move from the first line laid out anew down: repainted when
    // that is in view.
    if (firstLine <= memo_->TopLine() + memo_->VisibleLineCount())
        Invalidate();
    if (!fitPosted_ && memo_->HandleAllocated())
        fitPosted_ = PostMessage(memo_, WM_CODEGUTTER_FIT);
}

// ---------------------------------------------------------------------------
// Painting

void TCodeGutter::Paint() {
    TCanvas& canvas = Canvas();
    const TRect clip = canvas.ClipRect();
    canvas.FillRect(clip, Color());
    const int w = ClientWidth() - 2;
    if (clip.Right > w) {
        canvas.Pen().SetColor(clBtnHighlight);
        canvas.MoveTo(w, 0);
        canvas.LineTo(w, ClientHeight());
        canvas.Pen().SetColor(clBtnShadow);
        canvas.MoveTo(w + 1, 0);
        canvas.LineTo(w + 1, ClientHeight());
    }
    if (memo_ == nullptr || !memo_->HandleAllocated())
        return;
    lastTopPixel_ = memo_->TopPixel();
    lastLineCount_ = memo_->LineCount();
    lastParagraphCount_ = memo_->ParagraphCount();
    for (int index = 0; index < kBookmarkCount; ++index)
        rememberedLines_[static_cast<size_t>(index)] = BookmarkLine(index);

    const int32_t lineHeight = std::max(memo_->LineHeight(), 1);
    // The memo's client area in the gutter's coordinates.
    const TPoint memoOrigin = memo_->ClientToScreen({0, 0});
    const TPoint ownOrigin = ClientToScreen({0, 0});
    const int32_t originY = memoOrigin.Y - ownOrigin.Y;
    const int32_t top = memo_->TopLine();
    int32_t line = clip.Top < originY ? top : memo_->YToLine(clip.Top - originY) + top;
    line = std::max(line, 0);

    int digitWidth = 0;
    if (lineNumbers_) {
        canvas.SetFont(Font());
        canvas.SetBkMode(TRANSPARENT);
        digitWidth = alignment_ == taLeftJustify ? 0 : canvas.TextWidth("0");
    }
    const unsigned savedAlign = canvas.SetTextAlign(TA_BASELINE);
    // Where something width pixels wide starts for the alignment (left-aligned at left).
    auto alignedX = [&](int width, int left) {
        return alignment_ == taLeftJustify ? left : alignment_ == taRightJustify ? w - width : (w - width) / 2;
    };
    const int32_t iconOffset = std::max((lineHeight - kBookmarkIconSize) / 2, memo_->Baseline() - kBookmarkIconSize);
    const TParagraphsList& paragraphs = memo_->Document().ParagraphList();
    for (; line < memo_->LineCount(); ++line) {
        const int32_t y = originY + memo_->LineToY(line - top);
        if (y >= clip.Bottom)
            break;
        if (y + lineHeight <= clip.Top)
            continue;
        // The bookmarks' lines were just recorded: the lowest one on this line shows.
        const auto bookmark = std::find(rememberedLines_.begin(), rememberedLines_.end(), line);
        if (bookmark != rememberedLines_.end()) {
            icons_.Draw(canvas, alignedX(kBookmarkIconSize, 2), y + iconOffset,
                        static_cast<int>(bookmark - rememberedLines_.begin()));
            continue;
        }
        if (!lineNumbers_)
            continue;
        int32_t number = line + 1;
        if (paragraphNumbers_) {
            const int32_t paragraph = paragraphs.IndexOfLine(line);
            if (paragraphs.FirstLine(paragraph) != line)
                continue;
            number = paragraph + 1;
        }
        const std::string text = std::to_string(number);
        canvas.TextOut(alignedX(static_cast<int>(text.size()) * digitWidth, 0), y + memo_->Baseline(), text);
    }
    canvas.SetTextAlign(savedAlign);
}
