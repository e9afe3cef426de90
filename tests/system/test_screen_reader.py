#!/usr/bin/env python3
"""The real shell beside Debian's screen reader (Orca): the keys a pupil who cannot see the
screen presses, and what the screen reader says of them, read from its debug output, which
holds every utterance whether or not a speech synthesiser can be reached."""
import os
import re
import subprocess
import time
import unittest

from desktopbus import (CHANGE_TIMEOUT, START_TIMEOUT, ShellOnTheDemo, focus_window, wait_for,
                        xdotool)

UTTERANCE = re.compile(r"SPEECH OUTPUT: '(.*)' ?\{.*\}$")


class TestWithAScreenReader(ShellOnTheDemo):

    @classmethod
    def tearDownClass(cls):
        reader = getattr(cls, "reader", None)
        if reader:
            reader.terminate()
            try:
                reader.wait(10)
            except subprocess.TimeoutExpired:
                reader.kill()
                reader.wait()
        super().tearDownClass()

    def setUp(self):
        wait_for("the first page", self.page_on_show, START_TIMEOUT)
        cls = type(self)
        if getattr(cls, "reader", None) is None:
            cls.start_reader()
            self.hear("that it is on", lambda said: said == "Screen reader on.", 0, START_TIMEOUT)
            focus_window()
            self.hear("the shell's window", lambda said: said.startswith("Deskhaven 2"), 0)

    @classmethod
    def start_reader(cls):
        """Starts the screen reader with its settings in the test's folder, and has its
        debug output written line by line (through the customisations it loads)."""
        settings = os.path.join(cls.work.name, "orca")
        os.makedirs(settings)
        with open(os.path.join(settings, "orca-customizations.py"), "w") as customisations:
            customisations.write("from orca import debug\n"
                                 "debug.debugFile.reconfigure(line_buffering=True)\n")
        cls.spoken = os.path.join(cls.work.name, "orca.out")
        cls.reader = subprocess.Popen(
            ["orca", "--user-prefs", settings, "--debug-file", cls.spoken],
            env=dict(cls.env, HOME=os.path.join(cls.work.name, "home")),
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    # What the screen reader says -----------------------------------------------------

    def output(self):
        try:
            with open(self.spoken, errors="replace") as file:
                return file.read()
        except FileNotFoundError:
            return ""

    def said_since(self, start):
        return [m.group(1) for m in map(UTTERANCE.search, self.output()[start:].splitlines())
                if m]

    def hear(self, what, probe, since, timeout=CHANGE_TIMEOUT):
        """Waits until the screen reader has said something probe accepts since the mark
        since, and gives it."""
        deadline = time.monotonic() + timeout
        while True:
            said = self.said_since(since)
            found = next((line for line in said if probe(line)), None)
            if found is not None:
                return found
            if self.reader.poll() is not None or time.monotonic() > deadline:
                raise AssertionError(f"the screen reader did not say {what}; it said {said}")
            time.sleep(0.05)

    def press(self, key):
        """Presses key as a keyboard would and gives the mark from which to listen."""
        mark = len(self.output())
        xdotool("key", "--clearmodifiers", key)
        return mark

    def tab_to(self, what, probe, tries=12):
        """Presses Tab until the screen reader says something probe accepts, and gives it."""
        start = len(self.output())
        for _ in range(tries):
            since = self.press("Tab")
            try:
                return self.hear(what, probe, since, timeout=1.5)
            except AssertionError:
                continue
        self.fail(f"Tab never reached {what}: {self.said_since(start)}")

    # The shell's side ------------------------------------------------------------------

    def show_page(self, key, page):
        self.press(key)
        wait_for(f"the {page} page", lambda: self.page_on_show() == page, CHANGE_TIMEOUT)

    def names_in(self, *folder):
        return {os.path.splitext(name)[0]
                for name in os.listdir(os.path.join(self.work.name, "demo", *folder))}

    # The pages ---------------------------------------------------------------------------

    def test_1_programs_page(self):
        self.show_page("alt+p", "Programs")
        self.wait_shows("label", "Current Program Set: Art")
        # The side-panel key reaches the page while the screen reader listens.
        self.press("ctrl+2")
        self.wait_shows("label", "Current Program Set: Maths")
        # Tab puts the keyboard in the list, which is announced by its name; an arrow key
        # moves to a program of the set now on show, announced by its name.
        since = self.press("Tab")
        self.hear("the list's name", lambda said: said == "Programs.", since)
        since = self.press("Right")
        maths = self.names_in("programs", "Maths")
        said = self.hear("a program", lambda said: said.rstrip(".") in
                         maths | self.names_in("programs", "Art"), since)
        self.assertIn(said.rstrip("."), maths)
        # F6 goes from part to part of the window: the top row, the tool bar, the side
        # panel, each button announced by its name and role; Right moves along the panel
        # and Enter presses the slot.
        for key, said in (("F6", "Programs check box"),
                          ("F6", "Display a previously viewed program set push button"),
                          ("F6", "Art check box"), ("Right", "Maths check box"),
                          ("Right", "Writing check box")):
            since = self.press(key)
            self.hear(said, lambda line: line.startswith(said), since)
        self.press("Return")
        self.wait_shows("label", "Current Program Set: Writing")

    def test_2_my_files_page(self):
        self.show_page("alt+f", "My Files")
        since = self.press("Tab")
        self.hear("the file list's name", lambda said: said.startswith("Files and folders"),
                  since)
        since = self.press("Down")
        files = self.names_in("files", "My Work")
        self.hear(f"one of {sorted(files)}", lambda said: said.rstrip(".") in files, since)
        # The new-folder dialog is announced with its field, named by its prompt, and is
        # worked by keys.
        since = self.press("ctrl+n")
        self.hear("the dialog", lambda said: said == "Folder Creation dialog.", since)
        self.hear("the name field",
                  lambda said: said == "Please enter the name of the folder to be created text.",
                  since)
        focus_window("Folder Creation")
        xdotool("type", "Poems")
        self.press("Return")
        files = os.path.join(self.work.name, "demo", "files")
        wait_for("the folder Poems", lambda: any(
            "Poems" in folders for _, folders, _ in os.walk(files)), CHANGE_TIMEOUT)
        focus_window()
        # From the list, F6 goes to the top row and on to the page's tool bar.
        self.press("F6")
        since = self.press("F6")
        button = re.compile(r"(.+) push button")
        said = self.hear("a tool-bar button", button.match, since)
        self.assertIsNotNone(self.shows("push button", button.match(said)[1]))

    def test_3_links_page(self):
        shown = self.press("alt+l")
        wait_for("the Links page", lambda: self.page_on_show() == "Links", CHANGE_TIMEOUT)
        # An arrow key must not reach the file list of the page just hidden.
        self.press("Down")
        # Tab goes into the web page, through its links, each announced by name and role,
        # and on to the page's own buttons.
        links = {"Science Corner", "Times Tables", "Reading Room"}
        self.tab_to("a link of the start page",
                    lambda said: said.endswith(" link.") and said[:-len(" link.")] in links)
        button = re.compile(r"(.+) push button\.$")
        said = self.tab_to("a button", button.match)
        name = button.match(said).group(1)
        self.assertIsNotNone(self.shows("push button", name), name)
        self.assertEqual(self.page_on_show(), "Links")
        files = self.names_in("files", "My Work")
        self.assertEqual([said for said in self.said_since(shown) if said.rstrip(".") in files],
                         [])
        # F1 opens the help, announced as a window named by its topic and its book.
        since = self.press("F1")
        self.hear("the help window", lambda said: said == "Links - Deskhaven Help frame.", since)

if __name__ == "__main__":
    unittest.main(verbosity=2, failfast=True)
