#pragma once
// The edit box the shell tree and list put over a label to rename an item
// in place: Enter keeps the text, Escape drops it, and leaving the box
// keeps it too.  Its owner frees it once it has heard the answer (the box
// never frees itself while it handles a key).

#include "platform/ui/TextControls.h"

#include <functional>
#include <string>

class TPTInPlaceEditor : public TEdit {
public:
    using TDone = std::function<void(const std::string& text, bool accept)>;
    TPTInPlaceEditor(TWinControl* parent, const TRect& bounds, const std::string& text, TDone done);
    std::string ClassName() const override { return "TPTInPlaceEditor"; }
    // Ends editing with an answer (once).
    void Finish(bool accept);

protected:
    void KeyDown(uint16_t& key, TShiftState shift) override;
    void Dispatch(TMessage& message) override;

private:
    TDone done_;
    bool finished_ = false;
};

// The message a view posts to itself to free a finished editor.
enum : unsigned { CM_FREEINPLACEEDITOR = WM_USER + 0x0E1 };
