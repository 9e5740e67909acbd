#!/usr/bin/python3
"""Prints "x y", the middle of the control named NAME (or "role:ROLE", the first of that role)
in the window titled TITLE of the running Quillory on the screen, as the accessibility tree
(AT-SPI) reports it; with "focused", waits instead until that control has the keyboard focus.
Waits up to 20 seconds.

Usage: where.py <window title> <control name> [focused]
"""
import sys
import time

import pyatspi


def control(title, name):
    role = name[len("role:"):] if name.startswith("role:") else None

    def wanted(candidate):
        return candidate is not None and \
            (candidate.getRoleName() == role if role else candidate.name == name)
    for app in pyatspi.Registry.getDesktop(0):
        if app is None or app.name != "Quillory":
            continue
        for window in app:
            if window is not None and window.name == title and \
                    window.getState().contains(pyatspi.STATE_SHOWING):
                return pyatspi.findDescendant(window, wanted)
    return None


def main():
    title, name = sys.argv[1:3]
    focused = sys.argv[3:] == ["focused"]
    end = time.monotonic() + 20
    while time.monotonic() < end:
        found = control(title, name)
        if found is not None and focused:
            if found.getState().contains(pyatspi.STATE_FOCUSED):
                return
        elif found is not None:
            box = found.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            print(box.x + box.width // 2, box.y + box.height // 2)
            return
        time.sleep(0.1)
    sys.exit(f"no {'focused ' if focused else ''}control '{name}' in a window '{title}'")


main()
