#!/usr/bin/env bash
# The largest maze the cell numbering admits, checked on demand (minutes of
# both processors and 6 GiB; never part of the test suite): 32768 x 32768
# saved as a PNG without a window, where the time goes and the peak, the
# picture read back as a perfect maze; then maze_threaded's window on it,
# seen from outside under an Xvfb of its own: the full view grey, the
# solution line, notches and drags, zooming out to the first frame's bytes,
# and how soon changes show and closing ends the run.
#
#   bench/largest_maze.sh [BUILD_DIR] [SIDE]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
side=${2:-32768}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

python3 - "$build/maze_serial" "$side" "$scratch/maze.png" <<'PYTHON'
import resource, subprocess, sys, time
program, side, picture = sys.argv[1:]
started = time.monotonic()
run = subprocess.Popen([program, "--no-window", "--seed", "1", "--size", "%sx%s" % (side, side), "--save", picture,
                        "--cell-size", "2"], stdout=subprocess.PIPE, text=True)
seen = {}
for line in run.stdout:
    for mark in ("Generating maze", "Done generating", "Press spacebar"):
        if line.startswith(mark):
            seen[mark] = time.monotonic() - started
status = run.wait()
ended = time.monotonic() - started
peak = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss / 1024
print("maze_serial %sx%s status=%d peak_rss_mib=%.0f carve_s=%.1f solve_s=%.1f save_s=%.1f total_s=%.1f"
      % (side, side, status, peak, seen["Done generating"] - seen["Generating maze"],
         seen["Press spacebar"] - seen["Done generating"], ended - seen["Press spacebar"], ended))
sys.exit(status)
PYTHON
"$build/bench/maze_bench" --check-picture "$scratch/maze.png"
rm -f "$scratch/maze.png"

display=120
while [ -e "/tmp/.X$display-lock" ] || [ -e "/tmp/.X11-unix/X$display" ]; do
  display=$((display + 1))
done
Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
server=$!
trap 'kill "$server" 2>/dev/null; wait "$server" 2>/dev/null || true; rm -rf "$scratch"' EXIT
export DISPLAY=":$display"
for _ in $(seq 100); do
  xwininfo -root >/dev/null 2>&1 && break
  sleep 0.1
done
python3 tests/window/large_maze_test.py --program "$build/maze_threaded" --size "${side}x$side" --seed 1
python3 bench/outside_latency.py --build "$build" --programs maze_threaded --sizes "$side" --closes 3
