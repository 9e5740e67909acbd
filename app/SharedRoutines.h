#pragma once

#include <QString>
#include <QtGlobal>

// The two routines every window shares.
namespace Module1 {

// Plays "\graphics\....wav" from the program's folder, asynchronously. Whether a cue depends
// on gSoundOn is the caller's matter.
void PlayCue(const QString &cueText);

// Enter (13) becomes a move of the focus to the next control, as Tab would move it, once the
// current key event is over; the key code is set to 0 so the Enter never arrives.
void EnterAsTab(qint16 &keyAscii);

} // namespace Module1
