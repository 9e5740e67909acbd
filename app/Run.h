#pragma once

// app/: the run itself, above the platform and below every window: the start of the program
// (StartApplication, the splash), the window registry (FormRegistry, Forms()), the run's two
// switches (Flags()), the routines every window shares (PlayCue, EnterAsTab) and the folder the
// run keeps its files in. Windows build on these; nothing here knows a window above it. Where
// one window leads to another, the window says so with a signal and the main window's folder,
// which composes them all, lays the road (mainwindow/Journey.h).
#include <QString>

namespace Module1 {

// The application path: the folder of the user's files (password files, security log). The
// program's folder, unless start-up chose another (security/AppFolder.h).
QString AppPath();
// Points the application path elsewhere; an empty path restores the program's folder.
void SetAppPath(const QString &path);
// Application path, a separator (always added), then the file name.
QString AppFile(const QString &fileName);
// The folder of the program's own files (sound cues, help file), which it only reads.
QString ProgramPath();
// Points it elsewhere (tests); an empty path restores the program's folder.
void SetProgramPath(const QString &path);

// Everything back to the state of a fresh start: windows destroyed, the switches off, the
// platform's own services, both folders the program's own.
void Reset();

} // namespace Module1
