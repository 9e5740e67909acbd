#pragma once

#include <QApplication>
#include <memory>

// The application object. Where Qt finds no display to show windows on (none named, or one that
// nobody serves), it would end the process with abort() and a core dump; instead the process
// ends here with one line that says so and exit status 1. Qt's other messages of that moment
// are held back until the application object stands, then passed on.
std::unique_ptr<QApplication> StartApplication(int &argc, char **argv);
