#pragma once

#include <QString>

// A caption as a screen reader should speak it: without the access-key "&" ("C&heck" ->
// "Check", "&&" -> "&").
QString AccessibleNameOf(const QString &caption);
