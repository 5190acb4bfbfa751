#!/usr/bin/env python3
"""Time from typing the maze size to the first frame drawn in the window.

    bench/first_frame.py --build build [--sizes 2000 4000] [--runs 3]

Runs maze_serial and maze_threaded at each square size under the X server named by
DISPLAY, or under an Xvfb of 1280x1024x24 of its own when DISPLAY is unset, and prints
one line per run:

    maze_serial 2000x2000 first_frame_s=... ground_s=... generated_s=... solved_s=... window_s=... ...

The clock starts when the size is typed (both numbers are written at once, after the
width prompt has appeared). Until its first redraw the window shows what an unpainted
window shows under Xvfb: the black of the screen behind it; then, while its first view is
made, the white ground it is cleared to (ground_s, the first capture with a pixel that is
not black). Every picture has more than one colour in it (its white margin and its walls,
black or grey), so the first frame is the first capture of the window with pixels of two
colours. Captures are taken when the X server reports that the window's
contents changed (DAMAGE extension), so the measurement does not compete for the two
cores with the program it measures; without that extension it falls back to polling.

The other columns say where the time went: the console line ending carving ("Done
generating maze..."), the solver's last line ("Press spacebar ..."), and the window
being mapped. complete=yes means a capture taken once the window had stopped changing
equals the one that first showed the picture, so the frame was not caught half drawn.
"""

import argparse
import contextlib
import ctypes
import os
import select
import subprocess
import sys
import threading
import time

POLL_SECONDS = 0.02  # only without the DAMAGE extension
TIMEOUT_SECONDS = 120.0
SETTLE_SECONDS = 1.0  # the window must stay unchanged this long to count as settled

_X = ctypes.CDLL("libX11.so.6")
try:
    _DAMAGE = ctypes.CDLL("libXdamage.so.1")
except OSError:
    _DAMAGE = None
_Z_PIXMAP = 2
_ALL_PLANES = 0xFFFFFFFF
_IS_VIEWABLE = 2
_LSB_FIRST = 0
_SUBSTRUCTURE_NOTIFY_MASK = 1 << 19
_MAP_NOTIFY = 19
_DAMAGE_NOTIFY = 0  # added to the extension's event base
_DAMAGE_REPORT_NON_EMPTY = 3
_EVENT_WINDOW_FIELD = 5  # XMapEvent: type, serial, send_event, display, event, window (in longs)


class _XImage(ctypes.Structure):
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.c_void_p), ("byte_order", ctypes.c_int),
                ("bitmap_unit", ctypes.c_int), ("bitmap_bit_order", ctypes.c_int), ("bitmap_pad", ctypes.c_int),
                ("depth", ctypes.c_int), ("bytes_per_line", ctypes.c_int), ("bits_per_pixel", ctypes.c_int),
                ("red_mask", ctypes.c_ulong), ("green_mask", ctypes.c_ulong), ("blue_mask", ctypes.c_ulong)]


class _XWindowAttributes(ctypes.Structure):
    _fields_ = [("x", ctypes.c_int), ("y", ctypes.c_int), ("width", ctypes.c_int), ("height", ctypes.c_int),
                ("border_width", ctypes.c_int), ("depth", ctypes.c_int), ("visual", ctypes.c_void_p),
                ("root", ctypes.c_ulong), ("class", ctypes.c_int), ("bit_gravity", ctypes.c_int),
                ("win_gravity", ctypes.c_int), ("backing_store", ctypes.c_int),
                ("backing_planes", ctypes.c_ulong), ("backing_pixel", ctypes.c_ulong),
                ("save_under", ctypes.c_int), ("colormap", ctypes.c_ulong), ("map_installed", ctypes.c_int),
                ("map_state", ctypes.c_int), ("all_event_masks", ctypes.c_long),
                ("your_event_mask", ctypes.c_long), ("do_not_propagate_mask", ctypes.c_long),
                ("override_redirect", ctypes.c_int), ("screen", ctypes.c_void_p)]


_XEvent = ctypes.c_long * 24  # the size of Xlib's event union

