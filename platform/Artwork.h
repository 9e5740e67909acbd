#pragma once

#include <QPixmap>

// Small pictures the program draws itself, so a bare machine shows them too.
namespace Artwork {

// A closed padlock, for the windows that deal with passwords.
QPixmap Padlock(int size);

// A quill standing in an inkwell, for the author's card.
QPixmap QuillAndInkwell(int size);

} // namespace Artwork
