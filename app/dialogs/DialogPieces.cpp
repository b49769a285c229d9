#include "app/dialogs/DialogPieces.h"

namespace {

std::string lines(const std::vector<std::string>& items) {
    std::string text;
    for (const std::string& item : items)
        text += item + "\r\n";
    return text;
}

} // namespace

TComponentDescription DescribeFixedList(std::string name, TRect bounds, const std::vector<std::string>& items,
                                        int index, std::string parent) {
    return {.Name = std::move(name), .ClassName = "TComboBox", .Parent = std::move(parent), .Bounds = bounds,
            .Properties = {{"Style", "csDropDownList"}, {"Items", lines(items)}, {"ItemIndex", index}}};
}

TComponentDescription DescribeEditableList(std::string name, TRect bounds, const std::vector<std::string>& items,
                                           std::string text, std::string parent) {
    return {.Name = std::move(name), .ClassName = "TComboBox", .Parent = std::move(parent), .Bounds = bounds,
            .Properties = {{"Style", "csDropDown"}, {"Items", lines(items)}, {"Text", std::move(text)}}};
}

TComponentDescription DescribePage(std::string name, std::string caption, std::string pageControl) {
    return {.Name = std::move(name), .ClassName = "TTabSheet", .Parent = std::move(pageControl),
            .Properties = {{"Caption", std::move(caption)}}};
}

TComponentDescription DescribeGroupPanel(std::string name, TRect bounds, std::string parent) {
    return {.Name = std::move(name), .ClassName = "TPanel", .Parent = std::move(parent), .Bounds = bounds,
            .Properties = {{"Caption", std::string()}, {"BevelOuter", "bvNone"}}};
}