_X.XOpenDisplay.restype = ctypes.c_void_p
_X.XOpenDisplay.argtypes = [ctypes.c_char_p]
_X.XDefaultRootWindow.restype = ctypes.c_ulong
_X.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
_X.XConnectionNumber.argtypes = [ctypes.c_void_p]
_X.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
_X.XFlush.argtypes = [ctypes.c_void_p]
_X.XPending.argtypes = [ctypes.c_void_p]
_X.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.POINTER(_XEvent)]
_X.XQueryTree.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong),
                          ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.POINTER(ctypes.c_ulong)),
                          ctypes.POINTER(ctypes.c_uint)]
_X.XFetchName.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_char_p)]
_X.XFree.argtypes = [ctypes.c_void_p]
_X.XGetWindowAttributes.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(_XWindowAttributes)]
_X.XGetImage.restype = ctypes.POINTER(_XImage)
_X.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                         ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
_X.XDestroyImage.argtypes = [ctypes.POINTER(_XImage)]
_X.XCloseDisplay.argtypes = [ctypes.c_void_p]
if _DAMAGE is not None:
    _DAMAGE.XDamageQueryExtension.argtypes = [ctypes.c_void_p, ctypes.POINTER(ctypes.c_int),
                                              ctypes.POINTER(ctypes.c_int)]
    _DAMAGE.XDamageCreate.restype = ctypes.c_ulong
    _DAMAGE.XDamageCreate.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int]
    _DAMAGE.XDamageSubtract.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_ulong]
    _DAMAGE.XDamageDestroy.argtypes = [ctypes.c_void_p, ctypes.c_ulong]

# A window can vanish or unmap between two requests; Xlib's default handler would end
# the benchmark for that, so errors only make the request at hand come back empty.
_ERROR_HANDLER_TYPE = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)
_IGNORE_ERRORS = _ERROR_HANDLER_TYPE(lambda display, event: 0)
_X.XSetErrorHandler(_IGNORE_ERRORS)



class XConnection:
    """One connection that watches the root for windows being mapped and, with DAMAGE,
    the measured window for changes of its contents."""

    def __init__(self, display_name):
        self.display = _X.XOpenDisplay(display_name.encode())
        if not self.display:
            raise RuntimeError("cannot open display %s" % display_name)
        self.root = _X.XDefaultRootWindow(self.display)
        _X.XSelectInput(self.display, self.root, _SUBSTRUCTURE_NOTIFY_MASK)
        self.damage_event = None
        event_base, error_base = ctypes.c_int(), ctypes.c_int()
        if _DAMAGE is not None and _DAMAGE.XDamageQueryExtension(self.display, ctypes.byref(event_base),
                                                                 ctypes.byref(error_base)):
            self.damage_event = event_base.value + _DAMAGE_NOTIFY
        self.damage = None

    def close(self):
        _X.XCloseDisplay(self.display)

    def next_event(self, timeout):
        """(event type, window field) of the next event, or None when timeout seconds pass first."""
        _X.XFlush(self.display)
        if not _X.XPending(self.display):
            ready, _, _ = select.select([_X.XConnectionNumber(self.display)], [], [], timeout)
            if not ready or not _X.XPending(self.display):
                return None
        event = _XEvent()
        _X.XNextEvent(self.display, ctypes.byref(event))
        return event[0] & 0xFFFFFFFF, event[_EVENT_WINDOW_FIELD]

    def watch_contents(self, window):
        if self.damage_event is not None:
            self.damage = _DAMAGE.XDamageCreate(self.display, window, _DAMAGE_REPORT_NON_EMPTY)

    def rearm(self):
        """After a change has been looked at, report the next one."""
        if self.damage is not None:
            _DAMAGE.XDamageSubtract(self.display, self.damage, 0, 0)

    def stop_watching(self):
        if self.damage is not None:
            _DAMAGE.XDamageDestroy(self.display, self.damage)
            self.damage = None

    def top_level_windows(self):
        root, parent = ctypes.c_ulong(), ctypes.c_ulong()
        children, count = ctypes.POINTER(ctypes.c_ulong)(), ctypes.c_uint()
        if not _X.XQueryTree(self.display, self.root, ctypes.byref(root), ctypes.byref(parent),
                             ctypes.byref(children), ctypes.byref(count)):
            return []
        windows = [children[i] for i in range(count.value)]
        if children:
            _X.XFree(children)
        return windows

    def name(self, window):
        name = ctypes.c_char_p()
        if not _X.XFetchName(self.display, window, ctypes.byref(name)) or not name.value:
            return None
        text = name.value.decode(errors="replace")
        _X.XFree(name)
        return text

    def viewable_size(self, window):
        attributes = _XWindowAttributes()
        if not _X.XGetWindowAttributes(self.display, window, ctypes.byref(attributes)):
            return None
        if attributes.map_state != _IS_VIEWABLE:
            return None
        return attributes.width, attributes.height

    def pixels(self, window, width, height):
        """The window's pixels as (raw bytes, channel masks, byte order), or None if unreadable now."""
        image = _X.XGetImage(self.display, window, 0, 0, width, height, _ALL_PLANES, _Z_PIXMAP)
        if not image:
            return None
        contents = image.contents
        if contents.bits_per_pixel != 32:
            _X.XDestroyImage(image)
            raise RuntimeError("only 32 bits per pixel are handled, the window has %d" % contents.bits_per_pixel)
        data = ctypes.string_at(contents.data, contents.bytes_per_line * contents.height)
        masks = (contents.red_mask, contents.green_mask, contents.blue_mask)
        byte_order = contents.byte_order
        _X.XDestroyImage(image)
        return data, masks, byte_order


