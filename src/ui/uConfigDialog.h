#pragma once

#include "UiServices.h"

#include <QDialog>

class QCheckBox;
class QFrame;
class QKeyEvent;
class QLabel;
class QToolButton;
class TColorButton;
class TDWInterface;
class TFormPainter;
class TLabeledEdit;
class TTypingLimit;

// Edits the rarely changed settings: the programmer tool's path, the serial
// port, the baud rate and the RTS switch. A new dialog is made for every
// opening; it works on the main window's settings object in memory.
class TfrmConfigDialog : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmConfigDialog(QWidget *parent = nullptr);

    // Borrows the main window's painter; never frees it. Without one the
    // dialog shows its plain background colour.
    void SetPainter(const TFormPainter *painter) { FPainter = painter; }

    void LoadFrom(const TDWInterface &settings);
    // Stores the path, the port, the baud rate and the RTS switch in this
    // order; a port or baud text that is not a whole number throws TError and
    // ends the save at that step, keeping the steps done before it.
    void SaveTo(TDWInterface &settings) const;

    // Controls, named as in the dialog's layout (public so tests can reach them).
    QFrame *Bevel1 = nullptr;
    TLabeledEdit *leDWProgram = nullptr;
    QToolButton *sbDranelWisp = nullptr;
    TLabeledEdit *lePort = nullptr;
    TLabeledEdit *leBaud = nullptr;
    QLabel *Label1 = nullptr;
    QCheckBox *cbRTSOn = nullptr;
    TColorButton *btRead = nullptr; // "OK"
    TColorButton *btProgram = nullptr; // "Cancel"

    // What the "locate the tool" file dialog is asked for; its file name
    // follows the user's last choice.
    TOpenFileRequest odDranel;

public slots:
    void sbDranelWispClick();

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormPaint();
    // Returns true when the key was taken (Escape closes the dialog as Cancel).
    bool FormKeyPress(QKeyEvent *event);

    const TFormPainter *FPainter = nullptr;
    // Typing limits of the port and baud boxes (owned by the boxes).
    TTypingLimit *FPortLimit = nullptr;
    TTypingLimit *FBaudLimit = nullptr;
};
