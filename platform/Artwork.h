#pragma once

#include <QPixmap>

// Small pictures the program draws itself, so a bare machine shows them too.
namespace Artwork {

// A closed padlock, for the windows that deal with passwords.
QPixmap Padlock(int size);

} // namespace Artwork
