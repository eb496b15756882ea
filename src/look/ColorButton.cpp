#include "ColorButton.h"

#include <QApplication>
#include <QEnterEvent>
#include <QPainter>

namespace {

// Restores the painter on every path out of DrawButton, also when drawing fails.
class TPainterStateGuard
{
public:
    explicit TPainterStateGuard(QPainter &painter)
        : FPainter(painter)
    {
        FPainter.save();
    }
    ~TPainterStateGuard() { FPainter.restore(); }
    TPainterStateGuard(const TPainterStateGuard &) = delete;
    TPainterStateGuard &operator=(const TPainterStateGuard &) = delete;

private:
    QPainter &FPainter;
};

// One-pixel outline just inside r.
void FrameRect(QPainter &painter, const QRect &r, const QColor &color)
{
    painter.fillRect(QRect(r.left(), r.top(), r.width(), 1), color);
    painter.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), color);
    painter.fillRect(QRect(r.left(), r.top(), 1, r.height()), color);
    painter.fillRect(QRect(r.right(), r.top(), 1, r.height()), color);
}

// One ring of a 3-D edge: top and left in one colour, bottom and right in the
// other, the latter taking the top-right and bottom-left corners.
void EdgeRing(QPainter &painter, const QRect &r, const QColor &topLeft, const QColor &bottomRight)
{
    painter.fillRect(QRect(r.left(), r.top(), r.width(), 1), topLeft);
    painter.fillRect(QRect(r.left(), r.top(), 1, r.height()), topLeft);
    painter.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), bottomRight);
    painter.fillRect(QRect(r.right(), r.top(), 1, r.height()), bottomRight);
}

// The raised push-button frame, two pixels wide, with its inside in button
// face; r shrinks to the area inside the frame. The inactive frame keeps the
// geometry but softens the bottom-right lines, so a disabled button looks flat.
void DrawPushFrame(QPainter &painter, QRect &r, bool inactive, const QPalette &palette)
{
    const QColor light = ToQColor(clBtnHighlight, palette);
    const QColor midlight = ToQColor(0x80000016u, palette); // 3-D light
    const QColor shadow = ToQColor(clBtnShadow, palette);
    const QColor darkShadow = ToQColor(0x80000015u, palette); // 3-D dark shadow
    EdgeRing(painter, r, light, inactive ? shadow : darkShadow);
    r.adjust(1, 1, -1, -1);
    EdgeRing(painter, r, midlight, inactive ? midlight : shadow);
    r.adjust(1, 1, -1, -1);
    painter.fillRect(r, ToQColor(clBtnFace, palette));
}

// Dotted rectangle on the border of r: every other pixel, starting at the
// top-left corner, the way the system's focus rectangle looks.
void DrawFocusRect(QPainter &painter, const QRect &r, const QColor &color)
{
    if (r.isEmpty())
        return;
    auto dot = [&](int x, int y) {
        if ((x - r.left() + y - r.top()) % 2 == 0)
            painter.fillRect(QRect(x, y, 1, 1), color);
    };
    for (int x = r.left(); x <= r.right(); ++x) {
        dot(x, r.top());
        dot(x, r.bottom());
    }
    for (int y = r.top() + 1; y < r.bottom(); ++y) {
        dot(r.left(), y);
        dot(r.right(), y);
    }
}

} // namespace

TColorButton::TColorButton(QWidget *parent)
    : QPushButton(parent)
{
    // Every pixel of the button is painted by DrawButton.
    setAttribute(Qt::WA_OpaquePaintEvent);
    connect(qApp, &QApplication::focusChanged, this, &TColorButton::FocusChanged);
}

TColorButton::~TColorButton() = default;

void TColorButton::SetBackColor(TColor value)
{
    if (value == FBackColor)
        return;
    FBackColor = value;
    RequestRepaint();
}

void TColorButton::SetForeColor(TColor value)
{
    if (value == FForeColor)
        return;
    FForeColor = value;
    RequestRepaint();
}

void TColorButton::SetHoverColor(TColor value)
{
    if (value == FHoverColor)
        return;
    FHoverColor = value;
    RequestRepaint();
}

