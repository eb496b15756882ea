#include "WindowLook.h"

#include <QPalette>
#include <QWidget>

QFont WindowFont()
{
    QFont font;
    // Metric-compatible faces first; DejaVu Sans is wider but always present.
    font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
        QStringLiteral("Arial"), QStringLiteral("Nimbus Sans"), QStringLiteral("Helvetica"),
        QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    return font;
}

void MakeYellowBold(QWidget *widget)
{
    QFont font = widget->font();
    font.setBold(true);
    widget->setFont(font);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, QColor(255, 255, 0));
    palette.setColor(QPalette::ButtonText, QColor(255, 255, 0));
    widget->setPalette(palette);
    widget->setAutoFillBackground(false);
}
