#include "platform/ui/TextControls.h"

#include "platform/base/Exceptions.h"
#include "platform/base/Utf8.h"
#include "platform/gfx/TextDrawing.h"
#include "platform/ui/ComponentWatch.h"

#include <algorithm>

namespace {

// The caption without access-key marks, and the index of the underlined
// character in it (-1: none); without ShowAccelChar the caption itself.
TAccessKeyText parseAccel(std::string_view caption, bool active) {
    if (!active)
        return {std::string(caption), -1};
    return ParseAccessKey(caption);
}

// A line of a label with the index of its first character in the text.
struct TLabelLine {
    size_t Start;
    std::string Text;
};

template <class Measure>
std::vector<TLabelLine> breakLines(const std::string& text, int width, Measure measure) {
    std::vector<TLabelLine> lines;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos)
            end = text.size();
        // One paragraph, broken at blanks where it does not fit.
        size_t lineStart = start;
        while (width >= 0 && lineStart < end && measure(text.substr(lineStart, end - lineStart)) > width) {
            size_t fit = lineStart;
            size_t blank = text.find(' ', lineStart);
            while (blank != std::string::npos && blank < end &&
                   measure(text.substr(lineStart, blank - lineStart)) <= width) {
                fit = blank;
                blank = text.find(' ', blank + 1);
            }
            if (fit == lineStart) {
                // The first word alone is too wide: it gets a line of its own.
                fit = blank != std::string::npos && blank < end ? blank : end;
            }
            lines.push_back({lineStart, text.substr(lineStart, fit - lineStart)});
            lineStart = fit;
            while (lineStart < end && text[lineStart] == ' ')
                ++lineStart;
        }
        if (lineStart < end || lineStart == start) {
            std::string rest = text.substr(lineStart, end - lineStart);
            // Blanks at the end of a wrapped paragraph take no room.
            if (width >= 0)
                rest.erase(rest.find_last_not_of(' ') + 1);
            lines.push_back({lineStart, std::move(rest)});
        }
        if (end == text.size())
            break;
        start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
        if (start == text.size())
            break;
    }
    return lines;
}

} // namespace

std::string DisplayCaption(std::string_view caption) { return StripAccessKeys(caption); }

// ---------------------------------------------------------------------------
// TCustomLabel

TCustomLabel::TCustomLabel(TComponent* owner) : TGraphicControl(owner) {
    SetBounds(0, 0, 65, 17);
    ControlStyle |= csOpaque;
}

void TCustomLabel::SetAlignment(TAlignment value) {
    if (value == alignment_)
        return;
    alignment_ = value;
    Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout value) {
    if (value == layout_)
        return;
    layout_ = value;
    Invalidate();
}

void TCustomLabel::SetWordWrap(bool value) {
    if (value == wordWrap_)
        return;
    wordWrap_ = value;
    adjustSize();
    Invalidate();
}

void TCustomLabel::SetAutoSize(bool value) {
    if (value == autoSize_)
        return;
    autoSize_ = value;
    adjustSize();
}

void TCustomLabel::SetTransparent(bool value) {
    if (value == transparent_)
        return;
    transparent_ = value;
    Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool value) {
    if (value == showAccelChar_)
        return;
    showAccelChar_ = value;
    adjustSize();
    Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* control) { SetComponentReference(*this, focusControl_, control); }

void TCustomLabel::Notification(TComponent* component, TOperation operation) {
    TGraphicControl::Notification(component, operation);
    if (operation == opRemove && component == focusControl_)
        focusControl_ = nullptr;
}

std::string TCustomLabel::DisplayText() const { return parseAccel(Caption(), showAccelChar_).Text; }

std::vector<std::string> TCustomLabel::TextLines(int width) {
    TCanvas& canvas = Canvas();
    canvas.SetFont(Font());
    std::vector<std::string> result;
    for (TLabelLine& line : breakLines(DisplayText(), width, [&](const std::string& s) { return canvas.TextWidth(s); }))
        result.push_back(std::move(line.Text));
    return result;
}

