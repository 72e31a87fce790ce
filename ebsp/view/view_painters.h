// Painters of the view: the unit cell, the Kikuchi bands and the pointer's highlights and
// labels, drawn with a QPainter from the Qt-free geometry.  The widget paints its
// off-screen image with them; a picture saved at another size calls them the same way on
// a painter over a QImage or a QSvgGenerator (with geometry built for that size).
#pragma once

#include <QColor>
#include <QPainter>
#include <QString>

#include "kikuchi_bands.h"
#include "pointer_pick.h"
#include "unit_cell.h"
#include "view_projection.h"

namespace ebsp {

struct CellLook {
    QColor line;
    QColor background;         // brush of wire-frame faces
    bool solid = true;         // shaded faces; otherwise a wire frame
    bool hiddenLines = false;  // wire frame only: back edges dotted
    bool axes = true;
};

// The cell as the projection shows it: back axes, back then front faces, front axes.
void paintCell(QPainter& painter, const UnitCell& cell, const OrthographicProjection& projection,
               const CellLook& look);

enum class BandShape { Solid, Edges, Centre };

struct BandLook {
    BandShape shape = BandShape::Solid;
    bool uniform = false;  // every band in uniformColour instead of its own grey
    QColor uniformColour;
};

// The bands from the last to the first (strongest on top).  The one-pixel lines are
// written straight into the image when the painter draws on a 32-bit QImage (pixel-exact
// and fast); on any other device they go through the painter.  Leaves pen and brush in the
// colour of the first reflector and returns that colour.
QColor paintBands(QPainter& painter, const Reflector* reflectors, int count, const BandLook& look);

// One band's lines (edges, or the centre for BandShape::Centre) in one colour.
void paintBandLines(QPainter& painter, const Reflector& band, BandShape shape, QRgb colour);

struct LabelLook {
    QColor shadow;
    QColor base;
};

// A boxed text with a shadow, centred on `at`.
void paintLabel(QPainter& painter, IntPoint at, const QColor& colour, const QString& text,
                const LabelLook& look);

// A one-line notice in 8-point type at the bottom left of an area of the given height.
void paintNotice(QPainter& painter, int height, const QColor& colour, const QString& text);

// The picked plane in red, its label, and the zone's blue circle or label.
void paintPickOverlay(QPainter& painter, const PickOverlay& overlay, BandShape shape,
                      const QString& planeText, const QString& zoneText, const LabelLook& look);

}  // namespace ebsp
