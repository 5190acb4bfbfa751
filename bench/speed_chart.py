#!/usr/bin/env python3
"""A chart of how long the window takes against the maze's size: the first frame, and the
redraws after a notch, a drag or a space press, drawn with gnuplot (Debian's gnuplot-nox).

    bench/speed_chart.py --build build [--before OTHER_BUILD [--before-largest 4000]]
        [--sizes 500 1000 2000 4000 8000] [--runs 3] [--output docs/redraw-times.png]

For each square size: the first frame of both programs, from the size typed to the first
picture (bench/first_frame.py, the median of --runs runs), and, with --before, the same for
another build (the programs as they were), the two taking turns; then maze_bench --redraw:
the worst and the median of every notch in and out, drag and space press at every zoom,
until the stand-in shows and until the view itself does. Prints the figures as a table,
writes them beside the chart (OUTPUT with .dat for .png), and draws the chart: first frames
on the left, redraws on the right, both on logarithmic axes. Runs under the X server named
by DISPLAY, or an Xvfb of 1280x1024x24 of its own.
"""

import argparse
import os
import re
import statistics
import subprocess
import sys

import first_frame

PROGRAMS = ("maze_serial", "maze_threaded")
REDRAW_FIGURES = ("preview_ms_median", "preview_ms_max", "exact_ms_median", "exact_ms_max")
REDRAW_KINDS = ("notch_in", "notch_out", "drag", "space")


def first_frame_seconds(connection, build, program, size):
    """The first frame's time, or nan when no capture tells it from an unpainted window:
    programs that draw every wall as a line leave not one pixel but black at 8000 x 8000."""
    try:
        result = first_frame.measure(connection, os.path.join(build, program), size)
    except RuntimeError as error:
        print("%s %s %dx%d: %s" % (build, program, size, size, error), flush=True)
        return float("nan")
    return float(re.search(r"first_frame_s=([\d.]+)", result).group(1))


def redraws(build, size):
    """{figure: worst over the kinds of change} from maze_bench --redraw."""
    output = subprocess.run([os.path.join(build, "bench", "maze_bench"), "--redraw", str(size)],
                            capture_output=True, text=True, check=True).stdout
    values = dict(re.findall(r"(\w+)=([\d.]+)", output))
    return {figure: max(float(values["%s_%s" % (kind, figure)]) for kind in REDRAW_KINDS
                        if "%s_%s" % (kind, figure) in values)
            for figure in REDRAW_FIGURES}


GNUPLOT = """
set terminal pngcairo size 1200,520 font "sans,11" noenhanced
set output "{output}"
set multiplot layout 1,2 title "{title}"
set logscale xy
set datafile missing "nan"
set grid
set key top left
set xlabel "maze side (cells)"
set xtics ({xtics})
set xrange [{low}:{high}]
set ylabel "seconds from the size typed to the first picture"
set title "First frame"
plot {first_frame_plots}
set ylabel "milliseconds from the request"
set title "Redraws: every notch, drag and space press at every zoom"
set yrange [0.5:*]
plot "{data}" using 1:{column_worst_exact} with linespoints lw 2 title "view itself, worst", \\
     "{data}" using 1:{column_median_exact} with linespoints lw 2 title "view itself, median", \\
     "{data}" using 1:{column_worst_preview} with linespoints lw 2 title "first change (stand-in), worst", \\
     "{data}" using 1:{column_median_preview} with linespoints lw 2 title "first change (stand-in), median"
unset multiplot
"""


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default="build")
    parser.add_argument("--before", help="another build to time the first frame of, taking turns")
    parser.add_argument("--before-largest", type=int, default=4000,
                        help="the largest side to time the other build at (default 4000: its full view of "
                             "8000 x 8000 is black all over, so its first frame cannot be seen)")
    parser.add_argument("--sizes", nargs="+", type=int, default=[500, 1000, 2000, 4000, 8000])
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--output", default="docs/redraw-times.png")
    arguments = parser.parse_args()

    builds = [("now", arguments.build)] + ([("before", arguments.before)] if arguments.before else [])
    columns = ["side"] + ["%s_%s_s" % (program, name) for name, _ in builds for program in PROGRAMS] + \
        list(REDRAW_FIGURES)
    rows = []
    with first_frame.display_connection() as connection:
        for size in arguments.sizes:
            times = {}
            for _ in range(arguments.runs):
                for name, build in builds:
                    for program in PROGRAMS:
                        seconds = float("nan")
                        if name == "now" or size <= arguments.before_largest:
                            seconds = first_frame_seconds(connection, build, program, size)
                        times.setdefault((name, program), []).append(seconds)
            row = [size] + [statistics.median(times[(name, program)]) for name, _ in builds for program in PROGRAMS]
            figures = redraws(arguments.build, size)
            row += [figures[figure] for figure in REDRAW_FIGURES]
            rows.append(row)
            print(" ".join("%s=%s" % (column, value) for column, value in zip(columns, row)), flush=True)

    data = os.path.splitext(arguments.output)[0] + ".dat"
    with open(data, "w") as table:
        table.write("# " + " ".join(columns) + "\n")
        for row in rows:
            table.write(" ".join("%g" % value for value in row) + "\n")
    styles = {"now": "lw 2", "before": "lw 1 dt 2"}
    first_frame_plots = ", ".join(
        '"%s" using 1:%d with linespoints %s title "%s, %s"'
        % (data, columns.index("%s_%s_s" % (program, name)) + 1, styles[name], program,
           "now" if name == "now" else "before")
        for name, _ in builds for program in PROGRAMS)
    script = GNUPLOT.format(
        output=arguments.output, data=data, first_frame_plots=first_frame_plots,
        title="maze_serial and maze_threaded under Xvfb (llvmpipe), two processors",
        xtics=", ".join(str(size) for size in arguments.sizes),
        low=min(arguments.sizes) * 0.8, high=max(arguments.sizes) * 1.25,
        column_worst_exact=columns.index("exact_ms_max") + 1,
        column_median_exact=columns.index("exact_ms_median") + 1,
        column_worst_preview=columns.index("preview_ms_max") + 1,
        column_median_preview=columns.index("preview_ms_median") + 1)
    subprocess.run(["gnuplot"], input=script, text=True, check=True)
    print("wrote %s and %s" % (arguments.output, data))
    return 0


if __name__ == "__main__":
    sys.exit(main())
