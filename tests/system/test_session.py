#!/usr/bin/env python3
"""The pupils' session as the login screen starts it: the session script of the build (as
installed, beside deskhaven2) with its window manager and the Deskhaven window, on the
demo configuration in a private X server. Keys and clicks reach the X server as from a
keyboard and a mouse; the windows are looked at as the window manager publishes them."""
import os
import signal
import subprocess
import time
import unittest

from desktopbus import (BIN, CHANGE_TIMEOUT, START_TIMEOUT, ShellOnTheDemo, descendants, find,
                        role_and_name, wait_for, xdotool)

LOG_OFF_TIMEOUT = 10


def root_property(name):
    return subprocess.run(["xprop", "-root", name], capture_output=True, text=True).stdout


def window_property(window, name):
    return subprocess.run(["xprop", "-id", window, name], capture_output=True,
                          text=True).stdout


def active_window():
    words = root_property("_NET_ACTIVE_WINDOW").split()
    return int(words[-1], 16) if words and words[-1].startswith("0x") else None


def stacking():
    """The managed windows from the bottom up."""
    text = root_property("_NET_CLIENT_LIST_STACKING")
    return [int(word.strip(","), 16) for word in text.split("#")[-1].split()] if "#" in text else []


def running(pid):
    """Whether the process runs (an ended one that nobody has reaped yet does not)."""
    try:
        with open(f"/proc/{pid}/stat") as stat:
            return stat.read().rsplit(")", 1)[1].split()[0] != "Z"
    except FileNotFoundError:
        return False


def command_line(pid):
    try:
        with open(f"/proc/{pid}/cmdline", "rb") as line:
            return line.read().decode(errors="replace").split("\0")
    except OSError:
        return [""]


def exists(window):
    return subprocess.run(["xdotool", "getwindowname", str(window)],
                          capture_output=True).returncode == 0


def visible_windows():
    """The windows on show at the top of the screen (frames, menus, pop-ups)."""
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--maxdepth", "1", "--name", ""],
                           capture_output=True, text=True).stdout
    return sorted(found.split())


