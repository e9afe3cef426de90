#!/usr/bin/env python3
"""The shell's keys while an assistive tool listens: the real shell on the demo, a client
of the accessibility bus that listens for events (as a screen reader does) beside it,
and the keys pressed as the X server gets them from a keyboard."""
import os
import shutil
import subprocess
import time
import unittest

from desktopbus import (CHANGE_TIMEOUT, START_TIMEOUT, Atspi, ShellOnTheDemo, children,
                        descendants, find, focus_window, has_state, role_and_name, showing, wait_for,
                        xdotool)

HERE = os.path.dirname(os.path.abspath(__file__))


class TestKeysWithAListener(ShellOnTheDemo):

    @classmethod
    def more_environment(cls):
        # Printing without a printer writes into the documents folder of this home.
        return {"HOME": os.path.join(cls.work.name, "home")}

    @classmethod
    def start(cls):
        # More program sets than the side panel shows, so that it scrolls; named to come
        # after the demo's own.
        programs = os.path.join(cls.work.name, "demo", "programs")
        for year in range(1, 7):
            shutil.copytree(os.path.join(programs, "Art"), os.path.join(programs, f"Year {year}"))
        return super().start()

    @classmethod
    def tearDownClass(cls):
        if getattr(cls, "listener", None):
            cls.listener.terminate()
            cls.listener.wait()
        super().tearDownClass()

    def setUp(self):
        wait_for("the first page", self.page_on_show, START_TIMEOUT)
        cls = type(self)
        if getattr(cls, "listener", None) is None:
            # Registered while the shell runs, as a screen reader started after it would.
            cls.listener = subprocess.Popen(["/usr/bin/python3", os.path.join(HERE, "listener.py")],
                                            stdout=subprocess.PIPE, text=True)
            self.assertEqual(cls.listener.stdout.readline().strip(), "listening")
            time.sleep(1)  # for the shell to hear of the listener
        focus_window()

    def show_page(self, page):
        self.wait_shows("check box", page).do_action(0)
        wait_for(f"the {page} page", lambda: self.page_on_show() == page, CHANGE_TIMEOUT)

    def key(self, *keys):
        xdotool("key", "--clearmodifiers", *keys)

    def focused(self):
        """The role and name of what has the keyboard in the shell's window (a hidden web
        page keeps its own focus)."""
        def within(node, depth):
            for child in children(node):
                if child is None or not showing(child):
                    continue
                if has_state(child, Atspi.StateType.FOCUSED):
                    return role_and_name(child)
                found = depth > 1 and within(child, depth - 1)
                if found:
                    return found
            return None

        window = self.main_window()
        return within(window, 14) if window else None

    def help_opens(self):
        """F1 opens the help window over the shell; it is closed again by its Close button
        and the keyboard given back to the shell."""
        self.key("F1")

        def help_window():
            return next((w for w in children(self.app()) if showing(w)
                         and role_and_name(w)[1] != "Deskhaven 2"
                         and find(w, "push button", "Home", depth=3)), None)

        window = wait_for("the help window", help_window, CHANGE_TIMEOUT)
        find(window, "push button", "Close", depth=3).do_action(0)
        focus_window()

    def second_slot_and_back(self, first, second):
        """Ctrl+2 opens the second slot; Alt+Left and Alt+Right walk the history."""
        for key, caption in (("ctrl+2", second), ("alt+Left", first), ("alt+Right", second)):
            self.key(key)
            self.wait_shows("label", caption)

    def test_1_programs_page(self):
        self.show_page("Programs")
        self.wait_shows("label", "Current Program Set: Art")
        self.second_slot_and_back("Current Program Set: Art", "Current Program Set: Maths")
        # F6 and Shift+F6 go round the window's parts and the page's list; the arrow keys
        # move along a part (each step is checked beside the screen reader and offscreen).
        for key, role, name in (
                ("F6", "check box", "Programs"), ("End", "push button", "Deskhaven 2"),
                ("shift+F6", "list", "Programs"), ("shift+F6", "check box", "Art"),
                ("Up", "push button", "Press to scroll down through program sets")):
            self.key(key)
            wait_for(f"{key} to give the keyboard to {role} {name!r}",
                     lambda: self.focused() == (role, name), CHANGE_TIMEOUT)
        # Page Down and Page Up scroll the side panel through the sets it cannot show.
        self.key("Next")
        wait_for("Art to scroll away", lambda: not self.shows("check box", "Art"), CHANGE_TIMEOUT)
        self.key("Prior")
        self.wait_shows("check box", "Art")
        self.help_opens()

    def test_2_my_files_page(self):
        self.show_page("My Files")
        folder = os.path.join(self.work.name, "demo", "files")
        caption = "Current Root: {}      Current Folder: " + folder + "/{}"
        self.second_slot_and_back(caption.format("My Work", "My Work"),
                                  caption.format("Homework", "Year 7 Homework"))
        # Tab puts the keyboard into the list, where End and Home select the first row. (A
        # key is delivered only after the listener has been asked about it: End pressed
        # at once would go where the keyboard was before Tab.)
        self.key("Tab")
        time.sleep(0.5)
        self.key("End", "Home")
        wait_for("the first row's caption", lambda: any(
            (role_and_name(node)[1] or "").startswith("Current File: Geography")
            for node in descendants(self.main_window(), 14)), CHANGE_TIMEOUT)
        self.help_opens()

    def test_3_links_page(self):
        self.show_page("Links")
        self.wait_shows("label", "Current Web Page: Your class links")
        self.second_slot_and_back("Current Web Page: Your class links",
                                  "Current Web Page: Times Tables")
        # F5 shows the page as it is now on disk.
        page = os.path.join(self.work.name, "demo", "links", "maths.html")
        with open(page) as file:
            text = file.read()
        with open(page, "w") as file:
            file.write(text.replace("<title>Times Tables", "<title>Times Tables Again"))
        self.key("F5")
        self.wait_shows("label", "Current Web Page: Times Tables Again")
        # Ctrl+P without a printer writes the page into the documents folder.
        documents = os.path.join(self.env["HOME"], "Documents")
        self.key("ctrl+p")
        wait_for("the printed page", lambda: os.path.isdir(documents) and any(
            name.endswith(".pdf") for name in os.listdir(documents)), CHANGE_TIMEOUT)
        # Tab goes to the web page, which keeps it: the shell stays up on the Links page.
        self.key("Tab", "Tab", "Tab")
        time.sleep(1)
        self.assertEqual(self.page_on_show(), "Links")
        self.help_opens()


if __name__ == "__main__":
    unittest.main(verbosity=2, failfast=True)
