#pragma once

#include <QLineEdit>

class QLabel;

// An edit box with its caption label standing to its left, a fixed number of
// pixels apart. The label is a sibling of the edit box and moves with it.
class TLabeledEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit TLabeledEdit(QWidget *parent, const QString &caption, int spacing = 5);

    QLabel *EditLabel() const { return FLabel; }
    // Places the edit box and its label (right-aligned against the box).
    void SetBounds(int left, int top, int width, int height);

private:
    QLabel *FLabel;
    int FSpacing;
};
