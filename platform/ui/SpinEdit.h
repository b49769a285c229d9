#pragma once
// An edit box for a whole number with up and down buttons.  Its text is
// the number in decimal; Value reads the text (MinValue when it is no
// number).  With MinValue equal to MaxValue the number has no bounds;
// otherwise Value, and a value set, typed or stepped to, stays within
// them.

#include "platform/ui/TextControls.h"

class TSpinEdit : public TCustomEdit {
public:
    explicit TSpinEdit(TComponent* owner = nullptr);
    std::string ClassName() const override { return "TSpinEdit"; }

    int Value() const;
    void SetValue(int value);
    int MinValue() const { return minValue_; }
    void SetMinValue(int value);
    int MaxValue() const { return maxValue_; }
    void SetMaxValue(int value);
    // The step of the buttons and the arrow keys.
    int Increment() const { return increment_; }
    void SetIncrement(int value);
    // False: the number changes only through the buttons.
    bool EditorEnabled() const { return editorEnabled_; }
    void SetEditorEnabled(bool value);

    bool Bounded() const { return minValue_ != maxValue_; }
    // value within the bounds (unchanged without bounds).
    int CheckValue(int value) const;

    void Loaded() override;

protected:
    void CreateParams(TCreateParams& params) override;
    void Dispatch(TMessage& message) override;

private:
    void keepInBounds();
    // The text's number, bounds aside.
    int textValue() const;

    int minValue_ = 0;
    int maxValue_ = 0;
    int increment_ = 1;
    bool editorEnabled_ = true;
};

namespace wk {
inline constexpr std::string_view SpinEdit = "SpinEdit";
} // namespace wk
