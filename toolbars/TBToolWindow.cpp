#include "toolbars/TBToolWindow.h"

#include "toolbars/TBBarPositions.h"

#include <algorithm>

TTBToolWindow::TTBToolWindow(TComponent* owner) : TTBCustomDockableWindow(owner) {
    SetBounds(Left(), Top(), 32, 32);
}

TSize TTBToolWindow::ArrangeContents(bool, TTBDockType, TTBDock*, bool) {
    return {clientAreaWidth_, clientAreaHeight_};
}

void TTBToolWindow::ClientSizeLimits(int& minWidth, int& minHeight, int& maxWidth, int& maxHeight) {
    minWidth = MinClientWidth;
    minHeight = MinClientHeight;
    maxWidth = MaxClientWidth;
    maxHeight = MaxClientHeight;
}

int TTBToolWindow::LeastThicknessAcross(bool verticalDock) {
    if (!Resizable())
        return -1;
    return std::max(0, verticalDock ? MinClientWidth : MinClientHeight);
}

void TTBToolWindow::OuterSizeChanged(int newWidth, int newHeight) {
    if (Parent() != nullptr) {
        clientAreaWidth_ = newWidth - (Width() - ClientWidth());
        clientAreaHeight_ = newHeight - (Height() - ClientHeight());
    } else {
        clientAreaWidth_ = newWidth;
        clientAreaHeight_ = newHeight;
    }
}

void TTBToolWindow::SizeClientArea(int width, int height) {
    int extraWidth = Parent() != nullptr ? Width() - ClientWidth() : 0;
    int extraHeight = Parent() != nullptr ? Height() - ClientHeight() : 0;
    clientAreaWidth_ = width;
    clientAreaHeight_ = height;
    SetBounds(Left(), Top(), width + extraWidth, height + extraHeight);
}

void TTBToolWindow::ReadExtraPositionValues(const TTBPositionReader& reader) {
    TTBCustomDockableWindow::ReadExtraPositionValues(reader);
    if (!Resizable())
        return;
    // A stored size outside what a screen shows, or below the minimum,
    // is brought back within them.
    auto clamped = [](int value, int least, int most) {
        return std::clamp(value, std::max(0, least), most > 0 ? std::max(most, least) : kTBStoredCoordinateLimit);
    };
    int height = clamped(reader.ReadInt(Name(), "ClientHeight", clientAreaHeight_), MinClientHeight, MaxClientHeight);
    int width = clamped(reader.ReadInt(Name(), "ClientWidth", clientAreaWidth_), MinClientWidth, MaxClientWidth);
    SizeClientArea(width, height);
}

void TTBToolWindow::WriteExtraPositionValues(const TTBPositionWriter& writer) {
    TTBCustomDockableWindow::WriteExtraPositionValues(writer);
    writer.WriteInt(Name(), "ClientWidth", clientAreaWidth_);
    writer.WriteInt(Name(), "ClientHeight", clientAreaHeight_);
}
