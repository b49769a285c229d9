#include "tests/support/FakeTextMeasurer.h"

#include <algorithm>

TFakeTextMeasurer::TFakeTextMeasurer(int charWidth, int height, int ascent)
    : charWidth_(charWidth), height_(height), ascent_(ascent) {
    overrides_.fill(-1);
}

void TFakeTextMeasurer::SetCharWidth(int width) {
    charWidth_ = width;
    cache_.clear();
}

void TFakeTextMeasurer::SetAdvance(unsigned char byte, int width) {
    overrides_[byte] = width;
    cache_.clear();
}

TMeasuredFontPtr TFakeTextMeasurer::Measure(const TFont& font) {
    std::string key = font.FaceKey();
    if (auto it = cache_.find(key); it != cache_.end())
        return it->second;
    std::array<int, 256> advances{};
    int widest = 0;
    for (size_t b = 0; b < advances.size(); ++b) {
        advances[b] = overrides_[b] >= 0 ? overrides_[b] : charWidth_;
        widest = std::max(widest, advances[b]);
    }
    TTextMetric m;
    m.Height = height_;
    m.Ascent = ascent_;
    m.Descent = height_ - ascent_;
    m.AveCharWidth = charWidth_;
    m.MaxCharWidth = widest;
    // Drawing only: a monospace face of about the right size.
    TFont face;
    face.SetName("Liberation Mono");
    face.SetHeight(-std::max(1, height_ - 2));
    face.SetStyle(font.Style() & (fsBold | fsItalic));
    auto measured = std::make_shared<TMeasuredFont>(m, advances, face, charWidth_);
    cache_.emplace(std::move(key), measured);
    return measured;
}
