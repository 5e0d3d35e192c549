#!/usr/bin/python3
"""Walks the Kivoオートフィル window as a screen reader meets it, over AT-SPI, and lists every
control that takes the focus without a name of its own: none, its control's name (Combo31), or
only what it shows ('1', '左'). Exits non-zero when there is one.

    scripts/accessibility_tree.py [--japanese] [PROGRAM]

PROGRAM is build/bin/kivoautofill by default. The window runs on a virtual display with its own
D-Bus session and accessibility bus, in a fresh home folder; --japanese runs it in a Japanese
session. Needs xvfb, dbus, at-spi2-core and python3-pyatspi (Debian).
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

INNER = "KIVO_ACCESSIBILITY_TREE_INNER"
# The names the window gives its controls, which say nothing to a listener.
CONTROL_NAME = re.compile(
    r"^(Combo|Text|Command|Option|Check|Label|DTPicker|Frame|SSTab|StatusBar|chk|mnu)[A-Za-z]*\d*(\(\d+\))?$")


def main():
    args = [a for a in sys.argv[1:] if a != "--japanese"]
    japanese = "--japanese" in sys.argv[1:]
    program = os.path.abspath(args[0] if args else "build/bin/kivoautofill")
    if not os.access(program, os.X_OK):
        sys.exit(f"{program}: no such program; build it first")
    if os.environ.get(INNER) != "1":
        # Its own D-Bus session and display, so that nothing of the desktop's is touched.
        env = dict(os.environ, **{INNER: "1"})
        command = ["dbus-run-session", "--", "xvfb-run", "-a", "-s", "-screen 0 1280x1024x24",
                   "/usr/bin/python3", os.path.abspath(__file__)] + sys.argv[1:]
        sys.exit(subprocess.call(command, env=env))
    sys.exit(walk(program, japanese))


def start_window(program, japanese, home):
    runtime = os.path.join(home, "runtime")
    os.mkdir(runtime, 0o700)
    env = dict(os.environ, HOME=home, XDG_RUNTIME_DIR=runtime, QT_IM_MODULE="",
               QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1",
               LC_ALL="ja_JP.UTF-8" if japanese else "C.UTF-8")
    bus = subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"], env=env,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    time.sleep(1)
    window = subprocess.Popen([program], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return bus, window


def find_application(pyatspi, seconds=30):
    deadline = time.time() + seconds
    while time.time() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is not None and app.name == "kivoautofill":
                return app
        time.sleep(0.5)
    return None


def children(node):
    try:
        return [node.getChildAtIndex(i) for i in range(node.childCount)]
    except Exception:
        return []


def find_role(node, role):
    if node.getRole() == role:
        return node
    for child in children(node):
        found = find_role(child, role)
        if found is not None:
            return found
    return None


def shown_text(pyatspi, node):
    """What a control shows: its text, or the text of a combo's edit field."""
    try:
        text = node.queryText()
        return text.getText(0, text.characterCount)
    except NotImplementedError:
        pass
    for child in children(node):
        if child.getRole() == pyatspi.ROLE_TEXT:
            return shown_text(pyatspi, child)
    return ""


def focusable_controls(pyatspi, node, path=(), parent_role=None):
    """The focusable controls on show, each by its place in the tree. A combo's edit field and a
    date box's speak through their combo or box."""
    states = node.getState()
    if (states.contains(pyatspi.STATE_FOCUSABLE) and states.contains(pyatspi.STATE_SHOWING)
            and parent_role not in (pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_SPIN_BUTTON,
                                    pyatspi.ROLE_DATE_EDITOR)):
        yield path, node
    role = node.getRole()
    for i, child in enumerate(children(node)):
        if child is not None:
            yield from focusable_controls(pyatspi, child, path + (i,), role)


def walk(program, japanese):
    import pyatspi

    home = tempfile.mkdtemp(prefix="kivo-atspi-")
    bus, window = start_window(program, japanese, home)
    try:
        app = find_application(pyatspi)
        if app is None:
            print("the window never appeared on the accessibility bus", file=sys.stderr)
            return 2
        time.sleep(2)
        tabs = find_role(app, pyatspi.ROLE_PAGE_TAB_LIST)
        seen = {}
        # The tab strip's scroll buttons come after its tabs; pressing a key past them does nothing.
        for tab in range(tabs.childCount if tabs is not None else 1):
            if tabs is not None:
                # Each tab as the keyboard brings it up: its access key, Alt and its number.
                subprocess.call(["xdotool", "search", "--onlyvisible", "--name", "Kivo", "windowfocus", "--sync",
                                 "key", f"alt+{tab + 1}"], stderr=subprocess.DEVNULL)
                time.sleep(0.5)
            for path, node in focusable_controls(pyatspi, app):
                seen.setdefault(path, (node.getRoleName(), node.name, shown_text(pyatspi, node)))
        unnamed = [(role, name, shown) for role, name, shown in seen.values()
                   if not name.strip() or CONTROL_NAME.match(name) or (shown and name == shown)]
        for role, name, shown in unnamed:
            print(f"{role}: name {name!r}, shows {shown!r}")
        print(f"{len(seen)} focusable controls, {len(unnamed)} without a name of their own"
              f" ({'Japanese' if japanese else 'English'} session)")
        return 1 if unnamed or not seen else 0
    finally:
        window.terminate()
        window.wait()
        bus.terminate()
        bus.wait()
        shutil.rmtree(home, ignore_errors=True)


if __name__ == "__main__":
    main()
