#pragma once

#include <QIcon>
#include <QPixmap>

class QPainter;

// Small pictures the program draws itself, so a bare machine shows them too.
namespace Artwork {

// A closed padlock, for the windows that deal with passwords.
QPixmap Padlock(int size);

// A quill standing in an inkwell, for the author's card.
QPixmap QuillAndInkwell(int size);

// The program's own icon: a journal page with the quill and inkwell, drawn in a square of
// `size` on any paint device (a picture, or a scalable drawing for the desktop's icon theme).
void DrawApplicationIcon(QPainter &painter, qreal size);
QIcon ApplicationIcon();

} // namespace Artwork
