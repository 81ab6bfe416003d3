"""Usage: accessibility_walk.py TITLE LEAST

Walks one window of the program through AT-SPI and fails on any control that
takes the focus but has no name a screen reader could say: none, or only
punctuation (a button captioned "..." is heard as dots); and on a window
with fewer focusable controls than LEAST, which it has."""
import sys
import time

import pyatspi

# Parts of compound controls that speak through their whole: a list's entries,
# a scroll bar's arrows, a file list's cells.
PARTS = {pyatspi.ROLE_LIST_ITEM, pyatspi.ROLE_TABLE_CELL}


def window_named(title):
    for _ in range(300):
        for app in pyatspi.Registry.getDesktop(0):
            for window in app or []:
                if window is not None and window.name == title:
                    return window
        time.sleep(0.1)
    sys.exit(f"FAIL: no window {title!r} on the accessibility bus")


def walk(node, found):
    for child in node:
        if child is None:
            continue
        states = child.getState()
        if (states.contains(pyatspi.STATE_FOCUSABLE) and states.contains(pyatspi.STATE_SHOWING)
                and child.getRole() not in PARTS):
            found.append(child)
        walk(child, found)


title, least = sys.argv[1], int(sys.argv[2])
controls = []
# The window's controls appear once it has been laid out: wait for them.
for _ in range(100):
    controls = []
    walk(window_named(title), controls)
    if len(controls) >= least:
        break
    time.sleep(0.1)
for c in controls:
    print(f"{title}: {c.getRoleName()}: {c.name!r} / {c.description!r}")
nameless = [c.getRoleName() for c in controls if not c.name.strip(" .…:-")]
if len(controls) < least or nameless:
    sys.exit(f"FAIL: {title}: {len(controls)} controls, without a name: {nameless}")
