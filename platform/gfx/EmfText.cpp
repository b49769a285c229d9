// The enhanced metafile player's text: faces, characters placed at the
// advances the file gives, alignment, escapement, opaque boxes.

#include "platform/gfx/EmfPlayerParts.h"

#include "platform/gfx/Font.h"
#include "platform/gfx/QtBridge.h"

#include <QFontMetricsF>

#include <algorithm>

namespace emf {

TFace& TPlayer::face(const TFontObject& font) {
    const QString key = font.Face + QChar(font.Weight >= 600 ? 'b' : 'n') + QChar(font.Italic ? 'i' : 'r') +
                        QChar(font.PitchAndFamily);
    auto it = faces_.find(key);
    if (it != faces_.end())
        return *it;
    TFace made;
    made.Font = QFont(QString::fromStdString(ResolveFontFamily(font.Face.toStdString())));
    // A face the machine lacks falls back to one of its kind: serif
    // (roman), fixed pitch (modern or fixed), else sans serif, as the
    // system's own default face is.
    const int family = font.PitchAndFamily >> 4;
    made.Font.setStyleHint(family == 1                                  ? QFont::Serif
                           : family == 3 || (font.PitchAndFamily & 3) == 1 ? QFont::Monospace
                           : family == 4                                ? QFont::Cursive
                                                                        : QFont::SansSerif);
    made.Font.setPixelSize(kShapingSize);
    made.Font.setWeight(font.Weight >= 600 ? QFont::Bold : QFont::Normal);
    made.Font.setItalic(font.Italic);
    made.Font.setKerning(false);
    made.Raw = QRawFont::fromFont(made.Font);
    return *faces_.insert(key, std::move(made));
}

// Text at a reference point in logical units, its characters at the
// advances given (logical units), else at the face's own.
void TPlayer::drawText(QPointF reference, const QString& text, const std::vector<double>& dx, uint32_t options,
                       std::optional<QRectF> box) {
    const TFontObject& font = state_.Font;
    TFace& shaped = face(font);
    const QTransform device = toDevice();
    if (state_.TextAlign & kUpdateCurrent)
        reference = state_.Current;

    // Opaque box and clip, in logical units.
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (box && (options & kOpaque)) {
        QPainterPath back;
        back.addRect(box->normalized());
        painter_.fillPath(device.map(back), state_.BkColour);
    }
    if (text.isEmpty())
        return;

    const QFontMetricsF metrics(shaped.Font);
    // The height is the em's, or (positive) the character cell's.
    double em = font.Height < 0 ? -font.Height : font.Height > 0 ? font.Height * kShapingSize / metrics.height() : 12;
    const double scale = em / kShapingSize;
    double across = 1;
    if (font.Width > 0 && metrics.averageCharWidth() > 0)
        across = font.Width / (metrics.averageCharWidth() * scale);

    // The characters' outlines and their offsets along the line.
    QPainterPath glyphs;
    double advance = 0;
    const QList<quint32> indexes = shaped.Raw.isValid() ? shaped.Raw.glyphIndexesForString(text) : QList<quint32>();
    const bool rawWhole = indexes.size() == text.size() &&
                          std::none_of(indexes.begin(), indexes.end(), [](quint32 g) { return g == 0; });
    QList<QPointF> natural;
    if (rawWhole)
        natural = shaped.Raw.advancesForGlyphIndexes(indexes);
    for (qsizetype i = 0; i < text.size(); ++i) {
        QPainterPath glyph;
        if (rawWhole) {
            auto cached = shaped.Glyphs.find(indexes[i]);
            if (cached == shaped.Glyphs.end())
                cached = shaped.Glyphs.insert(indexes[i], shaped.Raw.pathForGlyph(indexes[i]));
            glyph = *cached;
        } else {
            glyph.addText(0, 0, shaped.Font, QString(text[i]));
        }
        glyphs.addPath(QTransform::fromTranslate(advance, 0).scale(scale * across, scale).map(glyph));
        const double own = (rawWhole ? natural[i].x() : metrics.horizontalAdvance(text[i])) * scale * across;
        advance += size_t(i) < dx.size() ? dx[size_t(i)] : own;
    }
    const double ascent = metrics.ascent() * scale, descent = metrics.descent() * scale;
    if (font.Underline || font.StrikeOut) {
        const double thickness = std::max(metrics.lineWidth() * scale, 1e-3);
        if (font.Underline)
            glyphs.addRect(0, metrics.underlinePos() * scale, advance, thickness);
        if (font.StrikeOut)
            glyphs.addRect(0, -metrics.strikeOutPos() * scale, advance, thickness);
    }

    // Aligned about the reference point.
    const uint32_t align = state_.TextAlign;
    double x = 0, y = 0;
    if ((align & kAlignCentre) == kAlignCentre)
        x = -advance / 2;
    else if (align & kAlignRight)
        x = -advance;
    if ((align & kAlignBaseline) == kAlignBaseline)
        y = 0;
    else if (align & kAlignBottom)
        y = -descent;
    else
        y = ascent;
    // Upright whatever way the mapping's axes run, turned by the
    // escapement (tenths of a degree, counter-clockwise on the screen) and
    // by the world transform.
    const QTransform page = pageTransform();
    const QTransform upright = QTransform::fromScale(std::abs(page.m11()), std::abs(page.m22()));
    QTransform linear = state_.World * upright;
    linear.setMatrix(linear.m11(), linear.m12(), 0, linear.m21(), linear.m22(), 0, 0, 0, 1);
    const QPointF origin = device.map(reference);
    const QTransform place = QTransform::fromTranslate(x, y) * QTransform().rotate(-font.Escapement / 10.0) * linear *
                             QTransform::fromTranslate(origin.x(), origin.y());
    if (!finite(place))
        return;
    if (state_.BkMode == kOpaqueMode && !(box && (options & kOpaque))) {
        QPainterPath back;
        back.addRect(QRectF(0, -ascent, advance, ascent + descent));
        painter_.fillPath(place.map(back), state_.BkColour);
    }
    painter_.save();
    if (box && (options & kClipped)) {
        QPainterPath clip;
        clip.addRect(box->normalized());
        painter_.setClipPath(device.map(clip), Qt::IntersectClip);
    }
    painter_.fillPath(place.map(glyphs), state_.TextColour);
    painter_.restore();
    if (align & kUpdateCurrent) {
        const QTransform back = device.inverted();
        state_.Current = back.map(place.map(QPointF(advance, -y)));
    }
}

// ExtTextOutA, ExtTextOutW: the bounds, the graphics mode and scales, then
// the reference point, the count, the text's offset, the options, the
// clip box (unless the options say there is none) and the advances'
// offset.  SmallTextOut: the point, the count, the options, graphics mode
// and scales, the box unless none, then the text.
void TPlayer::textRecord(const TRecord& r) {
    QPointF reference;
    uint32_t count = 0, options = 0;
    size_t textAt = 0, dxAt = 0;
    bool wide = true;
    std::optional<QRectF> box;
    if (r.Type() == kSmallTextOut) {
        reference = r.Point(8);
        count = r.Unsigned(16);
        options = r.Unsigned(20);
        size_t at = 36;
        if (!(options & kNoRect)) {
            box = r.Box(at);
            at += 16;
        }
        textAt = at;
        wide = !(options & kSmallChars);
    } else {
        reference = r.Point(36);
        count = r.Unsigned(44);
        textAt = r.Unsigned(48);
        options = r.Unsigned(52);
        if (!(options & kNoRect))
            box = r.Box(56);
        dxAt = r.Unsigned(options & kNoRect ? 56 : 72);
        wide = r.Type() == kExtTextOutW;
    }
    if (count > r.Size())
        InvalidMetafile();
    QString text;
    if (wide) {
        const std::string_view bytes = r.Bytes(textAt, 2 * size_t(count));
        text.resize(qsizetype(count));
        for (uint32_t i = 0; i < count; ++i)
            text[i] = QChar(LoadLittleEndian<uint16_t>(bytes.data() + 2 * i));
    } else {
        text = AnsiToQString(r.Bytes(textAt, count));
        if (text.size() != qsizetype(count))
            text = QString::fromLatin1(r.Bytes(textAt, count).data(), qsizetype(count));
    }
    std::vector<double> dx;
    if (dxAt != 0 && count > 0) {
        const size_t each = options & kPairsOfDx ? 8 : 4;
        if (dxAt <= r.Size() && size_t(count) <= (r.Size() - dxAt) / each) {
            for (uint32_t i = 0; i < count; ++i)
                dx.push_back(r.Int(dxAt + each * i));
        }
    }
    drawText(reference, text, dx, options, box);
}

} // namespace emf
