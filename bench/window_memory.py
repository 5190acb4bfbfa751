#!/usr/bin/env python3
"""The most memory a whole run holds with its window open, beside the program's own estimate.

    bench/window_memory.py --build build --sizes 1000 2000 8000x2000 [--runs 5] [--programs maze_serial]

Runs each program at each size (N for N x N, or WxH) under the X server named by DISPLAY,
--runs times (5 unless given), the programs taking turns; waits until the solver is done and
the process has stopped using the processor (the window is then drawn), and prints one line
per run:

    maze_serial 2000x2000 run=1 estimated_run_mib=... peak_rss_mib=... peak_virtual_mib=... peak_data_mib=...

then, once a size's runs are done, one line per program with the worst of them and the
estimate's ratio to it (the check wants 1.0 to 1.3):

    worst maze_serial 2000x2000 runs=5 estimated_run_mib=... peak_rss_mib=... peak_virtual_mib=... peak_data_mib=... ratio=...

peak_rss_mib and peak_virtual_mib are the process's high-water marks of resident and mapped
memory (VmHWM and VmPeak); peak_data_mib is the most memory the kernel counted against
ulimit -d (VmData), sampled every few milliseconds, since the kernel keeps no high-water mark
of it; estimated_run_mib is what the memory check expects that program to hold at most at
that size (maze_bench --estimate WxH). The peak of a size varies from run to run, with how
far the GL driver's drawing threads fall behind the thread handing them the picture, so the
estimate is judged by the worst of several runs. Exits with 1 when an estimate is outside
1.0 to 1.3 times its worst resident peak.
"""

import argparse
import os
import subprocess
import sys
import threading
import time

IDLE_SECONDS = 1.0  # no processor time used for this long: the first frame is drawn
TIMEOUT_SECONDS = 600.0


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


def measure(program, width, height):
    process = subprocess.Popen([program], stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
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
        deadline = time.monotonic() + TIMEOUT_SECONDS
        ticks, idle_since = processor_ticks(process.pid), time.monotonic()
        while time.monotonic() - idle_since < IDLE_SECONDS:
            if time.monotonic() > deadline:
                raise RuntimeError("%s never fell idle" % program)
            time.sleep(0.1)
            now = processor_ticks(process.pid)
            if now != ticks:
                ticks, idle_since = now, time.monotonic()
        running.clear()
        sampler.join()
        return dict(memory_peaks(process.pid), **data_peak)
    finally:
        running.clear()
        process.kill()
        process.wait()


def estimates(build, width, height):
    """{program: estimated MiB} from maze_bench for the size."""
    result = subprocess.run([os.path.join(build, "bench", "maze_bench"), "--estimate", "%dx%d" % (width, height)],
                            capture_output=True, text=True, check=True)
    figures = dict(word.split("=") for word in result.stdout.split() if "=" in word)
    return {"maze_serial": float(figures["estimated_run_mib"]),
            "maze_threaded": float(figures["estimated_threaded_run_mib"])}


def maze_size(text):
    width, _, height = text.partition("x")
    return int(width), int(height or width)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default="build", help="build directory holding the programs and bench/maze_bench")
    parser.add_argument("--programs", nargs="+", default=["maze_serial", "maze_threaded"])
    parser.add_argument("--sizes", nargs="+", type=maze_size, required=True, help="maze sizes")
    parser.add_argument("--runs", type=int, default=5, help="runs of each program at each size (5)")
    arguments = parser.parse_args()
    if not os.environ.get("DISPLAY"):
        print("window_memory.py: set DISPLAY to an X server (an Xvfb will do)", file=sys.stderr)
        return 2
    if arguments.runs < 1:
        parser.error("--runs must be at least 1")
    outside = 0
    for width, height in arguments.sizes:
        estimated = estimates(arguments.build, width, height)
        worst = {program: {"VmHWM": 0.0, "VmPeak": 0.0, "VmData": 0.0} for program in arguments.programs}
        for run in range(1, arguments.runs + 1):
            for program in arguments.programs:
                peaks = measure(os.path.join(arguments.build, program), width, height)
                for name in worst[program]:
                    worst[program][name] = max(worst[program][name], peaks[name])
                print("%s %dx%d run=%d estimated_run_mib=%.1f peak_rss_mib=%.1f peak_virtual_mib=%.1f "
                      "peak_data_mib=%.1f"
                      % (program, width, height, run, estimated[program], peaks["VmHWM"], peaks["VmPeak"],
                         peaks["VmData"]), flush=True)
        for program in arguments.programs:
            ratio = estimated[program] / worst[program]["VmHWM"]
            outside += not 1.0 <= ratio <= 1.3
            print("worst %s %dx%d runs=%d estimated_run_mib=%.1f peak_rss_mib=%.1f peak_virtual_mib=%.1f "
                  "peak_data_mib=%.1f ratio=%.2f"
                  % (program, width, height, arguments.runs, estimated[program], worst[program]["VmHWM"],
                     worst[program]["VmPeak"], worst[program]["VmData"], ratio), flush=True)
    if outside:
        print("window_memory.py: %d estimate(s) below the worst peak or above 1.3 times it" % outside)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
