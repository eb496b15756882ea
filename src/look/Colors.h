#pragma once

#include <QColor>
#include <QPalette>
#include <QtGlobal>

// Colours are stored as 0x00BBGGRR values, or as a system-colour index with the
// top bit set (0x8000000F is the button face). ToQColor() resolves both.
using TColor = quint32;

constexpr TColor RGBColor(int r, int g, int b)
{
    return TColor(r) | (TColor(g) << 8) | (TColor(b) << 16);
}

constexpr TColor clSystemColor = 0x80000000u;
constexpr TColor clWindowFrame = 0x80000006u;
constexpr TColor clBtnFace = 0x8000000Fu;
constexpr TColor clBtnShadow = 0x80000010u;
constexpr TColor clBtnText = 0x80000012u;
constexpr TColor clBtnHighlight = 0x80000014u;

constexpr TColor clBlack = RGBColor(0, 0, 0);
constexpr TColor clRed = RGBColor(255, 0, 0);
constexpr TColor clGreen = RGBColor(0, 128, 0);
constexpr TColor clYellow = RGBColor(255, 255, 0);
constexpr TColor clTeal = RGBColor(0, 128, 128);
constexpr TColor clGray = RGBColor(128, 128, 128);
constexpr TColor clNavy = RGBColor(0, 0, 128);
constexpr TColor clSkyBlue = RGBColor(166, 202, 240);

// Plain colours convert directly; system colours map to the matching palette role
// of the Active group, since a system colour does not change with the window's
// state. Indexes without a counterpart resolve to the window-text colour.
QColor ToQColor(TColor color, const QPalette &palette);
