// Benchmarks of the tools that follow the caret, in the main window
// (offscreen):
//
//   build/bench/app_tools_bench
//
// - The caret moved into a tag and the tag inspector filled (the editor's
//   click handler), alternating between two tags.
// - "<" typed with completion on, up to the tag list shown at the caret.
//
// Each runs on the 5.9 MB page of the Node.js API (package nodejs-doc) and
// on a 1 KB page holding the same tags: the work is bounded by the tag, so
// the two figures should be alike; their ratio is printed.

#include "bench/BenchMain.h"
#include "tests/support/OutsideData.h"

#include "app/ApplicationClasses.h"
#include "app/EditForm.h"
#include "app/FrameForm.h"
#include "app/TagCompletion.h"

#include "editor/CodeMemo.h"
#include "platform/base/ProgramFolder.h"
#include "platform/ui/Application.h"
#include "platform/ui/ListControls.h"
#include "platform/ui/ValueListEditor.h"
#include "toolbars/TBItem.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <algorithm>
#include <map>
#include <vector>

namespace {

const std::string kBigPage = OutsideDataPath("/usr/share/doc/nodejs/api/all.html");

std::map<std::string, double>& Results() {
    static std::map<std::string, double> results;
    return results;
}

std::string ReadFile(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

const std::filesystem::path& Folder() {
    static const std::filesystem::path folder = [] {
        auto path = std::filesystem::temp_directory_path() / ("ondrill-tools-bench-" + std::to_string(getpid()));
        std::filesystem::create_directories(path / "data");
        std::filesystem::create_directories(path / "config");
        std::filesystem::copy_file(std::string(ONDRILL_SOURCE_DIR) + "/resources/data/ondrill.dat",
                                   path / "data/ondrill.dat");
        // As installed: a file that has not just changed, so that it is
        // read once and not again on every use.
        std::filesystem::last_write_time(path / "data/ondrill.dat",
                                         std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
        SetProgramFolder(path.string());
        setenv("XDG_CONFIG_HOME", (path / "config").c_str(), 1);
        return path;
    }();
    return folder;
}

Tframeform& MainWindow() {
    if (frameform == nullptr) {
        Folder();
        RegisterApplicationClasses();
        auto* frame = new Tframeform(&Application());
        Application().SetMainForm(frame);
        frame->SetBounds(0, 0, 1280, 900);
        frame->Show();
        QApplication::processEvents();
    }
    return *frameform;
}

// A page and two offsets inside tags of it, and one outside any tag.
struct TPage {
    TEditForm* Document = nullptr;
    int32_t InTag[2] = {0, 0};
    int32_t Outside = 0;
};

// Two "<a " tags of the big page near its middle.
std::pair<size_t, size_t> TagsNearTheMiddle(const std::string& text) {
    const size_t first = text.find("<a ", text.size() / 2);
    const size_t second = text.find("<a ", first + 3);
    return {first, second};
}

TPage& Page(bool big) {
    static std::map<bool, TPage> pages;
    TPage& page = pages[big];
    if (page.Document != nullptr)
        return page;
    const std::string whole = ReadFile(kBigPage);
    auto [first, second] = TagsNearTheMiddle(whole);
    std::string file = kBigPage;
    if (!big) {
        // The same two tags in 1 KB of page.
        const std::string tags = whole.substr(first, whole.find('>', second) + 1 - first);
        std::string small = "<html><body><p>" + std::string(400, 'x') + "</p>\n" + tags + "\n<p>";
        small += std::string(1024 - small.size() - 4, 'y') + "</p>";
        file = (Folder() / "small.html").string();
        std::ofstream(file, std::ios::binary) << small;
        first = small.find("<a ");
        second = small.find("<a ", first + 3);
    }
    page.Document = MainWindow().OpenDocumentFile(file);
    QApplication::processEvents();
    // Offsets in the editor count every line break as two.
    const std::string text = page.Document->Editor->Text();
    const size_t a = text.find("<a ", big ? text.size() / 2 : 0);
    const size_t b = text.find("<a ", a + 3);
    page.InTag[0] = static_cast<int32_t>(a + 3);
    page.InTag[1] = static_cast<int32_t>(b + 3);
    page.Outside = static_cast<int32_t>(text.find('>', b) + 1);
    return page;
}

// Each case runs on one page, then on the other, in the active window;
// the medians are kept, which a shared machine's load moves least.
double Median(std::vector<double> samples) {
    std::nth_element(samples.begin(), samples.begin() + static_cast<long>(samples.size() / 2), samples.end());
    return samples[samples.size() / 2];
}

template <class TOperation> double Micros(TOperation&& operation) {
    const auto start = std::chrono::steady_clock::now();
    operation();
    return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
}

// The page's window made the active one, as when the user types in it.
void Activate(TPage& page) {
    if (MainWindow().ActiveMDIChild() != page.Document)
        page.Document->SetFocus();
    QApplication::processEvents();
}

template <class TSample>
void Compare(benchmark::State& state, const std::string& what, int rounds, TSample&& sample) {
    constexpr int kBlock = 20;
    for (auto _ : state) {
        std::vector<double> big, small;
        for (int i = 0; i < rounds; ++i) {
            if (i % kBlock == 0)
                Activate(Page(true));
            big.push_back(sample(Page(true), i));
        }
        for (int i = 0; i < rounds; ++i) {
            if (i % kBlock == 0)
                Activate(Page(false));
            small.push_back(sample(Page(false), i));
        }
        Results()[what + " 5.9 MB page (us)"] = Median(big);
        Results()[what + " 1 KB page (us)"] = Median(small);
    }
}

// The caret moved into a tag and the inspector filled.
void BM_Inspector(benchmark::State& state) {
    Compare(state, "inspector", 2000, [&](TPage& page, int i) {
        TCodeMemo& editor = *page.Document->Editor;
        const double micros = Micros([&] {
            editor.SetSelStart(page.InTag[i % 2]);
            page.Document->editorClick(&editor);
        });
        if (MainWindow().TagInspector->Strings().Count() < 10)
            state.SkipWithError("the inspector was not filled");
        return micros;
    });
}
BENCHMARK(BM_Inspector)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// "<" typed up to the tag list shown; then Escape and the "<" taken back.
void BM_Completion(benchmark::State& state) {
    Compare(state, "completion", 300, [&](TPage& page, int) {
        TCodeMemo& editor = *page.Document->Editor;
        TListBox& list = *TagCompletionOf(*page.Document)->taglistbox;
        editor.SetSelStart(page.Outside);
        bool shown = false;
        const double micros = Micros([&] {
            SendMessage(&editor, WM_CHAR, '<', 0);
            shown = list.Visible();
        });
        if (!shown)
            state.SkipWithError("the tag list did not show");
        SendMessage(&list, WM_CHAR, 27, 0);
        editor.Undo();
        return micros;
    });
}
BENCHMARK(BM_Completion)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same keystroke with completion off: the editor's share.
void BM_Keystroke(benchmark::State& state) {
    MainWindow().Item("codeitem")->SetChecked(false);
    Compare(state, "keystroke", 300, [&](TPage& page, int) {
        TCodeMemo& editor = *page.Document->Editor;
        editor.SetSelStart(page.Outside);
        const double micros = Micros([&] { SendMessage(&editor, WM_CHAR, '<', 0); });
        editor.Undo();
        return micros;
    });
    MainWindow().Item("codeitem")->SetChecked(true);
}
BENCHMARK(BM_Keystroke)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void PrintSummary() {
    auto& r = Results();
    auto ratio = [&](const char* big, const char* small) {
        if (r.count(big) && r.count(small) && r[small] > 0)
            std::printf("%-32s %10.1f   1 KB page %10.1f   ratio %.2f\n", big, r[big], r[small], r[big] / r[small]);
    };
    std::printf("\n");
    ratio("inspector 5.9 MB page (us)", "inspector 1 KB page (us)");
    ratio("completion 5.9 MB page (us)", "completion 1 KB page (us)");
    ratio("keystroke 5.9 MB page (us)", "keystroke 1 KB page (us)");
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 0);
    if (!std::filesystem::exists(kBigPage)) {
        std::fprintf(stderr, "%s is missing (package nodejs-doc)\n", kBigPage.c_str());
        return 1;
    }
    Application().Initialize(argc, argv);
    const int result = RunBenchmarks(argc, argv);
    PrintSummary();
    if (frameform != nullptr) {
        while (frameform->MDIChildCount() > 0)
            delete frameform->MDIChildren(frameform->MDIChildCount() - 1);
        delete frameform;
    }
    std::error_code ignored;
    std::filesystem::remove_all(Folder(), ignored);
    return result;
}
