#pragma once

// What a screen reader is told beyond captions and names: the key of a button
// that runs an action, and that the log window is a window.

class QAbstractButton;
class QAction;

// The button runs the action: a screen reader tells the action's short cut
// as the button's key. The button gets no short cut of its own, which would
// make the key ambiguous in the window.
void SetBoundAction(QAbstractButton *button, QAction *action);
