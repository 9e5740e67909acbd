#pragma once

class CommonDialog;

// The help file, given by its bare name: the help viewer decides where it is found.
inline constexpr char kHelpFileName[] = "orvquillory.hlp";
// The viewer's command for its help topics list.
inline constexpr int kHelpFinderCommand = 11;

// Help, Contents: opens the help file at its topics list through the main window's common
// dialog, and returns at once.
void ShowHelpContents(CommonDialog &dlgMain);
