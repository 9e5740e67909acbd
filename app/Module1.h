#pragma once

#include <QString>
#include <QtGlobal>
#include <memory>

class CuePlayer;
class FormRegistry;
class MessageBoxPresenter;
class RuntimeError;

// The program's shared module: its application-wide variables and routines. The variables
// start at zero or empty at every start and are never saved; the flags hold 1 or 0 and are
// always tested against 1.
namespace Module1 {

inline qint16 gModified = 0;
inline qint16 gSoundOn = 0;
inline QString gLogMessage;
inline qint16 gCardArmed = 0;
inline qint16 gShift = 0;

// The application path: the folder of the user's files (password files, security log). The
// program's folder, unless start-up chose another (AppFolder.h).
QString AppPath();
// Points the application path elsewhere; an empty path restores the program's folder.
void SetAppPath(const QString &path);
// Application path, a separator (always added), then the file name.
QString AppFile(const QString &fileName);
// The folder of the program's own files (sound cues, help file), which it only reads.
QString ProgramPath();
// Points it elsewhere (tests); an empty path restores the program's folder.
void SetProgramPath(const QString &path);

// The windows of the run.
FormRegistry &Forms();

// The platform's services; tests install fakes.
CuePlayer &Cues();
void SetCuePlayer(std::unique_ptr<CuePlayer> player);
MessageBoxPresenter &MessageBox();
void SetMessageBox(std::unique_ptr<MessageBoxPresenter> presenter);

// Plays "\graphics\....wav" from the program's folder, asynchronously. Whether a cue depends
// on gSoundOn is the caller's matter.
void PlayCue(const QString &cueText);

// Enter (13) becomes a move of the focus to the next control, as Tab would move it, once the
// current key event is over; the key code is set to 0 so the Enter never arrives.
void EnterAsTab(qint16 &keyAscii);

// Shows the modified marker of the main window from gModified: "NOT SAVED!" with the whole
// status bar in bold when it is 1, an empty panel in regular type otherwise.
void UpdateModifiedPanel();

// Appends gLogMessage, the date and the time as one line to the security log.
void WriteLogEntry();

// The runtime's error object: the number of the error being handled, which a message window
// may read when it loads.
struct ErrObject {
    int Number = 0;
};
ErrObject &Err();

// An error no routine handles: the platform's standard message, then the program ends.
// `about` (the file it concerns, and what to do) follows the error's description.
void EndWithUnhandledError(const RuntimeError &error, const QString &about = QString());

// Everything back to the state of a fresh start: variables zeroed, windows destroyed,
// silent platform services, both folders the program's own. For tests.
void Reset();

} // namespace Module1
