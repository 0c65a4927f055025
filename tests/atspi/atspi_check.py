#!/usr/bin/env python3
"""The window as a screen reader sees it, through AT-SPI: the painted close
and minimise buttons and the flag are buttons named in the interface's
language, the flag pressed through AT-SPI switches the language, and the
tree stays small. Run inside a session bus, with DISPLAY set and Lugatim
started with accessibility on; prints the tree size and the names.

    atspi_check.py <pid of lugatim>
"""
import sys
import time

import pyatspi

PID = int(sys.argv[1])
DEADLINE = time.monotonic() + 120


def application():
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        try:
            if app is not None and app.get_process_id() == PID:
                return app
        except Exception:  # an application that went away meanwhile
            pass
    return None


def walk(node, out):
    out.append(node)
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            walk(child, out)
    return out


def buttons(app):
    return {n.name: n for n in walk(app, []) if n.getRole() == pyatspi.ROLE_PUSH_BUTTON and n.name}


def wait_for(what, check):
    while time.monotonic() < DEADLINE:
        value = check()
        if value:
            return value
        time.sleep(0.1)  # AT-SPI has no event to wait on for a registration
    sys.exit("timed out waiting for " + what)


app = wait_for("the application on the accessibility bus", application)
wait_for("the Turkish names", lambda: "İngilizceye geç" in buttons(app))
nodes = walk(app, [])
named = buttons(app)
print("tree size:", len(nodes))
print("buttons:", sorted(named))
failures = []
for name in ("Kapat", "Simge durumuna küçült", "İngilizceye geç"):
    if name not in named:
        failures.append("no button named " + name)
# A grid that exposes every cell of a long table makes the tree huge.
if len(nodes) > 400:
    failures.append("the tree has %d nodes" % len(nodes))

flag = named["İngilizceye geç"]
action = flag.queryAction()
names = [action.getName(i) for i in range(action.nActions)]
if "Press" not in names and "press" not in [n.lower() for n in names]:
    failures.append("the flag has no press action: %s" % names)
else:
    action.doAction([n.lower() for n in names].index("press"))
    wait_for("the English names", lambda: "Switch to Turkish" in buttons(app))
    english = buttons(app)
    print("after the flag:", sorted(english))
    for name in ("Close", "Minimise", "Switch to Turkish"):
        if name not in english:
            failures.append("no button named " + name + " after the flag")

if failures:
    sys.exit("\n".join(failures))
print("atspi ok")
