#!/usr/bin/env python3
"""Whole-program tests of the My Files page: the real shell with the real Files control on
the demo configuration (class 7B starts on My Files), driven by the keyboard and looked at
through the accessibility bus.
"""
import os
import subprocess
import time
import unittest

from desktopbus import (BIN, CHANGE_TIMEOUT, START_TIMEOUT, ShellOnTheDemo, children,
                        descendants, find, press_keys, role_and_name, showing, wait_for)


class TestFiles(ShellOnTheDemo):

    def files(self, *parts):
        return os.path.join(self.work.name, "demo", "files", *parts)

    def caption(self, root, *folder):
        return f"Current Root: {root}      Current Folder: {self.files(*folder)}"

    def test_1_starts_on_my_files_in_the_first_root(self):
        page = wait_for("the first page", self.page_on_show, START_TIMEOUT)
        self.assertEqual(page, "My Files")
        self.wait_shows("label", self.caption("My Work", "My Work"))
        self.wait_shows("table cell", "My Story")
        self.assertIsNotNone(self.shows("check box", "Homework"))

    def test_2_keys_reach_the_page(self):
        wait_for("the first page", self.page_on_show, START_TIMEOUT)
        press_keys("Control", "2")
        self.wait_shows("label", self.caption("Homework", "Year 7 Homework"))
        press_keys("Alt", "Left")
        self.wait_shows("label", self.caption("My Work", "My Work"))
        press_keys("Alt", "Right")
        self.wait_shows("label", self.caption("Homework", "Year 7 Homework"))
        # Tab puts the keyboard into the list: Down then selects its first row.
        press_keys("Tab")
        press_keys("Down")
        wait_for("the first row's caption", lambda: any(
            role_and_name(node) == ("label", node.get_name())
            and node.get_name().startswith("Current File: Geography")
            for node in descendants(self.main_window(), 14)), CHANGE_TIMEOUT)

    def test_3_a_file_made_on_disk_appears_and_goes(self):
        wait_for("the first page", self.page_on_show, START_TIMEOUT)
        self.wait_shows("table cell", "Homework list")
        made = self.files("Year 7 Homework", "Fresh notes.txt")
        with open(made, "w") as file:
            file.write("made in a terminal\n")
        self.wait_shows("table cell", "Fresh notes")
        os.remove(made)
        wait_for("the row to go", lambda: self.shows("table cell", "Fresh notes") is None,
                 CHANGE_TIMEOUT)
        # Made while another page is on show: there when My Files is shown again.
        self.wait_shows("check box", "Programs").do_action(0)
        wait_for("the Programs page", lambda: self.page_on_show() == "Programs", CHANGE_TIMEOUT)
        with open(made, "w") as file:
            file.write("saved from a program\n")
        time.sleep(1)  # the news reaches the hidden page
        find(self.main_window(), "check box", "My Files", depth=1).do_action(0)
        self.wait_shows("table cell", "Fresh notes")
        os.remove(made)

    def select_my_story(self):
        press_keys("Control", "1")
        self.wait_shows("label", self.caption("My Work", "My Work"))
        # The rows are English, Maths, My Story, Science.
        for key in ("Tab", "Home", "Down", "Down"):
            press_keys(key)

    def show_default_view(self, view):
        """Makes view the Default User scheme's default and shows My Files afresh on it,
        through a change of class (8C uses that scheme)."""
        defaults = r"HKLM\Software\Halvane\Deskhaven\Schemes\Default User\Defaults"
        subprocess.run([os.path.join(BIN, "deskhaven-reg"), "add", defaults, "/v", "DefaultView",
                        "/d", view, "/f"], env=self.env, check=True)
        for group in ("7B", "8C"):
            subprocess.run([os.path.join(BIN, "deskhaven-classselect"), "--set", group],
                           env=self.env, check=True)
            wait_for(f"the class button to show {group}",
                     lambda: self.shows("push button", group), CHANGE_TIMEOUT)
            wait_for("the first page", self.page_on_show, START_TIMEOUT)
        find(self.main_window(), "check box", "My Files", depth=1).do_action(0)

    def test_4_copy_paste_and_undo_with_the_keys(self):
        wait_for("the first page", self.page_on_show, START_TIMEOUT)
        self.select_my_story()
        press_keys("Control", "c")
        press_keys("Control", "v")
        self.wait_shows("table cell", "Copy of My Story")
        press_keys("Control", "z")
        wait_for("the copy to go", lambda: self.shows("table cell", "Copy of My Story") is None,
                 CHANGE_TIMEOUT)

    def test_5_a_change_of_class_waits_for_rename_then_shows_the_new_roots(self):
        wait_for("the first page", self.page_on_show, START_TIMEOUT)
        self.select_my_story()
        press_keys("F2")

        def rename_dialog():
            for dialog in children(self.app()):
                if role_and_name(dialog) == ("dialog", "Rename Item") and showing(dialog):
                    return dialog
            return None

        dialog = wait_for("the Rename Item dialog", rename_dialog, CHANGE_TIMEOUT)
        subprocess.run([os.path.join(BIN, "deskhaven-classselect"), "--set", "8C"],
                       env=self.env, check=True)
        # The page under the open dialog stays as it is for some ticks of the class timer.
        time.sleep(2.5)
        wait_for("the dialog and class 7B to stay",
                 lambda: rename_dialog() and self.shows("push button", "7B"), 1)
        find(dialog, "push button", "Cancel").do_action(0)
        wait_for("the class button to show 8C", lambda: self.shows("push button", "8C"),
                 CHANGE_TIMEOUT)
        wait_for("the first page of Default User", self.page_on_show, START_TIMEOUT)
        find(self.main_window(), "check box", "My Files", depth=1).do_action(0)
        # Class 8C has the Default User scheme, whose second root is the class's share.
        self.wait_shows("check box", "Class Shared")
        self.assertIsNone(self.shows("check box", "Homework"))


    def test_6_delete_and_undo_with_the_keys(self):
        # Year 7 hides Delete; the class change made it Default User, which offers it.
        wait_for("the first page", self.page_on_show, START_TIMEOUT)
        story = self.files("My Work", "My Story.txt")
        with open(story, "rb") as file:
            words = file.read()
        self.select_my_story()
        press_keys("Delete")
        self.answer_box("Delete", "Yes")
        wait_for("My Story to go", lambda: self.shows("table cell", "My Story") is None,
                 CHANGE_TIMEOUT)
        trash = os.path.join(self.env["XDG_DATA_HOME"], "Trash", "files")
        self.assertIn("My Story.txt", os.listdir(trash))
        press_keys("Control", "z")
        self.wait_shows("table cell", "My Story")
        with open(story, "rb") as file:
            self.assertEqual(file.read(), words)
        self.assertNotIn("My Story.txt", os.listdir(trash))

    def test_7_the_one_pane_tree_as_the_class_default(self):
        wait_for("the first page", self.page_on_show, START_TIMEOUT)
        self.show_default_view("tree1")
        # The roots are the tree's top items, with no side panel beside them.
        self.wait_shows("table cell", "Class Shared")
        self.assertIsNone(self.shows("check box", "Class Shared"))
        self.wait_shows("label", self.caption("My Work", "My Work"))
        press_keys("Tab")
        press_keys("Right")  # expands the selected root
        self.wait_shows("table cell", "My Story")

    def test_8_a_folder_swapped_for_a_link_out_is_not_pasted_into(self):
        # Another program of the pupil's swaps the folder on show for a link out of the
        # roots: Paste stops with "Folder Changed" and nothing outside changes.
        wait_for("the first page", self.page_on_show, START_TIMEOUT)
        self.show_default_view("details")
        self.select_my_story()
        press_keys("Control", "c")
        press_keys("Up")  # Maths
        press_keys("Return")
        self.wait_shows("label", self.caption("My Work", "My Work", "Maths"))
        outside = os.path.join(self.work.name, "outside")
        os.mkdir(outside)
        maths = self.files("My Work", "Maths")
        os.rename(maths, maths + ".real")
        os.symlink(outside, maths)
        press_keys("Control", "v")
        self.answer_box("Folder Changed", "OK")
        self.assertEqual(os.listdir(outside), [])
        self.assertNotIn("My Story.txt", os.listdir(maths + ".real"))


if __name__ == "__main__":
    unittest.main(verbosity=2, failfast=True)
