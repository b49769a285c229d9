// A tree view of 100,000 nodes whose pictures are asked as they are
// painted (OnGetImageIndex): the nodes added and the window shown and
// painted for the first time, against a Qt tree view over a plain model
// of the same 100,000 rows.  After the usual lines a table gives ours,
// the peer's and the ratio.

#include "bench/WidgetBenchMain.h"

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/ImageList.h"
#include "platform/ui/ExtControls.h"
#include "platform/ui/TreeView.h"
#include "platform/widgets/WidgetPeer.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QPixmap>
#include <QTreeView>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kNodes = 100000;

std::map<std::string, double>& results() {
    static std::map<std::string, double> table;
    return table;
}

double milliseconds(std::chrono::steady_clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

const std::vector<std::string>& names() {
    static const std::vector<std::string> all = [] {
        std::vector<std::string> made;
        made.reserve(kNodes);
        for (int i = 0; i < kNodes; ++i)
            made.push_back("node " + std::to_string(i));
        return made;
    }();
    return all;
}

void BM_TreeViewFirstPaint(benchmark::State& state) {
    TImageList images(16, 16);
    TBitmap strip(32, 16);
    strip.Canvas().FillRect(Rect(0, 0, 16, 16), clRed);
    strip.Canvas().FillRect(Rect(16, 0, 32, 16), clBlue);
    images.Add(strip, nullptr);
    double total = 0;
    int asked = 0;
    for (auto _ : state) {
        TPanel host;
        host.SetBounds(0, 0, 400, 600);
        host.Show();
        QApplication::processEvents();
        const auto start = std::chrono::steady_clock::now();
        TTreeView tree(&host);
        tree.SetParent(&host);
        tree.SetAlign(alClient);
        tree.SetImages(&images);
        tree.OnGetImageIndex = [&asked](TPersistent*, TTreeNode* node) {
            ++asked;
            node->SetImageIndex(static_cast<int>(reinterpret_cast<intptr_t>(node->Data()) % 2));
        };
        tree.Items().BeginUpdate();
        for (int i = 0; i < kNodes; ++i)
            tree.Items().AddObject(nullptr, names()[static_cast<size_t>(i)], reinterpret_cast<void*>(static_cast<intptr_t>(i)));
        tree.Items().EndUpdate();
        QWidget* client = ClientWidgetOf(&host);
        client->repaint();
        QApplication::processEvents();
        total += milliseconds(std::chrono::steady_clock::now() - start);
    }
    benchmark::DoNotOptimize(asked);
    results()["ours"] = total / static_cast<double>(state.iterations());
}
BENCHMARK(BM_TreeViewFirstPaint)->Unit(benchmark::kMillisecond);

// The peer: a model over the same names, the pictures chosen as asked.
class TPlainTreeModel : public QAbstractItemModel {
public:
    TPlainTreeModel(const std::vector<std::string>& names, const QIcon* icons) : names_(names), icons_(icons) {}
    QModelIndex index(int row, int column, const QModelIndex& parent) const override {
        if (parent.isValid() || column != 0 || row < 0 || row >= static_cast<int>(names_.size()))
            return {};
        return createIndex(row, 0);
    }
    QModelIndex parent(const QModelIndex&) const override { return {}; }
    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : static_cast<int>(names_.size());
    }
    int columnCount(const QModelIndex&) const override { return 1; }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role == Qt::DisplayRole)
            return QString::fromStdString(names_[static_cast<size_t>(index.row())]);
        if (role == Qt::DecorationRole)
            return icons_[index.row() % 2];
        return {};
    }

private:
    const std::vector<std::string>& names_;
    const QIcon* icons_;
};

void BM_QtTreeViewFirstPaint(benchmark::State& state) {
    QPixmap red(16, 16), blue(16, 16);
    red.fill(Qt::red);
    blue.fill(Qt::blue);
    const QIcon icons[2] = {QIcon(red), QIcon(blue)};
    double total = 0;
    for (auto _ : state) {
        QWidget host;
        host.resize(400, 600);
        host.show();
        QApplication::processEvents();
        const auto start = std::chrono::steady_clock::now();
        // The same rows held by a model of its own, as the tree holds its nodes.
        std::vector<std::string> rows(names().begin(), names().end());
        TPlainTreeModel model(rows, icons);
        QTreeView view(&host);
        view.setHeaderHidden(true);
        view.setUniformRowHeights(true);
        view.setModel(&model);
        view.setIconSize(QSize(16, 16));
        view.setGeometry(0, 0, 400, 600);
        view.show();
        host.repaint();
        QApplication::processEvents();
        total += milliseconds(std::chrono::steady_clock::now() - start);
    }
    results()["peer"] = total / static_cast<double>(state.iterations());
}
BENCHMARK(BM_QtTreeViewFirstPaint)->Unit(benchmark::kMillisecond);

void printSummary() {
    auto ours = results().find("ours");
    auto peer = results().find("peer");
    if (ours == results().end() || peer == results().end())
        return;
    std::printf("\nA tree view of %d nodes, filled and painted for the first time (mean per run):\n", kNodes);
    std::printf("  %12s %12s %8s\n", "ours (ms)", "peer (ms)", "ratio");
    std::printf("  %12.2f %12.2f %8.2f  (ours / peer; the peer is a QTreeView over a plain model)\n", ours->second,
                peer->second, ours->second / peer->second);
}

} // namespace

int main(int argc, char** argv) { return RunWidgetBenchmarks(argc, argv, printSummary); }
