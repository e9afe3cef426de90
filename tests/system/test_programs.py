#!/usr/bin/env python3
"""Whole-program tests of the Programs page: the real shell with the real Programs control
on the demo configuration, driven by the keyboard and looked at through the accessibility
bus."""
import os
import subprocess
import sys
import time
import unittest

from desktopbus import (BIN, CHANGE_TIMEOUT, START_TIMEOUT, ShellOnTheDemo, find, press_keys,
                        wait_for)


class TestPrograms(ShellOnTheDemo):
    """One shell on a fresh demo configuration for the tests, in the order written."""

    def show_programs(self):
        wait_for("the first page", self.page_on_show, START_TIMEOUT)
        # Its button shows only when the control started.
        self.wait_shows("check box", "Programs").do_action(0)
        wait_for("the Programs page", lambda: self.page_on_show() == "Programs", CHANGE_TIMEOUT)

    def current_set(self, name):
        self.wait_shows("label", f"Current Program Set: {name}")

    def add_program(self, program_set, name, exec_line):
        """Adds a desktop entry to the demo's copy and has the page read its sets again."""
        folder = os.path.join(self.work.name, "demo", "programs", program_set)
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, name + ".desktop"), "w") as entry:
            entry.write(f"[Desktop Entry]\nType=Application\nName={name}\nExec={exec_line}\n")
        subprocess.run([os.path.join(BIN, "deskhaven-signal"), "ProfileUpdated"], env=self.env,
                       check=True)

    def test_1_keys_and_page_commands(self):
        self.show_programs()
        self.current_set("Art")
        for name in ("Art", "Maths", "Writing"):
            self.assertIsNotNone(self.shows("check box", name), name)
        press_keys("Control", "2")  # side-panel button 2
        self.current_set("Maths")
        press_keys("Alt", "Left")  # Back
        self.current_set("Art")
        press_keys("Alt", "Right")  # Forward
        self.current_set("Maths")
        press_keys("Alt", "Left")
        self.current_set("Art")

    def test_2_tab_and_enter_start_a_program(self):
        self.show_programs()
        marker = os.path.join(self.work.name, "started")
        self.add_program("Art", "Aa Marker", f"touch \"{marker}\"")
        self.wait_shows("list item", "Aa Marker")
        press_keys("Tab")  # the program list takes the focus
        press_keys("Right")  # the first program: the marker
        press_keys("Return")
        wait_for("the marker of the started program", lambda: os.path.exists(marker),
                 CHANGE_TIMEOUT)

    def test_3_a_profile_update_shows_a_new_set(self):
        self.show_programs()
        started = time.monotonic()
        self.add_program("Science", "Planets", "true")
        self.wait_shows("check box", "Science")
        elapsed = time.monotonic() - started
        print(f"new set shown {elapsed:.2f} s after the signal", file=sys.stderr)
        self.assertLess(elapsed, 1.0)

    def test_4_a_change_of_class_keeps_the_page_working(self):
        self.show_programs()
        subprocess.run([os.path.join(BIN, "deskhaven-classselect"), "--set", "8C"],
                       env=self.env, check=True)
        wait_for("the class button to show 8C",
                 lambda: self.main_window() and find(self.main_window(), "push button", "8C",
                                                     depth=1), CHANGE_TIMEOUT)
        self.show_programs()
        self.current_set("Art")
        self.assertIsNotNone(self.shows("check box", "Science"))


if __name__ == "__main__":
    unittest.main(verbosity=2, failfast=True)
