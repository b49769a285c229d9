#pragma once
// A container of exactly two panes separated by a bar the user drags:
// side by side (ptstVertical, a vertical bar) or one above the other
// (ptstHorizontal).  The bar moves live (the panes follow the mouse) or as
// a hatched bar that is committed on release; the position can stay at
// the same fraction of the splitter's size when it is resized; each pane
// has a minimum size.
//
// The panes are the splitter's child controls of class TPTPane (a framed
// group), bound by their Index (0 and 1) when the splitter has loaded.

#include "shell/PTFrame.h"

#include <functional>
#include <memory>

enum TPTSplitterStyle { ptstVertical, ptstHorizontal };
enum TPTFullDragMode { ptfdOff, ptfdOn, ptfdUser };

using TPTSplitterDragEvent = std::function<void(TPersistent* sender, int position)>;

class TPTPane : public TPTGroup {
public:
    explicit TPTPane(TComponent* owner = nullptr);
    std::string ClassName() const override { return "TPTPane"; }
    int MinSize = 20;
    // 0 for the first pane, 1 for the second.
    int Index = 0;
};

class THatchedOverlay;

class TPTSplitter : public TCustomControl {
public:
    explicit TPTSplitter(TComponent* owner = nullptr);
    ~TPTSplitter() override;
    std::string ClassName() const override { return "TPTSplitter"; }

    TPTSplitterStyle Style() const { return style_; }
    void SetStyle(TPTSplitterStyle value);
    int Position() const { return position_; }
    void SetPosition(int value);
    int SplitterWidth() const { return splitterWidth_; }
    void SetSplitterWidth(int value);
    TPTFullDragMode FullDragMode = ptfdUser;
    bool Proportional = true;

    // Forwarded to the panes (the defaults while a pane is missing).
    TColor PaneColor(int index) const;
    void SetPaneColor(int index, TColor color);
    TPTFrameStyle PaneFrameStyle(int index) const;
    void SetPaneFrameStyle(int index, TPTFrameStyle style);
    int PaneMinSize(int index) const;
    void SetPaneMinSize(int index, int size);
    // The pane of an index, or nullptr.
    TPTPane* Pane(int index) const { return panes_[index & 1]; }

    // Position / size (0.5 for a splitter of no size).
    float Ratio() const { return ratio_; }
    bool Dragging() const { return dragging_; }
    // The mouse coordinate of the bar being dragged, -1 when none shows.
    int BarCoordinate() const { return barAt_; }
    // Whether the bar is drawn as a hatched bar (not live).
    bool HatchedBarShown() const;

    TNotifyEvent OnChange;
    TNotifyEvent OnResize;
    TPTSplitterDragEvent OnSplitterDrag;
    TPTSplitterDragEvent OnSplitterDrop;

    void SetName(std::string name) override;
    void SetBounds(int left, int top, int width, int height) override;
    void Loaded() override;

protected:
    void Dispatch(TMessage& message) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    int size() const;
    int axisCoordinate(int x, int y) const;
    int limit(int value) const;
    int limitBar(int coordinate) const;
    bool liveDragging() const;
    void layout();
    void recomputeRatio();
    void resized();
    void moveBar(int coordinate);
    void endDrag();
    void namePanes();

    TPTSplitterStyle style_ = ptstVertical;
    int position_ = 65;
    int splitterWidth_ = 3;
    TPTPane* panes_[2] = {nullptr, nullptr};
    float ratio_ = 65.0f / 200.0f;
    bool dragging_ = false;
    TMouseButton dragButton_ = mbLeft;
    int barAt_ = -1;
    int grabOffset_ = 0;
    TSize seenSize_;
    std::unique_ptr<THatchedOverlay> bar_;
};
