#pragma once
// More pieces of dialog descriptions (see DialogLayout.h): lists to choose
// from, pages of a page control and plain panels.

#include "platform/ui/FormBuilder.h"

#include <string>
#include <vector>

// A drop-down list that takes only its items, the one at index chosen
// (-1: none).
TComponentDescription DescribeFixedList(std::string name, TRect bounds, const std::vector<std::string>& items,
                                        int index, std::string parent = {});
// A drop-down list whose text may also be typed; it starts with text.
TComponentDescription DescribeEditableList(std::string name, TRect bounds, const std::vector<std::string>& items,
                                           std::string text, std::string parent = {});
// A page of the page control pageControl, with its tab's caption.
TComponentDescription DescribePage(std::string name, std::string caption, std::string pageControl);
// A panel without caption or bevel that groups controls (to show and hide
// them together, or to lay them out on a page).
TComponentDescription DescribeGroupPanel(std::string name, TRect bounds, std::string parent = {});
