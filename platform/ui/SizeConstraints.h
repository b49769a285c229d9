#pragma once
// The smallest and largest size a control may take (TControl::Constraints).
// 0 is no limit.  A minimum above the maximum raises the maximum with it
// (and a maximum below the minimum lowers the minimum), so that a range is
// never empty and values streamed in any order read back as written.

#include "platform/base/Component.h"

#include <functional>

class TSizeConstraints : public TPersistent {
public:
    std::string ClassName() const override { return "TSizeConstraints"; }
    void Assign(const TPersistent* source) override;

    int MinWidth() const { return minWidth_; }
    int MinHeight() const { return minHeight_; }
    int MaxWidth() const { return maxWidth_; }
    int MaxHeight() const { return maxHeight_; }
    // Negative values are taken as 0 (no limit).
    void SetMinWidth(int value);
    void SetMinHeight(int value);
    void SetMaxWidth(int value);
    void SetMaxHeight(int value);
    // No limit at all.
    bool Empty() const { return minWidth_ == 0 && minHeight_ == 0 && maxWidth_ == 0 && maxHeight_ == 0; }

    int ClampWidth(int width) const { return clamp(width, minWidth_, maxWidth_); }
    int ClampHeight(int height) const { return clamp(height, minHeight_, maxHeight_); }

    // Called after every change of a limit (the control clamps its size).
    std::function<void()> OnChange;

private:
    static int clamp(int value, int low, int high) {
        if (high > 0 && value > high)
            value = high;
        return value < low ? low : value;
    }
    void changed();

    int minWidth_ = 0;
    int minHeight_ = 0;
    int maxWidth_ = 0;
    int maxHeight_ = 0;
};
