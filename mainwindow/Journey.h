#pragma once

#include <QString>

class FormRegistry;

// The road of a run from window to window, laid once on the run's registry: the splash, once
// over, shows the password gate; the gate, accepted and continued, shows the main window, and so
// do passwords saved in the change window; the About window arms the hidden card's lock, and the
// card put away hides the main window's code box. Each window only says what happened, by a
// signal; this is the one place that knows where it leads. `entryToOpen`, a file given on the
// command line, opens once the main window stands, as File, Open would open it.
void LayTheRoad(FormRegistry &forms, const QString &entryToOpen = QString());