void TCustomLabel::adjustSize() {
    if (!autoSize_ || IsLoading())
        return;
    TCanvas& canvas = Canvas();
    canvas.SetFont(Font());
    std::vector<std::string> lines = TextLines(wordWrap_ ? Width() : -1);
    int lineHeight = canvas.TextHeight("Wg");
    // A label without text keeps the width of a blank, so that it never
    // shrinks to nothing.
    int width = DisplayText().empty() ? canvas.TextWidth(" ") : 0;
    for (const std::string& line : lines)
        width = std::max(width, canvas.TextWidth(line));
    int height = lineHeight * std::max<int>(1, static_cast<int>(lines.size()));
    if (wordWrap_)
        width = Width();
    // A right-justified label grows and shrinks to the left: its text
    // stays where it ends, at the width its limits let it take.
    width = Constraints().ClampWidth(width);
    int left = alignment_ == taRightJustify ? Left() + Width() - width : Left();
    SetBounds(left, Top(), width, height);
}

void TCustomLabel::Loaded() {
    TGraphicControl::Loaded();
    // Sizing waits while a label is read or built: its text, font and
    // bounds may come in any order.  Once it is whole its size follows
    // its text, whatever size was stored.
    adjustSize();
}

void TCustomLabel::Dispatch(TMessage& message) {
    switch (message.Msg) {
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
        adjustSize();
        Invalidate();
        return;
    case CM_DIALOGCHAR:
        // The label's access key gives the focus to the control it names.
        if (showAccelChar_ && focusControl_ != nullptr && focusControl_->CanFocus() &&
            IsAccessKey(static_cast<char32_t>(message.WParam), Caption())) {
            focusControl_->SetFocus();
            message.Result = 1;
            return;
        }
        message.Result = 0;
        return;
    default:
        TGraphicControl::Dispatch(message);
    }
}

void TCustomLabel::Paint() {
    TCanvas& canvas = Canvas();
    canvas.SetFont(Font());
    if (!transparent_)
        canvas.FillRect(ClientRect(), Color());
    TAccessKeyText text = parseAccel(Caption(), showAccelChar_);
    std::vector<TLabelLine> lines = breakLines(text.Text, wordWrap_ ? Width() : -1,
                                               [&](const std::string& s) { return canvas.TextWidth(s); });
    int lineHeight = canvas.TextHeight("Wg");
    int total = lineHeight * static_cast<int>(lines.size());
    int top = layout_ == tlTop ? 0 : layout_ == tlCenter ? (Height() - total) / 2 : Height() - total;
    canvas.SetBkMode(TRANSPARENT);
    auto paintAll = [&](TColor color, int offset) {
        canvas.Font().SetColor(color);
        for (size_t i = 0; i < lines.size(); ++i) {
            const TLabelLine& line = lines[i];
            int width = canvas.TextWidth(line.Text);
            int x = alignment_ == taLeftJustify ? 0 : alignment_ == taCenter ? (Width() - width) / 2 : Width() - width;
            int y = top + static_cast<int>(i) * lineHeight;
            canvas.TextOut(x + offset, y + offset, line.Text);
            int accel = text.Key - static_cast<int>(line.Start);
            if (accel >= 0 && accel < static_cast<int>(line.Text.size())) {
                // The accelerator's underline, under its character only.
                int from = x + offset + canvas.TextWidth(line.Text.substr(0, static_cast<size_t>(accel)));
                const size_t length = Utf8CharLength(line.Text, static_cast<size_t>(accel));
                int to = from + canvas.TextWidth(line.Text.substr(static_cast<size_t>(accel), length));
                int under = y + offset + canvas.TextMetrics().Ascent + 1;
                canvas.Pen().SetColor(color);
                canvas.MoveTo(from, under);
                canvas.LineTo(to, under);
            }
        }
    };
    if (Enabled()) {
        paintAll(Font().Color(), 0);
    } else {
        // The embossed look of disabled text.
        paintAll(clBtnHighlight, 1);
        paintAll(clBtnShadow, 0);
    }
    canvas.Font().SetColor(Font().Color());
}

// ---------------------------------------------------------------------------
// TCustomEdit

TCustomEdit::TCustomEdit(TComponent* owner) : TStandardControl(owner) {
    SetBounds(0, 0, 121, 21);
    SetTabStop(true);
    SetParentColor(false);
    SetColor(clWindow);
}

