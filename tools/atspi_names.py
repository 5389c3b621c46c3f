#!/usr/bin/python3
"""Reads the panel's windows as a screen reader does, over AT-SPI, and lists every control a
user can operate that has no name: neither its own nor one from a label linked to it.
Exit status 1 when there is one, or when an expected window is missing from the tree."""
import sys
import time

import pyatspi

OPERABLE = {pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_CHECK_BOX, pyatspi.ROLE_RADIO_BUTTON,
            pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY, pyatspi.ROLE_SLIDER,
            pyatspi.ROLE_MENU_ITEM, pyatspi.ROLE_TOGGLE_BUTTON, pyatspi.ROLE_SPIN_BUTTON,
            pyatspi.ROLE_TABLE}


def label_of(node):
    for relation in node.getRelationSet():
        if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
            for i in range(relation.getNTargets()):
                if relation.getTarget(i).name:
                    return relation.getTarget(i).name
    return ""


def walk(node, path, found):
    if node is None:
        return
    role = node.getRole()
    here = path + [f"{node.getRoleName()} {node.name!r}"]
    if role in OPERABLE:
        found["controls"] += 1
        if not (node.name or label_of(node)):
            found["unnamed"].append(" > ".join(here))
    if len(path) == 1:  # the application's top-level windows
        found["windows"].append(f"{node.getRoleName()} {node.name!r}")
    for i in range(node.childCount):
        walk(node.getChildAtIndex(i), here, found)


def main():
    app_name, expected = sys.argv[1], sys.argv[2:]
    found = {"controls": 0, "unnamed": [], "windows": []}
    deadline = time.time() + 20
    while time.time() < deadline:
        found = {"controls": 0, "unnamed": [], "windows": []}
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is not None and app.name == app_name:
                walk(app, [], found)
        if all(any(w == e for w in found["windows"]) for e in expected):
            break
        time.sleep(0.5)
    print(f"{found['controls']} operable controls in {', '.join(found['windows']) or 'no window'}")
    missing = [e for e in expected if e not in found["windows"]]
    for window in missing:
        print(f"missing from the tree: {window}")
    for path in found["unnamed"]:
        print(f"no name: {path}")
    return 1 if missing or found["unnamed"] else 0


if __name__ == "__main__":
    sys.exit(main())
