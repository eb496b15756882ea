#pragma once

#include "Colors.h"

#include <QPushButton>

// A push button that paints its own face and caption: BackColor fills the face,
// ForeColor writes the caption and HoverColor replaces BackColor while the
// pointer is over the button. Everything else is the plain push button.
//
// The button Enter would press in its window (the focused push button, or the
// window's default button while the focus is on anything else) gets a dark
// outline; it follows QApplication::focusChanged, so it is false until the
// focus first moves within the window.
class TColorButton : public QPushButton
{
    Q_OBJECT
    Q_PROPERTY(quint32 BackColor READ BackColor WRITE SetBackColor)
    Q_PROPERTY(quint32 ForeColor READ ForeColor WRITE SetForeColor)
    Q_PROPERTY(quint32 HoverColor READ HoverColor WRITE SetHoverColor)

public:
    // Item-state bits read by DrawButton.
    enum ItemState : unsigned { odsSelected = 0x0001, odsDisabled = 0x0004, odsFocus = 0x0010 };

    explicit TColorButton(QWidget *parent = nullptr);
    ~TColorButton() override;

    TColor BackColor() const { return FBackColor; }
    void SetBackColor(TColor value);
    TColor ForeColor() const { return FForeColor; }
    void SetForeColor(TColor value);
    TColor HoverColor() const { return FHoverColor; }
    void SetHoverColor(TColor value);

    // True while this button is the one Enter would press in its window.
    bool IsActiveDefault() const { return FIsActiveDefault; }
    void SetActiveDefault(bool flag);

    // Paints the whole button into rect with the given item state.
    void DrawButton(QPainter &painter, const QRect &rect, unsigned itemState);

    // Number of repaints requested so far (setters request one only on change).
    int RepaintRequests() const { return FRepaintRequests; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void RequestRepaint();
    void FocusChanged(QWidget *old, QWidget *now);

    TColor FBackColor = clBtnFace;
    TColor FForeColor = clBtnText;
    TColor FHoverColor = clBtnFace;
    TColor FSavedBackColor = 0;
    bool FIsActiveDefault = false;
    // Between MouseEnter and MouseLeave; a leave without an enter before it
    // (or a second enter) would otherwise restore or save the wrong colour.
    bool FHovering = false;
    int FRepaintRequests = 0;
};