void TCustomEdit::CreateParams(TCreateParams& params) {
    TStandardControl::CreateParams(params);
    params.Kind = std::string(wk::Edit);
    if (borderStyle_ == bsSingle)
        params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomEdit::SetMaxLength(int value) {
    value = std::max(0, value);
    if (value == maxLength_)
        return;
    maxLength_ = value;
    PeerChanged(paMaxLength);
}

void TCustomEdit::SetReadOnly(bool value) {
    if (value == readOnly_)
        return;
    readOnly_ = value;
    PeerChanged(paReadOnly);
}

void TCustomEdit::SetPasswordChar(char value) {
    if (value == passwordChar_)
        return;
    passwordChar_ = value;
    PeerChanged(paOptions);
}

void TCustomEdit::SetBorderStyle(TBorderStyle value) {
    if (value == borderStyle_)
        return;
    borderStyle_ = value;
    RecreateWnd();
}

void TCustomEdit::setSelection(int start, int length) {
    // The text is UTF-8: an end inside a character moves to its start, so
    // that the selection holds whole characters, as the window shows it.
    const std::string& text = Text();
    int size = static_cast<int>(text.size());
    start = std::clamp(start, 0, size);
    int end = static_cast<int>(Utf8CharStart(text, static_cast<size_t>(start + std::clamp(length, 0, size - start))));
    start = static_cast<int>(Utf8CharStart(text, static_cast<size_t>(start)));
    length = end - start;
    if (start == sel_.Start && length == sel_.Length)
        return;
    sel_ = {start, length};
    PeerChanged(paSelection);
}

void TCustomEdit::SetSelStart(int value) { setSelection(value, 0); }

void TCustomEdit::SetSelLength(int value) { setSelection(sel_.Start, value); }

std::string TCustomEdit::SelText() const {
    return Text().substr(static_cast<size_t>(sel_.Start), static_cast<size_t>(sel_.Length));
}

void TCustomEdit::SetSelText(std::string_view text) {
    std::string now = Text();
    now.replace(static_cast<size_t>(sel_.Start), static_cast<size_t>(sel_.Length), text);
    int caret = sel_.Start + static_cast<int>(text.size());
    // An edit of the text, as typing is: it marks the box modified.
    textFromWindow(now);
    setSelection(caret, 0);
}

void TCustomEdit::SelectAll() { setSelection(0, static_cast<int>(Text().size())); }

void TCustomEdit::textFromWindow(const std::string& text) {
    fromWindow_ = true;
    // OnChange may free the box.
    TComponentWatch self(this);
    try {
        SetCaption(text);
    } catch (...) {
        if (self.Alive())
            fromWindow_ = false;
        throw;
    }
    if (self.Alive())
        fromWindow_ = false;
}

void TCustomEdit::Change() {
    if (OnChange)
        OnChange(this);
}

void TCustomEdit::Dispatch(TMessage& message) {
    switch (message.Msg) {
    case CM_TEXTCHANGED: {
        TStandardControl::Dispatch(message);
        bool typed = fromWindow_;
        fromWindow_ = false;
        modified_ = typed;
        int size = static_cast<int>(Text().size());
        if (!typed) {
            sel_ = {0, 0};
            PeerChanged(paSelection);
        } else {
            // The window reports where its caret went.
            sel_.Start = std::min(sel_.Start, size);
            sel_.Length = std::min(sel_.Length, size - sel_.Start);
        }
        Change();
        return;
    }
    case CN_COMMAND:
        if (message.WParam == EN_CHANGE) {
            textFromWindow(*reinterpret_cast<const std::string*>(message.LParam));
        } else if (message.WParam == EN_SELCHANGE) {
            const auto& range = *reinterpret_cast<const TSelRange*>(message.LParam);
            int size = static_cast<int>(Text().size());
            sel_.Start = std::clamp(range.Start, 0, size);
            sel_.Length = std::clamp(range.Length, 0, size - sel_.Start);
        }
        message.Result = 0;
        return;
    default:
        TStandardControl::Dispatch(message);
    }
}

// ---------------------------------------------------------------------------
// TMemoLines

const std::vector<TMemoLines::TLine>& TMemoLines::lines() const {
    if (linesVersion_ == memo_.TextVersion())
        return lines_;
    lines_.clear();
    const std::string& text = memo_.Text();
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) {
            lines_.push_back({start, text.size() - start, 0});
            break;
        }
        size_t breakLength = text.compare(end, 2, "\r\n") == 0 ? 2 : 1;
        lines_.push_back({start, end - start, breakLength});
        start = end + breakLength;
    }
    linesVersion_ = memo_.TextVersion();
    return lines_;
}

