#pragma once

#include <QtGlobal>

class QKeyEvent;

// The character code a key press delivers to a control, as its KeyPress event sees it:
// Enter 13, Backspace 8, Escape 27, Ctrl+letter 1..26, printable characters their code.
// -1 for keys that deliver no character (arrows, Delete, function keys, lone modifiers).
int KeyAsciiOf(const QKeyEvent *event);
