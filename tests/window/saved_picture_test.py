#!/usr/bin/env python3
"""Saves mazes as pictures with a program's --save, as a user would, and checks what is in
the files: each picture is read back (PNG directly, SVG as rsvg-convert draws it, each PDF
page as pdftoppm draws it) and compared wall by wall with the maze the seed must give, with
the red solution line along its one path when --solution asks for it and no red otherwise.

    saved_picture_test.py --program build/maze_serial --size 30x20 --seed 1000000000
        [--window [--close-while-saving]] [--regions] [--cell-size 3] [--formats pdf] [--algorithms]

Every format is saved without and with --solution. Without --window the runs have no
display at all (--no-window); with it the window opens on the display named by DISPLAY and
is closed once the picture is saved, or with --close-while-saving as soon as it is begun,
which maze_threaded, saving on its worker, must finish before it ends. Sizes of more than a few thousand cells are checked in
--regions: the corners with the entrance and the exit and the middle, drawn at ten pixels a
cell, and for PNG every wall of the whole maze (read at three pixels a cell or more: at two,
a wall's middle lands a rounding error away from the next line). Small sizes also check the console text,
with its last line saying where the picture was saved when there is no window,
the seed in the file, and that a run on a clock fixed at the seed's second saves the same
bytes as --seed. With --algorithms, every carving's maze is saved instead, unbraided and braided,
and the --stats line is checked against what its picture shows.

    saved_picture_test.py --program build/maze_serial --hostile --no-unnamed-files LIBRARY

runs instead the table of hostile cases (HOSTILE_CASES): saving as a hostile but fair user
would try it, as root and as the user nobody where who saves matters. LIBRARY, preloaded,
stands in for a file system without unnamed files, where a hidden name is written instead.
"""

import argparse
import os
import re
import resource
import signal
import shutil
import subprocess
import sys
import tempfile
import time

from carving_oracle import carved_maze, check_random_source
from maze_run import find_faketime_library
from picture_reader import picture_problems, rebuild_maze
from png_reader import read_png
from solver_oracle import shortest_path, solve, unique_path
from test_log import TestLog, maze_size
import transcript
import x_display

# Another user, as setpriv makes one of root.
NOBODY = ["setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups"]
SAVE_FAILURE = 12  # the status of a picture that cannot be saved

TITLE = "Maze"
RUN_TIMEOUT = 120.0
WINDOW_TIMEOUT = 20.0
PIXELS_A_CELL = 10  # vector pictures are drawn at this scale, where their lines are one pixel wide
# The PDF page, as the manual page gives it: A4 or Letter, half an inch of margin, the maze
# with its margin cells as large as fits, the page turned if that makes them larger.
A4 = (210 * 72 / 25.4, 297 * 72 / 25.4)
PAGE_MARGIN = 36


class Failed(Exception):
    pass


def unnamed_file_size(process_id, directory):
    """The size of the unnamed file the process holds open in directory, which /proc shows
    as "directory/#12345 (deleted)"; None while it holds none."""
    descriptors = "/proc/%d/fd" % process_id
    try:
        for descriptor in os.listdir(descriptors):
            link = os.path.join(descriptors, descriptor)
            if os.readlink(link).startswith(os.path.realpath(directory) + "/#"):
                return os.stat(link).st_size
    except OSError:
        pass  # the process or a descriptor gone meanwhile
    return None


