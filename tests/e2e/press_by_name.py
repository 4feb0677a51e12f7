#!/usr/bin/python3
"""Reads a running program through the accessibility bus, as a screen reader does, and presses
one of its buttons through the button's own action.

    press_by_name.py APPLICATION ROLE NAME TIMEOUT_SECONDS

Finds the application by name on the desktop, then the widget of that role (a name such as
"push button") and accessible name, checks that it offers a press action, and performs it.
Prints what it found. Exit status 0 when pressed, 1 when something was missing, 77 when the
accessibility bus cannot be reached at all.
"""
import sys
import time


def find(node, role, name, depth=0):
    if node is None or depth > 40:
        return None
    try:
        if node.getRoleName() == role and node.name == name:
            return node
        children = [node.getChildAtIndex(i) for i in range(node.childCount)]
    except Exception:  # a widget that went away while we looked
        return None
    for child in children:
        found = find(child, role, name, depth + 1)
        if found is not None:
            return found
    return None


def main():
    application, role, name, timeout = sys.argv[1], sys.argv[2], sys.argv[3], float(sys.argv[4])
    try:
        import pyatspi
        desktop = pyatspi.Registry.getDesktop(0)
    except Exception as error:
        print("accessibility bus unreachable: %s" % error)
        return 77

    deadline = time.monotonic() + timeout
    button = None
    seen = []
    while time.monotonic() < deadline:
        seen = []
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is None:
                continue
            seen.append(app.name)
            if app.name == application:
                button = find(app, role, name)
        if button is not None:
            break
        time.sleep(0.2)
    if button is None:
        print("no %s named %r in %r; applications on the bus: %r" % (role, name, application, seen))
        return 1

    states = button.getState()
    print("found %s %r, description %r, enabled %s, focusable %s" % (
        button.getRoleName(), button.name, button.description,
        states.contains(pyatspi.STATE_ENABLED), states.contains(pyatspi.STATE_FOCUSABLE)))
    action = button.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    print("actions: %r" % names)
    for i, action_name in enumerate(names):
        if action_name.lower() in ("press", "click"):
            if not action.doAction(i):
                print("the press action was refused")
                return 1
            print("pressed")
            return 0
    print("no press action")
    return 1


if __name__ == "__main__":
    sys.exit(main())
