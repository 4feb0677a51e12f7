#!/usr/bin/python3
"""Listens on the accessibility bus, as a screen reader does, and prints the events of one
program, one a line: the event's type, the role and the name of its source.

    listen_events.py APPLICATION SECONDS UNTIL EVENT_TYPE...

Prints "listening" once registered. Stops after SECONDS, or as soon as a printed line contains
UNTIL. Exit status 0 when UNTIL was seen, 1 when not, 77 when the bus cannot be reached.
"""
import sys
import threading


def main():
    application, seconds, until = sys.argv[1], float(sys.argv[2]), sys.argv[3]
    types = sys.argv[4:]
    try:
        import pyatspi
        from gi.repository import GLib
    except Exception as error:
        print("accessibility bus unreachable: %s" % error)
        return 77
    seen = threading.Event()
    loop = GLib.MainLoop()

    def on_event(event):
        try:
            source = event.source
            app = source.getApplication()
            line = "%s | %s | %s" % (event.type, source.getRoleName(), source.name)
            if app is None or app.name != application:
                return
        except Exception as error:  # a widget gone before it could be asked about
            print("lost: %s (%s)" % (event.type, error), flush=True)
            return
        print(line, flush=True)
        if until in line:
            seen.set()
            loop.quit()

    for event_type in types:
        pyatspi.Registry.registerEventListener(on_event, event_type)
    GLib.timeout_add(int(seconds * 1000), loop.quit)
    print("listening", flush=True)
    loop.run()
    return 0 if seen.is_set() else 1


if __name__ == "__main__":
    sys.exit(main())
