// Placeholder until the look lands; keeps the tree building.
#include "ColorButton.h"
#include "FormPainter.h"

#include <QPainter>

QColor ToQColor(TColor color, const QPalette &)
{
    return QColor(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));
}

TFormPainter::TFormPainter() = default;
TFormPainter::TFormPainter(const QString &resourceName)
    : FBitmap(QStringLiteral(":/") + resourceName)
{
}
void TFormPainter::PaintForm(QWidget *) const { }
void TFormPainter::PaintForm(QPainter &, const QSize &) const { }
QList<QPoint> TFormPainter::TilePositions(const QSize &, const QSize &) { return {}; }

TColorButton::TColorButton(QWidget *parent)
    : QPushButton(parent)
{
}
TColorButton::~TColorButton() = default;
void TColorButton::SetBackColor(TColor value) { FBackColor = value; }
void TColorButton::SetForeColor(TColor value) { FForeColor = value; }
void TColorButton::SetHoverColor(TColor value) { FHoverColor = value; }
void TColorButton::SetActiveDefault(bool flag) { FIsActiveDefault = flag; }
void TColorButton::DrawButton(QPainter &, const QRect &, unsigned) { }
void TColorButton::paintEvent(QPaintEvent *e) { QPushButton::paintEvent(e); }
void TColorButton::enterEvent(QEnterEvent *e) { QPushButton::enterEvent(e); }
void TColorButton::leaveEvent(QEvent *e) { QPushButton::leaveEvent(e); }
void TColorButton::changeEvent(QEvent *e) { QPushButton::changeEvent(e); }
void TColorButton::RequestRepaint() { }
