#include "Colors.h"

QColor ToQColor(TColor color, const QPalette &palette)
{
    if (!(color & clSystemColor))
        return QColor(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));

    // System-colour indexes of the classic table, each sent to the palette role
    // that plays the same part in a Qt style.
    QPalette::ColorRole role = QPalette::WindowText;
    switch (color & ~clSystemColor) {
    case 0: // scroll bar
    case 3: // inactive caption
    case 28: // inactive caption gradient
        role = QPalette::Mid;
        break;
    case 1: // desktop
    case 12: // application workspace
        role = QPalette::Dark;
        break;
    case 2: // active caption
    case 13: // highlight
    case 27: // active caption gradient
    case 29: // menu highlight
        role = QPalette::Highlight;
        break;
    case 4: // menu
    case 10: // active border
    case 11: // inactive border
    case 30: // menu bar
        role = QPalette::Window;
        break;
    case 5: // window
        role = QPalette::Base;
        break;
    case 6: // window frame: the dark outline of the button Enter would press
    case 7: // menu text
        role = QPalette::WindowText;
        break;
    case 8: // window text
        role = QPalette::Text;
        break;
    case 9: // caption text
    case 14: // highlight text
        role = QPalette::HighlightedText;
        break;
    case 15: // button face
        role = QPalette::Button;
        break;
    case 16: // button shadow: the inner dark line of a raised button, mid grey
        role = QPalette::Dark;
        break;
    case 17: // grey text
    case 19: // inactive caption text
        role = QPalette::PlaceholderText;
        break;
    case 18: // button text
        role = QPalette::ButtonText;
        break;
    case 20: // button highlight
        role = QPalette::Light;
        break;
    case 21: // 3-D dark shadow: the outer line of a raised button, near black
        role = QPalette::Shadow;
        break;
    case 22: // 3-D light
        role = QPalette::Midlight;
        break;
    case 23: // tooltip text
        role = QPalette::ToolTipText;
        break;
    case 24: // tooltip background
        role = QPalette::ToolTipBase;
        break;
    case 26: // hot-tracked item
        role = QPalette::Link;
        break;
    default:
        break;
    }
    // A system colour does not change with the window's state, so always the
    // Active group.
    return palette.color(QPalette::Active, role);
}
