"""What the whole-program tests share: the shell started on a fresh demo configuration,
and the accessibility bus through which they look at it, as a screen reader does.
"""
import os
import subprocess
import tempfile
import time
import unittest

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

SOURCE = os.environ["DESKHAVEN_SOURCE_DIR"]
BUILD = os.environ["DESKHAVEN_BUILD_DIR"]
BIN = os.path.join(BUILD, "bin")

START_TIMEOUT = 90  # a cold start of the browser engine on a busy machine
CHANGE_TIMEOUT = 10
TITLE = "Deskhaven 2"


def wait_for(what, probe, timeout):
    """Polls probe until it gives something true and returns that."""
    deadline = time.monotonic() + timeout
    while True:
        # Nobody runs a main loop here to apply the bus's change events to the cached
        # tree, so each look starts from the applications as they are now.
        Atspi.get_desktop(0).clear_cache()
        result = probe()
        if result:
            return result
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out after {timeout} s waiting for {what}; "
                                 f"on the accessibility bus:\n{outline()}")
        time.sleep(0.05)


def wait_until_not_showing(node, seconds):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        node.clear_cache()
        if not showing(node):
            return True
        time.sleep(0.05)
    return False


def outline(depth=3):
    """The applications and their upper objects, for the failure message."""
    lines = []

    def walk(node, level):
        role, name = role_and_name(node)
        lines.append(f"{'  ' * level}{role} {name!r}{' showing' if showing(node) else ''}")
        if level < depth:
            for child in children(node):
                walk(child, level + 1)

    for app in children(Atspi.get_desktop(0)):
        walk(app, 0)
    return "\n".join(lines)


def children(node):
    try:
        return [node.get_child_at_index(i) for i in range(node.get_child_count())]
    except GLib.Error:  # the object went away while we looked
        return []


def descendants(node, depth=10):
    for child in children(node):
        if child is None:
            continue
        yield child
        if depth > 1:
            yield from descendants(child, depth - 1)


def role_and_name(node):
    try:
        return node.get_role_name(), node.get_name()
    except GLib.Error:
        return None, None


def has_state(node, state):
    try:
        return node.get_state_set().contains(state)
    except GLib.Error:
        return False


def showing(node):
    return has_state(node, Atspi.StateType.SHOWING)


def find(root, role, name, depth=10):
    """The first showing descendant with this role and name, or None."""
    for node in descendants(root, depth):
        if role_and_name(node) == (role, name) and showing(node):
            return node
    return None


def shell_apps():
    return [app for app in children(Atspi.get_desktop(0)) if role_and_name(app)[1] == "deskhaven2"]


# X key symbols of the keys the tests press, and the key codes of the modifiers under the
# X server's default keyboard map (modifiers are held down by code).
KEYSYMS = {"Tab": 0xFF09, "Return": 0xFF0D, "Home": 0xFF50, "Left": 0xFF51, "Up": 0xFF52,
           "Right": 0xFF53, "Down": 0xFF54, "Delete": 0xFFFF, "F2": 0xFFBF}
MODIFIER_CODES = {"Control": 37, "Alt": 64}


def press_keys(*names):
    """Presses a key ("Tab", "2", ...) with the modifiers named before it held down."""
    *modifiers, key = names
    for modifier in modifiers:
        Atspi.generate_keyboard_event(MODIFIER_CODES[modifier], None, Atspi.KeySynthType.PRESS)
    Atspi.generate_keyboard_event(KEYSYMS.get(key, ord(key[0])), None, Atspi.KeySynthType.SYM)
    for modifier in reversed(modifiers):
        Atspi.generate_keyboard_event(MODIFIER_CODES[modifier], None, Atspi.KeySynthType.RELEASE)


def xdotool(*arguments):
    """Runs xdotool (keys and clicks as the X server gets them from a keyboard and a mouse,
    and looks at windows) and gives what it printed."""
    return subprocess.run(["xdotool", *arguments], capture_output=True, text=True,
                          check=True).stdout.strip()


def focus_window(title=TITLE):
    """Gives the keyboard to the window of that title, as a window manager would (the tests
    run without one)."""
    xdotool("windowfocus", "--sync", xdotool("search", "--name", f"^{title}$").split()[0])


