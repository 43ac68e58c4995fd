#!/usr/bin/python3
"""What a screen reader hears, asked through the real client: starts Vog config with a
configuration file, shows the editor windows and Area Definition through their menu items over AT-SPI, walks
every window's accessible tree and fails, listing each one, when an interactive control has no
name. Run it on an X display and a session bus (scripts/a11y sets both up).

usage: unnamed_controls.py PROGRAM CONFIG
"""
import os
import signal
import subprocess
import sys
import time

import pyatspi

# The kinds of control a user can act on; a screen reader says nothing useful for one without
# a name.
INTERACTIVE = {
    pyatspi.ROLE_TEXT: "text",
    pyatspi.ROLE_ENTRY: "text",
    pyatspi.ROLE_PASSWORD_TEXT: "text",
    pyatspi.ROLE_COMBO_BOX: "combo box",
    pyatspi.ROLE_SPIN_BUTTON: "spin button",
    pyatspi.ROLE_CHECK_BOX: "check box",
    pyatspi.ROLE_RADIO_BUTTON: "radio button",
    pyatspi.ROLE_PUSH_BUTTON: "push button",
}
EDITORS = ["General Keywords", "Files and Paths", "Link Keywords", "Area Definition"]
PATIENCE = 60  # seconds for the program, a menu item or a window to appear


def wait_for(what, find):
    deadline = time.monotonic() + PATIENCE
    while time.monotonic() < deadline:
        try:
            found = find()
        except Exception:  # the tree changes under the walk while windows come and go
            found = None
        if found:
            return found
        time.sleep(0.2)
    sys.exit("unnamed_controls: gave up waiting for " + what)


def children(acc):
    try:
        return [acc.getChildAtIndex(i) for i in range(acc.childCount)]
    except Exception:
        return []


def descendants(acc):
    stack = [acc]
    while stack:
        a = stack.pop()
        if a is None:
            continue
        yield a
        stack.extend(reversed(children(a)))


def program_named(name):
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == name:
            return app
    return None


def windows(app):
    # The main window is a frame; the editor windows, plain top-level widgets, say "filler".
    return {w.name: w for w in children(app)}


def enabled_menu_item(app, caption):
    for frame in children(app):
        for a in descendants(frame):
            if a.getRole() == pyatspi.ROLE_MENU_ITEM and a.name.strip() == caption:
                state = a.getState()
                if state.contains(pyatspi.STATE_ENABLED) or state.contains(pyatspi.STATE_SENSITIVE):
                    return a
    return None


def press(acc):
    action = acc.queryAction()
    names = [action.getName(i).lower() for i in range(action.nActions)]
    for wanted in ("press", "click", "activate"):
        if wanted in names:
            action.doAction(names.index(wanted))
            return
    sys.exit("unnamed_controls: %r offers no press action, only %s" % (acc.name, names))


def where(acc, frame):
    # The control's place as a user meets it: the window, then each named control around it.
    path = []
    a = acc.parent
    while a is not None and a != frame:
        if a.name:
            path.append("%s (%s)" % (a.name, a.getRoleName()))
        a = a.parent
    path.append(frame.name)
    return " > ".join(reversed(path))


def unnamed_controls(frame):
    found = []
    for a in descendants(frame):
        kind = INTERACTIVE.get(a.getRole())
        if kind and not a.name.strip():
            found.append("%s: a %s without a name" % (where(a, frame), kind))
    return found


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    program, config = sys.argv[1], sys.argv[2]
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1",
               QT_QPA_PLATFORM="xcb")
    child = subprocess.Popen([program, config], env=env, stdin=subprocess.DEVNULL)
    try:
        name = os.path.basename(program)
        app = wait_for("the program on the accessibility bus", lambda: program_named(name))
        for caption in EDITORS:
            # Enabled once the file given on the command line has been opened.
            press(wait_for("the menu item " + caption, lambda: enabled_menu_item(app, caption)))
            wait_for("the window " + caption, lambda: caption in windows(app))
        shown = windows(app)
        problems = []
        counted = 0
        for title in ["Vog config"] + EDITORS:
            if title not in shown:
                problems.append("%s: no such window" % title)
                continue
            counted += sum(1 for a in descendants(shown[title]) if a.getRole() in INTERACTIVE)
            problems.extend(unnamed_controls(shown[title]))
        if child.poll() is not None:
            problems.append("the program ended early, with status %d" % child.returncode)
    finally:
        if child.poll() is None:
            child.send_signal(signal.SIGTERM)
            try:
                child.wait(20)
            except subprocess.TimeoutExpired:
                child.kill()
    if problems:
        print("Controls a screen reader cannot name (%d):" % len(problems))
        for p in problems:
            print("  " + p)
        return 1
    print("Every interactive control of the main window, the three editors and Area Definition "
          "has a name "
          "(%d controls)." % counted)
    return 0


if __name__ == "__main__":
    sys.exit(main())
