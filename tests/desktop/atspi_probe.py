#!/usr/bin/python3
"""What a screen reader finds of a program, through AT-SPI.

  atspi_probe.py APP tree          one line per accessible object: role|name|states|actions
  atspi_probe.py APP press NAME    runs the first action of the object called NAME

It waits up to ten seconds for APP to appear on the accessibility bus; exit code 1 when it does
not, or when nothing is called NAME.
"""
import sys
import time

import pyatspi


def find_application(name):
    for _ in range(50):
        for application in pyatspi.Registry.getDesktop(0):
            if application is not None and application.name == name:
                return application
        time.sleep(0.2)
    return None


def walk(node):
    yield node
    for index in range(node.childCount):
        child = node.getChildAtIndex(index)
        if child is not None:
            yield from walk(child)


def actions(node):
    try:
        action = node.queryAction()
    except NotImplementedError:
        return []
    return [action.getName(index) for index in range(action.nActions)]


def main():
    application = find_application(sys.argv[1])
    if application is None:
        print("no application called " + sys.argv[1], file=sys.stderr)
        return 1
    if sys.argv[2] == "tree":
        for node in walk(application):
            states = [pyatspi.stateToString(state) for state in node.getState().getStates()]
            print("|".join([node.getRoleName(), node.name, ",".join(states),
                            ",".join(actions(node))]))
        return 0
    for node in walk(application):
        if node.name == sys.argv[3] and actions(node):
            node.queryAction().doAction(0)
            return 0
    print("nothing called " + sys.argv[3], file=sys.stderr)
    return 1


if __name__ == "__main__":
    sys.exit(main())
