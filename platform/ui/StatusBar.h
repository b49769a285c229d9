#pragma once
// The status bar: a row of panels along the bottom of a form, each with
// its width, bevel, alignment and text (or painted by OnDrawPanel), the
// last one taking what the others leave; or one simple panel over all.

#include "platform/ui/Control.h"
#include "platform/ui/TextAlignment.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TStatusBar;

enum TStatusPanelBevel { pbNone, pbLowered, pbRaised };
enum TStatusPanelStyle { psText, psOwnerDraw };

class TStatusPanel {
public:
    const std::string& Text() const { return text_; }
    void SetText(const std::string& text);
    int Width() const { return width_; }
    void SetWidth(int width);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value);
    TStatusPanelBevel Bevel() const { return bevel_; }
    void SetBevel(TStatusPanelBevel value);
    TStatusPanelStyle Style() const { return style_; }
    void SetStyle(TStatusPanelStyle value);
    int Index() const { return index_; }

private:
    friend class TStatusPanels;
    explicit TStatusPanel(TStatusBar& bar) : bar_(bar) {}
    void changed(bool sizes);
    TStatusBar& bar_;
    std::string text_;
    int width_ = 50;
    TAlignment alignment_ = taLeftJustify;
    TStatusPanelBevel bevel_ = pbLowered;
    TStatusPanelStyle style_ = psText;
    int index_ = 0;
};

class TStatusPanels {
public:
    explicit TStatusPanels(TStatusBar& bar) : bar_(bar) {}
    TStatusPanel* Add();
    int Count() const { return static_cast<int>(panels_.size()); }
    // EListError out of range.
    TStatusPanel* Items(int index) const;
    void Delete(int index);
    void Clear();

private:
    TStatusBar& bar_;
    std::vector<std::unique_ptr<TStatusPanel>> panels_;
};

class TStatusBar : public TCustomControl {
public:
    using TDrawPanelEvent = std::function<void(TStatusBar* sender, TStatusPanel* panel, const TRect& rect)>;

    explicit TStatusBar(TComponent* owner = nullptr);
    std::string ClassName() const override { return "TStatusBar"; }

    TStatusPanels& Panels() { return panels_; }
    // One panel over the whole bar, showing SimpleText.
    bool SimplePanel() const { return simplePanel_; }
    void SetSimplePanel(bool value);
    const std::string& SimpleText() const { return simpleText_; }
    void SetSimpleText(const std::string& text);
    // The grip in the bottom-right corner.
    bool SizeGrip() const { return sizeGrip_; }
    void SetSizeGrip(bool value);

    // A panel's rectangle (the last one reaches the bar's end, or the grip).
    TRect PanelRect(int index) const;
    // Repaints a panel (its text or size changed).
    void InvalidatePanel(int index, bool sizes);

    TDrawPanelEvent OnDrawPanel;

    // The canvas the panels are painted on (OnDrawPanel draws on it).
    TCanvas& Canvas() { return TCustomControl::Canvas(); }

protected:
    void Dispatch(TMessage& message) override;
    void Paint() override;

private:
    void paintPanel(const TRect& rect, TStatusPanelBevel bevel, TAlignment alignment, const std::string& text);
    int gripWidth() const;

    TStatusPanels panels_;
    bool simplePanel_ = false;
    std::string simpleText_;
    bool sizeGrip_ = true;
};
