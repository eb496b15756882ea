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
class TFormPainter
{
public:
    // An empty tile: PaintForm() then draws nothing.
    TFormPainter();
    // Loads the tile from the bitmap resource of that name; throws
    // TError("Resource <name> not found") when there is none.
    explicit TFormPainter(const QString &resourceName);

    // Paints the tiles onto the form; call from the form's paint event.
    void PaintForm(QWidget *form) const;
    void PaintForm(QPainter &painter, const QSize &client) const;

    // Top-left corners of every tile drawn for a client area of that size:
    // (W div w + 1) x (H div h + 1) tiles, equality admitted on both axes.
    static QList<QPoint> TilePositions(const QSize &client, const QSize &tile);

    const QImage &Bitmap() const { return FBitmap; }

private:
    QImage FBitmap;
};
