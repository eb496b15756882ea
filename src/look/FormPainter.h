#pragma once

#include <QImage>
#include <QList>
#include <QPoint>
#include <QSize>
#include <QString>

class QPainter;
class QWidget;

// Covers a window's client area with copies of one tile bitmap, left to right
// and top to bottom. The main window owns the one painter and lends it to the
// dialogs.
//
// Bitmap resources are addressed by name: the resource "PB_BACK" is the Qt
// resource ":/PB_BACK" (resources/dranelwisp.qrc lists every name as an alias
// at the root), so the executable must link dw_resources.
class TFormPainter
{
public:
    // An empty tile: PaintForm() then draws nothing.
    TFormPainter();
    // Loads the tile from the bitmap resource of that name; throws
    // TError("Resource <name> not found") when there is none.
    explicit TFormPainter(const QString &resourceName);
    // Takes the tile as given; for tools and tests that bring their own.
    explicit TFormPainter(QImage bitmap);

    // Paints the tiles onto the form; call from the form's paint event.
    void PaintForm(QWidget *form) const;
    // Paints the tiles for a client area of that size starting at the painter's
    // origin. Tiles reaching past the client area are drawn whole; clipping
    // them is left to the painter (a widget's painter clips to the widget).
    void PaintForm(QPainter &painter, const QSize &client) const;

    // Top-left corners of every tile drawn for a client area of that size:
    // (W div w + 1) x (H div h + 1) tiles, equality admitted on both axes.
    // Empty for an empty tile, which could never cover anything.
    static QList<QPoint> TilePositions(const QSize &client, const QSize &tile);

    const QImage &Bitmap() const { return FBitmap; }

private:
    QImage FBitmap;
    // FBitmap converted once to the screen's pixel format, so each paint is a
    // plain copy instead of a palette lookup per tile.
    QImage FTile;
};
