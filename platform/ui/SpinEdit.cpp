#include "platform/ui/SpinEdit.h"

#include <algorithm>
#include <charconv>

TSpinEdit::TSpinEdit(TComponent* owner) : TCustomEdit(owner) { SetText("0"); }

void TSpinEdit::CreateParams(TCreateParams& params) {
    TCustomEdit::CreateParams(params);
    params.Kind = std::string(wk::SpinEdit);
}

int TSpinEdit::CheckValue(int value) const {
    if (!Bounded())
        return value;
    return std::clamp(value, std::min(minValue_, maxValue_), std::max(minValue_, maxValue_));
}

int TSpinEdit::Value() const { return CheckValue(textValue()); }

int TSpinEdit::textValue() const {
    const std::string& text = Text();
    size_t begin = text.find_first_not_of(' ');
    size_t end = text.find_last_not_of(' ');
    int value = 0;
    if (begin == std::string::npos)
        return minValue_;
    const char* first = text.data() + begin;
    const char* last = text.data() + end + 1;
    if (*first == '+')
        ++first;
    auto [at, error] = std::from_chars(first, last, value);
    if (error != std::errc() || at != last)
        return minValue_;
    return value;
}

void TSpinEdit::SetValue(int value) { SetText(std::to_string(CheckValue(value))); }

void TSpinEdit::SetMinValue(int value) {
    if (value == minValue_)
        return;
    minValue_ = value;
    PeerChanged(paRange);
    keepInBounds();
}

void TSpinEdit::SetMaxValue(int value) {
    if (value == maxValue_)
        return;
    maxValue_ = value;
    PeerChanged(paRange);
    keepInBounds();
}

void TSpinEdit::keepInBounds() {
    // What the box shows stays within the bounds; a form being built sets
    // its bounds one at a time, so it waits for the last.
    if (!IsLoading() && Bounded() && CheckValue(textValue()) != textValue())
        SetValue(textValue());
}

void TSpinEdit::Loaded() {
    TCustomEdit::Loaded();
    keepInBounds();
}

void TSpinEdit::SetIncrement(int value) {
    if (value == increment_)
        return;
    increment_ = value;
    PeerChanged(paRange);
}

void TSpinEdit::SetEditorEnabled(bool value) {
    if (value == editorEnabled_)
        return;
    editorEnabled_ = value;
    PeerChanged(paReadOnly);
}

void TSpinEdit::Dispatch(TMessage& message) {
    if (message.Msg == WM_KEYDOWN && (message.WParam == VK_UP || message.WParam == VK_DOWN) && !ReadOnly()) {
        // The arrow keys step as the buttons do, after the key handlers.
        TCustomEdit::Dispatch(message);
        if (message.Result != 0) {
            long long next = static_cast<long long>(Value()) + (message.WParam == VK_UP ? increment_ : -increment_);
            next = std::clamp<long long>(next, INT32_MIN, INT32_MAX);
            SetValue(static_cast<int>(next));
            message.Result = 0;
        }
        return;
    }
    TCustomEdit::Dispatch(message);
}
