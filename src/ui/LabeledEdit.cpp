#include "LabeledEdit.h"

#include <QLabel>

TLabeledEdit::TLabeledEdit(QWidget *parent, const QString &caption, int spacing)
    : QLineEdit(parent)
    , FLabel(new QLabel(caption, parent))
    , FSpacing(spacing)
{
    FLabel->setBuddy(this);
}

void TLabeledEdit::SetBounds(int left, int top, int width, int height)
{
    setGeometry(left, top, width, height);
    FLabel->adjustSize();
    const int labelWidth = FLabel->width();
    const int labelHeight = FLabel->sizeHint().height();
    FLabel->setGeometry(
        left - FSpacing - labelWidth, top + (height - labelHeight) / 2, labelWidth, labelHeight);
}
