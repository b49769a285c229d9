#pragma once
// TTBEditItem: an item that shows a text field inside a toolbar or a menu.
// Its viewer paints the field; when the user clicks into it or presses
// Enter on it, a real single-line edit control is placed over the field and
// a small modal loop runs until the text is accepted (Enter, Tab), editing
// is cancelled (Escape) or the user clicks elsewhere (the typed text is then
// dropped).  Tab moves on to the next item.
//
// The edit control comes from a factory (SetTBEditFieldFactory): the
// platform's standard edit control (TBStandardEditField.h) unless another
// is installed, a scripted field in tests.

#include "platform/gfx/Font.h"
#include "toolbars/TBItem.h"
#include "toolbars/TBItemViewer.h"
#include "toolbars/TBModal.h"
#include "platform/ui/ComponentWatch.h"

#include <functional>
#include <memory>
#include <string>

class TTBEditItemViewer;

enum TTBEditCharCase { ecNormal, ecUpperCase, ecLowerCase };

// Options of an edit item.
using TTBEditItemOptions = uint8_t;
enum : TTBEditItemOptions {
    tboUseEditWhenVertical = 0x01, // a field even in a vertical toolbar (else a button)
};

// The edit control placed over the field while editing.
class TTBEditField {
public:
    virtual ~TTBEditField() = default;
    // The control (its window is the target of the events typed into it).
    virtual TWinControl* Control() = 0;
    virtual void SetText(const std::string& text) = 0;
    virtual std::string Text() const = 0;
    virtual void SetCharCase(TTBEditCharCase charCase) = 0;
    virtual void SetMaxLength(int length) = 0;
    virtual void SelectAll() = 0;
    // Shows each character as this one (0: the text itself).
    virtual void SetPasswordChar(char ch) {}
    virtual void SetReadOnly(bool readOnly) {}
    // Called by the field with its text after every change the user makes.
    std::function<void(const std::string& text)> OnTextChanged;
};
// Makes a hidden, borderless edit control on parent (the view's window).
using TTBEditFieldFactory = std::function<std::unique_ptr<TTBEditField>(TWinControl* parent)>;
// An empty factory restores the standard one.
void SetTBEditFieldFactory(TTBEditFieldFactory factory);

using TTBAcceptTextEvent = std::function<void(TTBEditItemViewer* sender, std::string& newText, bool& accept)>;
using TTBBeginEditEvent = std::function<void(TTBCustomItem* sender, TTBEditItemViewer* viewer, TTBEditField* field)>;

class TTBEditItem : public TTBCustomItem {
public:
    explicit TTBEditItem(TComponent* owner = nullptr);
    std::string ClassName() const override { return "TTBEditItem"; }

    TTBEditCharCase CharCase() const { return charCase_; }
    // Applies the new case to the text at once.
    void SetCharCase(TTBEditCharCase value);
    const std::string& EditCaption() const { return editCaption_; }
    void SetEditCaption(const std::string& value);
    TTBEditItemOptions EditOptions() const { return editOptions_; }
    void SetEditOptions(TTBEditItemOptions value);
    int EditWidth() const { return editWidth_; }
    void SetEditWidth(int value);
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int value);
    const std::string& Text() const { return text_; }
    // Stored in the item's letter case.
    void SetText(const std::string& value);

    // May change the text the user typed, or refuse it.
    TTBAcceptTextEvent OnAcceptText;
    TTBBeginEditEvent OnBeginEdit;

    // A field, except in a vertical view without tboUseEditWhenVertical,
    // where the item is an ordinary button.
    TTBItemViewerClass ViewerClassFor(TTBView* view) override;
    bool ViewerNeedsRebuild(TTBView* view, TTBItemViewer* viewer) override;
    // Editing starts on a viewer's field.
    virtual void StartEditNotify(TTBEditItemViewer* viewer);
    // With an edit action (TBEditAction.h) also copies its caption,
    // options, text and accept handler (with checkDefaults only while the
    // item's are empty).
    void ActionChange(TBasicAction* sender, bool checkDefaults) override;

protected:
    std::unique_ptr<TTBCustomItemActionLink> CreateActionLink() override;
    // An accept handler taken from the action, too.
    void KeepActionHandlers(TBasicAction& action) override;

private:
    std::string cased(const std::string& text) const;

    TTBEditCharCase charCase_ = ecNormal;
    std::string editCaption_;
    TTBEditItemOptions editOptions_ = 0;
    int editWidth_ = 64;
    int maxLength_ = 0;
    std::string text_;
};

// Bits of TTBEditItemViewer::EditState.
enum : uint8_t {
    tbesEditing = 1,  // the field is being edited
    tbesNextItem = 2, // Tab: go on to the next item
    tbesEndLoop = 4,  // the menu loop ends too
};

class TTBEditItemViewer : public TTBItemViewer {
public:
    using TTBItemViewer::TTBItemViewer;
    static TTBItemViewer* Make(TTBView* view, TTBCustomItem* item);
    TTBItemViewerClass ViewerClass() const override { return &Make; }

    TTBEditItem* EditItem() const { return static_cast<TTBEditItem*>(Item()); }

    void MeasureSize(TCanvas& canvas, int& width, int& height) override;
    void Paint(TCanvas& canvas, const TRect& clientArea, bool isSelected, bool isPushed,
               bool useDisabledShadow) override;
    std::string CaptionText() const override;
    void CursorAt(TPoint point, int& cursor) override;
    void KeyDown(uint16_t& key, TShiftState shift) override;
    void MouseDown(TShiftState shift, int x, int y, TTBLoopState& loop) override;
    void MouseUp(int x, int y, TTBLoopState& loop) override;
    bool ShowsCaption() const override;
    bool InButtonPart(int x, int y) override { return true; }

    // The field's rectangle in the view: the whole viewer, after the caption
    // in a menu.
    virtual TRect EditFieldRect() const;

    // The control while editing, else nullptr.
    TTBEditField* EditControl() const { return field_.get(); }
    uint8_t EditState = 0;

    // Edits the field: true when the menu loop must end.
    bool EditLoop(TWinControl* captureWindow);

private:
    friend class TTBEditLoop;
    void doEdit(TTBLoopState* loop);
    void accept();
    int captionWidth() const;

    std::unique_ptr<TTBEditField> field_;
};

// The modal loop of the field (a state machine for the loop driver).
class TTBEditLoop : public TTBModalMachine {
public:
    explicit TTBEditLoop(TTBEditItemViewer& viewer) : viewer_(viewer), watch_(&viewer) {}
    TTBVerdict HandleEvent(const TTBInputEvent& event) override;
    bool Finished() const override;
    // The shift keys of the Tab that ended editing.
    TShiftState ShiftAtEnd() const { return shift_; }

private:
    TTBEditItemViewer& viewer_;
    // The handlers run as the text is accepted may free the viewer.
    TComponentWatch<TTBEditItemViewer> watch_;
    bool left_ = false;
    TShiftState shift_ = 0;
};
