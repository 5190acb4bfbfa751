#!/usr/bin/env python3
"""The most memory a whole run holds with its window open, beside the program's own estimate.

    bench/window_memory.py --build build --sizes 1000 2000 8000x2000 [--runs 5] [--programs maze_serial]
        [--screen 3840x2160] [--zoom] [--warm-cache] [--ceiling 1.3]
    bench/window_memory.py --build build --sizes 2x1 16000 32768 --no-window [--cell-size 2] [--runs 1]

With --no-window each run saves the maze as a PNG (at --cell-size pixels a cell, 2 unless
given) without opening a window, as `--no-window --save FILE --size WxH` does, and its peak
is the finished process's high-water mark of resident memory, as GNU time (Debian's time
package) reports it; no X server is needed.

Runs each program at each size (N for N x N, or WxH) under the X server named by DISPLAY, or
with --screen under an Xvfb of its own with a screen of that size, --runs times (5 unless
given), the programs taking turns; waits until the solver is done and the process has stopped
using the processor (the window is then drawn), and prints one line per run:

    maze_serial 2000x2000 run=1 estimated_run_mib=... peak_rss_mib=... peak_virtual_mib=... peak_data_mib=...

then, once a size's runs are done, one line per program with the worst of them and the
estimate's ratio to it (the check wants 1.0 to 1.3):

    worst maze_serial 2000x2000 runs=5 estimated_run_mib=... peak_rss_mib=... peak_virtual_mib=... peak_data_mib=... ratio=...

peak_rss_mib and peak_virtual_mib are the process's high-water marks of resident and mapped
memory (VmHWM and VmPeak); peak_data_mib is the most memory the kernel counted against
ulimit -d (VmData), sampled every few milliseconds, since the kernel keeps no high-water mark
of it; estimated_run_mib is what the memory check expects that program to hold at most at
that size with the window on that screen (maze_bench --estimate WxH --screen WxH).

Each run starts with an empty shader cache of its own, as the first run on a fresh machine
does, whose driver compiles every shader and holds the most; --warm-cache leaves Mesa its
usual cache instead. With --zoom, once the first frame is drawn, the wheel zooms in 12
notches a third of the way into the window, the left button drags, the wheel zooms all the
way out and the space bar shows the solution (xdotool), each given time to be drawn, since
the textures of views are made when first needed; peak_zoomed_rss_mib is the high-water mark
after that, and the worst line's ratio is taken to it.

The peak of a size varies from run to run, with how far the solver gets while the first frame
is drawn, so the estimate is judged by the worst of several runs. Exits with 1 when an
estimate is below its worst resident peak or more than --ceiling times it (1.3; the estimate
counts the largest window the screen allows, so on large screens it stands well above the
peak of the window a run opens).
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import threading
import time

from first_frame import start_own_xvfb

IDLE_SECONDS = 1.0  # no processor time used for this long: the window's picture is drawn
TIMEOUT_SECONDS = 600.0
NOTCHES = 12
NOTCH_SECONDS = 0.4  # between notches: each view is made in a few hundredths of a second


def processor_ticks(pid):
    with open("/proc/%d/stat" % pid) as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return int(fields[11]) + int(fields[12])  # utime and stime


def memory_peaks(pid):
    peaks = {}
    with open("/proc/%d/status" % pid) as status:
        for line in status:
            name, _, value = line.partition(":")
            if name in ("VmHWM", "VmPeak"):
                peaks[name] = int(value.split()[0]) / 1024.0
    return peaks


def sample_data_peak(pid, peaks, running):
    """Keeps peaks["VmData"] at the most VmData seen while running is set."""
    while running.is_set():
        try:
            with open("/proc/%d/status" % pid) as status:
                for line in status:
                    if line.startswith("VmData:"):
                        peaks["VmData"] = max(peaks.get("VmData", 0.0), int(line.split()[1]) / 1024.0)
        except OSError:
            return
        time.sleep(0.002)


def wait_until_idle(process, what):
    deadline = time.monotonic() + TIMEOUT_SECONDS
    ticks, idle_since = processor_ticks(process.pid), time.monotonic()
    while time.monotonic() - idle_since < IDLE_SECONDS:
        if time.monotonic() > deadline:
            raise RuntimeError("%s never fell idle" % what)
        time.sleep(0.1)
        now = processor_ticks(process.pid)
        if now != ticks:
            ticks, idle_since = now, time.monotonic()


def xdotool(*arguments):
    return subprocess.run(["xdotool"] + [str(argument) for argument in arguments], check=True,
                          capture_output=True, text=True).stdout


def zoom_and_drag():
    """Zooms the one "Maze" window in and out and drags it, as a user exploring the maze would."""
    window = xdotool("search", "--name", "^Maze$").split()[0]
    geometry = dict(line.split("=") for line in xdotool("getwindowgeometry", "--shell", window).split())
    width, height = int(geometry["WIDTH"]), int(geometry["HEIGHT"])
    xdotool("mousemove", "--window", window, width // 3, height // 3)
    for button in [4] * NOTCHES + ["drag"] + [5] * (NOTCHES + 2):
        if button == "drag":
            xdotool("mousedown", 1)
            xdotool("mousemove_relative", width // 10, height // 10)
            time.sleep(NOTCH_SECONDS)
            xdotool("mouseup", 1)
        else:
            xdotool("click", button)
        time.sleep(NOTCH_SECONDS)
    xdotool("key", "--window", window, "space")


def measure(program, width, height, warm_cache, zoom):
    environment = dict(os.environ)
    cache = None
    if not warm_cache:
        cache = tempfile.mkdtemp(prefix="window_memory_cache.")
        environment["MESA_SHADER_CACHE_DIR"] = cache
    process = subprocess.Popen([program], stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                               env=environment)
    data_peak, running = {}, threading.Event()
    running.set()
    sampler = threading.Thread(target=sample_data_peak, args=(process.pid, data_peak, running))
    sampler.start()
    try:
        process.stdin.write(b"%d\n%d\n" % (width, height))
        process.stdin.close()
        output = b""
        while b"Press spacebar to see my solution to the maze\n" not in output:
            chunk = process.stdout.read1(65536)
            if not chunk:
                raise RuntimeError("%s ended (status %s) before solving: %r"
                                   % (program, process.wait(), output[-200:]))
            output += chunk
        wait_until_idle(process, program)
        peaks = memory_peaks(process.pid)
        if zoom:
            zoom_and_drag()
            wait_until_idle(process, program)
            peaks["zoomed"] = memory_peaks(process.pid)["VmHWM"]
        running.clear()
        sampler.join()
        return dict(peaks, **data_peak)
    finally:
        running.clear()
        process.kill()
        process.wait()
        if cache is not None:
            shutil.rmtree(cache, ignore_errors=True)


def measure_without_window(program, width, height, cell_size):
    """The peak of a run that saves a PNG without a window: its resident high-water mark, as
    GNU time reports it (the kernel's figure for a child started from Python would include
    the Python process it was forked from), and the seconds it took."""
    directory = tempfile.mkdtemp(prefix="window_memory_save.")
    try:
        started = time.monotonic()
        result = subprocess.run(["/usr/bin/time", "-f", "peak_kib=%M", program, "--no-window", "--seed", "1",
                                 "--size", "%dx%d" % (width, height), "--save", os.path.join(directory, "maze.png"),
                                 "--solution", "--cell-size", str(cell_size)],
                                stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
        if result.returncode != 0:
            raise RuntimeError("%s %dx%d ended with status %d: %s"
                               % (program, width, height, result.returncode, result.stderr[-300:]))
        peak = int(result.stderr.rsplit("peak_kib=", 1)[1].split()[0])
        return {"VmHWM": peak / 1024.0, "VmPeak": 0.0, "VmData": 0.0, "zoomed": 0.0,
                "seconds": time.monotonic() - started}
    finally:
        shutil.rmtree(directory, ignore_errors=True)


def estimates(build, width, height, screen, cell_size=None):
    """{program: estimated MiB} from maze_bench for the size, on the screen given or DISPLAY's;
    with a cell size, for saving a PNG of that cell size without a window."""
    command = [os.path.join(build, "bench", "maze_bench"), "--estimate", "%dx%d" % (width, height)]
    if screen:
        command += ["--screen", screen]
    if cell_size:
        command += ["--cell-size", str(cell_size)]
    result = subprocess.run(command, capture_output=True, text=True, check=True)
    figures = dict(word.split("=") for word in result.stdout.split() if "=" in word)
    if cell_size:
        return "none", {"maze_serial": float(figures["estimated_png_no_window_mib"]),
                        "maze_threaded": float(figures["estimated_threaded_png_no_window_mib"])}
    return figures["screen"], {"maze_serial": float(figures["estimated_run_mib"]),
                               "maze_threaded": float(figures["estimated_threaded_run_mib"])}


def maze_size(text):
    width, _, height = text.partition("x")
    return int(width), int(height or width)


def screen_size(text):
    width, height = maze_size(text)
    if width <= 0 or height <= 0 or "x" not in text:
        raise argparse.ArgumentTypeError("a screen is WIDTHxHEIGHT, as 1920x1080")
    return text


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default="build", help="build directory holding the programs and bench/maze_bench")
    parser.add_argument("--programs", nargs="+", default=["maze_serial", "maze_threaded"])
    parser.add_argument("--sizes", nargs="+", type=maze_size, required=True, help="maze sizes")
    parser.add_argument("--runs", type=int, default=5, help="runs of each program at each size (5)")
    parser.add_argument("--screen", type=screen_size, help="WxH: run under an Xvfb of its own with this screen")
    parser.add_argument("--zoom", action="store_true", help="also zoom, drag and show the solution once drawn")
    parser.add_argument("--warm-cache", action="store_true", help="keep Mesa's shader cache from run to run")
    parser.add_argument("--ceiling", type=float, default=1.3, help="the most the estimate may be over the peak")
    parser.add_argument("--no-window", action="store_true", help="save a PNG without a window instead")
    parser.add_argument("--cell-size", type=int, default=2, help="pixels a cell of that PNG (2)")
    arguments = parser.parse_args()
    if arguments.runs < 1:
        parser.error("--runs must be at least 1")
    server = None
    if arguments.no_window:
        arguments.screen = None
    elif arguments.screen:
        server, os.environ["DISPLAY"] = start_own_xvfb(arguments.screen)
    elif not os.environ.get("DISPLAY"):
        print("window_memory.py: set DISPLAY to an X server, or give --screen WxH", file=sys.stderr)
        return 2
    try:
        outside = 0
        for width, height in arguments.sizes:
            screen, estimated = estimates(arguments.build, width, height, arguments.screen,
                                          arguments.cell_size if arguments.no_window else None)
            worst = {program: {"VmHWM": 0.0, "VmPeak": 0.0, "VmData": 0.0, "zoomed": 0.0}
                     for program in arguments.programs}
            for run in range(1, arguments.runs + 1):
                for program in arguments.programs:
                    if arguments.no_window:
                        peaks = measure_without_window(os.path.join(arguments.build, program), width, height,
                                                       arguments.cell_size)
                    else:
                        peaks = measure(os.path.join(arguments.build, program), width, height,
                                        arguments.warm_cache, arguments.zoom)
                    seconds = peaks.pop("seconds", None)
                    for name in peaks:
                        worst[program][name] = max(worst[program][name], peaks[name])
                    zoomed = " peak_zoomed_rss_mib=%.1f" % peaks["zoomed"] if arguments.zoom else ""
                    if seconds is not None:
                        zoomed += " seconds=%.1f" % seconds
                    print("%s %dx%d screen=%s run=%d estimated_run_mib=%.1f peak_rss_mib=%.1f peak_virtual_mib=%.1f "
                          "peak_data_mib=%.1f%s"
                          % (program, width, height, screen, run, estimated[program], peaks["VmHWM"], peaks["VmPeak"],
                             peaks["VmData"], zoomed), flush=True)
            for program in arguments.programs:
                peak = max(worst[program]["VmHWM"], worst[program]["zoomed"])
                ratio = estimated[program] / peak
                outside += not 1.0 <= ratio <= arguments.ceiling
                zoomed = " peak_zoomed_rss_mib=%.1f" % worst[program]["zoomed"] if arguments.zoom else ""
                print("worst %s %dx%d screen=%s runs=%d estimated_run_mib=%.1f peak_rss_mib=%.1f peak_virtual_mib=%.1f "
                      "peak_data_mib=%.1f%s ratio=%.2f"
                      % (program, width, height, screen, arguments.runs, estimated[program], worst[program]["VmHWM"],
                         worst[program]["VmPeak"], worst[program]["VmData"], zoomed, ratio), flush=True)
        if outside:
            print("window_memory.py: %d estimate(s) below the worst peak or above %.2f times it"
                  % (outside, arguments.ceiling))
            return 1
        return 0
    finally:
        if server is not None:
            server.kill()
            server.wait()


if __name__ == "__main__":
    sys.exit(main())
