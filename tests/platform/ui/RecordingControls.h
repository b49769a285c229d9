#pragma once
// Controls that record what reaches them, for the window-base tests.

#include "platform/ui/Control.h"

#include <functional>
#include <string>
#include <vector>

struct TRecordedInput {
    std::string What;
    int Key = 0;
    TShiftState Shift = 0;
    int X = 0;
    int Y = 0;
};

class TRecordingWindow : public TCustomControl {
public:
    explicit TRecordingWindow(TComponent* owner = nullptr, unsigned extraStyle = 0)
        : TCustomControl(owner), extraStyle_(extraStyle) {}
    std::vector<TMessage> Messages;
    std::vector<TRecordedInput> Inputs;
    std::function<void(TMessage&)> OnMessage;
    int* DestroyedCounter = nullptr;
    ~TRecordingWindow() override {
        if (DestroyedCounter != nullptr)
            ++*DestroyedCounter;
    }
    void CreateParams(TCreateParams& params) override {
        TCustomControl::CreateParams(params);
        params.Style |= extraStyle_;
    }
    int Paints = 0;

protected:
    void WndProc(TMessage& message) override {
        // OnMessage runs last, so that it may free the control.
        Messages.push_back(message);
        TCustomControl::WndProc(message);
        if (OnMessage)
            OnMessage(message);
    }
    void KeyDown(uint16_t& key, TShiftState shift) override {
        Inputs.push_back({"down", key, shift});
        TCustomControl::KeyDown(key, shift);
    }
    void KeyUp(uint16_t& key, TShiftState shift) override {
        Inputs.push_back({"up", key, shift});
        TCustomControl::KeyUp(key, shift);
    }
    void KeyPress(char& key) override {
        Inputs.push_back({"char", static_cast<unsigned char>(key)});
        TCustomControl::KeyPress(key);
    }
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override {
        Inputs.push_back({"mousedown", static_cast<int>(button), shift, x, y});
    }
    void MouseMove(TShiftState shift, int x, int y) override {
        Inputs.push_back({"mousemove", 0, shift, x, y});
    }
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override {
        Inputs.push_back({"mouseup", static_cast<int>(button), shift, x, y});
    }
    void Click() override { Inputs.push_back({"click"}); }
    void DblClick() override { Inputs.push_back({"dblclick"}); }
    void Paint() override { ++Paints; }

private:
    unsigned extraStyle_;
};

class TRecordingGraphic : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
    std::vector<TRecordedInput> Inputs;
    std::function<void(TCanvas&)> OnPaint;

protected:
    void Dispatch(TMessage& message) override {
        if (message.Msg == CM_MOUSEENTER)
            Inputs.push_back({"enter"});
        if (message.Msg == CM_MOUSELEAVE)
            Inputs.push_back({"leave"});
        TGraphicControl::Dispatch(message);
    }
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override {
        Inputs.push_back({"mousedown", static_cast<int>(button), shift, x, y});
    }
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override {
        Inputs.push_back({"mouseup", static_cast<int>(button), shift, x, y});
    }
    void Paint() override {
        if (OnPaint)
            OnPaint(Canvas());
    }
};

inline int countMessages(const std::vector<TMessage>& messages, unsigned msg) {
    int count = 0;
    for (const TMessage& m : messages)
        count += m.Msg == msg ? 1 : 0;
    return count;
}
