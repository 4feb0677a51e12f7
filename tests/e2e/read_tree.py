#!/usr/bin/python3
"""Reads a running program through the accessibility bus, as a screen reader does, and prints
what it finds, one widget a line:

    read_tree.py APPLICATION TIMEOUT_SECONDS [WAIT_FOR]

Each line holds, separated by " | ": the path of roles from the application down to the
widget ("frame/panel/radio button"), its role, its name, the name of the nearest named panel
above it (where a screen reader takes a radio button's group from), its description, and for
a text its whole text with line breaks as "\\n". With WAIT_FOR, reads again until some line
contains it or the time is up. Exit status 0 when the application was found (and WAIT_FOR
seen), 1 when not, 77 when the accessibility bus cannot be reached at all.
"""
import sys
import time


def text_of(node):
    try:
        text = node.queryText()
        return text.getText(0, text.characterCount)
    except Exception:  # not a text
        return ""


def walk(node, roles, group, lines, depth=0):
    if node is None or depth > 40:
        return
    try:
        role = node.getRoleName()
        name = node.name or ""
        description = node.description or ""
        children = [node.getChildAtIndex(i) for i in range(node.childCount)]
    except Exception:  # a widget that went away while we looked
        return
    path = roles + [role]
    lines.append(" | ".join(["/".join(path), role, name, group, description,
                             text_of(node).replace("\n", "\\n")]))
    inner_group = name if role in ("panel", "filler", "grouping") and name else group
    for child in children:
        walk(child, path, inner_group, lines, depth + 1)


def read(desktop, application):
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and app.name == application:
            lines = []
            walk(app, [], "", lines)
            return lines
    return None


def main():
    application, timeout = sys.argv[1], float(sys.argv[2])
    wait_for = sys.argv[3] if len(sys.argv) > 3 else None
    try:
        import pyatspi
        desktop = pyatspi.Registry.getDesktop(0)
    except Exception as error:
        print("accessibility bus unreachable: %s" % error)
        return 77
    deadline = time.monotonic() + timeout
    lines = None
    while time.monotonic() < deadline:
        lines = read(desktop, application)
        if lines is not None and (wait_for is None or any(wait_for in line for line in lines)):
            print("\n".join(lines))
            return 0
        time.sleep(0.3)
    print("\n".join(lines or ["no application %r on the bus" % application]))
    return 1


if __name__ == "__main__":
    sys.exit(main())