class ShellOnTheDemo(unittest.TestCase):
    """One shell on a fresh demo configuration for all the tests of a class, in the order
    written."""

    @classmethod
    def setUpClass(cls):
        cls.work = tempfile.TemporaryDirectory(prefix="deskhaven-system-")
        prepared = subprocess.run(
            [os.path.join(SOURCE, "scripts", "run-demo"), "--prepare", cls.work.name],
            env=dict(os.environ, DESKHAVEN_BUILD_DIR=BUILD),
            capture_output=True, text=True, check=True)
        cls.env = dict(os.environ)
        cls.env.update(
            DESKHAVEN_MACHINE_HIVE=os.path.join(cls.work.name, "machine.hive"),
            DESKHAVEN_USER_HIVE=os.path.join(cls.work.name, "user.hive"),
            DESKHAVEN_DEFAULT_USER_HIVE=os.path.join(cls.work.name, "default-user.hive"),
            XDG_RUNTIME_DIR=os.path.join(cls.work.name, "runtime"),
            # The shell's own data (its trash, the browser's profile) stays in the test.
            XDG_DATA_HOME=os.path.join(cls.work.name, "data"))
        cls.env.update(cls.more_environment())
        os.mkdir(cls.env["XDG_RUNTIME_DIR"], 0o700)
        cls.controls = prepared.stderr.strip()
        cls.boxes = []
        # The accessibility bus must be up before the shell starts, or it never joins.
        Atspi.get_desktop(0).get_child_count()
        cls.shell = cls.start()

    @classmethod
    def more_environment(cls):
        """What a class adds to the shell's environment."""
        return {}

    @classmethod
    def start(cls):
        """Starts the shell; a class may start it otherwise (in the pupils' session)."""
        return subprocess.Popen([os.path.join(BIN, "deskhaven2")], env=cls.env)

    @classmethod
    def tearDownClass(cls):
        cls.shell.terminate()
        try:
            cls.shell.wait(20)
        except subprocess.TimeoutExpired:
            cls.shell.kill()
            cls.shell.wait()
        cls.work.cleanup()

    # What the shell shows ------------------------------------------------------------

    def app(self):
        status = self.shell.poll()
        self.assertIsNone(status, f"deskhaven2 ended: {'signal ' + str(-status) if status and status < 0 else 'status ' + str(status)}")
        apps = shell_apps()
        return apps[0] if apps else None

    def main_window(self):
        app = self.app()
        if app is None:
            return None
        for child in children(app):
            if role_and_name(child)[1] == TITLE and showing(child):
                return child
        return None

    def dismiss_boxes(self):
        """Presses OK on the set-up's message boxes; a fatal box fails the test."""
        app = self.app()
        for box in children(app) if app else []:
            role, title = role_and_name(box)
            if role != "alert" or not showing(box):
                continue
            self.assertNotEqual(title, "Fatal Error", "the shell could not start on the demo")
            self.boxes.append(title)
            # A press that comes before the box waits for one is lost: press until it goes.
            def gone():
                ok = find(box, "push button", "OK")
                if ok is None:
                    return True
                ok.do_action(0)
                return wait_until_not_showing(box, 1.0)

            wait_for(f"the box {title!r} to close", gone, START_TIMEOUT)

    def answer_box(self, title, button):
        """Waits for the box titled title and presses its button."""
        def press():
            for box in children(self.app()):
                if role_and_name(box) == ("alert", title) and showing(box):
                    found = find(box, "push button", button)
                    return found is not None and found.do_action(0)
            return False

        wait_for(f"the {title} box", press, CHANGE_TIMEOUT)

    def shows(self, role, name):
        """The item of the main window with that role and name, if it is there."""
        window = self.main_window()
        return find(window, role, name, depth=14) if window else None

    def wait_shows(self, role, name):
        return wait_for(f"{role} {name!r}", lambda: self.shows(role, name), CHANGE_TIMEOUT)

    def page_on_show(self):
        """The checked page button once its page has been created, after the boxes."""
        self.dismiss_boxes()
        window = self.main_window()
        if window is None:
            return None
        for page in ("Programs", "My Files", "Links"):
            button = find(window, "check box", page, depth=1)
            if button is not None and has_state(button, Atspi.StateType.CHECKED):
                return page
        return None

    def link(self, name):
        window = self.main_window()
        return find(window, "check box", name) if window else None

