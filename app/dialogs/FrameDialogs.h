#pragma once
// The frame dialogs: one of eight ready-made framesets with a NOFRAMES
// body, and a frameset of N frames in columns or rows with its scrolling,
// border and resizing choices.

#include "app/dialogs/ElementDialog.h"

#include <array>

class TCheckBox;
class TRadioButton;
class TSpinEdit;

// The eight frame templates in order, each line followed by CR LF.
const std::array<std::string, 8>& FrameTemplates();

// "Frame templates".
class Tmodframefrm : public TElementDialog {
public:
    explicit Tmodframefrm(TComponent* owner);
    std::string ClassName() const override { return "Tmodframefrm"; }

    std::array<TRadioButton*, 8> RadioButtons{}; // RadioButton1 .. RadioButton8

    // Writes the checked template.
    void okbtnClick(TPersistent* sender);
};

// "Frameset".
class Tframefrm : public TElementDialog {
public:
    explicit Tframefrm(TComponent* owner);
    std::string ClassName() const override { return "Tframefrm"; }

    TSpinEdit* SpinEdit1 = nullptr;       // frames
    TRadioButton* RadioButton1 = nullptr; // columns
    TRadioButton* RadioButton2 = nullptr; // rows
    TRadioButton* RadioButton3 = nullptr; // scrolling: automatic
    TRadioButton* RadioButton4 = nullptr; // yes
    TRadioButton* RadioButton5 = nullptr; // no
    TCheckBox* CheckBox1 = nullptr;       // frame border
    TCheckBox* CheckBox2 = nullptr;       // no resize
    TSpinEdit* SpinEdit2 = nullptr;       // frame spacing (rows only)

    // Ok: writes the frameset.
    void BitBtn1Click(TPersistent* sender);
    // Help.
    void Button3Click(TPersistent* sender);
    std::string Markup() const;
};