class SavedPictureTest(TestLog):
    def __init__(self, arguments):
        super().__init__()
        self.program = arguments.program
        self.name = os.path.basename(self.program)
        self.width, self.height = arguments.size
        self.seed = arguments.seed
        self.window = arguments.window
        self.regions = arguments.regions
        self.cell_size = arguments.cell_size
        self.formats = arguments.formats
        self.close_while_saving = arguments.close_while_saving
        self.algorithms = arguments.algorithms
        self.faketime_library = arguments.faketime_library
        self.directory = tempfile.mkdtemp(prefix="maze_pictures_")

    def run(self):
        check_random_source()
        try:
            self.maze = carved_maze(self.width, self.height, self.seed)
            self.path = unique_path(self.maze)
            self.note("oracle: the maze of seed %d and its path of %d cells" % (self.seed, len(self.path)))
            if self.algorithms:
                self.check_algorithms()
                return not self.failures
            for extension in self.formats:
                for with_solution in ((True,) if self.close_while_saving else (False, True)):
                    self.check_format(extension, with_solution)
            if not self.window and not self.regions:
                self.check_seed_from_clock()
        finally:
            shutil.rmtree(self.directory, ignore_errors=True)
        self.note("%s %dx%d seed %d: %s" % (self.name, self.width, self.height, self.seed,
                                            "FAILED" if self.failures else "passed"))
        return not self.failures

    # Running the program.

    def save(self, path, with_solution, extra=None, environment=None):
        """Runs the program to save path, with --seed unless other arguments are given;
        returns its standard output and error."""
        extra = ["--seed", str(self.seed)] if extra is None else extra
        arguments = [self.program, "--size", "%dx%d" % (self.width, self.height), "--save", path] + extra
        if with_solution:
            arguments.append("--solution")
        if self.cell_size and path.endswith(".png"):
            arguments += ["--cell-size", str(self.cell_size)]
        if not self.window:
            arguments.append("--no-window")
            environment = {key: value for key, value in (environment or os.environ).items() if key != "DISPLAY"}
            completed = subprocess.run(arguments, stdin=subprocess.DEVNULL, capture_output=True, env=environment,
                                       timeout=RUN_TIMEOUT)
            if completed.returncode != 0:
                self.fail("%s ended with status %d" % (" ".join(arguments), completed.returncode),
                          [completed.stderr.decode(errors="replace")])
                raise Failed()
            return completed.stdout.decode(), completed.stderr.decode()
        # GLUT's own options mixed with the program's, as users may: a value-taking one
        # between the size and the rest.
        return self.save_with_window(arguments[:3] + ["-geometry", "300x200"] + arguments[3:], path)

    def save_with_window(self, arguments, path):
        """The window opens as usual; once the picture is there the window is closed, which
        ends the run with 0."""
        before = x_display.settled_windows(TITLE, 2.0)
        with subprocess.Popen(arguments, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                              stderr=subprocess.PIPE) as process:
            try:
                window = x_display.wait_for_new_window(TITLE, before, process, WINDOW_TIMEOUT)
                deadline = time.monotonic() + RUN_TIMEOUT

                def saving():
                    return unnamed_file_size(process.pid, self.directory) is not None

                awaited = saving if self.close_while_saving else lambda: os.path.exists(path)
                while not awaited() and process.poll() is None and time.monotonic() < deadline:
                    time.sleep(0.01)
                if not awaited():
                    self.fail("%s showed its window but never %s %s"
                              % (self.name, "began to save" if self.close_while_saving else "saved", path))
                    raise Failed()
                x_display.destroy(window)
                output, errors = process.communicate(timeout=RUN_TIMEOUT)
            except x_display.DisplayError as error:
                self.fail(str(error))
                raise Failed()
            finally:
                if process.poll() is None:
                    process.kill()
            if process.returncode != 0:
                self.fail("%s ended with status %d once its window was closed" % (self.name, process.returncode),
                          [errors.decode(errors="replace")])
                raise Failed()
            x_display.wait_until_closed(window, 2.0)
            return output.decode(), errors.decode()

    # Reading the pictures back.

    def rendered_svg(self, path, view):
        """The part of the drawing in view, drawn by rsvg-convert at PIXELS_A_CELL a cell."""
        with open(path) as file:
            text = file.read()
        left, top, right, bottom = view
        header = re.compile(r'width="\d+" height="\d+" viewBox="[^"]*"')
        if not header.search(text):
            self.fail("%s has no width, height and viewBox where expected" % path)
            raise Failed()
        text = header.sub('width="%d" height="%d" viewBox="%d %d %d %d"'
                          % ((right - left) * PIXELS_A_CELL, (bottom - top) * PIXELS_A_CELL, left, top,
                             right - left, bottom - top), text, count=1)
        part = os.path.join(self.directory, "part.svg")
        with open(part, "w") as file:
            file.write(text)
        drawn = os.path.join(self.directory, "part.png")
        subprocess.run(["rsvg-convert", "-o", drawn, part], check=True)
        return read_png(drawn)

    def rendered_pdf_page(self, path, page, view):
        """The part of a page in view, drawn by pdftoppm without smoothing at about
        PIXELS_A_CELL a cell."""
        columns, rows = self.width + 2, self.height + 2
        upright = A4
        turned = (A4[1], A4[0])

        def cell_on(size):
            return min((size[0] - 2 * PAGE_MARGIN) / columns, (size[1] - 2 * PAGE_MARGIN) / rows)

        size = turned if cell_on(turned) > cell_on(upright) else upright
        cell = cell_on(size)
        page_left, page_top = (size[0] - columns * cell) / 2, (size[1] - rows * cell) / 2
        resolution = 72 * PIXELS_A_CELL / cell
        left, top, right, bottom = view
        x = round((page_left + (left + 1) * cell) * resolution / 72)
        y = round((page_top + (top + 1) * cell) * resolution / 72)
        stem = os.path.join(self.directory, "page")
        subprocess.run(["pdftoppm", "-f", str(page), "-l", str(page), "-r", "%.4f" % resolution,
                        "-x", str(x), "-y", str(y), "-W", str((right - left) * PIXELS_A_CELL),
                        "-H", str((bottom - top) * PIXELS_A_CELL), "-aa", "no", "-aaVector", "no", "-png",
                        "-singlefile", path, stem], check=True)
        return read_png(stem + ".png")

    def views(self):
        """The world rectangles checked: the whole maze, or the regions."""
        if not self.regions:
            return [None]
        w, h = self.width, self.height
        return [(-1, -1, 40, 30), (w - 40, h - 30, w + 1, h + 1), (w // 2 - 20, h // 2 - 15, w // 2 + 20, h // 2 + 15)]

    def check_picture(self, description, image, with_solution, view, pixels_a_cell=PIXELS_A_CELL):
        if view is not None:
            left, top, right, bottom = view
            expected = ((right - left) * pixels_a_cell, (bottom - top) * pixels_a_cell)
            if (image.width, image.height) != expected:
                self.fail("%s: drawn %dx%d, expected %dx%d" % ((description, image.width, image.height) + expected))
                return
        problems = picture_problems(image, self.maze, self.path if with_solution else None, view)
        if problems:
            self.fail("%s differs from the maze of seed %d%s" % (description, self.seed,
                                                                " and its solution" if with_solution else ""),
                      problems)

    def check_format(self, extension, with_solution):
        path = os.path.join(self.directory, "maze%s.%s" % ("-solved" if with_solution else "", extension))
        output, errors = self.save(path, with_solution)
        what = "%s%s" % (extension.upper(), " with the solution" if with_solution else "")
        self.check_console(what, output, errors, path, with_solution)
        leftovers = sorted(name for name in os.listdir(self.directory) if name.startswith("."))
        if leftovers:
            self.fail("%s: files left beside the picture: %s" % (what, leftovers))
        if not os.path.exists(path):
            self.fail("%s: the run ended with status 0 but left no %s" % (what, path))
            return

        if extension == "png":
            image = read_png(path)
            cell = self.cell_size or 10
            expected = ((self.width + 2) * cell, (self.height + 2) * cell)
            if (image.width, image.height) != expected:
                self.fail("%s is %dx%d pixels, expected %dx%d" % ((what, image.width, image.height) + expected))
                return
            if "seed %d" % self.seed not in image.text.get("Title", ""):
                self.fail("%s: the seed is not in its title: %r" % (what, image.text))
            if self.regions and not with_solution:
                differences = rebuild_maze(image, self.width, self.height).differences(self.maze)
                if differences:
                    self.fail("%s: the maze it shows is not the maze of seed %d" % (what, self.seed), differences)
            for view in self.views():
                part = image
                if view is not None:
                    left, top, right, bottom = view
                    part = image.cropped((left + 1) * cell, (top + 1) * cell, (right - left) * cell,
                                         (bottom - top) * cell)
                self.check_picture("%s in %s" % (what, view or "full"), part, with_solution, view, cell)
        elif extension == "svg":
            with open(path) as file:
                head = file.read(2000)
            if "<title>Maze %d x %d, seed %d</title>" % (self.width, self.height, self.seed) not in head:
                self.fail("%s: no title with the seed" % what)
            for view in self.views():
                self.check_picture("%s drawn by rsvg-convert in %s" % (what, view or "full"),
                                   self.rendered_svg(path, view or (-1, -1, self.width + 1, self.height + 1)),
                                   with_solution, view)
        else:
            info = subprocess.run(["pdfinfo", path], capture_output=True, text=True, check=True).stdout
            pages = int(re.search(r"^Pages:\s+(\d+)", info, re.M).group(1))
            if pages != (2 if with_solution else 1):
                self.fail("%s has %d pages" % (what, pages))
            if "seed %d" % self.seed not in info:
                self.fail("%s: the seed is not in its metadata:\n%s" % (what, info))
            for page in range(1, pages + 1):
                for view in self.views():
                    self.check_picture("%s, page %d, in %s" % (what, page, view or "full"),
                                       self.rendered_pdf_page(path, page,
                                                              view or (-1, -1, self.width + 1, self.height + 1)),
                                       page == 2, view)
        self.note("%s checked" % what)

    def check_console(self, what, output, errors, path, with_solution):
        if errors:
            self.fail("%s: standard error is not empty: %r" % (what, errors))
        # With a window the solver invites the space bar; without one, the last line says where the maze went.
        last = transcript.PRESS_SPACE if self.window else transcript.SAVED % (
            " and my solution" if with_solution else "", path)
        if self.width * self.height > 10000:
            if not output.endswith(last):
                self.fail("%s: the console text ends %r" % (what, output[-200:]))
            return
        expected = (transcript.BANNER + transcript.ADVICE + transcript.GENERATING + transcript.DONE_GENERATING
                    + transcript.SOLVING + "".join(solve(self.maze).messages)
                    + transcript.DONE_SOLVING % solve(self.maze).solution_moves + last)
        if output != expected:
            self.fail("%s: the console text differs" % what, ["expected: %r" % expected, "got:      %r" % output])

    def check_algorithms(self):
        """Each carving, unbraided and braided, saved as a PNG with its solution and described with
        --stats: the maze the picture shows has the figures the line gives, is perfect unless braided,
        and the red line is the shortest path breadth-first from the start finds in it."""
        refusal = subprocess.run([self.program, "--algorithm", "?"], capture_output=True, text=True)
        names = re.search(r"'\?': (.*) is expected", refusal.stderr).group(1).replace(" or ", ", ").split(", ")
        for name in names:
            for braid in (None, "0.5"):
                what = "%s%s" % (name, ", braid %s" % braid if braid else "")
                path = os.path.join(self.directory, "maze-%s.png" % name)
                extra = ["--seed", str(self.seed), "--algorithm", name, "--stats"] + (["--braid", braid] if braid else [])
                _, errors = self.save(path, True, extra)
                image = read_png(path)
                maze = rebuild_maze(image, self.width, self.height)
                if not braid and maze.perfection_problems():
                    self.fail("%s: the picture shows no perfect maze" % what, maze.perfection_problems())
                path_cells = shortest_path(maze)
                problems = picture_problems(image, maze, path_cells)
                if problems:
                    self.fail("%s: the red line is not the shortest path of the maze shown" % what, problems)
                ways = [0] * (self.width * self.height)
                for a, b in maze.open_passages:
                    ways[a] += 1
                    ways[b] += 1
                cells = len(ways)
                dead_ends = ways.count(1)
                tenths = (dead_ends * 1000 + cells // 2) // cells
                expected = "maze: %d x %d cells, %d dead ends (%d.%d %%), %d junctions, %d loops, solution %d cells\n" % (
                    self.width, self.height, dead_ends, tenths // 10, tenths % 10, sum(1 for w in ways if w >= 3),
                    len(maze.open_passages) - (cells - 1), len(path_cells))
                if errors != expected:
                    self.fail("%s: --stats says %r, the picture shows %r" % (what, errors, expected))
                title = image.text.get("Title", "")
                named = "" if name == "kruskal" else ", algorithm %s" % name
                if title != "Maze %d x %d, seed %d%s%s" % (self.width, self.height, self.seed, named,
                                                           ", braid %s" % braid if braid else ""):
                    self.fail("%s: the title is %r" % (what, title))
                self.note("%s: %s" % (what, errors.strip()))

    def check_seed_from_clock(self):
        """The maze of seed N is the maze of a run started at second N, which --print-seed names."""
        environment = dict(os.environ, LD_PRELOAD=find_faketime_library(self.faketime_library), TZ="UTC0",
                           FAKETIME=time.strftime("@%Y-%m-%d %H:%M:%S", time.gmtime(self.seed)),
                           FAKETIME_DONT_FAKE_MONOTONIC="1")
        clocked = os.path.join(self.directory, "clocked.png")
        _, errors = self.save(clocked, True, ["--print-seed"], environment)
        match = re.fullmatch(r"seed (\d+)\n", errors)
        if match is None or int(match.group(1)) not in (self.seed, self.seed + 1):
            self.fail("on a clock started at %d, --print-seed said %r" % (self.seed, errors))
            return
        seeded = os.path.join(self.directory, "seeded.png")
        self.save(seeded, True, ["--seed", match.group(1)])
        with open(clocked, "rb") as first, open(seeded, "rb") as second:
            if first.read() != second.read():
                self.fail("the run started at second %s and --seed %s saved different files"
                          % (match.group(1), match.group(1)))
        self.note("a run on the clock at %s saves what --seed %s saves" % (match.group(1), match.group(1)))


def _no_core_dumps():
    # SIGQUIT and SIGXCPU dump core by default: no core file may land anywhere.
    resource.setrlimit(resource.RLIMIT_CORE, (0, 0))


class HostileSavingTest(TestLog):
    """The hostile cases of HOSTILE_CASES: each check gets a fresh directory that anyone may
    write, and the user who saves: "root" (whoever runs the test) or "nobody"."""

    def __init__(self, arguments):
        super().__init__()
        self.privileged = os.geteuid() == 0
        self.scratch = tempfile.mkdtemp(prefix="maze_hostile_")
        os.chmod(self.scratch, 0o755)  # so that nobody reaches the directories inside
        # Copies that nobody can run: a build under root's home is out of nobody's reach, and
        # setpriv finds a program there only because it still has root's rights when it starts
        # it, which env or sh, started in between, no longer have.
        programs = os.path.join(self.scratch, "programs")
        os.mkdir(programs)
        self.program = shutil.copy2(arguments.program, programs)
        self.name = os.path.basename(self.program)
        self.no_unnamed_files = shutil.copy2(arguments.no_unnamed_files, programs)

    def run(self):
        try:
            for number, (description, users, check) in enumerate(HOSTILE_CASES):
                for user in users:
                    if user == "nobody" and not self.privileged:
                        self.note("%s, as nobody: skipped, the test does not run as root" % description)
                        continue
                    directory = os.path.join(self.scratch, "%d-%s" % (number, user))
                    os.mkdir(directory)
                    os.chmod(directory, 0o777)
                    failures = len(self.failures)
                    check(self, directory, user)
                    self.note("%s, as %s: %s" % (description, user,
                                                 "FAILED" if len(self.failures) > failures else "passed"))
        finally:
            shutil.rmtree(self.scratch, ignore_errors=True)
        self.note("%s, hostile cases: %s" % (self.name, "FAILED" if self.failures else "passed"))
        return not self.failures

    # Running the program.

    def start(self, user, arguments, hidden=False, stopped=False, program=None, **options):
        """Starts the program as user; hidden: on a file system without unnamed files;
        stopped: stopped before it starts, its process id known (it stays the same)."""
        command = list(NOBODY) if user == "nobody" else []
        if stopped:
            command += ["/bin/sh", "-c", 'kill -STOP $$; exec "$@"', "sh"]
        environment = {key: value for key, value in os.environ.items() if key != "DISPLAY"}
        if hidden:
            command += ["env", "LD_PRELOAD=" + self.no_unnamed_files]
            # AddressSanitizer's runtime would insist on coming first.
            environment["ASAN_OPTIONS"] = environment.get("ASAN_OPTIONS", "") + ":verify_asan_link_order=0"
        options.setdefault("stdout", subprocess.DEVNULL)
        return subprocess.Popen(command + [program or self.program] + arguments, stdin=subprocess.DEVNULL,
                                stderr=subprocess.PIPE, env=environment, cwd=options.pop("cwd", self.scratch),
                                preexec_fn=options.pop("preexec_fn", _no_core_dumps), **options)

    def save(self, user, path, size="2x1", **options):
        """Saves path without a window; returns the status and standard error."""
        process = self.start(user, ["--size", size, "--save", path, "--no-window"], **options)
        _, errors = process.communicate(timeout=RUN_TIMEOUT)
        return process.returncode, errors.decode(errors="replace")

    def expect_saved(self, what, status, errors, path):
        checker = {".png": ["pngcheck", "-q"], ".svg": ["xmllint", "--noout"], ".pdf": ["pdfinfo"]}
        if status != 0 or errors:
            self.fail("%s: status %d, standard error %r" % (what, status, errors))
            return
        checked = subprocess.run(checker[os.path.splitext(path)[1]] + [path], capture_output=True)
        # Debian 13's pngcheck, built against an older zlib, warns of it on every run.
        complaints = [line for line in checked.stderr.decode(errors="replace").splitlines()
                      if line.strip() and not line.strip().startswith("zlib warning:  different version")]
        if checked.returncode != 0 or complaints:
            self.fail("%s: %s is no valid picture" % (what, path), [checked.stdout.decode(errors="replace"),
                                                                      checked.stderr.decode(errors="replace")])

    def writing(self, process, directory, hidden):
        """Bytes have reached the hidden file in directory, or the unnamed one."""
        if not hidden:
            return (unnamed_file_size(process.pid, directory) or 0) > 0
        try:
            return any(name.startswith(".") and os.path.getsize(os.path.join(directory, name)) > 0
                       for name in os.listdir(directory))
        except OSError:
            return False  # the file renamed meanwhile

    def empty(self, directory):
        for name in os.listdir(directory):
            os.unlink(os.path.join(directory, name))

    # The checks.

    def check_signals(self, directory, user):
        """Signals once bytes of a large PDF are written leave nothing, even SIGKILL while the
        file is unnamed (with a hidden name SIGKILL alone can leave it, as documented)."""
        cases = [(False, number) for number in (signal.SIGQUIT, signal.SIGUSR1, signal.SIGXCPU, signal.SIGKILL)]
        cases += [(True, number) for number in (signal.SIGQUIT, signal.SIGUSR1, signal.SIGXCPU, signal.SIGTERM)]
        for hidden, number in cases:
            what = "%s while %s file is written" % (number.name, "a hidden" if hidden else "the unnamed")
            process = self.start(user, ["--size", "1000x1000", "--save", os.path.join(directory, "big.pdf"),
                                        "--no-window"], hidden)
            deadline = time.monotonic() + RUN_TIMEOUT
            while not self.writing(process, directory, hidden) and process.poll() is None \
                    and time.monotonic() < deadline:
                time.sleep(0.005)
            process.send_signal(number)
            process.communicate(timeout=RUN_TIMEOUT)
            if process.returncode != -number:
                self.fail("%s: the run ended with %d, not by the signal" % (what, process.returncode))
            if os.listdir(directory):
                self.fail("%s: %s left in the directory" % (what, os.listdir(directory)))
                self.empty(directory)

    def check_planted_names(self, directory, user):
        """Another user plants the names a temporary file named after the process id would
        take (files, links to /etc/passwd): the save goes by them, leaving them as they were."""
        path = os.path.join(directory, "x.png")
        plant = 'for n in $(seq 0 100); do : >"$1/.x.png.$2-$n"; ln -s /etc/passwd "$1/.x.png.$2.$n"; done'
        for hidden in (True, False):
            if not hidden:
                with open(path, "wb") as old:
                    old.write(b"old")
            process = self.start(user, ["--size", "2x1", "--save", path, "--no-window"], hidden, stopped=True)
            os.waitpid(process.pid, os.WUNTRACED)
            subprocess.run((NOBODY if self.privileged else []) + ["/bin/sh", "-c", plant, "sh", directory,
                                                                   str(process.pid)], check=True)
            planted = set(os.listdir(directory))
            os.kill(process.pid, signal.SIGCONT)
            _, errors = process.communicate(timeout=RUN_TIMEOUT)
            what = "names planted beside %s" % ("a hidden file" if hidden else "the unnamed file replacing x.png")
            self.expect_saved(what, process.returncode, errors.decode(), path)
            if set(os.listdir(directory)) != planted | {"x.png"}:
                self.fail("%s: %s in the directory" % (what, sorted(set(os.listdir(directory)) ^ planted)))
            self.empty(directory)

    def check_modes(self, directory, user):
        """A file replaced keeps its mode, owner and group; one > could not write is refused."""
        owner = (65534, 65534) if user == "nobody" else (os.getuid(), 65534 if self.privileged else os.getgid())
        for mode in (0o600, 0o640, 0o444):
            for hidden in (False, True):
                path = os.path.join(directory, "mode-%o%s.png" % (mode, "-hidden" if hidden else ""))
                what = "a file of mode %o%s" % (mode, ", with a hidden name" if hidden else "")
                with open(path, "wb") as old:
                    old.write(b"old")
                os.chown(path, *owner)
                os.chmod(path, mode)
                status, errors = self.save(user, path, hidden=hidden)
                if mode & 0o200 == 0 and user == "nobody":
                    refusal = (SAVE_FAILURE, "%s: cannot save the maze as '%s': Permission denied\n" % (self.name, path))
                    with open(path, "rb") as kept:
                        if (status, errors) != refusal or kept.read() != b"old":
                            self.fail("%s: status %d, %r, expected %r and the file unchanged" % (what, status, errors,
                                                                                                  refusal))
                else:
                    self.expect_saved(what, status, errors, path)
                after = os.stat(path)
                if (after.st_mode & 0o7777, after.st_uid, after.st_gid) != (mode,) + owner:
                    self.fail("%s owned by %s is now of mode %o, owned by %d:%d"
                              % (what, owner, after.st_mode & 0o7777, after.st_uid, after.st_gid))
        if [name for name in os.listdir(directory) if name.startswith(".")]:
            self.fail("replacing files left %s" % os.listdir(directory))

    def check_dangling_links(self, directory, user):
        """Two links to a file not there yet: it is created where they lead; both stay links."""
        os.mkdir(os.path.join(directory, "sub"))
        os.chmod(os.path.join(directory, "sub"), 0o777)
        os.symlink("sub/target.png", os.path.join(directory, "link.png"))
        os.symlink("../link.png", os.path.join(directory, "sub", "up.png"))
        status, errors = self.save(user, os.path.join(directory, "sub", "up.png"))
        self.expect_saved("a dangling link", status, errors, os.path.join(directory, "sub", "target.png"))
        links = tuple(os.readlink(link) if os.path.islink(link) else None
                      for link in (os.path.join(directory, "link.png"), os.path.join(directory, "sub", "up.png")))
        if links != ("sub/target.png", "../link.png"):
            self.fail("the links now lead to %s" % (links,))
        if sorted(os.listdir(directory)) != ["link.png", "sub"] or \
                sorted(os.listdir(os.path.join(directory, "sub"))) != ["target.png", "up.png"]:
            self.fail("the directories hold %s and %s" % (os.listdir(directory),
                                                          os.listdir(os.path.join(directory, "sub"))))

    def check_deep_directory(self, directory, user):
        """Saving, and saving again, in a working directory deeper than PATH_MAX (4096)."""
        deepest = os.open(directory, os.O_RDONLY | os.O_DIRECTORY)
        for _ in range(25):
            os.mkdir("d" * 200, dir_fd=deepest)
            os.chmod("d" * 200, 0o777, dir_fd=deepest)
            inner = os.open("d" * 200, os.O_RDONLY | os.O_DIRECTORY, dir_fd=deepest)
            os.close(deepest)
            deepest = inner
        try:
            for attempt in ("saving", "saving again"):
                status, errors = self.save(user, "x.png", pass_fds=[deepest],
                                           preexec_fn=lambda: (os.fchdir(deepest), _no_core_dumps()))
                if status != 0 or errors or os.listdir(deepest) != ["x.png"]:
                    self.fail("%s 25 x 201 bytes deep: status %d, %r, left %s"
                              % (attempt, status, errors, os.listdir(deepest)))
        finally:
            os.close(deepest)

    def check_metadata(self, directory, user):
        """A program name with controls, an escape and invalid UTF-8: every format stays valid
        for its checker, and the name shows with U+FFFD for what it cannot hold."""
        program = os.path.join(directory.encode(), b"ma\x1b[31mze\x01\xff\xfe")
        os.symlink(self.program, program)
        for extension in ("png", "svg", "pdf"):
            path = os.path.join(directory, "maze." + extension)
            status, errors = self.save(user, path, program=program)
            self.expect_saved("a program named %r saving a %s" % (program, extension.upper()), status, errors, path)
            if extension == "svg":
                with open(path, encoding="utf-8", errors="replace") as file:
                    if "Made by ma\ufffd[31mze\ufffd\ufffd\ufffd " not in file.read():
                        self.fail("the SVG does not name the program with U+FFFD for what it cannot hold")

    def check_messages(self, directory, user):
        """A name with a new line or an escape: the message stays one line, the escape quoted."""
        missing = directory + "/missing/"
        for written, shown in (("a\nb.png", "'%sa'$'\\n''b.png'"), ("a\x1b[31mb.png", "'%sa'$'\\033''[31mb.png'"),
                               ("it's.png", '"%sit\'s.png"')):
            status, errors = self.save(user, missing + written)
            expected = "%s: cannot save the maze as %s: No such file or directory\n" % (self.name, shown % missing)
            if (status, errors) != (SAVE_FAILURE, expected):
                self.fail("a name %r: status %d, %r, expected %r" % (written, status, errors, expected))

    def check_closed_pipe(self, directory, user):
        """Standard output a pipe its reader has closed: the picture is saved all the same."""
        reading, writing = os.pipe()
        os.close(reading)
        path = os.path.join(directory, "piped.png")
        status, errors = self.save(user, path, "30x20", stdout=writing)
        os.close(writing)
        self.expect_saved("standard output closed by its reader", status, errors, path)


# What each case is, who saves in it, and its check.
HOSTILE_CASES = [
    ("signals while a large PDF is written", ("root", "nobody"), HostileSavingTest.check_signals),
    ("names planted by another user", ("root",), HostileSavingTest.check_planted_names),
    ("modes, owners and groups of files replaced", ("root", "nobody"), HostileSavingTest.check_modes),
    ("dangling links", ("root", "nobody"), HostileSavingTest.check_dangling_links),
    ("a directory deeper than PATH_MAX", ("root", "nobody"), HostileSavingTest.check_deep_directory),
    ("metadata from a hostile program name", ("root",), HostileSavingTest.check_metadata),
    ("file names in messages", ("root",), HostileSavingTest.check_messages),
    ("a pipe closed by its reader", ("root",), HostileSavingTest.check_closed_pipe),
]


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--program", required=True, help="path of maze_serial or maze_threaded")
    parser.add_argument("--size", type=maze_size, nargs="+", help="WIDTHxHEIGHT in cells")
    parser.add_argument("--seed", type=int)
    parser.add_argument("--window", action="store_true", help="save with the window open")
    parser.add_argument("--regions", action="store_true", help="check regions of a large maze")
    parser.add_argument("--cell-size", type=int, help="pixels a cell of the PNG pictures (3 at the least)")
    parser.add_argument("--formats", nargs="+", default=["png", "svg", "pdf"], help="the formats saved")
    parser.add_argument("--close-while-saving", action="store_true",
                        help="close the window while the picture (with the solution) is being written; the run "
                             "must finish it first")
    parser.add_argument("--algorithms", action="store_true",
                        help="check every carving's PNG, unbraided and braided, against its --stats line")
    parser.add_argument("--faketime-library", help="path of libfaketimeMT.so.1 (found with dpkg if not given)")
    parser.add_argument("--hostile", action="store_true", help="run the hostile cases instead")
    parser.add_argument("--no-unnamed-files", help="the library that stands in for a file system without them")
    arguments = parser.parse_args()
    if arguments.hostile:
        if not arguments.no_unnamed_files:
            parser.error("--hostile needs --no-unnamed-files")
        return 0 if HostileSavingTest(arguments).run() else 1
    if not arguments.size or arguments.seed is None:
        parser.error("--size and --seed are needed")
    passed = True
    for size in arguments.size:
        single = argparse.Namespace(**vars(arguments))
        single.size = size
        try:
            test = SavedPictureTest(single)
            passed = test.run() and passed
        except Failed:
            passed = False
    return 0 if passed else 1


if __name__ == "__main__":
    sys.exit(main())
