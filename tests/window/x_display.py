"""The X server as the tests use it: finding a program's window, reading its geometry
and pixels, and typing into it, all through the standard X command-line tools."""

import os
import re
import subprocess
import time

from xwd_image import XwdImage, XwdError

POLL_SECONDS = 0.02


class DisplayError(Exception):
    pass


def _run(command):
    result = subprocess.run(command, capture_output=True, timeout=30)
    if result.returncode != 0:
        raise DisplayError("%s failed (%d): %s" % (" ".join(command), result.returncode,
                                                    result.stderr.decode(errors="replace").strip()))
    return result.stdout


def require_display(width, height, depth):
    """Fails unless DISPLAY names a running X server with a screen of the given size."""
    if not os.environ.get("DISPLAY"):
        raise DisplayError("DISPLAY is not set: the window tests need an X server with a %dx%dx%d screen; "
                           "run them under one, e.g. xvfb-run -s '-screen 0 %dx%dx%d' ctest"
                           % (width, height, depth, width, height, depth))
    info = window_info("-root")
    if (info["width"], info["height"], info["depth"]) != (width, height, depth):
        raise DisplayError("DISPLAY=%s has a %dx%dx%d screen; the window tests need %dx%dx%d"
                           % (os.environ["DISPLAY"], info["width"], info["height"], info["depth"],
                              width, height, depth))


def top_level_windows():
    """{window id: name} for every child of the root window (there is no window manager)."""
    listing = _run(["xwininfo", "-root", "-children"]).decode(errors="replace")
    windows = {}
    # A name may be followed by the window's class: 0x400002 "Maze": ("maze_serial" "Maze") ...
    for match in re.finditer(r'^\s+(0x[0-9a-f]+) (?:"(.*?)"(?::|\s)|\(has no name\))', listing, re.MULTILINE):
        windows[match.group(1)] = match.group(2)
    return windows


def window_info(window):
    """Title, absolute position, size, depth and map state of a window, from xwininfo."""
    arguments = ["-root"] if window == "-root" else ["-id", window]
    text = _run(["xwininfo"] + arguments).decode(errors="replace")

    def number(label):
        return int(re.search(r"^\s*%s:\s*(-?\d+)" % re.escape(label), text, re.MULTILINE).group(1))

    title = re.search(r'^xwininfo: Window id: \S+ (?:"(.*)")?', text, re.MULTILINE).group(1)
    return {
        "title": title,
        "x": number("Absolute upper-left X"),
        "y": number("Absolute upper-left Y"),
        "width": number("Width"),
        "height": number("Height"),
        "depth": number("Depth"),
        "viewable": "IsViewable" in text,
    }


def window_class(window):
    """WM_CLASS as (name, class), from xprop, or None when the window has none."""
    text = _run(["xprop", "-id", window, "WM_CLASS"]).decode(errors="replace")
    match = re.search(r'= "(.*)", "(.*)"$', text.strip())
    return match.groups() if match else None


def settled_windows(title, timeout):
    """The top-level windows, once those with the given title left by programs that have
    just ended are gone: the X server reuses a departed client's window ids, so a stale
    entry could hide the next program's window. Windows that stay are returned as well."""
    deadline = time.monotonic() + timeout
    while True:
        windows = top_level_windows()
        if title not in windows.values() or time.monotonic() > deadline:
            return windows
        time.sleep(POLL_SECONDS)


def wait_until_closed(window, timeout):
    deadline = time.monotonic() + timeout
    while window in top_level_windows() and time.monotonic() < deadline:
        time.sleep(POLL_SECONDS)


def wait_for_new_window(title, windows_before, process, timeout):
    """The one viewable window with the given title that was not there before the program
    started. Programs elsewhere on this display opening a window of the same title at the
    same moment would make it ambiguous; that is reported rather than guessed."""
    deadline = time.monotonic() + timeout
    while True:
        if process.poll() is not None:
            raise DisplayError("the program exited with status %d before its window appeared" % process.returncode)
        new = [window for window, name in top_level_windows().items()
               if name == title and window not in windows_before]
        viewable = [window for window in new if window_info(window)["viewable"]]
        if len(viewable) == 1:
            return viewable[0]
        if len(viewable) > 1:
            raise DisplayError("%d new windows titled %r appeared at once; window tests need the display "
                               "to themselves" % (len(viewable), title))
        if time.monotonic() > deadline:
            raise DisplayError("no window titled %r appeared within %.0f s" % (title, timeout))
        time.sleep(POLL_SECONDS)


def capture(window):
    try:
        return XwdImage(_run(["xwd", "-id", window, "-silent"]))
    except XwdError as error:
        raise DisplayError("unreadable xwd dump of window %s: %s" % (window, error))


def wait_for_picture(window, problems_of, timeout, since=None):
    """Captures the window until problems_of(image) finds nothing, or until a capture taken
    after the program had its timeout does not pass either. The timeout runs from since (a
    time.monotonic() reading: when the program could start drawing the picture), from the
    call when None. However long captures and checks take, the verdict is never given on a
    capture taken before the program had all its time.
    Returns (image, problems) of the last capture: problems is empty on success."""
    deadline = (time.monotonic() if since is None else since) + timeout
    while True:
        taken = time.monotonic()
        image = capture(window)
        problems = problems_of(image)
        if not problems or taken > deadline:
            return image, problems
        time.sleep(POLL_SECONDS)


def press_key(window, key):
    """Sends the key to the window itself rather than to the focus, so that tests running
    side by side on one display cannot type into each other's windows."""
    _run(["xdotool", "key", "--window", window, key])


def destroy(window):
    """Destroys the window as another client may: the program is not asked first."""
    _run(["xdotool", "windowclose", window])


def kill_client(window):
    """Closes the X connection of the client owning the window, as xkill does."""
    _run(["xdotool", "windowkill", window])


def turn_wheel(window, pointer, notches):
    """Turns the wheel over window pixel pointer: forward (X button 4) for positive notches,
    back (button 5) for negative ones. These go through the pointer, as a user's do."""
    button = "4" if notches > 0 else "5"
    _run(["xdotool", "mousemove", "--window", window, str(pointer[0]), str(pointer[1]),
          "click", "--repeat", str(abs(notches)), "--delay", "20", button])


def drag(window, start, end):
    """Drags with the left button from window pixel start to end."""
    _run(["xdotool", "mousemove", "--window", window, str(start[0]), str(start[1]), "mousedown", "1",
          "mousemove", "--window", window, str(end[0]), str(end[1]), "mouseup", "1"])


def move(window, x, y):
    _run(["xdotool", "windowmove", window, str(x), str(y)])


def resize(window, width, height):
    _run(["xdotool", "windowsize", window, str(width), str(height)])


def windows_covering(window):
    """Names of other viewable top-level windows that overlap the given one: if the test
    fails, these explain pixels that the program did not draw."""
    own = window_info(window)
    covering = []
    for other, name in top_level_windows().items():
        if other == window:
            continue
        try:
            info = window_info(other)
        except DisplayError:
            continue  # closed in the meantime
        if (info["viewable"] and info["x"] < own["x"] + own["width"] and own["x"] < info["x"] + info["width"]
                and info["y"] < own["y"] + own["height"] and own["y"] < info["y"] + info["height"]):
            covering.append("%s %r at %d,%d" % (other, name, info["x"], info["y"]))
    return covering
