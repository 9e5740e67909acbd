#include "entry/EntryFiles.h"

// Not written yet: the entry file task fills these.
void Module1::SaveEntry() {}
void Module1::OpenEntry() {}
