// The toolbar framework's hot paths beside the Qt widgets they stand in for:
// - opening a 30-item popup menu from its menu-bar item to its first
//   painted frame (ours: the bar's view opens the item's popup window and
//   paints it; the peer: a QMenu with the same 30 actions popped up and
//   painted), then closing it;
// - laying out and painting a 100-item toolbar that shrinks through its
//   chevron to a width that changes every time (ours: the view's layout
//   and painting into a bitmap; the peer: a QToolBar resized, laid out and
//   rendered into an image, its extension button taking what does not fit).
// After the usual lines a table gives ours, the peer's and the ratio.

#include "bench/WidgetBenchMain.h"

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"
#include "platform/widgets/WidgetPeer.h"
#include "toolbars/TBItem.h"
#include "toolbars/TBPopupWindow.h"
#include "toolbars/TBScreen.h"
#include "toolbars/TBView.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QEventLoop>
#include <QImage>
#include <QLayout>
#include <QMenu>
#include <QToolBar>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <string>

namespace {

std::map<std::string, double>& results() {
    static std::map<std::string, double> values;
    return values;
}

void record(benchmark::State& state, const std::string& key, double totalMicroseconds) {
    if (state.iterations() > 0)
        results()[key] = totalMicroseconds / static_cast<double>(state.iterations());
}

double microseconds(std::chrono::steady_clock::duration duration) {
    return std::chrono::duration<double, std::micro>(duration).count();
}

std::string numbered(const char* prefix, int i) {
    std::string text = prefix;
    text += std::to_string(i);
    return text;
}

// Frames painted by popups, to wait for the first one.
int popupFrames = 0;

class TCountingPopupWindow : public TTBPopupWindow {
public:
    static TTBPopupWindow* Make(TTBView* parentView, TTBCustomItem* item, bool customizing) {
        auto* window = new TCountingPopupWindow();
        window->Init(parentView, item, customizing);
        return window;
    }

protected:
    void Paint() override {
        TTBPopupWindow::Paint();
        ++popupFrames;
    }
};

class TCountingMenuItem : public TTBCustomItem {
public:
    TTBPopupWindowClass PopupWindowClass() override { return &TCountingPopupWindow::Make; }
};

// Runs the event loop until frames has grown past before (the window system
// may paint a new window only once it is exposed).
template <class Count> bool waitForFrame(Count frames, int before) {
    for (int round = 0; round < 10000 && frames() == before; ++round)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    return frames() > before;
}

// A chevron whose popup lists the bar's hidden items.
class TBenchChevron : public TTBCustomItem {
public:
    explicit TBenchChevron(TTBView** view) : view_(view) { ItemStyle |= isSubmenu | isNoAutoOpen; }
    TTBView* ChevronSourceView() override { return *view_; }

private:
    TTBView** view_;
};

class TBenchBarView : public TTBView {
public:
    using TTBView::TTBView;
    TTBCustomItem* Chevron = nullptr;
    TTBCustomItem* GetChevronItem() override { return Chevron; }
};

// A bar window over a root item, as toolbars and menu bars are.
class TBenchBar : public TCustomControl {
public:
    explicit TBenchBar(bool withChevron) {
        SetBounds(100, 100, 600, 24);
        if (withChevron) {
            chevron_ = std::make_unique<TBenchChevron>(&viewPointer_);
            chevron_->SetLinkSubitems(&Items);
        }
        View = std::make_unique<TBenchBarView>(nullptr, nullptr, &Items, this, true, false, true);
        viewPointer_ = View.get();
        View->Chevron = chevron_.get();
        View->ChevronSize = 12;
        View->RebuildViewers();
        RegisterTBWindow(this, false);
    }
    ~TBenchBar() override {
        UnregisterTBWindow(this);
        View.reset();
        chevron_.reset();
        Items.Clear();
    }
    TTBRootItem Items;
    std::unique_ptr<TBenchBarView> View;

protected:
    void Paint() override {
        Canvas().FillRect(ClientRect(), clBtnFace);
        View->DrawViewers(Canvas());
    }

private:
    std::unique_ptr<TBenchChevron> chevron_;
    TTBView* viewPointer_ = nullptr;
};

void BM_OpenPopupOurs(benchmark::State& state) {
    TBenchBar bar(false);
    auto* menu = new TCountingMenuItem;
    menu->SetCaption("&File");
    menu->ItemStyle |= isSubmenu;
    for (int i = 0; i < 30; ++i) {
        auto* item = new TTBCustomItem;
        item->SetCaption(numbered("Command &", i));
        if (i % 5 == 0)
            item->ShortCut = ShortCut(static_cast<uint16_t>('A' + i % 26), ssCtrl);
        menu->Add(item);
    }
    bar.Items.Add(menu);
    bar.Show();
    bar.View->ValidatePositions();
    TTBItemViewer* opener = bar.View->ViewerOf(menu);
    double total = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        bar.View->Select(opener);
        bar.View->OpenPopup(false);
        TTBPopupWindow* popup = bar.View->OpenViewerWindow();
        int before = popupFrames;
        popup->Update();
        bool painted = waitForFrame([] { return popupFrames; }, before);
        total += microseconds(std::chrono::steady_clock::now() - start);
        if (!painted)
            state.SkipWithError("the popup was not painted");
        if (popup->View()->ViewerCount() != 30)
            state.SkipWithError("the popup lost items");
        bar.View->CloseChildPopups();
        bar.View->Select(nullptr);
    }
    record(state, "open popup ours", total);
}
BENCHMARK(BM_OpenPopupOurs)->Unit(benchmark::kMicrosecond);

