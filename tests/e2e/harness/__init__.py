"""Harness of the end-to-end tests: the real PresenterVela.exe under Wine
inside Xvfb. See session.py (WineSession) and runner.py (main)."""
from .runner import TestContext, context, main
from .session import WindowInfo, WineSession

__all__ = ["TestContext", "WindowInfo", "WineSession", "context", "main"]
