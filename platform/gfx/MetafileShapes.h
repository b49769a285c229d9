#pragma once
// What both metafile players draw the same way: pens, hatches, the raster
// operations of pens and brushes, and elliptic arcs, from the values the
// two formats share.  Platform code only.

#include <QPainter>
#include <QPainterPath>
#include <QPen>

// A pen of the given style bits (style, end caps, joins), colour and
// width; a width of 0 or less is one pixel wide at any scale.
QPen MetafilePen(unsigned style, const QColor& color, double width);

// The pattern of a hatched brush of the given hatch style.
Qt::BrushStyle MetafileHatch(unsigned hatch);

// How the pen and brush mix with what is there (the raster operation that
// SetROP2 sets); whether they draw at all is MetafileMixDraws.
QPainter::CompositionMode MetafileMix(int rop2);
bool MetafileMixDraws(int rop2);

// The arc of the ellipse in `box` between the directions of two points
// seen from its centre, clockwise or counter-clockwise as seen on the
// screen (y downwards), added to `path`: from the centre (a pie), else
// from the arc's start (joined to the path's end where `join`).
void AddMetafileArc(QPainterPath& path, const QRectF& box, QPointF start, QPointF end, bool clockwise,
                    bool fromCentre, bool join = false);