void BM_OpenPopupQMenu(benchmark::State& state) {
    QMenu menu;
    for (int i = 0; i < 30; ++i) {
        QAction* action = menu.addAction(QString::fromStdString(numbered("Command &", i)));
        if (i % 5 == 0)
            action->setShortcut(QKeySequence(Qt::CTRL | static_cast<Qt::Key>(Qt::Key_A + i % 26)));
    }
    struct TPaintCounter : QObject {
        int Paints = 0;
        bool eventFilter(QObject*, QEvent* event) override {
            Paints += event->type() == QEvent::Paint;
            return false;
        }
    } counter;
    menu.installEventFilter(&counter);
    double total = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        int before = counter.Paints;
        menu.popup(QPoint(100, 124));
        menu.repaint();
        bool painted = waitForFrame([&] { return counter.Paints; }, before);
        total += microseconds(std::chrono::steady_clock::now() - start);
        if (!painted)
            state.SkipWithError("the menu was not painted");
        menu.hide();
    }
    record(state, "open popup QMenu", total);
}
BENCHMARK(BM_OpenPopupQMenu)->Unit(benchmark::kMicrosecond);

// The widths the toolbar is given in turn: everything from most of the
// items down to a few.
int widthOf(int64_t iteration) { return 200 + static_cast<int>((iteration * 97) % 1600); }

void BM_ToolbarChevronOurs(benchmark::State& state) {
    TBenchBar bar(true);
    for (int i = 0; i < 100; ++i) {
        auto* item = new TTBCustomItem;
        item->SetCaption(numbered("Item ", i));
        bar.Items.Add(item);
    }
    TBitmap image(1800, 24);
    int64_t iteration = 0;
    double total = 0;
    for (auto _ : state) {
        int width = widthOf(iteration++);
        auto start = std::chrono::steady_clock::now();
        bar.View->ChevronOffset = width;
        bar.View->InvalidatePositions();
        bar.View->ValidatePositions();
        TCanvas& canvas = image.Canvas();
        canvas.FillRect(Rect(0, 0, width, 24), clBtnFace);
        bar.View->DrawViewers(canvas);
        canvas.Release();
        total += microseconds(std::chrono::steady_clock::now() - start);
    }
    record(state, "toolbar ours", total);
}
BENCHMARK(BM_ToolbarChevronOurs)->Unit(benchmark::kMicrosecond);

void BM_ToolbarChevronQToolBar(benchmark::State& state) {
    QToolBar toolbar;
    for (int i = 0; i < 100; ++i)
        toolbar.addAction(QString::fromStdString(numbered("Item ", i)));
    toolbar.setAttribute(Qt::WA_DontShowOnScreen);
    toolbar.show();
    QImage image(1800, toolbar.sizeHint().height(), QImage::Format_RGB32);
    int64_t iteration = 0;
    double total = 0;
    for (auto _ : state) {
        int width = widthOf(iteration++);
        auto start = std::chrono::steady_clock::now();
        toolbar.resize(width, toolbar.sizeHint().height());
        toolbar.layout()->activate();
        toolbar.render(&image);
        total += microseconds(std::chrono::steady_clock::now() - start);
    }
    record(state, "toolbar QToolBar", total);
}
BENCHMARK(BM_ToolbarChevronQToolBar)->Unit(benchmark::kMicrosecond);

void printSummary() {
    std::printf("\nToolbar framework beside the Qt widgets (mean microseconds per operation):\n");
    std::printf("  %-44s %10s %10s %8s\n", "operation", "ours", "peer", "ratio");
    struct TRow {
        const char* Name;
        const char* Ours;
        const char* Peer;
    };
    for (TRow row : {TRow{"open a 30-item popup to its first frame", "open popup ours", "open popup QMenu"},
                     TRow{"lay out and paint a 100-item toolbar", "toolbar ours", "toolbar QToolBar"}}) {
        auto ours = results().find(row.Ours);
        auto peer = results().find(row.Peer);
        if (ours == results().end() || peer == results().end()) {
            std::printf("  %-44s %10s\n", row.Name, "not run");
            continue;
        }
        std::printf("  %-44s %10.1f %10.1f %8.2f  (ours / peer; below 1 is faster)\n", row.Name, ours->second,
                    peer->second, ours->second / peer->second);
    }
}

} // namespace

int main(int argc, char** argv) { return RunWidgetBenchmarks(argc, argv, printSummary); }
