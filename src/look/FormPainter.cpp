#include "FormPainter.h"

#include "Error.h"

#include <QPainter>
#include <QWidget>

TFormPainter::TFormPainter() = default;

TFormPainter::TFormPainter(const QString &resourceName)
    : TFormPainter()
{
    QImage bitmap;
    if (!bitmap.load(QStringLiteral(":/") + resourceName))
        throw TError(QStringLiteral("Resource %1 not found").arg(resourceName));
    *this = TFormPainter(std::move(bitmap));
}

TFormPainter::TFormPainter(QImage bitmap)
    : FBitmap(std::move(bitmap))
    , FTile(FBitmap.isNull() ? QImage() : FBitmap.convertToFormat(QImage::Format_RGB32))
{ }

void TFormPainter::PaintForm(QWidget *form) const
{
    if (!form || FTile.isNull())
        return;
    QPainter painter(form);
    PaintForm(painter, form->size());
}

void TFormPainter::PaintForm(QPainter &painter, const QSize &client) const
{
    for (const QPoint &at : TilePositions(client, FTile.size()))
        painter.drawImage(at, FTile);
}

QList<QPoint> TFormPainter::TilePositions(const QSize &client, const QSize &tile)
{
    QList<QPoint> positions;
    // A zero step would never reach the edge.
    if (tile.width() <= 0 || tile.height() <= 0)
        return positions;
    // Draw first, test after: a client smaller than one tile still gets one,
    // and a tile starting exactly on the edge is still drawn.
    int y = 0;
    do {
        int x = 0;
        do {
            positions.append(QPoint(x, y));
            x += tile.width();
        } while (x <= client.width());
        y += tile.height();
    } while (y <= client.height());
    return positions;
}
