#include "WindowLook.h"

#include <QDialog>
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

void SetupFixedDialog(
    QDialog *dialog, const QString &caption, const QSize &clientSize, TColor background)
{
    dialog->setWindowTitle(caption);
    dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
        | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    dialog->setFixedSize(clientSize);
    dialog->setFont(WindowFont());
    QPalette palette = dialog->palette();
    palette.setColor(QPalette::Window, ToQColor(background, palette));
    dialog->setPalette(palette);
}
