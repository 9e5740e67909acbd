#pragma once

#include <QIcon>
#include <QPixmap>

// The picture of a toolbar button, by the button's key: the desktop icon theme's icon where the
// theme has a fitting one, else our own drawing.
QIcon ToolbarPicture(const QString &key);

// Our own 24 x 24 drawing for a key; a null pixmap for an unknown key.
QPixmap DrawnToolbarPicture(const QString &key);
