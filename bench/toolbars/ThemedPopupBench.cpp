// Painting a themed popup menu: 30 items (every third with a glyph, one
// checked, one disabled) under the "OfficeXP" theme, with its drop shadow
// composed around it, into an image; beside a QMenu with the same 30
// actions under the Fusion style rendered into an image.  After the usual
// lines a table gives ours, the peer's and the ratio.

#include "bench/WidgetBenchMain.h"

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"
#include "platform/gfx/ImageList.h"
#include "toolbars/TBView.h"
#include "toolbars/themes/TBKItems.h"
#include "toolbars/themes/TBKPopupWindow.h"
#include "toolbars/themes/TBKShadows.h"
#include "toolbars/themes/TBKTheme.h"

#include <QAction>
#include <QIcon>
#include <QImage>
#include <QMenu>
#include <QPixmap>
#include <QStyle>
#include <QStyleFactory>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <string>

namespace {

constexpr int kItems = 30;
constexpr int kShadow = 4;

std::map<std::string, double>& results() {
    static std::map<std::string, double> values;
    return values;
}

double microseconds(std::chrono::steady_clock::duration duration) {
    return std::chrono::duration<double, std::micro>(duration).count();
}

void BM_ThemedPopupOurs(benchmark::State& state) {
    SelectTheme("OfficeXP");
    TImageList images(16, 16);
    TBitmap glyph(16, 16);
    glyph.Canvas().FillRect(Rect(0, 0, 16, 16), clRed);
    glyph.Canvas().FillRect(Rect(4, 4, 12, 12), clNavy);
    glyph.Canvas().Release();
    images.AddMasked(glyph, clFuchsia);
    TTBKSubmenuItem root;
    root.SetSubMenuImages(&images);
    for (int i = 0; i < kItems; ++i) {
        auto* item = new TTBKItem;
        item->SetCaption("Menu item " + std::to_string(i));
        if (i % 3 == 0)
            item->SetImageIndex(0);
        item->SetChecked(i == 4);
        item->SetEnabled(i != 7);
        root.Add(item);
    }
    std::unique_ptr<TTBPopupWindow> popup(TTBKPopupWindow::Make(nullptr, &root, false));
    popup->View()->ValidatePositions();
    const TRect bounds = Rect(0, 0, popup->Width(), popup->Height());
    TBitmap image(bounds.Width() + kShadow, bounds.Height() + kShadow);
    TShadowStrips strips = ShadowStrips({}, bounds, kShadow);
    double total = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        TCanvas& canvas = image.Canvas();
        canvas.FillRect(Rect(0, 0, image.Width(), image.Height()), clWhite);
        popup->PaintTo(canvas);
        canvas.Release();
        for (const auto& strip : strips)
            if (strip)
                BlendShadowStrip(image, {0, 0}, *strip, 64);
        total += microseconds(std::chrono::steady_clock::now() - start);
    }
    if (state.iterations() > 0)
        results()["ours"] = total / static_cast<double>(state.iterations());
    popup.reset();
    root.Clear();
}
BENCHMARK(BM_ThemedPopupOurs)->Unit(benchmark::kMicrosecond);

void BM_ThemedPopupQMenu(benchmark::State& state) {
    std::unique_ptr<QStyle> fusion(QStyleFactory::create("Fusion"));
    QMenu menu;
    menu.setStyle(fusion.get());
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::red);
    QIcon icon(pixmap);
    for (int i = 0; i < kItems; ++i) {
        QAction* action = menu.addAction(QString::fromStdString("Menu item " + std::to_string(i)));
        if (i % 3 == 0)
            action->setIcon(icon);
        action->setCheckable(i == 4);
        action->setChecked(i == 4);
        action->setEnabled(i != 7);
    }
    menu.setAttribute(Qt::WA_DontShowOnScreen);
    menu.show();
    QImage image(menu.size(), QImage::Format_RGB32);
    double total = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        image.fill(Qt::white);
        menu.render(&image);
        total += microseconds(std::chrono::steady_clock::now() - start);
    }
    if (state.iterations() > 0)
        results()["peer"] = total / static_cast<double>(state.iterations());
    menu.hide();
}
BENCHMARK(BM_ThemedPopupQMenu)->Unit(benchmark::kMicrosecond);

void printSummary() {
    std::printf("\nThemed popup beside a QMenu under Fusion (mean microseconds per paint):\n");
    auto ours = results().find("ours"), peer = results().find("peer");
    if (ours == results().end() || peer == results().end()) {
        std::printf("  paint a 30-item themed popup with its shadow: not run\n");
        return;
    }
    std::printf("  %-46s %10s %10s %8s\n", "operation", "ours", "peer", "ratio");
    std::printf("  %-46s %10.1f %10.1f %8.2f  (ours / peer; below 1 is faster)\n",
                "paint a 30-item themed popup with its shadow", ours->second, peer->second,
                ours->second / peer->second);
}

} // namespace

int main(int argc, char** argv) { return RunWidgetBenchmarks(argc, argv, printSummary); }
