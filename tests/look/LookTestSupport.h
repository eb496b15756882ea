#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPalette>
#include <QRect>
#include <QWidget>

// Shared by the look tests: a palette whose roles are all told apart by colour,
// the buttons' font, and pixel helpers.
namespace LookTest {

inline QPalette DistinctPalette()
{
    QPalette p;
    p.setColor(QPalette::Button, QColor(220, 210, 190));
    p.setColor(QPalette::ButtonText, QColor(20, 30, 160));
    p.setColor(QPalette::Light, QColor(255, 255, 250));
    p.setColor(QPalette::Midlight, QColor(235, 228, 215));
    p.setColor(QPalette::Mid, QColor(180, 170, 160));
    p.setColor(QPalette::Dark, QColor(150, 140, 130));
    p.setColor(QPalette::Shadow, QColor(60, 50, 40));
    p.setColor(QPalette::WindowText, QColor(10, 10, 10));
    p.setColor(QPalette::Window, QColor(200, 200, 200));
    return p;
}

inline QFont ButtonFont()
{
    QFont font(QStringLiteral("sans-serif"));
    font.setPixelSize(11);
    font.setBold(true);
    return font;
}

inline QImage Grab(QWidget &widget)
{
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

inline bool Is(const QImage &image, int x, int y, const QColor &color)
{
    return image.pixel(x, y) == color.rgb();
}

// Bounding box of the pixels of exactly that colour inside area.
inline QRect BoxOf(const QImage &image, const QColor &color, QRect area = QRect())
{
    if (area.isNull())
        area = image.rect();
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (Is(image, x, y, color))
                box |= QRect(x, y, 1, 1);
    return box;
}

inline int Count(const QImage &image, const QColor &color, QRect area = QRect())
{
    if (area.isNull())
        area = image.rect();
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += Is(image, x, y, color);
    return n;
}

} // namespace LookTest