def has_paint(pixels):
    """Whether any pixel has a colour channel above zero."""
    data, masks, byte_order = pixels
    for mask in masks:
        byte = {0xFF: 0, 0xFF00: 1, 0xFF0000: 2, 0xFF000000: 3}[mask]
        if byte_order != _LSB_FIRST:
            byte = 3 - byte
        if data[byte::4].strip(b"\0"):
            return True
    return False


def has_picture(pixels):
    """Whether the window shows a picture: pixels of more than one colour. Before its first
    picture the window shows the white ground, one colour, and before that nothing: black."""
    data, masks, byte_order = pixels
    for mask in masks:
        byte = {0xFF: 0, 0xFF00: 1, 0xFF0000: 2, 0xFF000000: 3}[mask]
        if byte_order != _LSB_FIRST:
            byte = 3 - byte
        channel = data[byte::4]
        if channel.strip(channel[:1]):
            return True
    return False


class ProgramRun:
    """A program with its console output timestamped as it arrives."""

    def __init__(self, program):
        self.process = subprocess.Popen([program], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        stderr=subprocess.DEVNULL)
        self.output = b""
        self.arrivals = []  # (monotonic time, output length then)
        self.changed = threading.Condition()
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        while True:
            chunk = self.process.stdout.read1(65536)
            with self.changed:
                if not chunk:
                    self.changed.notify_all()
                    return
                self.output += chunk
                self.arrivals.append((time.monotonic(), len(self.output)))
                self.changed.notify_all()

    def wait_for(self, text, timeout):
        deadline = time.monotonic() + timeout
        with self.changed:
            while text not in self.output:
                if time.monotonic() > deadline or self.process.poll() is not None:
                    raise RuntimeError("no %r on the program's output; got %r" % (text, self.output[-300:]))
                self.changed.wait(0.05)

    def time_of(self, text):
        """When text had fully arrived, or None."""
        with self.changed:
            end = self.output.find(text)
            if end < 0:
                return None
            end += len(text)
            return next(moment for moment, length in self.arrivals if length >= end)

    def stop(self):
        if self.process.poll() is None:
            self.process.kill()
        self.process.wait()


