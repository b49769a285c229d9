#pragma once
// TTBToolWindow: a dockable window whose client area holds ordinary
// controls the application places there.  It does not arrange them: it has
// a client size of its own, which the user changes by sizing its floating
// frame within the minimum and maximum client sizes, and which is saved
// with its position ("ClientWidth", "ClientHeight").

#include "toolbars/TBDockableWindow.h"

class TTBToolWindow : public TTBCustomDockableWindow {
public:
    explicit TTBToolWindow(TComponent* owner = nullptr);
    std::string ClassName() const override { return "TTBToolWindow"; }

    // Limits of the client size while sizing the floating frame; a maximum
    // of 0 does not limit.
    int MinClientWidth = 32;
    int MinClientHeight = 32;
    int MaxClientWidth = 0;
    int MaxClientHeight = 0;

    // The window's own client size (what it asks its dock or frame for).
    int ClientAreaWidth() const { return clientAreaWidth_; }
    int ClientAreaHeight() const { return clientAreaHeight_; }
    void SetClientAreaWidth(int value) { SizeClientArea(value, clientAreaHeight_); }
    void SetClientAreaHeight(int value) { SizeClientArea(clientAreaWidth_, value); }
    // Sizes the window so that its client area is width x height, keeping
    // its place.
    void SizeClientArea(int width, int height);

    TSize ArrangeContents(bool canMove, TTBDockType previousDockType, TTBDock* dockingTo, bool toFloating) override;
    TSize ContentClientSize() override { return {clientAreaWidth_, clientAreaHeight_}; }
    void ClientSizeLimits(int& minWidth, int& minHeight, int& maxWidth, int& maxHeight) override;
    // Docked, a sizeable window takes what its dock has room for, down to
    // its least client size; it keeps its own size for when it floats.
    int LeastThicknessAcross(bool verticalDock) override;
    void OuterSizeChanged(int newWidth, int newHeight) override;
    void ReadExtraPositionValues(const TTBPositionReader& reader) override;
    void WriteExtraPositionValues(const TTBPositionWriter& writer) override;

private:
    int clientAreaWidth_ = 32;
    int clientAreaHeight_ = 32;
};
