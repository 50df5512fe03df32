#!/usr/bin/env python3
# Starts stowage (argv[1]) with Qt's accessibility on and no engine, inside dbus-run-session and
# xvfb-run, and checks that its six page tabs, a tab selected on request and the status text reach
# the AT-SPI bus. The bus and the window start at their own pace: every look is retried.
import os, subprocess, sys, tempfile, time
import pyatspi

TABS = ["Overview", "Projects", "Images", "Volumes", "Build Cache", "Logs"]


def until(what, look, seconds=60):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        try:
            if answer := look():
                return answer
        except Exception:  # the bus or the window is not ready yet
            pass
        time.sleep(0.5)
    sys.exit(f"not on the accessibility bus within {seconds} s: {what}")


def find(node, role):
    found = [node] if node.getRole() == role else []
    return found + [n for child in node if child is not None for n in find(child, role)]


with tempfile.TemporaryDirectory() as home:
    env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=home, XDG_CACHE_HOME=home, XDG_STATE_HOME=home,
               XDG_DATA_HOME=home, DOCKER_HOST=f"unix://{home}/none.sock", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
               QT_QPA_PLATFORM="xcb")
    window = subprocess.Popen([sys.argv[1]], env=env)
    try:
        app = until("the window", lambda: [a for a in pyatspi.Registry.getDesktop(0) if a and a.name == "Stowage"][0])
        named = lambda tabs: tabs if [t.name for t in tabs] == TABS else None
        tabs = until("six page tabs", lambda: named(find(app, pyatspi.ROLE_PAGE_TAB)))
        tabs[2].queryAction().doAction(0)
        until("Images selected", lambda: tabs[2].getState().contains(pyatspi.STATE_SELECTED))
        print("status:", until("the status text", lambda: [s.name for s in find(app, pyatspi.ROLE_STATUS_BAR) if s.name][0]))
    finally:
        window.terminate()
        try:
            window.wait(10)
        except subprocess.TimeoutExpired:
            window.kill()
