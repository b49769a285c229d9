#pragma once
// Controls that frame and show: the panel (a container with bevels and a
// caption), the bevel (a line or frame), the group box (a titled frame
// around controls), the image (a picture of any registered kind) and the
// splitter (a bar that resizes the control aligned before it).

#include "platform/gfx/Picture.h"
#include "platform/ui/StandardControl.h"
#include "platform/ui/TextControls.h"

#include <memory>
#include <string>

// Paints a ring of width pixels inside rect, the top and left sides in
// topLeft and the others in bottomRight, and shrinks rect to what lies
// inside it.
void Frame3D(TCanvas& canvas, TRect& rect, TColor topLeft, TColor bottomRight, int width);

enum TPanelBevel { bvNone, bvLowered, bvRaised, bvSpace };

class TCustomPanel : public TCustomControl {
public:
    explicit TCustomPanel(TComponent* owner = nullptr);
    std::string ClassName() const override { return "TCustomPanel"; }

    TPanelBevel BevelInner() const { return bevelInner_; }
    void SetBevelInner(TPanelBevel value);
    TPanelBevel BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(TPanelBevel value);
    int BevelWidth() const { return bevelWidth_; }
    void SetBevelWidth(int value);
    // Space between the bevels.
    int BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int value);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle value);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value);

    // What lies inside border and bevels: where aligned children go.
    TRect InnerRect() const;

protected:
    void CreateParams(TCreateParams& params) override;
    void Dispatch(TMessage& message) override;
    void Paint() override;
    void AlignControls(TRect& rect) override;

private:
    TPanelBevel bevelInner_ = bvNone;
    TPanelBevel bevelOuter_ = bvRaised;
    int bevelWidth_ = 1;
    int borderWidth_ = 0;
    TBorderStyle borderStyle_ = bsNone;
    TAlignment alignment_ = taCenter;
};

class TPanel : public TCustomPanel {
public:
    explicit TPanel(TComponent* owner = nullptr) : TCustomPanel(owner) {}
    std::string ClassName() const override { return "TPanel"; }
};

enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum TBevelStyle { bsLowered, bsRaised };

class TBevel : public TGraphicControl {
public:
    explicit TBevel(TComponent* owner = nullptr);
    std::string ClassName() const override { return "TBevel"; }

    TBevelShape Shape() const { return shape_; }
    void SetShape(TBevelShape value);
    TBevelStyle Style() const { return style_; }
    void SetStyle(TBevelStyle value);

protected:
    void Paint() override;

private:
    TBevelShape shape_ = bsBox;
    TBevelStyle style_ = bsLowered;
};

class TCustomGroupBox : public TStandardControl {
public:
    explicit TCustomGroupBox(TComponent* owner = nullptr);
    std::string ClassName() const override { return "TCustomGroupBox"; }

protected:
    void CreateParams(TCreateParams& params) override;
    // Aligned children stay inside the frame, below the caption.
    void AlignControls(TRect& rect) override;
};

class TGroupBox : public TCustomGroupBox {
public:
    explicit TGroupBox(TComponent* owner = nullptr) : TCustomGroupBox(owner) {}
    std::string ClassName() const override { return "TGroupBox"; }
};

// Shows a picture: at its top-left corner, centred, or stretched over the
// control (keeping its proportions when Proportional).  With AutoSize the
// control takes the picture's size.  An animated picture repaints as its
// frames change.
class TImage : public TGraphicControl {
public:
    explicit TImage(TComponent* owner = nullptr);
    ~TImage() override;
    std::string ClassName() const override { return "TImage"; }

    TPicture& Picture() { return *picture_; }
    void SetPicture(const TPicture& picture) { picture_->Assign(&picture); }
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool value);
    bool Center() const { return center_; }
    void SetCenter(bool value);
    bool Stretch() const { return stretch_; }
    void SetStretch(bool value);
    bool Proportional() const { return proportional_; }
    void SetProportional(bool value);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool value);

    // Where the picture is drawn, in client coordinates.
    TRect DestRect() const;

protected:
    void Paint() override;

private:
    void pictureChanged();

    std::unique_ptr<TPicture> picture_;
    bool autoSize_ = false;
    bool center_ = false;
    bool stretch_ = false;
    bool proportional_ = false;
    bool transparent_ = false;
};

enum TResizeStyle { rsNone, rsLine, rsUpdate, rsPattern };

// A bar between two aligned controls: dragging it resizes the control
// aligned to the same edge just before it, never below MinSize and never
// leaving the control on the far side less than MinSize.  Its own Align
// (left, right, top or bottom) says which way it moves.
class TSplitter : public TGraphicControl {
public:
    using TCanResizeEvent = std::function<void(TPersistent* sender, int& newSize, bool& accept)>;

    explicit TSplitter(TComponent* owner = nullptr);
    std::string ClassName() const override { return "TSplitter"; }

    int MinSize() const { return minSize_; }
    void SetMinSize(int value) { minSize_ = std::max(1, value); }
    TResizeStyle ResizeStyle() const { return resizeStyle_; }
    void SetResizeStyle(TResizeStyle value) { resizeStyle_ = value; }
    bool Beveled() const { return beveled_; }
    void SetBeveled(bool value);

    // The control the splitter resizes, or nullptr.
    TControl* ResizeControl() const;
    // Moves the splitter (and resizes its control) as a drag by delta
    // pixels would.
    void MoveBy(int delta);

    TCanResizeEvent OnCanResize;
    TNotifyEvent OnMoved;

protected:
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

private:
    bool vertical() const { return Align() == alLeft || Align() == alRight; }
    int sizeOf(const TControl& control) const { return vertical() ? control.Width() : control.Height(); }
    // The largest size the resized control may take.
    int maxSize(const TControl& control) const;
    void updateCursor();

    int minSize_ = 30;
    TResizeStyle resizeStyle_ = rsUpdate;
    bool beveled_ = false;
    bool dragging_ = false;
    TPoint downAt_;
    int downSize_ = 0;
};

namespace wk {
inline constexpr std::string_view GroupBox = "GroupBox";
} // namespace wk
