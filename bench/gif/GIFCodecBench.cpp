// Decoding and encoding speed of the GIF codec beside giflib, on the
// largest outside GIF files present and on a generated 2000 x 2000 frame of
// 256 colours.  After the usual benchmark lines a table gives our time,
// giflib's time and their ratio for each case.

#include "gif/GIFImage.h"
#include "tests/gif/GIFFiles.h"
#include "tests/gif/GIFFrames.h"
#include "tests/gif/GiflibInput.h"
#include "TimingReporter.h"

#include <benchmark/benchmark.h>
#include <gif_lib.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

// The outside files, largest first.
std::vector<std::string> largestOutsideFiles(size_t count) {
    std::vector<std::pair<uintmax_t, std::string>> found;
    for (const std::string& name : OutsideGifFiles()) {
        std::error_code error;
        found.emplace_back(std::filesystem::file_size(name, error), name);
    }
    std::sort(found.rbegin(), found.rend());
    std::vector<std::string> names;
    for (size_t i = 0; i < found.size() && names.size() < count; ++i)
        names.push_back(found[i].second);
    return names;
}

// A 2000 x 2000 frame of 256 colours: broad gradients with noise, so that
// the string table fills and restarts many times.
Bytes generatedFrame() {
    TGIFImage image;
    for (int i = 0; i < 256; ++i)
        image.GlobalColorMap().Add(uint32_t(i * 0x010101));
    TGIFSubImage* frame = AddFrame(image);
    frame->SetBounds(0, 0, 2000, 2000);
    std::mt19937 random(1);
    for (int y = 0; y < 2000; ++y) {
        uint8_t* row = frame->Scanline(y);
        for (int x = 0; x < 2000; ++x)
            row[x] = uint8_t((x / 16 + y / 12 * 3 + (random() % 8 == 0 ? random() % 5 : 0)) & 0xFF);
    }
    return SaveImage(image);
}

struct Case {
    std::string Name;
    Bytes File;
};

std::vector<Case>& cases() {
    static std::vector<Case> all;
    return all;
}

// ---- giflib through memory ----

int writeMemory(GifFileType* file, const GifByteType* buffer, int count) {
    auto* out = static_cast<Bytes*>(file->UserData);
    out->insert(out->end(), buffer, buffer + count);
    return count;
}

// Writes a slurped file again, frame by frame (EGifSpew would close the
// source's handle).
void giflibWrite(GifFileType* source, Bytes& out) {
    int error = 0;
    GifFileType* file = EGifOpen(&out, writeMemory, &error);
    EGifPutScreenDesc(file, source->SWidth, source->SHeight, source->SColorResolution, source->SBackGroundColor,
                      source->SColorMap);
    for (int i = 0; i < source->ImageCount; ++i) {
        const SavedImage& image = source->SavedImages[i];
        for (int e = 0; e < image.ExtensionBlockCount; ++e) {
            const ExtensionBlock& block = image.ExtensionBlocks[e];
            EGifPutExtension(file, block.Function, block.ByteCount, block.Bytes);
        }
        const GifImageDesc& d = image.ImageDesc;
        EGifPutImageDesc(file, d.Left, d.Top, d.Width, d.Height, false, d.ColorMap);
        for (int y = 0; y < d.Height; ++y)
            EGifPutLine(file, image.RasterBits + size_t(y) * size_t(d.Width), d.Width);
    }
    EGifCloseFile(file, &error);
}

// ---- the benchmarks ----

void decodeOurs(benchmark::State& state, const Case* c) {
    for (auto _ : state) {
        TGIFImage image;
        LoadImage(image, c->File);
        benchmark::DoNotOptimize(image.Images().Frames(0)->Data());
    }
}

void decodeGiflib(benchmark::State& state, const Case* c) {
    for (auto _ : state) {
        TReadOnlyMemoryStream input(c->File.data(), int64_t(c->File.size()));
        GifFileType* file = SlurpGiflib(input);
        benchmark::DoNotOptimize(file);
        int error = 0;
        DGifCloseFile(file, &error);
    }
}

void encodeOurs(benchmark::State& state, const Case* c) {
    TGIFImage image;
    LoadImage(image, c->File);
    for (auto _ : state) {
        TMemoryStream out;
        image.SaveToStream(out);
        benchmark::DoNotOptimize(out.Memory());
    }
}

void encodeGiflib(benchmark::State& state, const Case* c) {
    TReadOnlyMemoryStream input(c->File.data(), int64_t(c->File.size()));
    GifFileType* source = SlurpGiflib(input);
    for (auto _ : state) {
        Bytes out;
        giflibWrite(source, out);
        benchmark::DoNotOptimize(out.data());
    }
    int error = 0;
    DGifCloseFile(source, &error);
}

// Remembers each run's time per iteration for the closing table.
void printRatios(const TTimingReporter& reporter) {
    std::printf("\n%-34s %12s %12s %8s\n", "case", "ours (us)", "giflib (us)", "ratio");
    for (const char* kind : {"decode", "encode"})
        for (const Case& c : cases()) {
            const std::string base = std::string(kind) + "/" + c.Name;
            const double ours = reporter.Time(base + "/ours");
            const double theirs = reporter.Time(base + "/giflib");
            if (ours <= 0 || theirs <= 0)
                continue;
            std::printf("%-34s %12.1f %12.1f %8.2f\n", base.c_str(), ours * 1e6, theirs * 1e6, ours / theirs);
        }
}

} // namespace

int main(int argc, char** argv) {
    for (const std::string& name : largestOutsideFiles(3))
        cases().push_back({std::filesystem::path(name).filename().string(), ReadFileBytes(name)});
    cases().push_back({"generated-2000x2000", generatedFrame()});
    if (cases().size() == 1)
        std::printf("note: no outside GIF files installed; only the generated frame is measured\n");
    for (const Case& c : cases()) {
        benchmark::RegisterBenchmark(("decode/" + c.Name + "/ours").c_str(), decodeOurs, &c);
        benchmark::RegisterBenchmark(("decode/" + c.Name + "/giflib").c_str(), decodeGiflib, &c);
        benchmark::RegisterBenchmark(("encode/" + c.Name + "/ours").c_str(), encodeOurs, &c);
        benchmark::RegisterBenchmark(("encode/" + c.Name + "/giflib").c_str(), encodeGiflib, &c);
    }
    benchmark::Initialize(&argc, argv);
    TTimingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    printRatios(reporter);
    benchmark::Shutdown();
    return 0;
}
