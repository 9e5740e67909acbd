#include "tools/HelpContents.h"

#include "platform/CommonDialog.h"

void ShowHelpContents(CommonDialog &dlgMain) {
    dlgMain.HelpFile = QLatin1String(kHelpFileName);
    dlgMain.HelpCommand = kHelpFinderCommand;
    dlgMain.ShowHelp();
}
