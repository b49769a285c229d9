// Enhanced metafiles through libemf2svg (which reads them with libuemf).
// No toolkit header here, like the Windows metafile side.

#include "platform/base/Stream.h"
#include "platform/gfx/Graphic.h"
#include "platform/gfx/MetafileFormat.h"
#include "platform/gfx/EmfConversion.h"

#include <cmath>
#include <cstdlib>
#include <memory>

#include <emf2svg.h>

namespace {

// The header record: its type, then the bounds of what it draws in the
// reference device's pixels, the frame in hundredths of a millimetre, the
// signature " EMF", and at the end the reference device's size in pixels
// and in millimetres.
constexpr size_t kHeaderSize = 88;
constexpr uint32_t kHeaderType = 1;
constexpr uint32_t kSignature = 0x464D4520;
constexpr double kHundredthsPerInch = 2540;

int32_t field(std::string_view data, size_t at) { return LoadLittleEndian<int32_t>(data.data() + at); }

struct TOutputDeleter {
    void operator()(char* text) const { std::free(text); }
};

} // namespace

// libemf2svg looks up the fonts of text in some character sets (Hebrew, for
// one) through the font configuration library, and then calls FcFini(),
// which frees that library's caches and settings while the toolkit still
// holds them for the whole run: the library's own check ends the program,
// or the toolkit reads freed memory later.  Defined in the program, this
// FcFini is the one the dynamic linker binds libemf2svg's call to (the
// program's symbols come first), and it leaves the state to last until the
// program ends, as the toolkit expects.  Nothing else here calls FcFini.
extern "C" void FcFini() {}

bool IsEnhancedMetafile(std::string_view data) {
    return data.size() >= kHeaderSize && LoadLittleEndian<uint32_t>(data.data()) == kHeaderType &&
           LoadLittleEndian<uint32_t>(data.data() + 40) == kSignature;
}

TMetafileDrawing ConvertEnhancedMetafile(std::string_view data) {
    if (!IsEnhancedMetafile(data))
        InvalidMetafile();
    const double frameLeft = field(data, 24), frameTop = field(data, 28);
    const double frameRight = field(data, 32), frameBottom = field(data, 36);
    TMetafileDrawing drawing;
    drawing.Width = int(std::lround((frameRight - frameLeft) * kMetafilePixelsPerInch / kHundredthsPerInch));
    drawing.Height = int(std::lround((frameBottom - frameTop) * kMetafilePixelsPerInch / kHundredthsPerInch));
    if (drawing.Width <= 0 || drawing.Height <= 0)
        InvalidMetafile();

    // The library reads from a buffer it does not take as const.
    std::string bytes(data);
    generatorOptions options{};
    options.nameSpace = const_cast<char*>("");
    options.svgDelimiter = true;
    options.emfplus = true;
    char* made = nullptr;
    size_t length = 0;
    const int converted = emf2svg(bytes.data(), bytes.size(), &made, &length, &options);
    const std::unique_ptr<char, TOutputDeleter> text(made);
    if (!converted || !made || length == 0)
        InvalidMetafile();
    drawing.Svg.assign(made, length);

    // The SVG shows the bounds: where they lie in the frame follows from the
    // reference device's pixels to the millimetre.
    drawing.Right = drawing.Width;
    drawing.Bottom = drawing.Height;
    const double devicePixelsX = field(data, 72), devicePixelsY = field(data, 76);
    const double deviceMillimetresX = field(data, 80), deviceMillimetresY = field(data, 84);
    const double boundsLeft = field(data, 8), boundsTop = field(data, 12);
    const double boundsRight = field(data, 16), boundsBottom = field(data, 20);
    if (devicePixelsX > 0 && devicePixelsY > 0 && deviceMillimetresX > 0 && deviceMillimetresY > 0 &&
        boundsRight > boundsLeft && boundsBottom > boundsTop) {
        // Device pixels to the frame's hundredths of a millimetre, then to ours.
        const auto x = [&](double pixels) {
            return (pixels * deviceMillimetresX * 100 / devicePixelsX - frameLeft) * drawing.Width /
                   (frameRight - frameLeft);
        };
        const auto y = [&](double pixels) {
            return (pixels * deviceMillimetresY * 100 / devicePixelsY - frameTop) * drawing.Height /
                   (frameBottom - frameTop);
        };
        drawing.Left = x(boundsLeft);
        drawing.Top = y(boundsTop);
        drawing.Right = x(boundsRight);
        drawing.Bottom = y(boundsBottom);
    }
    return drawing;
}
