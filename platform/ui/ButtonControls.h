#pragma once
// Buttons: the push button (with a modal result, and as the form's
// default or cancel button), the button with a picture, the flat speed
// button painted by its parent, the check box and the radio button.
//
// Setting a check box's state or checking a radio button runs OnClick,
// as a click does (unless the form is still being built); a radio button
// unchecks the radio buttons beside it (same parent) when it is checked.

#include "platform/gfx/Bitmap.h"
#include "platform/ui/DialogKeys.h"
#include "platform/ui/StandardControl.h"
#include "platform/ui/TextControls.h"

#include <memory>
#include <string>

// A button with a modal result hands it to the form it sits on: the form
// (its top-level parent) receives CM_MODALRESULT with WParam the result.
enum : unsigned { CM_MODALRESULT = CM_BASE + 0x60 };

// A button's access key (CM_DIALOGCHAR) focuses it and does what a click
// does: a push button is pressed, a check box toggled, a radio button
// checked.
class TButtonControl : public TStandardControl {
public:
    explicit TButtonControl(TComponent* owner = nullptr);
    std::string ClassName() const override { return "TButtonControl"; }

protected:
    void Dispatch(TMessage& message) override;
};

class TButton : public TButtonControl {
public:
    explicit TButton(TComponent* owner = nullptr);
    std::string ClassName() const override { return "TButton"; }

    // Return anywhere on the form presses the default button (unless
    // another button has the focus); Escape presses the cancel button.
    bool Default() const { return default_; }
    void SetDefault(bool value);
    bool Cancel() const { return cancel_; }
    void SetCancel(bool value) { cancel_ = value; }
    // Pressing the button hands this to its form (0: nothing).
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int value) { modalResult_ = value; }

    // Presses the button: OnClick, then the modal result.
    void Click() override;

protected:
    void CreateParams(TCreateParams& params) override;
    void Dispatch(TMessage& message) override;

private:
    bool default_ = false;
    bool cancel_ = false;
    int modalResult_ = 0;
};

enum TBitBtnKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };
enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// A push button with a picture beside its caption.  A kind other than
// bkCustom gives the button its usual caption, modal result and default
// or cancel role.
class TBitBtn : public TButton {
public:
    explicit TBitBtn(TComponent* owner = nullptr);
    ~TBitBtn() override;
    std::string ClassName() const override { return "TBitBtn"; }

    TBitmap& Glyph() { return *glyph_; }
    void SetGlyph(const TBitmap& glyph) { glyph_->Assign(&glyph); }
    TBitBtnKind Kind() const { return kind_; }
    void SetKind(TBitBtnKind kind);
    void Loaded() override;
    TButtonLayout Layout() const { return layout_; }
    void SetLayout(TButtonLayout value);
    // Pixels between picture and caption (-1: centred together).
    int Spacing() const { return spacing_; }
    void SetSpacing(int value);
    // Pictures in the glyph side by side: up, disabled, clicked, down.
    int NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(int value);

private:
    std::unique_ptr<TBitmap> glyph_;
    TBitBtnKind kind_ = bkCustom;
    TButtonLayout layout_ = blGlyphLeft;
    int spacing_ = 4;
    int numGlyphs_ = 1;
};

// A flat button painted by its parent, as the small "..." buttons beside
// path fields.  With a GroupIndex it stays down when clicked and releases
// the other buttons of its group beside it.
class TSpeedButton : public TGraphicControl {
public:
    explicit TSpeedButton(TComponent* owner = nullptr);
    ~TSpeedButton() override;
    std::string ClassName() const override { return "TSpeedButton"; }

    TBitmap& Glyph() { return *glyph_; }
    void SetGlyph(const TBitmap& glyph) { glyph_->Assign(&glyph); }
    int NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(int value);
    bool Flat() const { return flat_; }
    void SetFlat(bool value);
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int value) { groupIndex_ = value; }
    bool AllowAllUp() const { return allowAllUp_; }
    void SetAllowAllUp(bool value) { allowAllUp_ = value; }
    bool Down() const { return down_; }
    void SetDown(bool value);
    TButtonLayout Layout() const { return layout_; }
    void SetLayout(TButtonLayout value);
    int Spacing() const { return spacing_; }
    void SetSpacing(int value);
    // Pressed by the mouse, not yet released.
    bool Pressed() const { return pressed_; }

    void Click() override;

protected:
    void Dispatch(TMessage& message) override;
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

private:
    std::unique_ptr<TBitmap> glyph_;
    int numGlyphs_ = 1;
    bool flat_ = false;
    int groupIndex_ = 0;
    bool allowAllUp_ = false;
    bool down_ = false;
    bool pressed_ = false;
    bool hot_ = false;
    TButtonLayout layout_ = blGlyphLeft;
    int spacing_ = 4;
};

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };

class TCustomCheckBox : public TButtonControl {
public:
    explicit TCustomCheckBox(TComponent* owner = nullptr);
    std::string ClassName() const override { return "TCustomCheckBox"; }

    TCheckBoxState State() const { return state_; }
    void SetState(TCheckBoxState value);
    bool Checked() const { return state_ == cbChecked; }
    void SetChecked(bool value) { SetState(value ? cbChecked : cbUnchecked); }
    // A click goes through the grayed state too.
    bool AllowGrayed() const { return allowGrayed_; }
    void SetAllowGrayed(bool value) { allowGrayed_ = value; }
    // taRightJustify: the caption right of the box (the usual look).
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value);

protected:
    void CreateParams(TCreateParams& params) override;
    void Dispatch(TMessage& message) override;
    // What a click does: the next state.
    virtual void Toggle();

private:
    TCheckBoxState state_ = cbUnchecked;
    bool allowGrayed_ = false;
    TAlignment alignment_ = taRightJustify;
};

class TCheckBox : public TCustomCheckBox {
public:
    explicit TCheckBox(TComponent* owner = nullptr) : TCustomCheckBox(owner) {}
    std::string ClassName() const override { return "TCheckBox"; }
};

class TRadioButton : public TButtonControl {
public:
    explicit TRadioButton(TComponent* owner = nullptr);
    std::string ClassName() const override { return "TRadioButton"; }

    bool Checked() const { return checked_; }
    // Checking unchecks the radio buttons beside it and runs OnClick;
    // unchecking runs nothing.
    void SetChecked(bool value);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value);

    // The radio buttons beside each other are one group: Tab reaches it at
    // its checked button (at its first one while none is checked), and
    // the arrow keys check the next or the previous one, round the group.
    bool IsGroupTabStop() const override;

protected:
    void CreateParams(TCreateParams& params) override;
    void Dispatch(TMessage& message) override;
    void KeyDown(uint16_t& key, TShiftState shift) override;

private:
    bool checked_ = false;
    TAlignment alignment_ = taRightJustify;
};

namespace wk {
inline constexpr std::string_view Button = "Button";
inline constexpr std::string_view CheckBox = "CheckBox";
inline constexpr std::string_view RadioButton = "RadioButton";
} // namespace wk
