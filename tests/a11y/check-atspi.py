#!/usr/bin/env python3
"""The window over the real accessibility bus, as a screen reader finds it.

Run inside a private session bus and X server (dbus-run-session, xvfb-run):
starts stowage with Qt's accessibility always on and no engine to talk to
(DOCKER_HOST names a socket that is not there, HOME an empty folder), then
checks that the six page tabs, the selection of one of them, and the status
text arrive on the AT-SPI bus. The bus and the application start at their own
pace, so every look is retried until a deadline."""
import os
import subprocess
import sys
import tempfile
import time

import pyatspi

TABS = ["Overview", "Projects", "Images", "Volumes", "Build Cache", "Logs"]


def until(what, look, seconds=60):
    """The first true answer of look(), retried until the deadline; errors while the bus starts count as none."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        try:
            answer = look()
            if answer:
                return answer
        except Exception:  # the bus or the application is not ready yet
            pass
        time.sleep(0.5)
    sys.exit(f"not on the accessibility bus within {seconds} s: {what}")


def walk(node):
    yield node
    for child in node:
        if child is not None:
            yield from walk(child)


def find(app, role):
    return [n for n in walk(app) if n.getRole() == role]


def main():
    with tempfile.TemporaryDirectory() as home:
        env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=home, XDG_CACHE_HOME=home, XDG_STATE_HOME=home,
                   XDG_DATA_HOME=home, DOCKER_HOST="unix://" + home + "/no-engine.sock",
                   QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb")
        app_process = subprocess.Popen([sys.argv[1]], env=env)
        try:
            app = until("the application", lambda: next(
                (a for a in pyatspi.Registry.getDesktop(0) if a is not None and a.name == "Stowage"), None))
            tabs = until("six page tabs", lambda: (lambda t: t if [n.name for n in t] == TABS else None)(
                find(app, pyatspi.ROLE_PAGE_TAB)))
            images = tabs[TABS.index("Images")]
            images.queryAction().doAction(0)
            until("the Images tab selected", lambda: images.getState().contains(pyatspi.STATE_SELECTED))
            status = until("the status text", lambda: next(
                (s.name for s in find(app, pyatspi.ROLE_STATUS_BAR) if s.name), None))
            print("page tabs:", ", ".join(TABS), "| status:", status)
        finally:
            app_process.terminate()
            try:
                app_process.wait(10)
            except subprocess.TimeoutExpired:
                app_process.kill()


if __name__ == "__main__":
    main()