void TColorButton::SetActiveDefault(bool flag)
{
    if (flag == FIsActiveDefault)
        return;
    FIsActiveDefault = flag;
    RequestRepaint();
}

void TColorButton::FocusChanged(QWidget *, QWidget *now)
{
    if (!now || now->window() != window())
        return;
    // A focused push button is the one Enter presses; from any other control
    // Enter presses the window's default button.
    if (qobject_cast<QPushButton *>(now))
        SetActiveDefault(now == this);
    else
        SetActiveDefault(isDefault());
}

void TColorButton::DrawButton(QPainter &painter, const QRect &rect, unsigned itemState)
{
    const TPainterStateGuard guard(painter);
    // System colours are the system's, not this button's: the windows give
    // their buttons a yellow text palette, which must not reach the dark
    // outline or the focus rectangle.
    const QPalette pal = QApplication::palette();
    painter.setFont(font());

    const bool pressed = itemState & odsSelected;
    const bool disabled = itemState & odsDisabled;
    const bool focused = itemState & odsFocus;
    QRect r = rect;
    const QRect original = rect;

    // The button Enter would press, and the focused one, get a dark outline.
    if (FIsActiveDefault || focused) {
        FrameRect(painter, r, ToQColor(clWindowFrame, pal));
        r.adjust(1, 1, -1, -1);
    }

    if (pressed) {
        FrameRect(painter, r, ToQColor(clBtnShadow, pal));
        painter.fillRect(r.adjusted(1, 1, -1, -1), ToQColor(clBtnFace, pal));
        r.adjust(1, 1, -1, -1);
        // The face and its caption sink by one pixel, over the right and
        // bottom shadow lines.
        r.translate(1, 1);
    } else {
        DrawPushFrame(painter, r, disabled, pal);
    }

    painter.fillRect(r, ToQColor(FBackColor, pal));

    const QString caption = text();
    if (disabled) {
        // Embossed grey caption: a light copy one pixel down and right under
        // a shadow copy. Its place is computed from the measured text, halving
        // toward zero, so a caption wider than the face starts left of it.
        const QFontMetrics metrics = painter.fontMetrics();
        const int width = metrics.horizontalAdvance(caption);
        const int height = metrics.height();
        const int x = r.left() + (r.width() - width) / 2;
        const int y = r.top() + (r.height() - height) / 2 + metrics.ascent();
        painter.setPen(ToQColor(clBtnHighlight, pal));
        painter.drawText(QPoint(x + 1, y + 1), caption);
        painter.setPen(ToQColor(clBtnShadow, pal));
        painter.drawText(QPoint(x, y), caption);
    } else {
        painter.setPen(ToQColor(FForeColor, pal));
        painter.drawText(r, Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic, caption);
    }

    if (FIsActiveDefault && focused)
        DrawFocusRect(painter, original.adjusted(4, 4, -4, -4), ToQColor(clWindowFrame, pal));
}

void TColorButton::paintEvent(QPaintEvent *)
{
    unsigned state = 0;
    if (isDown())
        state |= odsSelected;
    if (!isEnabled())
        state |= odsDisabled;
    if (hasFocus())
        state |= odsFocus;
    QPainter painter(this);
    DrawButton(painter, rect(), state);
}

void TColorButton::enterEvent(QEnterEvent *event)
{
    if (!FHovering) {
        FHovering = true;
        FSavedBackColor = FBackColor;
        SetBackColor(FHoverColor);
    }
    RequestRepaint();
    QPushButton::enterEvent(event);
}

void TColorButton::leaveEvent(QEvent *event)
{
    if (FHovering) {
        FHovering = false;
        SetBackColor(FSavedBackColor);
    }
    RequestRepaint();
    QPushButton::leaveEvent(event);
}

void TColorButton::changeEvent(QEvent *event)
{
    QPushButton::changeEvent(event);
    if (event->type() == QEvent::EnabledChange || event->type() == QEvent::FontChange)
        RequestRepaint();
}

void TColorButton::RequestRepaint()
{
    ++FRepaintRequests;
    update();
}
