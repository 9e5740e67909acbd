#!/usr/bin/python3
"""A screen-reader user's journey: controls found by role and name, buttons pressed by their
Press action, keys from AT-SPI's own keyboard. With "where", prints "x y", the middle of the
control NAME (or "role:ROLE") in the window TITLE; with "focused", waits instead for that control
to have the keyboard focus.
Usage: screenreader.py <program> <entry file to save> <file for the program's output>
       screenreader.py where <window title> <control name> [focused]"""
import os
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

RETURN = 0xFF0D
LINE = "Dear diary, I heard every word."


def fail(message):
    print("FAIL: " + message, flush=True)
    sys.exit(1)


def step(message):
    print("-- " + message, flush=True)


def wait_for(what, found, seconds=20):
    """Handles the screen reader's events until found() gives something, which it returns."""
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        while GLib.MainContext.default().iteration(False):
            pass
        try:
            value = found()
        except GLib.GError:  # an object gone while we looked
            value = None
        if value:
            return value
        time.sleep(0.1)
    fail(what)


def application():
    return next((app for app in pyatspi.Registry.getDesktop(0)
                 if app is not None and app.name == "Quillory"), None)


def window(app, name, role):
    found = wait_for(f"no window '{name}'", lambda: next(
        (candidate for candidate in app if candidate is not None and candidate.name == name
         and candidate.getState().contains(pyatspi.STATE_SHOWING)), None))
    if found.getRoleName() != role:
        fail(f"the window '{name}' is a {found.getRoleName()}, not a {role}")
    return found


def control(root, role, name):
    def shown(candidate):
        return candidate is not None and candidate.getRoleName() == role and \
            candidate.name == name and candidate.getState().contains(pyatspi.STATE_SHOWING)
    return wait_for(f"no {role} '{name}' shown in '{root.name}'",
                    lambda: pyatspi.findDescendant(root, shown))


def focused(field):
    wait_for(f"'{field.name}' does not take the keys",
             lambda: field.getState().contains(pyatspi.STATE_FOCUSED))


def press(root, name):
    button = control(root, "push button", name)
    action = button.queryAction()
    if action.nActions == 0 or action.getName(0) != "Press":
        fail(f"'{name}' cannot be pressed")
    action.doAction(0)
    return button


def type_keys(text):
    pyatspi.Registry.generateKeyboardEvent(0, text, pyatspi.KEY_STRING)


def journey(app, saved):
    step("the gate: both passwords typed, Check and Continue pressed")
    gate = window(app, "Password entry", "dialog")
    focused(control(gate, "password text", "Pass #1"))
    type_keys("journal")
    pyatspi.Registry.generateKeyboardEvent(RETURN, None, pyatspi.KEY_SYM)
    focused(control(gate, "password text", "Pass #2"))
    type_keys("diary")
    press(gate, "Check")
    press(gate, "Continue")

    step("a line typed into the entry: the marker says so")
    main = window(app, "Main screen", "frame")
    renamed = []
    pyatspi.Registry.registerEventListener(lambda event: renamed.append(event.source.name),
                                           "object:property-change:accessible-name")
    entry = control(main, "text", "Journal entry")
    focused(entry)
    type_keys(LINE)
    wait_for("the entry does not hold the typed line",
             lambda: entry.queryText().getText(0, -1) == LINE)
    status = control(main, "status bar", "")
    wait_for("the marker did not announce 'NOT SAVED!'",
             lambda: status[1].name == "NOT SAVED!" and "NOT SAVED!" in renamed)

    step("a paragraph of 42,000 characters: a line read from its middle is one line")
    paragraph = "Kept for years, day by day. " * 1500
    entry.queryEditableText().insertText(len(LINE), paragraph, len(paragraph))
    text = entry.queryText()
    wait_for("the paragraph did not arrive", lambda: text.characterCount > len(paragraph))
    _, start, end = text.getTextAtOffset(20000, pyatspi.TEXT_BOUNDARY_LINE_START)
    if not 10 < end - start < 200:
        fail(f"the line read at 20000 runs from {start} to {end}")

    step("Bold: a toggle button, checked once pressed")
    bold = press(main, "Bold")
    wait_for("Bold is not checked", lambda: bold.getState().contains(pyatspi.STATE_CHECKED))

    step("Save: the file dialog answered through its controls")
    press(main, "Save")
    dialog = window(app, "Save file", "dialog")
    control(dialog, "text", "File name:").queryEditableText().setTextContents(saved)
    press(dialog, "Save")
    wait_for("the entry was not saved", lambda: os.path.exists(saved))
    wait_for("the status bar does not show the saved file and a blank marker",
             lambda: status[0].name == saved and status[1].name == "")

    step("Exit, then Yes in the quit window")
    press(main, "Exit")
    press(window(app, "Quit program?", "dialog"), "Yes")


def where(title, name, focus):
    role = name[len("role:"):] if name.startswith("role:") else None

    def wanted(candidate):
        return candidate is not None and \
            (candidate.getRoleName() == role if role else candidate.name == name)

    def found():
        for window in application() or []:
            if window is not None and window.name == title and \
                    window.getState().contains(pyatspi.STATE_SHOWING):
                hit = pyatspi.findDescendant(window, wanted)
                if hit and (not focus or hit.getState().contains(pyatspi.STATE_FOCUSED)):
                    return hit
        return None
    hit = wait_for(f"no {'focused ' if focus else ''}control '{name}' in a window '{title}'", found)
    if not focus:
        box = hit.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        print(box.x + box.width // 2, box.y + box.height // 2)


def main(program_path, saved, output):
    with open(output, "w") as log:
        program = subprocess.Popen(
            [program_path], stdout=log, stderr=subprocess.STDOUT,
            env=dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1"))
    try:
        journey(wait_for("the program does not show in AT-SPI", application, 30), saved)
        try:
            status = program.wait(10)
        except subprocess.TimeoutExpired:
            fail("the program runs on after Yes")
        if status != 0:
            fail(f"the program ended with status {status}")
    finally:
        if program.poll() is None:
            program.kill()
            program.wait()


if sys.argv[1] == "where":
    where(sys.argv[2], sys.argv[3], sys.argv[4:] == ["focused"])
else:
    main(*sys.argv[1:4])
