#pragma once

#include "Colors.h"

#include <QFont>

class QComboBox;
class QDialog;
class QString;
class QSize;
class QWidget;

// The windows' common font at 11 pixels: the 8-point "MS Sans Serif" the
// layouts were drawn with on Windows, the closest sans-serif elsewhere.
QFont WindowFont();

// Yellow bold text on a transparent background, so the tiles show through.
void MakeYellowBold(QWidget *widget);

// A fixed-size dialog with a close box only, the common font and a plain
// background colour under the tiles.
void SetupFixedDialog(
    QDialog *dialog, const QString &caption, const QSize &clientSize, TColor background);

// A drop-down list without typing that shows at most `rows` rows when dropped
// down, each `itemHeight` pixels high or as high as the font needs.
QComboBox *NewDropDownList(QWidget *parent, int rows, int itemHeight);
