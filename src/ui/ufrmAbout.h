#pragma once

#include <QByteArray>
#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;
class TFormPainter;

// The about box: program name, version, a picture and a hidden label that is
// shown only when the box is opened with Ctrl+Alt+F11. It lives for the whole
// run and is only shown and hidden. The picture and the hidden label's text
// are filled in when the box first shows.
class TAboutBox : public QDialog
{
    Q_OBJECT

public:
    explicit TAboutBox(QWidget *parent = nullptr);

    void setVisible(bool visible) override;

    // Borrows the main window's painter; never frees it. No repaint is asked for.
    void SetPainter(const TFormPainter *painter) { FPainter = painter; }

    // The hidden text as compiled into the program (scrambled, 39 bytes).
    static QByteArray StoredHiddenText();

    // Controls, named as in the box's layout (public so tests can reach them).
    QFrame *Panel1 = nullptr;
    QLabel *ProgramIcon = nullptr;
    QLabel *ProductName = nullptr;
    QLabel *Version = nullptr;
    QLabel *lbHiddenText = nullptr;
    QPushButton *OKButton = nullptr;

protected:
    void paintEvent(QPaintEvent *event) override;
    // Centred on the screen at every showing, not over the main window.
    void showEvent(QShowEvent *event) override;
    // The box has no cancel button, so Escape leaves it open.
    void keyPressEvent(QKeyEvent *event) override;

private:
    void FormCreate();
    void FormPaint();

    const TFormPainter *FPainter = nullptr;
    bool FCreated = false;
};
