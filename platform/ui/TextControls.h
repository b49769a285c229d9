#pragma once
// Controls that show or take text: the label (painted by its parent), the
// one-line edit box and the plain multi-line memo.
//
// Text is the program's own, UTF-8 (its bytes kept as they are, also
// where they are not valid UTF-8).  An edit box's or memo's text
// is the control's Caption (Text and Caption are one value); setting it to
// a new value fires OnChange once, as typing does, and clears Modified,
// which typing sets.

#include "platform/base/Strings.h"
#include "platform/ui/StandardControl.h"
#include "platform/ui/TextAlignment.h"

#include <string>
#include <string_view>
#include <vector>

// A caption as painted: "&x" shows x (underlined as the accelerator) and
// "&&" shows one "&".
std::string DisplayCaption(std::string_view caption);
enum TTextLayout { tlTop, tlCenter, tlBottom };

// Text painted on the parent: aligned, wrapped at blanks when WordWrap,
// "&x" underlines x (and "&&" is one "&") when ShowAccelChar.  With
// AutoSize the label takes the size of its text (its width too, unless it
// wraps; a right-justified one keeps its right edge), also once it has
// been read or built, whatever bounds were stored.
class TCustomLabel : public TGraphicControl {
public:
    explicit TCustomLabel(TComponent* owner = nullptr);
    std::string ClassName() const override { return "TCustomLabel"; }

    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value);
    TTextLayout Layout() const { return layout_; }
    void SetLayout(TTextLayout value);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool value);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool value);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool value);
    bool ShowAccelChar() const { return showAccelChar_; }
    void SetShowAccelChar(bool value);
    // The control that takes the focus for the label's accelerator.
    TWinControl* FocusControl() const { return focusControl_; }
    void SetFocusControl(TWinControl* control);

    // The lines the caption is painted as, for a width (no limit: -1).
    std::vector<std::string> TextLines(int width);
    // The caption as painted: accelerator marks removed.
    std::string DisplayText() const;
    void Loaded() override;

protected:
    void Dispatch(TMessage& message) override;
    void Paint() override;
    void Notification(TComponent* component, TOperation operation) override;
    void adjustSize();

private:
    void paintLines(const std::vector<std::string>& lines, int lineHeight, int top, int dx, int dy);

    TAlignment alignment_ = taLeftJustify;
    TTextLayout layout_ = tlTop;
    bool wordWrap_ = false;
    bool autoSize_ = true;
    bool transparent_ = false;
    bool showAccelChar_ = true;
    TWinControl* focusControl_ = nullptr;
};

class TLabel : public TCustomLabel {
public:
    explicit TLabel(TComponent* owner = nullptr) : TCustomLabel(owner) {}
    std::string ClassName() const override { return "TLabel"; }
};

// The one-line edit box.
class TCustomEdit : public TStandardControl {
public:
    explicit TCustomEdit(TComponent* owner = nullptr);
    std::string ClassName() const override { return "TCustomEdit"; }

    const std::string& Text() const { return Caption(); }
    void SetText(const std::string& text) { SetCaption(text); }
    void Clear() { SetText({}); }

    int MaxLength() const { return maxLength_; }
    // 0: no limit.  Limits typing, not what the program sets.
    void SetMaxLength(int value);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value);
    // Typed characters show as this character; 0 shows them.
    char PasswordChar() const { return passwordChar_; }
    void SetPasswordChar(char value);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle value);
    bool Modified() const { return modified_; }
    void SetModified(bool value) { modified_ = value; }

    // The selection, in bytes of Text; start and length are kept within
    // the text, on the starts of characters.
    int SelStart() const { return sel_.Start; }
    void SetSelStart(int value);
    int SelLength() const { return sel_.Length; }
    void SetSelLength(int value);
    std::string SelText() const;
    // Replaces the selection; the caret goes behind the new text.
    void SetSelText(std::string_view text);
    void SelectAll();
    void ClearSelection() { SetSelText({}); }

    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& params) override;
    void Dispatch(TMessage& message) override;
    virtual void Change();
    // A text typed by the user (or handed over by the window): stored
    // without telling the window again.
    void textFromWindow(const std::string& text);
    void setSelection(int start, int length);

private:
    TSelRange sel_;
    int maxLength_ = 0;
    bool readOnly_ = false;
    char passwordChar_ = 0;
    TBorderStyle borderStyle_ = bsSingle;
    bool modified_ = false;
    bool fromWindow_ = false;
};

class TEdit : public TCustomEdit {
public:
    explicit TEdit(TComponent* owner = nullptr) : TCustomEdit(owner) {}
    std::string ClassName() const override { return "TEdit"; }
};

class TCustomMemo;

// The lines of a memo, as a list over its text: line breaks are CR LF, a
// lone LF or a lone CR, and a break at the very end starts no further
// line.  Adding to a memo whose text ends with a break (or is empty)
// writes the line and a CR LF; adding behind an unbroken last line writes
// a CR LF and the line.  Text is the memo's text exactly.
class TMemoLines : public TStrings {
public:
    explicit TMemoLines(TCustomMemo& memo) : memo_(memo) {}
    std::string ClassName() const override { return "TMemoLines"; }

    std::string Get(int index) const override;
    int GetCount() const override;
    void Put(int index, const std::string& s) override;
    void Insert(int index, const std::string& s) override;
    void Delete(int index) override;
    void Clear() override;

protected:
    std::string GetTextStr() const override;
    void SetTextStr(std::string_view text) override;

private:
    struct TLine {
        size_t Start;
        size_t Length;
        size_t BreakLength;
    };
    const std::vector<TLine>& lines() const;
    void checkIndex(int index, int count) const;

    TCustomMemo& memo_;
    mutable std::vector<TLine> lines_;
    mutable uint64_t linesVersion_ = ~uint64_t{0};
};

class TCustomMemo : public TCustomEdit {
public:
    explicit TCustomMemo(TComponent* owner = nullptr);
    ~TCustomMemo() override;
    std::string ClassName() const override { return "TCustomMemo"; }

    TStrings& Lines() { return lines_; }
    void SetLines(const TStrings& lines) { lines_.Assign(&lines); }
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value);
    TScrollStyle ScrollBars() const { return scrollBars_; }
    void SetScrollBars(TScrollStyle value);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool value);
    // Return starts a new line (else it goes to the form: the default
    // button); Tab types a tab (else it moves the focus).
    bool WantReturns() const { return wantReturns_; }
    void SetWantReturns(bool value);
    bool WantTabs() const { return wantTabs_; }
    void SetWantTabs(bool value);

    // Bumped by every change of the text (the lines' cache follows it).
    uint64_t TextVersion() const { return textVersion_; }

protected:
    void CreateParams(TCreateParams& params) override;
    void Dispatch(TMessage& message) override;

private:
    TMemoLines lines_;
    TAlignment alignment_ = taLeftJustify;
    TScrollStyle scrollBars_ = ssNone;
    bool wordWrap_ = true;
    bool wantReturns_ = true;
    bool wantTabs_ = false;
    uint64_t textVersion_ = 0;
};

class TMemo : public TCustomMemo {
public:
    explicit TMemo(TComponent* owner = nullptr) : TCustomMemo(owner) {}
    std::string ClassName() const override { return "TMemo"; }
};

// The window kinds of these controls.
namespace wk {
inline constexpr std::string_view Edit = "Edit";
inline constexpr std::string_view Memo = "Memo";
} // namespace wk
