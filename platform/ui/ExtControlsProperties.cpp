#include "platform/base/Properties.h"
#include "platform/ui/ControlProperties.h"
#include "platform/ui/ControlTableParts.h"
#include "platform/ui/ExtControls.h"
#include "platform/ui/StandardControls.h"

namespace {
const TIdentMap kBevelNames{{bvNone, "bvNone"}, {bvLowered, "bvLowered"}, {bvRaised, "bvRaised"}, {bvSpace, "bvSpace"}};
const TIdentMap kShapeNames{{bsBox, "bsBox"},           {bsFrame, "bsFrame"},         {bsTopLine, "bsTopLine"},
                            {bsBottomLine, "bsBottomLine"}, {bsLeftLine, "bsLeftLine"}, {bsRightLine, "bsRightLine"},
                            {bsSpacer, "bsSpacer"}};
const TIdentMap kBevelStyleNames{{bsLowered, "bsLowered"}, {bsRaised, "bsRaised"}};
const TIdentMap kResizeStyleNames{{rsNone, "rsNone"}, {rsLine, "rsLine"}, {rsUpdate, "rsUpdate"}, {rsPattern, "rsPattern"}};
} // namespace

void RegisterExtControlClasses() {
    static const bool registered = [] {
        RegisterControlClasses();
        auto panel = RegisterPublishedClass<TCustomPanel, TCustomControl>("TCustomPanel");
        OwnColorEntry(panel)
            .Enum("Alignment", &TCustomPanel::Alignment, &TCustomPanel::SetAlignment, taCenter, AlignmentNames())
            .Enum("BevelInner", &TCustomPanel::BevelInner, &TCustomPanel::SetBevelInner, bvNone, kBevelNames)
            .Enum("BevelOuter", &TCustomPanel::BevelOuter, &TCustomPanel::SetBevelOuter, bvRaised, kBevelNames)
            .Integer("BevelWidth", &TCustomPanel::BevelWidth, &TCustomPanel::SetBevelWidth, 1)
            .Enum("BorderStyle", &TCustomPanel::BorderStyle, &TCustomPanel::SetBorderStyle, bsNone, BorderStyleNames())
            .Integer("BorderWidth", &TCustomPanel::BorderWidth, &TCustomPanel::SetBorderWidth, 0);
        RegisterPublishedClass<TPanel, TCustomPanel>("TPanel");
        RegisterPublishedClass<TBevel, TGraphicControl>("TBevel")
            .Enum("Shape", &TBevel::Shape, &TBevel::SetShape, bsBox, kShapeNames)
            .Enum("Style", &TBevel::Style, &TBevel::SetStyle, bsLowered, kBevelStyleNames);
        auto group = RegisterPublishedClass<TCustomGroupBox, TWinControl>("TCustomGroupBox");
        OwnColorEntry(group);
        RegisterPublishedClass<TGroupBox, TCustomGroupBox>("TGroupBox");
        RegisterPublishedClass<TImage, TGraphicControl>("TImage")
            .Boolean("AutoSize", &TImage::AutoSize, &TImage::SetAutoSize, false)
            .Boolean("Center", &TImage::Center, &TImage::SetCenter, false)
            .Object("Picture", [](TImage& image) -> TPicture& { return image.Picture(); })
            .Boolean("Proportional", &TImage::Proportional, &TImage::SetProportional, false)
            .Boolean("Stretch", &TImage::Stretch, &TImage::SetStretch, false)
            .Boolean("Transparent", &TImage::Transparent, &TImage::SetTransparent, false);
        RegisterPublishedClass<TSplitter, TGraphicControl>("TSplitter")
            .Enum("Align", &TControl::Align, &TControl::SetAlign, alLeft, AlignNames())
            .Integer("Cursor", &TControl::Cursor, &TControl::SetCursor, crHSplit)
            .Boolean("Beveled", &TSplitter::Beveled, &TSplitter::SetBeveled, false)
            .Integer("MinSize", &TSplitter::MinSize, &TSplitter::SetMinSize, 30)
            .Enum("ResizeStyle", &TSplitter::ResizeStyle, &TSplitter::SetResizeStyle, rsUpdate, kResizeStyleNames)
            .Event("OnCanResize", &TSplitter::OnCanResize)
            .Event("OnMoved", &TSplitter::OnMoved);
        return true;
    }();
    (void)registered;
}
