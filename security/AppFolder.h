#pragma once

#include <QString>

// Where a run keeps the user's files (password files, security log). A portable copy keeps
// them beside itself: its folder is writable and holds the password files. An installed copy
// keeps them in a per-user folder instead, made for its owner alone at the first start and
// given the first password files that come with the program.
namespace AppFolder {

// Below the program's folder: the first password files of an installed copy.
inline constexpr const char *kFirstPasswords = "first-passwords";

// The application path of a program in `programFolder`: that folder when the copy is portable,
// else `userFolder`, made and given the first password files when it holds neither password
// file. Throws RuntimeError, its detail naming the file or folder, when that fails.
QString Choose(const QString &programFolder, const QString &userFolder);

// The per-user folder of an installed copy (~/.local/share/Quillory).
QString UserFolder();

// Sets this run's application path for the program's own folder. When the per-user folder
// cannot be had, tells the user why and ends the program: false.
bool SetUpForThisRun();

} // namespace AppFolder
