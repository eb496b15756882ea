#pragma once

#include <QFont>

class QWidget;

// The windows' common font: the closest sans-serif at 11 pixels, standing in
// for the 8-point "MS Sans Serif" the layouts were drawn with.
QFont WindowFont();

// Yellow bold text on a transparent background, so the tiles show through.
void MakeYellowBold(QWidget *widget);
