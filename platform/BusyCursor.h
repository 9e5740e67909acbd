#pragma once

#include <QGuiApplication>

// The busy cursor over every window of the program for as long as it lives: for work that
// keeps the user waiting without a window of its own (opening or saving a large entry).
class BusyCursor {
public:
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};