void TMemoLines::checkIndex(int index, int count) const {
    if (index < 0 || index >= count)
        throw EListError();
}

int TMemoLines::GetCount() const { return static_cast<int>(lines().size()); }

std::string TMemoLines::Get(int index) const {
    const auto& all = lines();
    checkIndex(index, static_cast<int>(all.size()));
    const TLine& line = all[static_cast<size_t>(index)];
    return memo_.Text().substr(line.Start, line.Length);
}

void TMemoLines::Put(int index, const std::string& s) {
    const auto& all = lines();
    checkIndex(index, static_cast<int>(all.size()));
    const TLine line = all[static_cast<size_t>(index)];
    std::string text = memo_.Text();
    text.replace(line.Start, line.Length, s);
    memo_.SetText(text);
}

void TMemoLines::Insert(int index, const std::string& s) {
    const auto& all = lines();
    int count = static_cast<int>(all.size());
    if (index < 0 || index > count)
        throw EListError();
    std::string text = memo_.Text();
    if (index < count) {
        text.insert(all[static_cast<size_t>(index)].Start, s + "\r\n");
    } else if (text.empty() || text.back() == '\n' || text.back() == '\r') {
        text += s + "\r\n";
    } else {
        text += "\r\n" + s;
    }
    memo_.SetText(text);
}

void TMemoLines::Delete(int index) {
    const auto& all = lines();
    checkIndex(index, static_cast<int>(all.size()));
    const TLine line = all[static_cast<size_t>(index)];
    std::string text = memo_.Text();
    if (line.BreakLength == 0 && index > 0) {
        // The unbroken last line goes with the break before it.
        const TLine& before = all[static_cast<size_t>(index) - 1];
        size_t from = before.Start + before.Length;
        text.erase(from);
    } else {
        text.erase(line.Start, line.Length + line.BreakLength);
    }
    memo_.SetText(text);
}

void TMemoLines::Clear() { memo_.SetText({}); }

std::string TMemoLines::GetTextStr() const { return memo_.Text(); }

void TMemoLines::SetTextStr(std::string_view text) { memo_.SetText(std::string(text)); }

// ---------------------------------------------------------------------------
// TCustomMemo

TCustomMemo::TCustomMemo(TComponent* owner) : TCustomEdit(owner), lines_(*this) { SetBounds(0, 0, 185, 89); }

TCustomMemo::~TCustomMemo() { Destroying(); }

void TCustomMemo::CreateParams(TCreateParams& params) {
    TCustomEdit::CreateParams(params);
    params.Kind = std::string(wk::Memo);
}

void TCustomMemo::SetAlignment(TAlignment value) {
    if (value == alignment_)
        return;
    alignment_ = value;
    PeerChanged(paAlignment);
}

void TCustomMemo::SetScrollBars(TScrollStyle value) {
    if (value == scrollBars_)
        return;
    scrollBars_ = value;
    PeerChanged(paOptions);
}

void TCustomMemo::SetWordWrap(bool value) {
    if (value == wordWrap_)
        return;
    wordWrap_ = value;
    PeerChanged(paOptions);
}

void TCustomMemo::SetWantReturns(bool value) { wantReturns_ = value; }

void TCustomMemo::SetWantTabs(bool value) {
    if (value == wantTabs_)
        return;
    wantTabs_ = value;
    PeerChanged(paOptions);
}

void TCustomMemo::Dispatch(TMessage& message) {
    switch (message.Msg) {
    case CM_TEXTCHANGED:
        ++textVersion_;
        TCustomEdit::Dispatch(message);
        return;
    case WM_GETDLGCODE:
        message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS | (wantTabs_ ? DLGC_WANTTAB : 0u) |
                         (wantReturns_ ? DLGC_WANTALLKEYS : 0u);
        return;
    default:
        TCustomEdit::Dispatch(message);
    }
}
