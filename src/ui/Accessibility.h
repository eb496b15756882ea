#pragma once

// What a screen reader is told beyond captions and names: the key of a button
// that runs an action, and that the log window is a window.

#include <QPushButton>

class QAbstractButton;
class QAction;

// Tells the toolkit the descriptions below; idempotent. Windows call it when
// they are made.
void InstallAccessibility();

// The button runs the action: a screen reader tells the action's short cut
// as the button's key. The button gets no short cut of its own, which would
// make the key ambiguous in the window.
void SetBoundAction(QAbstractButton *button, QAction *action);

// A plain push button that runs an action. The toolkit describes a plain
// QPushButton itself, before any description of ours; this class of its own
// lets SetBoundAction's key reach the screen reader.
class TActionButton : public QPushButton
{
    Q_OBJECT

public:
    using QPushButton::QPushButton;
};
