#include "toolbars/TBStandardEditField.h"

#include "platform/base/TextCodec.h"
#include "platform/base/Utf8.h"
#include "platform/ui/TextControls.h"

#include <algorithm>

namespace {

class TStandardEditField : public TTBEditField {
public:
    explicit TStandardEditField(TWinControl* parent) {
        edit_.SetVisible(false);
        edit_.SetBorderStyle(bsNone);
        edit_.SetParent(parent);
        edit_.OnChange = [this](TPersistent*) { changed(); };
    }
    TWinControl* Control() override { return &edit_; }
    void SetText(const std::string& text) override {
        lastText_ = cased(text);
        edit_.SetText(lastText_);
    }
    std::string Text() const override { return edit_.Text(); }
    void SetCharCase(TTBEditCharCase charCase) override {
        charCase_ = charCase;
        SetText(edit_.Text());
    }
    void SetMaxLength(int length) override { edit_.SetMaxLength(length); }
    void SelectAll() override { edit_.SelectAll(); }
    void SetPasswordChar(char ch) override { edit_.SetPasswordChar(ch); }
    void SetReadOnly(bool readOnly) override { edit_.SetReadOnly(readOnly); }

private:
    std::string cased(const std::string& text) const {
        switch (charCase_) {
        case ecUpperCase:
            return Utf8UpperCase(text);
        case ecLowerCase:
            return Utf8LowerCase(text);
        default:
            return text;
        }
    }
    // What the user typed takes the item's letter case.  The caret stays
    // behind what was typed: the end of the text less the part both texts
    // end with (the control learns the window's caret only after this).
    void changed() {
        if (recasing_)
            return;
        std::string text = edit_.Text();
        std::string wanted = cased(text);
        if (wanted != text) {
            size_t common = 0;
            size_t limit = std::min(text.size(), lastText_.size());
            while (common < limit && text[text.size() - 1 - common] == lastText_[lastText_.size() - 1 - common])
                ++common;
            recasing_ = true;
            edit_.SetText(wanted);
            edit_.SetSelStart(static_cast<int>(wanted.size() - common));
            recasing_ = false;
        }
        lastText_ = edit_.Text();
        if (OnTextChanged)
            OnTextChanged(lastText_);
    }

    TEdit edit_;
    TTBEditCharCase charCase_ = ecNormal;
    bool recasing_ = false;
    std::string lastText_;
};

} // namespace

std::unique_ptr<TTBEditField> MakeStandardEditField(TWinControl* parent) {
    return std::make_unique<TStandardEditField>(parent);
}
