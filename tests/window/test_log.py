"""What the harnesses print as they go: notes timed from the start, and failures with
their details, which decide the verdict."""

import time


class TestLog:
    def __init__(self):
        self.failures = []
        self.started = time.monotonic()

    def note(self, text):
        print("[%6.2f s] %s" % (time.monotonic() - self.started, text), flush=True)

    def fail(self, text, details=()):
        self.failures.append(text)
        print("FAIL: " + text, flush=True)
        for line in details:
            print("    " + line, flush=True)


def maze_size(text):
    """WIDTHxHEIGHT as (width, height)."""
    width, _, height = text.partition("x")
    return int(width), int(height)
