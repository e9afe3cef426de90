#!/usr/bin/env python3
"""The least an assistive tool does: listens for events of the desktop's applications
(as every screen reader does) until it is ended. Prints "listening" once registered."""
import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402

listener = Atspi.EventListener.new(lambda event: None)
listener.register("window:activate")
listener.register("object:state-changed:focused")
print("listening", flush=True)
Atspi.event_main()
