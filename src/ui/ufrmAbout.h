#pragma once

#include <QDialog>

class QLabel;
class TFormPainter;

// The about box: program name, version, a picture and a hidden label that is
// shown only when the box is opened with Ctrl+Alt+F11.
class TAboutBox : public QDialog
{
    Q_OBJECT

public:
    explicit TAboutBox(QWidget *parent = nullptr);

    // Borrows the main window's painter; never frees it.
    void SetPainter(TFormPainter *painter) { FPainter = painter; }

    QLabel *lbHiddenText = nullptr;

private:
    TFormPainter *FPainter = nullptr;
};
