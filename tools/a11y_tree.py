#!/usr/bin/python3
"""Prints what a screen reader finds in a running program's windows over the
accessibility bus (AT-SPI): one line per element, indented by depth, with its
role and name, and marks every element a pupil can act on (it can take focus,
has actions or is a picture) that has no name. Exit status 1 when there is such an element.

    a11y_tree.py APPLICATION [WINDOW-NAME-PART]
    a11y_tree.py --press APPLICATION NAME   presses what is named NAME

A button, slider, check box or radio button that cannot take focus (so
Tab never reaches it) is marked as well.

Needs python3-pyatspi and a running bus (tools/a11y-tree.sh sets one up)."""
import sys

import pyatspi

# Roles of the containers Qt gives every plain widget and layout: a screen
# reader passes over them, so they need no name.
SILENT_ROLES = {'filler', 'panel', 'layered pane', 'scroll pane', 'viewport', 'unknown',
                'redundant object', 'separator', 'scroll bar', 'tool bar', 'menu bar', 'status bar'}


def actionable(node):
    # Pictures count: in these windows a picture is something to click (a
    # palette item, a launcher button) or something to read.
    if node.getRoleName() == 'image':
        return True
    try:
        if node.getState().contains(pyatspi.STATE_FOCUSABLE):
            return True
        action = node.queryAction()
        return action.nActions > 0
    except Exception:
        return False


# What a pupil presses or moves: Tab must reach each of them.
TAB_ROLES = {'push button', 'slider', 'check box', 'radio button', 'combo box', 'spin button', 'toggle button'}


def walk(node, depth, lines):
    try:
        role = node.getRoleName()
        name = node.name or ''
        states = node.getState()
    except Exception:
        return 0
    if depth > 0 and not states.contains(pyatspi.STATE_SHOWING):
        return 0
    unnamed = 0
    mark = ''
    if not name and role not in SILENT_ROLES and actionable(node):
        mark = '    <-- no name'
        unnamed = 1
    elif role in TAB_ROLES and states.contains(pyatspi.STATE_ENABLED) \
            and not states.contains(pyatspi.STATE_FOCUSABLE):
        mark = '    <-- not reached by Tab'
        unnamed = 1
    description = ''
    try:
        if node.description:
            description = f'  ({node.description})'
    except Exception:
        pass
    lines.append('  ' * depth + f'[{role}] {name}{description}{mark}')
    for i in range(min(node.childCount, 500)):
        try:
            child = node.getChildAtIndex(i)
        except Exception:
            continue
        if child is not None:
            unnamed += walk(child, depth + 1, lines)
    return unnamed


def find(node, name, depth=0):
    try:
        if (node.name or '').strip() == name and node.queryAction().nActions > 0:
            return node
    except Exception:
        pass
    if depth > 12:
        return None
    for i in range(min(node.childCount, 500)):
        try:
            found = find(node.getChildAtIndex(i), name, depth + 1)
        except Exception:
            continue
        if found is not None:
            return found
    return None


def press(application, name):
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and app.name == application:
            target = find(app, name)
            if target is not None:
                target.queryAction().doAction(0)
                return 0
    print(f'a11y_tree: nothing named {name} to press in {application}', file=sys.stderr)
    return 2


def main():
    if len(sys.argv) == 4 and sys.argv[1] == '--press':
        return press(sys.argv[2], sys.argv[3])
    if len(sys.argv) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    application, window_part = sys.argv[1], (sys.argv[2] if len(sys.argv) > 2 else '')
    desktop = pyatspi.Registry.getDesktop(0)
    unnamed = 0
    found = False
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is None or app.name != application:
            continue
        found = True
        for w in range(app.childCount):
            window = app.getChildAtIndex(w)
            if window is None or not window.getState().contains(pyatspi.STATE_SHOWING):
                continue
            if window_part and window_part not in (window.name or ''):
                continue
            lines = []
            unnamed += walk(window, 0, lines)
            print('\n'.join(lines))
    if not found:
        print(f'a11y_tree: no application named {application} on the bus', file=sys.stderr)
        return 2
    print(f'# {unnamed} element(s) a pupil can act on without a name or out of Tab\'s reach')
    return 1 if unnamed else 0


if __name__ == '__main__':
    sys.exit(main())
