#include "app/dialogs/DialogLayout.h"

#include "platform/ui/Cursors.h"
#include "platform/ui/UserInteraction.h"

TComponentDescription DescribeLabel(std::string caption, int left, int top, std::string parent) {
    return {.ClassName = "TLabel", .Parent = std::move(parent), .Bounds = Bounds(left, top, 10, 13),
            .Properties = {{"Caption", std::move(caption)}}};
}

TComponentDescription DescribeEdit(std::string name, TRect bounds, std::string text, std::string parent) {
    return {.Name = std::move(name), .ClassName = "TEdit", .Parent = std::move(parent), .Bounds = bounds,
            .Properties = {{"Text", std::move(text)}}};
}

TComponentDescription DescribeMemo(std::string name, TRect bounds, std::string parent) {
    return {.Name = std::move(name), .ClassName = "TMemo", .Parent = std::move(parent), .Bounds = bounds,
            .Properties = {{"ScrollBars", "ssVertical"}}};
}

TComponentDescription DescribeSpin(std::string name, TRect bounds, int min, int max, int value, std::string parent) {
    return {.Name = std::move(name), .ClassName = "TSpinEdit", .Parent = std::move(parent), .Bounds = bounds,
            .Properties = {{"MinValue", min}, {"MaxValue", max}, {"Value", value}}};
}

TComponentDescription DescribeCheck(std::string name, std::string caption, TRect bounds, bool checked,
                                    std::string parent) {
    return {.Name = std::move(name), .ClassName = "TCheckBox", .Parent = std::move(parent), .Bounds = bounds,
            .Properties = {{"Caption", std::move(caption)}, {"Checked", checked}}};
}

TComponentDescription DescribeRadio(std::string name, std::string caption, TRect bounds, bool checked,
                                    std::string parent) {
    return {.Name = std::move(name), .ClassName = "TRadioButton", .Parent = std::move(parent), .Bounds = bounds,
            .Properties = {{"Caption", std::move(caption)}, {"Checked", checked}}};
}

TComponentDescription DescribeGroup(std::string name, std::string caption, TRect bounds, std::string parent) {
    return {.Name = std::move(name), .ClassName = "TGroupBox", .Parent = std::move(parent), .Bounds = bounds,
            .Properties = {{"Caption", std::move(caption)}}};
}

TComponentDescription DescribeListBox(std::string name, TRect bounds, std::string parent) {
    return {.Name = std::move(name), .ClassName = "TListBox", .Parent = std::move(parent), .Bounds = bounds};
}

TComponentDescription DescribeCombo(std::string name, TRect bounds, std::string text, std::string parent) {
    return {.Name = std::move(name), .ClassName = "TComboBox", .Parent = std::move(parent), .Bounds = bounds,
            .Properties = {{"Style", "csDropDown"}, {"Text", std::move(text)}}};
}

TComponentDescription DescribeButton(std::string name, std::string caption, TRect bounds, std::string onClick,
                                     int modalResult, std::string parent) {
    TComponentDescription button{.Name = std::move(name), .ClassName = "TButton", .Parent = std::move(parent),
                                 .Bounds = bounds,
                                 .Properties = {{"Caption", std::move(caption)}, {"ModalResult", modalResult}}};
    if (!onClick.empty())
        button.Events.push_back({"OnClick", std::move(onClick)});
    return button;
}

TComponentDescription DescribeBrowseButton(std::string name, int left, int top, std::string onClick,
                                           std::string parent) {
    return {.Name = std::move(name), .ClassName = "TSpeedButton", .Parent = std::move(parent),
            .Bounds = Bounds(left, top, 23, kFieldHeight),
            .Properties = {{"Caption", "..."}, {"Hint", "Browse..."}, {"ShowHint", true}},
            .Events = {{"OnClick", std::move(onClick)}}};
}

TComponentDescription DescribeSwatch(std::string name, TRect bounds, TColor color, std::string onClick,
                                     std::string parent) {
    return {.Name = std::move(name), .ClassName = "TPanel", .Parent = std::move(parent), .Bounds = bounds,
            .Properties = {{"Caption", std::string()},
                           {"BevelOuter", "bvLowered"},
                           {"ParentColor", false},
                           {"Color", static_cast<int64_t>(color)},
                           {"Cursor", static_cast<int64_t>(crHandPoint)}},
            .Events = {{"OnClick", std::move(onClick)}}};
}

TComponentDescription DescribeWorkMemo(std::string name) {
    return {.Name = std::move(name), .ClassName = "TMemo", .Bounds = Bounds(0, 0, 20, 20),
            .Properties = {{"Visible", false}, {"WordWrap", false}}};
}

TComponentDescription WithEvent(TComponentDescription description, std::string event, std::string handler) {
    description.Events.push_back({std::move(event), std::move(handler)});
    return description;
}

TComponentDescription WithProperty(TComponentDescription description, std::string name, TPropertyValue value) {
    description.Properties.push_back({std::move(name), std::move(value)});
    return description;
}

void AddDialogButtons(std::vector<TComponentDescription>& components, int right, int top,
                      const TDialogButtons& buttons) {
    struct TSpec {
        const std::string& Name;
        std::string Caption;
        const std::string& Click;
        int Result;
    };
    const TSpec specs[] = {{buttons.Ok, buttons.OkCaption, buttons.OkClick, mrOk},
                           {buttons.Cancel, "Cancel", buttons.CancelClick, mrCancel},
                           {buttons.Help, buttons.HelpCaption, buttons.HelpClick, mrNone}};
    int count = 0;
    for (const TSpec& spec : specs)
        count += spec.Name.empty() ? 0 : 1;
    int left = right - count * kButtonWidth - (count - 1) * 6;
    for (const TSpec& spec : specs) {
        if (spec.Name.empty())
            continue;
        TComponentDescription button =
            DescribeButton(spec.Name, spec.Caption, Bounds(left, top, kButtonWidth, kButtonHeight), spec.Click,
                           spec.Result);
        if (spec.Result == mrOk)
            button.Properties.push_back({"Default", true});
        if (spec.Result == mrCancel)
            button.Properties.push_back({"Cancel", true});
        components.push_back(std::move(button));
        left += kButtonWidth + 6;
    }
}

std::vector<TPropertySetting> DialogProperties(std::string caption, int clientWidth, int clientHeight) {
    return {{"Caption", std::move(caption)}, {"Width", clientWidth}, {"Height", clientHeight}};
}
