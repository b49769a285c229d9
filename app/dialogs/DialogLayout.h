#pragma once
// Pieces of the element dialogs' descriptions: the standard controls with
// the looks the dialogs share, so that a description reads as a list of
// fields.  Bounds are client coordinates of the parent ("" = the form).
//
// A row is a label and its control: the label stands LabelDrop pixels
// lower than the control's top, so that its text lines up with the
// control's text.

#include "platform/gfx/Color.h"
#include "platform/ui/FormBuilder.h"

#include <string>
#include <vector>

inline constexpr int kDialogMargin = 8;
inline constexpr int kFieldHeight = 21;
inline constexpr int kButtonWidth = 75;
inline constexpr int kButtonHeight = 25;
inline constexpr int kLabelDrop = 4;

// A label whose text starts at left, top (sized to its text).
TComponentDescription DescribeLabel(std::string caption, int left, int top, std::string parent = {});
// A label beside a control whose top is controlTop.
inline TComponentDescription DescribeRowLabel(std::string caption, int left, int controlTop, std::string parent = {}) {
    return DescribeLabel(std::move(caption), left, controlTop + kLabelDrop, std::move(parent));
}
TComponentDescription DescribeEdit(std::string name, TRect bounds, std::string text = {}, std::string parent = {});
// A multi-line memo (Return types a line break).
TComponentDescription DescribeMemo(std::string name, TRect bounds, std::string parent = {});
// A spin edit; min equal to max means no bounds.
TComponentDescription DescribeSpin(std::string name, TRect bounds, int min, int max, int value,
                                   std::string parent = {});
TComponentDescription DescribeCheck(std::string name, std::string caption, TRect bounds, bool checked = false,
                                    std::string parent = {});
TComponentDescription DescribeRadio(std::string name, std::string caption, TRect bounds, bool checked = false,
                                    std::string parent = {});
TComponentDescription DescribeGroup(std::string name, std::string caption, TRect bounds, std::string parent = {});
TComponentDescription DescribeListBox(std::string name, TRect bounds, std::string parent = {});
// An editable drop-down list.
TComponentDescription DescribeCombo(std::string name, TRect bounds, std::string text = {}, std::string parent = {});
// A push button; a modal result other than mrNone ends the dialog's loop.
TComponentDescription DescribeButton(std::string name, std::string caption, TRect bounds, std::string onClick = {},
                                     int modalResult = 0, std::string parent = {});
// The small "..." button beside a path field (hint "Browse...").
TComponentDescription DescribeBrowseButton(std::string name, int left, int top, std::string onClick,
                                           std::string parent = {});
// A colour swatch: a small box filled with its colour, with a hand
// pointer, that chooses its colour when clicked.
TComponentDescription DescribeSwatch(std::string name, TRect bounds, TColor color, std::string onClick,
                                     std::string parent = {});
// A hidden memo that the dialog's code uses as a work buffer.
TComponentDescription DescribeWorkMemo(std::string name);
// The description with one more event binding.
TComponentDescription WithEvent(TComponentDescription description, std::string event, std::string handler);
// The description with one more property value.
TComponentDescription WithProperty(TComponentDescription description, std::string name, TPropertyValue value);

// The OK, Cancel and Help buttons of a dialog, side by side at the right
// end of a row.  Empty names leave a button out.
struct TDialogButtons {
    std::string Ok = "okbtn";
    std::string OkCaption = "Ok";
    std::string OkClick = "okbtnClick";
    std::string Cancel = "cancelbtn";
    std::string CancelClick = {};
    std::string Help = "helpbtn";
    std::string HelpCaption = "Help";
    std::string HelpClick = "helpbtnClick";
};
// Appends the buttons, the last one ending at right (client x), at top.
void AddDialogButtons(std::vector<TComponentDescription>& components, int right, int top,
                      const TDialogButtons& buttons = {});
// The form's own values: caption and client size.
std::vector<TPropertySetting> DialogProperties(std::string caption, int clientWidth, int clientHeight);
