// Writes the reference figures of the metafile corpus and reports how far
// TMetafile's drawings are from the references:
//
//   metafile_figures REFERENCE-FOLDER FIGURES-FILE [DRAWINGS-FOLDER]
//
// REFERENCE-FOLDER holds a PNG drawing of each metafile named after it
// ("ant.wmf.png"; scripts/metafile-references makes them); a drawing
// shipped beside a metafile ("drawing_emf_ref.png" for "drawing.emf") is
// taken before it.  FIGURES-FILE gets a line for each metafile with a
// reference: its name, the reference's size and its grey thumbnail.  Each
// metafile is drawn at the reference's size on white (into
// DRAWINGS-FOLDER, when given) and compared: the report gives per file the
// metafile's own size, the reference's, the thumbnails' mean difference,
// the drawings' mean difference per channel and the share of pixels that
// differ by more than a quarter in some channel.
//
//   metafile_figures --draw METAFILE PNG-FILE
//
// draws one metafile at its own size on white.

#include "tests/platform/gfx/MetafileCorpus.h"

#include "platform/base/Exceptions.h"

#include <QGuiApplication>

#include <cstdio>
#include <fstream>

namespace {

std::string referenceOf(const TCorpusMetafile& file, const std::string& folder) {
    const std::filesystem::path path(file.Path);
    const std::filesystem::path shipped =
        path.parent_path() / (path.stem().string() + "_" + path.extension().string().substr(1) + "_ref.png");
    if (std::filesystem::exists(shipped))
        return shipped.string();
    const std::string made = folder + "/" + file.Name + ".png";
    return std::filesystem::exists(made) ? made : std::string();
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s REFERENCE-FOLDER FIGURES-FILE [DRAWINGS-FOLDER]\n", argv[0]);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    if (std::string(argv[1]) == "--draw" && argc == 4) {
        TPicture picture;
        picture.LoadFromFile(argv[2]);
        return DrawnOnWhite(*picture.Graphic(), picture.Width(), picture.Height()).save(argv[3]) ? 0 : 1;
    }
    std::ofstream figures(argv[2]);
    std::printf("%-28s %11s %11s %6s %6s %7s %7s\n", "file", "own size", "reference", "thumb", "mean", "differ",
                "bounds");
    for (const TCorpusMetafile& file : MetafileCorpus()) {
        const std::string reference = referenceOf(file, argv[1]);
        QImage drawn;
        if (reference.empty() || !drawn.load(QString::fromStdString(reference))) {
            std::printf("%-28s no reference\n", file.Name.c_str());
            continue;
        }
        const QImage expected = OnWhite(drawn);
        const TThumbnail expectedThumbnail = GreyThumbnail(expected);
        figures << file.Name << ' ' << expected.width() << ' ' << expected.height() << ' ';
        for (uint8_t grey : expectedThumbnail) {
            char hex[3];
            std::snprintf(hex, sizeof hex, "%02x", grey);
            figures << hex;
        }
        figures << '\n';
        TPicture picture;
        try {
            picture.LoadFromFile(file.Path);
        } catch (const Exception& e) {
            std::printf("%-28s refused: %s\n", file.Name.c_str(), e.what());
            continue;
        }
        const QImage ours = DrawnOnWhite(*picture.Graphic(), expected.width(), expected.height());
        if (argc > 3)
            ours.save(QString::fromStdString(std::string(argv[3]) + "/" + file.Name + ".png"));
        double total = 0;
        int64_t differing = 0;
        for (int y = 0; y < ours.height(); ++y) {
            const auto* a = reinterpret_cast<const QRgb*>(ours.constScanLine(y));
            const auto* b = reinterpret_cast<const QRgb*>(expected.constScanLine(y));
            for (int x = 0; x < ours.width(); ++x) {
                const int dr = std::abs(qRed(a[x]) - qRed(b[x])), dg = std::abs(qGreen(a[x]) - qGreen(b[x])),
                          db = std::abs(qBlue(a[x]) - qBlue(b[x]));
                total += (dr + dg + db) / 3.0;
                differing += std::max({dr, dg, db}) > 64;
            }
        }
        const double pixels = double(ours.width()) * ours.height();
        const std::string own = std::to_string(picture.Width()) + "x" + std::to_string(picture.Height());
        const std::string theirs = std::to_string(expected.width()) + "x" + std::to_string(expected.height());
        // How far the drawing's edges lie from the bounds its maker recorded.
        std::ifstream in(file.Path, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), {});
        std::string bounds = "-";
        if (const auto recorded = RecordedBounds(bytes, picture.Width(), picture.Height())) {
            const QRect ink = InkBounds(*picture.Graphic(), picture.Width(), picture.Height());
            const QRectF drawn = ink.isEmpty() ? QRectF() : QRectF(ink).adjusted(0, 0, 1, 1);
            const double off = std::max({std::abs(drawn.left() - recorded->left()), std::abs(drawn.top() - recorded->top()),
                                         std::abs(drawn.right() - recorded->right()),
                                         std::abs(drawn.bottom() - recorded->bottom())});
            bounds = std::to_string(int(std::lround(off)));
        }
        std::printf("%-28s %11s %11s %6.1f %6.1f %6.1f%% %7s\n", file.Name.c_str(), own.c_str(), theirs.c_str(),
                    ThumbnailDifference(GreyThumbnail(ours), expectedThumbnail), total / pixels,
                    100.0 * double(differing) / pixels, bounds.c_str());
    }
    return 0;
}
