#!/usr/bin/python3
"""Prints the accessibility tree of a running Tonewright as screen readers get it over AT-SPI:
role, name and the states that matter (showing, checkable, checked, focusable).

Run the program and this script in one D-Bus session with the accessibility bus up, e.g.:
    dbus-run-session -- bash -c '/usr/libexec/at-spi-bus-launcher --launch-immediately &
        sleep 2; QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 tonewright & sleep 5;
        /usr/bin/python3 scripts/a11ytree.py'
"""
import pyatspi

STATES = [('showing', pyatspi.STATE_SHOWING), ('checkable', pyatspi.STATE_CHECKABLE),
          ('checked', pyatspi.STATE_CHECKED), ('focusable', pyatspi.STATE_FOCUSABLE)]


def walk(node, depth):
    if node is None:
        return
    state = node.getState()
    flags = ','.join(name for name, s in STATES if state.contains(s))
    print(f'{"  " * depth}{node.getRoleName()} "{node.name}" [{flags}]')
    for child in node:
        walk(child, depth + 1)


for app in pyatspi.Registry.getDesktop(0):
    if app is not None and app.name == 'Tonewright':
        walk(app, 0)