class TestSession(ShellOnTheDemo):

    @classmethod
    def start(cls):
        return subprocess.Popen([os.path.join(BIN, "deskhaven-session")], env=cls.env,
                                start_new_session=True)

    @classmethod
    def tearDownClass(cls):
        if cls.shell.poll() is None:
            os.killpg(cls.shell.pid, signal.SIGKILL)
            cls.shell.wait()
        cls.work.cleanup()

    def setUp(self):
        wait_for("the first page", self.page_on_show, START_TIMEOUT)
        self.desktop = int(xdotool("search", "--name", "^Deskhaven 2$").split()[0])

    def program(self):
        found = subprocess.run(["xdotool", "search", "--name", "^Colour Mixing$"],
                               capture_output=True, text=True).stdout.split()
        return int(found[0]) if found else None

    def states(self, window):
        return window_property(str(window), "_NET_WM_STATE")

    def test_1_the_deskhaven_window_is_the_desktop_and_has_the_keyboard(self):
        self.assertIn("window id", root_property("_NET_SUPPORTING_WM_CHECK"))
        wait_for("the Deskhaven window to be active", lambda: active_window() == self.desktop,
                 CHANGE_TIMEOUT)
        states = self.states(self.desktop)
        for state in ("_NET_WM_STATE_MAXIMIZED_VERT", "_NET_WM_STATE_MAXIMIZED_HORZ",
                      "_NET_WM_STATE_BELOW"):
            self.assertIn(state, states)
        self.assertIn("0, 0, 0, 0", window_property(str(self.desktop), "_NET_FRAME_EXTENTS"))
        self.assertIn("Geometry: 1280x800", xdotool("getwindowgeometry", str(self.desktop)))
        # The first key, with no click before it, reaches the page on show (My Files).
        xdotool("key", "ctrl+2")
        wait_for("the second root", lambda: any(
            (role_and_name(node)[1] or "").startswith("Current Root: Homework")
            for node in descendants(self.main_window(), 14)), CHANGE_TIMEOUT)

    def test_2_a_program_gets_a_frame_and_the_keys_switch_to_it(self):
        find(self.main_window(), "check box", "Programs", depth=1).do_action(0)
        wait_for("the Programs page", lambda: self.page_on_show() == "Programs", CHANGE_TIMEOUT)
        wait_for("the Art set", lambda: find(self.main_window(), "list item", "Colour Mixing",
                                             depth=14), CHANGE_TIMEOUT)
        # The first program of Art: Colour Mixing.
        xdotool("key", "--delay", "300", "Tab", "End", "Home", "Return")
        program = wait_for("the program's window", self.program, CHANGE_TIMEOUT)
        wait_for("the program to be active", lambda: active_window() == program, CHANGE_TIMEOUT)
        self.assertNotIn("0, 0, 0, 0", window_property(str(program), "_NET_FRAME_EXTENTS"))

        # A click on the Deskhaven window makes it active, and it stays below the program.
        xdotool("mousemove", "640", "780", "click", "1")
        wait_for("the Deskhaven window to be active", lambda: active_window() == self.desktop,
                 CHANGE_TIMEOUT)
        order = stacking()
        self.assertLess(order.index(self.desktop), order.index(program))
        xdotool("key", "alt+Tab")
        wait_for("the program to be active again", lambda: active_window() == program,
                 CHANGE_TIMEOUT)

        # Minimised and brought back by the keys.
        xdotool("key", "alt+F9")
        wait_for("the program to be minimised",
                 lambda: "_NET_WM_STATE_HIDDEN" in self.states(program), CHANGE_TIMEOUT)
        xdotool("key", "alt+Tab")
        wait_for("the program to be back", lambda: active_window() == program
                 and "_NET_WM_STATE_HIDDEN" not in self.states(program), CHANGE_TIMEOUT)

        # The Deskhaven window is not minimised by the same key.
        xdotool("mousemove", "640", "780", "click", "1")
        wait_for("the Deskhaven window to be active", lambda: active_window() == self.desktop,
                 CHANGE_TIMEOUT)
        xdotool("key", "alt+F9")
        time.sleep(1)
        self.assertNotIn("_NET_WM_STATE_HIDDEN", self.states(self.desktop))

    def test_3_the_background_and_the_usual_keys_open_nothing(self):
        before = visible_windows()
        managed = stacking()
        for button in ("3", "2"):
            xdotool("mousemove", "640", "780", "click", button)
            time.sleep(0.5)
            self.assertEqual(visible_windows(), before, f"button {button} on the Deskhaven window")
        # The screen's own background, with the Deskhaven window out of the way for a moment.
        xdotool("windowunmap", "--sync", str(self.desktop))
        try:
            for button in ("3", "2", "1"):
                xdotool("mousemove", "5", "795", "click", button)
                time.sleep(0.5)
                self.assertNotIn("openbox", subprocess.run(
                    ["xdotool", "search", "--onlyvisible", "--class", "openbox"],
                    capture_output=True, text=True).stdout.lower())
                self.assertEqual(len(visible_windows()), len(before) - 1,
                                 f"button {button} on the background")
        finally:
            xdotool("windowmap", "--sync", str(self.desktop))
        time.sleep(0.5)
        before = visible_windows()  # the window manager framed the Deskhaven window anew
        for keys in ("ctrl+alt+t", "alt+F2", "alt+F1", "super+r", "super+e", "super",
                     "ctrl+Escape", "ctrl+alt+Right", "ctrl+alt+Left", "super+d", "alt+space"):
            xdotool("key", keys)
            time.sleep(0.3)
            self.assertEqual(visible_windows(), before, keys)
        self.assertEqual(sorted(stacking()), sorted(managed))
        self.assertIn("= 1", root_property("_NET_NUMBER_OF_DESKTOPS"))
        self.assertIn("= 0", root_property("_NET_CURRENT_DESKTOP"))

    def test_4_closing_the_deskhaven_window_asks_first(self):
        xdotool("mousemove", "640", "780", "click", "1")
        wait_for("the Deskhaven window to be active", lambda: active_window() == self.desktop,
                 CHANGE_TIMEOUT)
        xdotool("key", "alt+F4")
        self.answer_box("Log Off", "No")
        time.sleep(1)
        self.assertIsNone(self.shell.poll())
        self.assertIsNotNone(self.main_window())

    def test_5_log_off_ends_the_session_and_its_programs(self):
        program = self.program()
        self.assertIsNotNone(program, "the program of the earlier test is gone")
        pid = next(int(entry) for entry in os.listdir("/proc") if entry.isdigit()
                   and os.path.basename(command_line(entry)[0]) == "xmessage" and running(entry)
                   and "Colour Mixing" in command_line(entry))
        manager = int(root_property("_NET_SUPPORTING_WM_CHECK").split()[-1], 16)
        xdotool("key", "ctrl+alt+Delete")
        self.answer_box("Log Off", "Yes")
        started = time.monotonic()
        self.assertEqual(self.shell.wait(LOG_OFF_TIMEOUT), 0)
        print(f"session ended {time.monotonic() - started:.1f} s after the answer")
        wait_for("the program to end", lambda: not running(pid), 1)
        self.assertFalse(exists(manager), "the window manager still runs")


if __name__ == "__main__":
    unittest.main(verbosity=2, failfast=True)
