#include "ufrmAbout.h"

#include <QLabel>

// Placeholder until the about box lands.
TAboutBox::TAboutBox(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("About"));
    lbHiddenText = new QLabel(this);
    lbHiddenText->setVisible(false);
}