def measure(connection, program, size):
    windows_before = set(connection.top_level_windows())
    run = ProgramRun(program)
    try:
        run.wait_for(b"Please enter the width of the maze: ", TIMEOUT_SECONDS)
        typed = time.monotonic()
        run.process.stdin.write(b"%d\n%d\n" % (size, size))
        run.process.stdin.close()
        deadline = typed + TIMEOUT_SECONDS
        polling = connection.damage_event is None

        window = window_size = window_time = None
        first_frame = first_pixels = ground_time = None
        unpainted_seen = False
        while first_frame is None:
            if time.monotonic() > deadline or run.process.poll() is not None:
                raise RuntimeError("no first frame within %.0f s (program status %s)"
                                   % (TIMEOUT_SECONDS, run.process.poll()))
            event = connection.next_event(POLL_SECONDS if polling and window else 0.5)
            look = polling and window is not None
            if event and event[0] == _MAP_NOTIFY and window is None:
                mapped = event[1]
                if mapped not in windows_before and connection.name(mapped) == "Maze":
                    window, window_time = mapped, time.monotonic()
                    window_size = connection.viewable_size(window)
                    connection.watch_contents(window)
                    look = True  # it may have been drawn before the watch began
            elif event and event[0] == connection.damage_event and window is not None:
                look = True
            if look and window_size is not None:
                pixels = connection.pixels(window, *window_size)
                if pixels is not None and has_paint(pixels) and ground_time is None:
                    ground_time = time.monotonic()
                if pixels is not None and has_picture(pixels):
                    first_frame, first_pixels = time.monotonic(), pixels
                else:
                    unpainted_seen = unpainted_seen or ground_time is None
                    connection.rearm()

        # Wait until the window stops changing, then see whether the first frame was all of it.
        connection.rearm()
        quiet_since, latest = time.monotonic(), first_pixels
        while time.monotonic() - quiet_since < SETTLE_SECONDS and time.monotonic() < deadline:
            event = connection.next_event(0.1)
            if polling:
                current = connection.pixels(window, *window_size)
                if current == latest:
                    continue
                latest = current
            elif not (event and event[0] == connection.damage_event):
                continue
            quiet_since = time.monotonic()
            connection.rearm()
        complete = connection.pixels(window, *window_size) == first_pixels
        connection.stop_watching()

        def since_typed(moment):
            return "%.3f" % (moment - typed) if moment is not None else "-"

        return ("first_frame_s=%.3f ground_s=%s generated_s=%s solved_s=%s window_s=%s unpainted_seen=%s complete=%s"
                % (first_frame - typed, since_typed(ground_time), since_typed(run.time_of(b"Done generating maze...\n")),
                   since_typed(run.time_of(b"Press spacebar to see my solution to the maze\n")),
                   since_typed(window_time), "yes" if unpainted_seen else "no", "yes" if complete else "no"))
    finally:
        run.stop()


def start_own_xvfb(screen="1280x1024"):
    """An Xvfb with a screen of the given size at 24 bits a pixel, on a display number it
    picks itself; returns (process, name). It does not reset when its last client leaves,
    which a program connecting at that moment would find refused."""
    reading, writing = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(writing), "-screen", "0", screen + "x24", "-nolisten", "tcp",
                               "-noreset"],
                              pass_fds=(writing,), stderr=subprocess.DEVNULL)
    os.close(writing)
    with os.fdopen(reading) as numbers:
        number = numbers.readline().strip()
    if not number:
        server.kill()
        raise RuntimeError("Xvfb did not start")
    return server, ":" + number


@contextlib.contextmanager
def display_connection():
    """A connection to the X server named by DISPLAY, or to an Xvfb of 1280x1024x24 of its
    own when DISPLAY is unset, which it then names; both closed at the end."""
    server = None
    display = os.environ.get("DISPLAY")
    if not display:
        server, display = start_own_xvfb()
        os.environ["DISPLAY"] = display
    connection = XConnection(display)
    try:
        yield connection
    finally:
        connection.close()
        if server is not None:
            server.kill()
            server.wait()


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default="build", help="build directory holding maze_serial and maze_threaded")
    parser.add_argument("--programs", nargs="+", default=["maze_serial", "maze_threaded"])
    parser.add_argument("--sizes", nargs="+", type=int, default=[2000, 4000], help="square maze sizes")
    parser.add_argument("--runs", type=int, default=1, help="runs per program and size")
    arguments = parser.parse_args()

    with display_connection() as connection:
        for size in arguments.sizes:
            for program in arguments.programs:
                for _ in range(arguments.runs):
                    result = measure(connection, os.path.join(arguments.build, program), size)
                    print("%s %dx%d %s" % (program, size, size, result), flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
