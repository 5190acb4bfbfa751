"""Running one of the maze programs as a user would: typed size on standard input, a
clock fixed by libfaketime so the seed is known, and every process killed afterwards."""

import ctypes
import glob
import os
import signal
import subprocess
import threading
import time

_PR_SET_PDEATHSIG = 1
# Loaded before any fork: the child must not have to load libraries between fork and exec.
_C_LIBRARY = ctypes.CDLL(None, use_errno=True)
FAKETIME_LIBRARY_GLOB = "/usr/lib/*/faketime/libfaketimeMT.so.1"


def find_faketime_library(configured=None):
    """The configured path if it exists, otherwise what dpkg says libfaketime installed."""
    if configured and os.path.exists(configured):
        return configured
    try:
        listing = subprocess.run(["dpkg", "-L", "libfaketime"], capture_output=True, text=True).stdout.split()
    except OSError:
        listing = []
    candidates = [path for path in listing if path.endswith("/libfaketimeMT.so.1")]
    candidates += glob.glob(FAKETIME_LIBRARY_GLOB)
    if not candidates:
        raise RuntimeError("libfaketimeMT.so.1 not found: install the libfaketime package")
    return candidates[0]


def _die_with_parent():
    # A harness killed by a CTest timeout must not leave its maze windows behind.
    _C_LIBRARY.prctl(_PR_SET_PDEATHSIG, signal.SIGKILL)


def _die_with_parent_and_no_output():
    _die_with_parent()
    os.close(1)


class MazeRun:
    """One running program. Use as a context manager: the process is killed on exit."""

    def __init__(self, program, width, height, seed, faketime_library, output_closed=False, arguments=()):
        """seed: the calendar time the program starts at, on a fake clock; None for the real one.
        output_closed: start the program with its standard output closed, as `program >&-`.
        arguments: the program's command line after its name."""
        environment = dict(os.environ)
        if seed is not None:
            environment.update({
                "LD_PRELOAD": faketime_library,
                "TZ": "UTC0",
                # Starts the clock at the seed; the program reads it before anything else.
                "FAKETIME": time.strftime("@%Y-%m-%d %H:%M:%S", time.gmtime(seed)),
                "FAKETIME_DONT_FAKE_MONOTONIC": "1",
            })
        self.process = subprocess.Popen([program] + list(arguments), stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        stderr=subprocess.PIPE, env=environment,
                                        preexec_fn=_die_with_parent_and_no_output if output_closed else _die_with_parent)
        self._output = bytearray()
        self._errors = bytearray()
        # When standard output grew, and to how many bytes: (time.monotonic(), length).
        self._arrivals = []
        self._changed = threading.Condition()
        self._readers = [threading.Thread(target=self._collect, args=(stream, buffer), daemon=True)
                         for stream, buffer in ((self.process.stdout, self._output),
                                                (self.process.stderr, self._errors))]
        for reader in self._readers:
            reader.start()
        self.process.stdin.write(b"%d\n%d\n" % (width, height))
        self.process.stdin.close()

    def _collect(self, stream, buffer):
        while True:
            chunk = stream.read1(65536)
            with self._changed:
                if not chunk:
                    self._changed.notify_all()
                    return
                buffer.extend(chunk)
                if buffer is self._output:
                    self._arrivals.append((time.monotonic(), len(buffer)))
                self._changed.notify_all()

    def output(self):
        with self._changed:
            return bytes(self._output)

    def errors(self):
        with self._changed:
            return bytes(self._errors)

    def output_time(self, text):
        """When standard output first held the given bytes (a time.monotonic() reading, taken
        as they were read, whatever the caller was doing meanwhile), or None."""
        with self._changed:
            found = self._output.find(text)
            if found < 0:
                return None
            return next(moment for moment, length in self._arrivals if length >= found + len(text))

    def wait_for_output(self, ending, timeout):
        """Waits until standard output ends with the given bytes; returns whether it did."""
        deadline = time.monotonic() + timeout
        with self._changed:
            while not self._output.endswith(ending):
                left = deadline - time.monotonic()
                if left <= 0 or (self.process.poll() is not None and not self._readers[0].is_alive()):
                    return False
                self._changed.wait(min(left, 0.1))
            return True

    def wait(self, timeout):
        """The exit status once the program has ended within timeout seconds, else None."""
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            return None

    def kill(self):
        if self.process.poll() is None:
            self.process.kill()
        self.process.wait()
        for reader in self._readers:
            reader.join(timeout=5)

    def __enter__(self):
        return self

    def __exit__(self, *exception):
        self.kill()
        return False
