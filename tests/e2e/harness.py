#!/usr/bin/env python3
"""Drives the real game end to end: a private X server, a throw-away working directory, held keys,
screenshots, the window's close button and a record of every message box.

    with GameSession() as game:                  # Xvfb, working folder, game started
        game.wait_window()                       # window found by its title and focused
        game.wait_for_screen(lambda shot: shot.match_fraction(expected) > 0.999, timeout=3)
        game.hold_key("Escape")                  # held 0.1 s: key[] sees it
        game.close_window()                      # WM_DELETE_WINDOW, as the close button sends
        self.assertEqual(game.wait_exit(3), 0)
        self.assertEqual(game.messages(), [])    # texts given to allegro_message

GameSession(data_files, credits, files, display) chooses what the working folder holds and whether
there is an X display; game.workdir is that folder (e.g. to read HallOfFame.xml after the run).
allegro_cfg and environment replace the quiet configuration beside the game and add variables to
its environment (e.g. to record its sound).
Keys: hold_key, hold_keys (together), press_keys (one after another). Screen: screenshot() and
wait_for_screen() give Image objects (pixel, crop, match_fraction, draw_sprite, save);
datafile_bitmap() reads a picture out of a data file to build expected screens with.
Process: running(), wait_exit(), runnable_share(), output(), errors(), messages(), message_calls().

Paths come from the environment that CTest sets (ZENITH_GAME, ZENITH_DATA_DIR, ZENITH_CREDITS), or
default to the repository's build/zenith-guard, data/ and credits.txt. A failed wait_for_screen
saves the last screen into $ZENITH_E2E_ARTIFACTS if that is set. ZENITH_E2E_KEEP=1 keeps the
temporary folders of a run for inspection.

Each test script ends with harness.main(); every test_*.py in this folder is registered with CTest,
one test per case.
"""

import ctypes
import ctypes.util
import os
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest
from pathlib import Path

DATA_FILES = ("sprites.dat", "midi.dat", "samples.dat", "gui.dat")
WINDOW_TITLE = "Zenith Guard"
SCREEN = "640x480x16"

# /usr/local/bin may hold look-alikes of ImageMagick's tools: always take Debian's.
IMPORT = "/usr/bin/import"
CONVERT = "/usr/bin/convert"

# How a report of AddressSanitizer or LeakSanitizer, or of UndefinedBehaviorSanitizer, begins.
SANITIZER_REPORT = re.compile(r"^==\d+==ERROR: |: runtime error: ", re.MULTILINE)

# Magenta is the colour that draw_sprite leaves out.
MASK_COLOUR = (255, 0, 255)

# Allegro reads this beside its executable: no sound detection (no card here, and no noise on a
# developer's machine) and a plain window rather than a full-screen mode.
ALLEGRO_CFG = """[system]
keyboard = us
[graphics]
gfx_card = XWIN
[sound]
digi_card = 0
midi_card = 0
"""

# Stands in for the message box that allegro_message opens under X. It records its arguments (count,
# then each argument, NUL-terminated) and exits with 101, which Allegro takes for "OK pressed", so
# the game goes on at once.
XMESSAGE_STANDIN = """#!/bin/sh
{{ printf '%s\\0' "$#"; for a in "$@"; do printf '%s\\0' "$a"; done; }} >> '{log}'
exit 101
"""

_REPO = Path(__file__).resolve().parents[2]


def game_path():
    return Path(os.environ.get("ZENITH_GAME", _REPO / "build" / "zenith-guard"))


def data_dir():
    return Path(os.environ.get("ZENITH_DATA_DIR", _REPO / "data"))


def credits_path():
    return Path(os.environ.get("ZENITH_CREDITS", _REPO / "credits.txt"))


def poll(condition, timeout, interval=0.05):
    """Calls condition() until it returns something true and returns that; None after timeout s."""
    deadline = time.monotonic() + timeout
    while True:
        result = condition()
        if result:
            return result
        if time.monotonic() >= deadline:
            return None
        time.sleep(interval)


def _die_with_parent():
    """Runs in a child before exec: the kernel kills it when the test process dies, even by
    SIGKILL, so no game or X server outlives a test that CTest stopped."""
    libc = ctypes.CDLL(None, use_errno=True)
    pr_set_pdeathsig = 1
    libc.prctl(pr_set_pdeathsig, signal.SIGKILL)


def _new_session_dying_with_parent():
    os.setsid()
    _die_with_parent()


# Removes the folder named on its command line once its standard input closes, i.e. once the test
# process has died, even by SIGKILL (CTest's timeout), which no cleanup code of its own outlives.
# It leaves its parent at once: CTest kills a timed-out test with all its descendants.
_REAPER = ("import os, shutil, sys\n"
           "if os.fork():\n"
           "    os._exit(0)\n"
           "sys.stdin.buffer.read()\n"
           "shutil.rmtree(sys.argv[1], True)\n")


def _start_reaper(folder):
    """Returns the write end of the pipe whose closing sets the reaper to work."""
    reaper = subprocess.Popen([sys.executable, "-c", _REAPER, str(folder)], stdin=subprocess.PIPE,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                              start_new_session=True)
    reaper.wait()
    return reaper.stdin


def _stop_process(process, grace=2.0, group=False):
    """Asks the process (or its whole process group) to end, then kills it if it does not."""
    if process is None or process.poll() is not None:
        return

    def send(sig):
        try:
            if group:
                os.killpg(process.pid, sig)
            else:
                process.send_signal(sig)
        except ProcessLookupError:
            pass

    send(signal.SIGTERM)
    try:
        process.wait(grace)
    except subprocess.TimeoutExpired:
        send(signal.SIGKILL)
        process.wait()


class Image:
    """An RGB picture with 8 bits per channel, read from any file ImageMagick knows."""

    def __init__(self, width, height, pixels):
        self.width = width
        self.height = height
        self.pixels = bytearray(pixels)

    @classmethod
    def blank(cls, width, height, colour=(0, 0, 0)):
        return cls(width, height, bytes(colour) * (width * height))

    @classmethod
    def from_ppm(cls, data):
        match = re.match(rb"P6\s+(?:#[^\n]*\s+)*(\d+)\s+(\d+)\s+(\d+)\s", data)
        if not match:
            raise ValueError("not a binary PPM picture")
        width, height, maxval = (int(g) for g in match.groups())
        body = data[match.end():]
        if maxval > 255:
            body = body[0::2]  # big-endian 16-bit samples: keep the high bytes
        if len(body) < width * height * 3:
            raise ValueError("PPM picture is cut short")
        return cls(width, height, body[: width * height * 3])

    @classmethod
    def from_file(cls, path):
        result = subprocess.run([CONVERT, str(path), "-depth", "8", "ppm:-"],
                                capture_output=True, check=True, timeout=30)
        return cls.from_ppm(result.stdout)

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.pixels[i:i + 3])

    def crop(self, x, y, width, height):
        rows = [self.pixels[((y + r) * self.width + x) * 3:((y + r) * self.width + x + width) * 3]
                for r in range(height)]
        return Image(width, height, b"".join(rows))

    def draw_sprite(self, sprite, x, y, mask=MASK_COLOUR):
        """Draws like Allegro's draw_sprite: pixels of the mask colour are left out; clipped."""
        shown = _pixels_differing(sprite.pixels, bytes(mask) * (sprite.width * sprite.height))
        left, right = max(0, -x), min(sprite.width, self.width - x)
        for sy in range(max(0, -y), min(sprite.height, self.height - y)):
            row = sy * sprite.width
            for run in re.finditer(rb"[^\0]+", shown[row + left:row + right]):
                source = (row + left + run.start()) * 3
                target = ((y + sy) * self.width + x + left + run.start()) * 3
                length = (run.end() - run.start()) * 3
                self.pixels[target:target + length] = sprite.pixels[source:source + length]

    def match_fraction(self, expected, skip=None):
        """The share of the pixels of expected (a picture of the same size) that this picture
        shows in the same colour, as far as 16-bit colour tells colours apart. Pixels of expected
        in the colour skip (e.g. black, to weigh only what was drawn) are not counted; the result
        is 0.0 when no pixel counts."""
        if (self.width, self.height) != (expected.width, expected.height):
            raise ValueError("pictures of different sizes: %dx%d and %dx%d" %
                             (self.width, self.height, expected.width, expected.height))
        want = expected.pixels.translate(_TOP_FIVE_BITS)
        wrong = _pixels_differing(self.pixels.translate(_TOP_FIVE_BITS), want)
        counted = len(wrong)
        if skip is not None:
            kept = _pixels_differing(want, bytes(skip).translate(_TOP_FIVE_BITS) * counted)
            counted -= kept.count(0)
            wrong = _or_bytes(wrong, kept.translate(_ZERO_TO_FF))
        return wrong.count(0) / counted if counted else 0.0

    def save(self, path):
        """Writes the picture in the format its file name says (png, ppm, bmp...)."""
        header = b"P6\n%d %d\n255\n" % (self.width, self.height)
        subprocess.run([CONVERT, "ppm:-", str(path)], input=header + bytes(self.pixels),
                       check=True, timeout=30)


# 16-bit colour keeps 5 bits of red and blue and 6 of green; however a tool widens them back to 8
# bits (shifting, scaling or repeating bits), the top five bits of each channel stay the same.
_TOP_FIVE_BITS = bytes(b & 0xF8 for b in range(256))
_ZERO_TO_FF = bytes([0xFF] + [0] * 255)


def _or_bytes(a, b):
    return (int.from_bytes(a, "big") | int.from_bytes(b, "big")).to_bytes(len(a), "big")


def _pixels_differing(a, b):
    """One byte per pixel of two RGB byte strings of the same size: 0 where the pixels are equal."""
    count = len(a) // 3
    difference = 0
    for channel in range(3):
        difference |= int.from_bytes(a[channel::3], "big") ^ int.from_bytes(b[channel::3], "big")
    return difference.to_bytes(count, "big")


def colours_close(a, b, tolerance):
    return all(abs(p - q) <= tolerance for p, q in zip(a, b))


def datafile_objects(datafile):
    """The objects of an Allegro data file as (type, name, properties) in file order."""
    result = subprocess.run(["dat", "-v", "-l", str(datafile)], capture_output=True, text=True,
                            check=True, timeout=30)
    objects = []
    for line in result.stdout.splitlines():
        head = re.match(r"- (\S+)\s+- (\S+)\s+- ", line)
        prop = re.match(r"\s+\. (\S+) '(.*)'$", line)
        if head:
            objects.append((head.group(1), head.group(2), {}))
        elif prop and objects:
            objects[-1][2][prop.group(1)] = prop.group(2)
    return objects


def datafile_bitmap(datafile, prop, value):
    """The bitmap of datafile whose property prop (e.g. "BMPI") has the given value, as the data
    file stores it: 16-bit colours widened to 8 bits per channel."""
    names = [name for kind, name, props in datafile_objects(datafile)
             if kind == "BMP" and props.get(prop) == str(value)]
    if len(names) != 1:
        raise LookupError("%s holds %d bitmaps with %s=%s" % (datafile, len(names), prop, value))
    with tempfile.TemporaryDirectory(prefix="zenith-dat-") as scratch:
        out = Path(scratch) / "object.bmp"
        subprocess.run(["dat", "-e", str(datafile), names[0], "-o", str(out)],
                       capture_output=True, check=True, timeout=30)
        return Image.from_file(out)


class _Xlib:
    """The few Xlib calls that xdotool lacks, through ctypes (libX11 is there: Allegro needs it)."""

    CLIENT_MESSAGE = 33

    class ClientMessage(ctypes.Structure):
        _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                    ("send_event", ctypes.c_int), ("display", ctypes.c_void_p),
                    ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                    ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]

    class Event(ctypes.Union):  # XEvent: a union padded to 24 longs
        pass

    Event._fields_ = [("xclient", ClientMessage), ("pad", ctypes.c_long * 24)]

    def __init__(self):
        lib = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
        lib.XOpenDisplay.restype = ctypes.c_void_p
        lib.XOpenDisplay.argtypes = [ctypes.c_char_p]
        lib.XInternAtom.restype = ctypes.c_ulong
        lib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        lib.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                                   ctypes.c_void_p]
        lib.XFlush.argtypes = [ctypes.c_void_p]
        lib.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self.lib = lib

    def request_close(self, display_name, window):
        """Sends WM_DELETE_WINDOW, what a window manager sends when the close button is pressed."""
        lib = self.lib
        display = lib.XOpenDisplay(display_name.encode())
        if not display:
            raise RuntimeError("cannot open X display " + display_name)
        try:
            event = self.Event()
            event.xclient.type = self.CLIENT_MESSAGE
            event.xclient.window = window
            event.xclient.message_type = lib.XInternAtom(display, b"WM_PROTOCOLS", False)
            event.xclient.format = 32
            event.xclient.data[0] = lib.XInternAtom(display, b"WM_DELETE_WINDOW", False)
            event.xclient.data[1] = 0  # CurrentTime
            if not lib.XSendEvent(display, window, False, 0, ctypes.byref(event)):
                raise RuntimeError("XSendEvent failed")
            lib.XFlush(display)
        finally:
            lib.XCloseDisplay(display)


class VirtualDisplay:
    """A private Xvfb on a display number that it picks itself (-displayfd): tests may run side by
    side."""

    def __init__(self, screen=SCREEN, log_path=None, timeout=10):
        self.screen = screen
        self.log_path = log_path
        self.timeout = timeout
        self.process = None
        self.name = None

    def start(self):
        read_end, write_end = os.pipe()
        log = open(self.log_path, "wb") if self.log_path else subprocess.DEVNULL
        try:
            self.process = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_end), "-screen", "0", self.screen,
                 "-nolisten", "tcp", "-noreset"],
                pass_fds=(write_end,), stdin=subprocess.DEVNULL, stdout=log, stderr=log,
                preexec_fn=_die_with_parent)
        finally:
            os.close(write_end)
            if log is not subprocess.DEVNULL:
                log.close()
        try:
            number = self._read_number(read_end)
        finally:
            os.close(read_end)
        if number is None:
            self.stop()
            raise RuntimeError("Xvfb did not report a display within %s s" % self.timeout)
        self.name = ":" + number
        return self

    def _read_number(self, fd):
        text = b""
        deadline = time.monotonic() + self.timeout
        while not text.endswith(b"\n"):
            left = deadline - time.monotonic()
            if left <= 0 or not select.select([fd], [], [], left)[0]:
                return None
            chunk = os.read(fd, 16)
            if not chunk:
                return None
            text += chunk
        return text.decode().strip()

    def stop(self):
        _stop_process(self.process)

    def __enter__(self):
        return self.start()

    def __exit__(self, *exc):
        self.stop()


class GameSession:
    """One run of the game in a temporary working directory, on its own X server.

    data_files: the names from DATA_FILES to put into the working directory's data/ folder.
    credits:    True copies the game's credits.txt into the working directory, a string is
                written there as credits.txt instead, False leaves it out.
    files:      more files for the working directory, {relative path: str or bytes}.
    display:    False runs the game with no X display at all (DISPLAY unset).
    allegro_cfg: the text of the allegro.cfg beside the game (default: no sound, a window).
    environment: more environment variables for the game alone, not for the tools that drive
                it, {name: value}.
    command:    a program to start as it stands, such as an installed zenith-guard command,
                instead of a copy of the game beside allegro_cfg.
    The game is started on entering the with block; everything is stopped and removed on leaving
    it, whether the test passed, failed or was interrupted.
    """

    def __init__(self, data_files=DATA_FILES, credits=True, files=None, display=True,
                 screen=SCREEN, allegro_cfg=ALLEGRO_CFG, environment=None, command=None):
        unknown = set(data_files) - set(DATA_FILES)
        if unknown:
            raise ValueError("unknown data files: %s" % ", ".join(sorted(unknown)))
        self.data_files = tuple(data_files)
        self.credits = credits
        self.files = dict(files or {})
        self.use_display = display
        self.screen = screen
        self.allegro_cfg = allegro_cfg
        self.game_environment = dict(environment or {})
        self.executable = command
        self.root = None
        self.workdir = None
        self.display = None
        self.process = None
        self.window = None
        self._reaper = None

    # ----- life cycle -----

    def __enter__(self):
        try:
            self.start()
        except BaseException:
            self.stop()
            raise
        return self

    def __exit__(self, *exc):
        self.stop()

    def start(self):
        self.root = Path(tempfile.mkdtemp(prefix="zenith-e2e-"))
        if not os.environ.get("ZENITH_E2E_KEEP"):
            self._reaper = _start_reaper(self.root)
        self.workdir = self.root / "run"
        self._prepare()
        if self.use_display:
            self.display = VirtualDisplay(self.screen, self.root / "xvfb.log").start()
        self._launch()

    def stop(self):
        """Stops everything; fails if a sanitizer reported anything on the game's standard error."""
        report = None
        try:
            if self.process is not None:
                _stop_process(self.process, group=True)
                self._close_output()
                report = SANITIZER_REPORT.search(self.errors())
        finally:
            try:
                if self.display is not None:
                    self.display.stop()
            finally:
                self._remove_folder()
        if report:
            raise AssertionError("a sanitizer reported on standard error:\n" + report.string)

    def _remove_folder(self):
        if self.root is None:
            return
        if self._reaper is None:
            print("kept " + str(self.root), file=sys.stderr)
        else:
            shutil.rmtree(self.root, ignore_errors=True)
            self._reaper.close()

    def _prepare(self):
        (self.workdir / "data").mkdir(parents=True)
        for name in self.data_files:
            source = data_dir() / name
            if not source.is_file():
                raise FileNotFoundError("data file %s is missing: build the game first" % source)
            shutil.copy(source, self.workdir / "data" / name)
        if isinstance(self.credits, str):
            (self.workdir / "credits.txt").write_text(self.credits)
        elif self.credits:
            if not credits_path().is_file():
                raise FileNotFoundError("%s is missing" % credits_path())
            shutil.copy(credits_path(), self.workdir / "credits.txt")
        for relative, content in self.files.items():
            target = self.workdir / relative
            target.parent.mkdir(parents=True, exist_ok=True)
            if isinstance(content, str):
                target.write_text(content)
            else:
                target.write_bytes(content)

        # A copy of the game, so that Allegro finds this run's configuration beside it.
        if self.executable is None:
            program = self.root / "program"
            program.mkdir()
            self.executable = program / game_path().name
            shutil.copy(game_path(), self.executable)
            (program / "allegro.cfg").write_text(self.allegro_cfg)

        self.fake_bin = self.root / "fake-bin"
        self.fake_bin.mkdir()
        self.message_log = self.root / "xmessage.log"
        standin = self.fake_bin / "xmessage"
        standin.write_text(XMESSAGE_STANDIN.format(log=self.message_log))
        standin.chmod(0o755)

    def _environment(self):
        env = dict(os.environ)
        env["PATH"] = str(self.fake_bin) + os.pathsep + env.get("PATH", "")
        env["HOME"] = str(self.root)  # no ~/.allegrorc of the developer's
        env.pop("ALLEGRO", None)
        env.pop("DISPLAY", None)
        if self.display is not None:
            env["DISPLAY"] = self.display.name
        return env

    def _launch(self):
        self.stdout_path = self.root / "stdout.txt"
        self.stderr_path = self.root / "stderr.txt"
        self._stdout = open(self.stdout_path, "wb")
        self._stderr = open(self.stderr_path, "wb")
        try:
            self.process = subprocess.Popen(
                [str(self.executable)], cwd=self.workdir,
                env={**self._environment(), **self.game_environment},
                stdin=subprocess.DEVNULL, stdout=self._stdout, stderr=self._stderr,
                preexec_fn=_new_session_dying_with_parent)
        except BaseException:
            self._close_output()
            raise

    def _close_output(self):
        for stream in (self._stdout, self._stderr):
            if not stream.closed:
                stream.close()

    # ----- the process -----

    def running(self):
        return self.process.poll() is None

    def wait_exit(self, timeout):
        """The exit status once the game has ended (negative: killed by that signal). Raises
        AssertionError if it is still running after timeout seconds."""
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            raise AssertionError("the game did not end within %s s" % timeout) from None

    def runnable_share(self, seconds):
        """The share of the next given seconds in which the game's main thread was runnable: on a
        processor or waiting for one. Unlike CPU time this stays near 1.0 for a loop that spins
        however loaded the machine is, while a game that rests shows a few per cent."""
        schedstat = "/proc/%d/task/%d/schedstat" % (self.process.pid, self.process.pid)

        def runnable():
            on_cpu, waiting = open(schedstat).read().split()[:2]
            return (int(on_cpu) + int(waiting)) / 1e9

        start, begun = runnable(), time.monotonic()
        time.sleep(seconds)
        return (runnable() - start) / (time.monotonic() - begun)

    def output(self):
        """What the game wrote to standard output so far."""
        return self.stdout_path.read_text(errors="replace")

    def errors(self):
        """What the game wrote to standard error so far."""
        return self.stderr_path.read_text(errors="replace")

    def message_calls(self):
        """The argument lists of every message box the game opened, in order."""
        if not self.message_log.exists():
            return []
        fields = self.message_log.read_bytes().split(b"\0")
        calls, i = [], 0
        while i < len(fields) and fields[i]:
            count = int(fields[i])
            calls.append([f.decode(errors="replace") for f in fields[i + 1:i + 1 + count]])
            i += 1 + count
        return calls

    def messages(self):
        """The texts of every message box the game opened, in order, without the line feed that
        Allegro ends each one with (so that xmessage never takes a text for an option)."""
        return [call[-1][:-1] if call[-1].endswith("\n") else call[-1]
                for call in self.message_calls() if call]

    # ----- the window -----

    def _xdotool(self, *args, timeout=10):
        return subprocess.run(["xdotool", *args], env=self._environment(), capture_output=True,
                              text=True, timeout=timeout)

    def find_window(self):
        """The id of the game's visible window, or None."""
        found = self._xdotool("search", "--onlyvisible", "--name", "^%s$" % re.escape(WINDOW_TITLE))
        ids = found.stdout.split()
        return int(ids[0]) if ids else None

    def wait_window(self, timeout=10):
        """Waits for the game's window, gives it the keyboard focus and returns its id."""
        def shown():
            if not self.running():
                raise AssertionError("the game ended (status %s) before its window showed; "
                                     "messages: %s" % (self.process.returncode, self.messages()))
            return self.find_window()

        self.window = poll(shown, timeout)
        if self.window is None:
            raise AssertionError("no window named %r within %s s" % (WINDOW_TITLE, timeout))
        self.focus()
        return self.window

    def focus(self):
        self._xdotool("windowfocus", "--sync", str(self.window))

    def close_window(self):
        """Presses the window's close button: the window is asked, not destroyed."""
        _Xlib().request_close(self.display.name, self.window)

    # ----- keyboard -----

    def _keys(self, chain, seconds):
        result = self._xdotool(*chain, timeout=10 + seconds)
        if result.returncode != 0:
            raise RuntimeError("xdotool failed: " + result.stderr)

    def hold_keys(self, names, seconds=0.1):
        """Holds the keys (xdotool names: Escape, space, Left, Return, a...) down together for the
        given time, then lets them go. Logic that looks at the key state misses mere taps."""
        chain = []
        for name in names:
            chain += ["keydown", name]
        chain += ["sleep", str(seconds)]
        for name in reversed(names):
            chain += ["keyup", name]
        self._keys(chain, seconds)

    def hold_key(self, name, seconds=0.1):
        self.hold_keys([name], seconds)

    def key_down(self, name):
        """Presses the key and leaves it down until key_up; the X server repeats it meanwhile."""
        self._keys(["keydown", name], 0)

    def key_up(self, name):
        self._keys(["keyup", name], 0)

    def press_keys(self, names, seconds=0.05):
        """Holds each key in turn for the given time, with as long a pause after each, e.g. to
        type a name letter by letter: two equal letters stay two presses."""
        chain = []
        for name in names:
            chain += ["keydown", name, "sleep", str(seconds), "keyup", name, "sleep", str(seconds)]
        self._keys(chain, 2 * seconds * len(names))

    # ----- screen -----

    def screenshot(self, path=None):
        """The game window's picture now (the whole screen before wait_window has found the
        window); also written to path if one is given."""
        target = str(path) if path else "ppm:-"
        window = "root" if self.window is None else str(self.window)
        result = subprocess.run([IMPORT, "-window", window, "-depth", "8", target],
                                env=self._environment(), capture_output=True, timeout=30)
        if result.returncode != 0:
            raise RuntimeError("screenshot failed: " + result.stderr.decode(errors="replace"))
        return Image.from_file(path) if path else Image.from_ppm(result.stdout)

    def wait_for_screen(self, condition, timeout, what="the expected picture"):
        """Takes screenshots until condition(image) holds and returns that image."""
        last = []

        def shot():
            if not self.running():
                raise AssertionError("the game ended (status %s) while waiting for %s"
                                     % (self.process.returncode, what))
            last[:] = [self.screenshot()]
            return last[0] if condition(last[0]) else None

        image = poll(shot, timeout)
        if image is None:
            raise AssertionError("%s did not show within %s s%s"
                                 % (what, timeout, self._keep_failed_screen(last)))
        return image

    def _keep_failed_screen(self, last):
        """Saves the last screen of a failed wait into $ZENITH_E2E_ARTIFACTS, if that is set."""
        folder = os.environ.get("ZENITH_E2E_ARTIFACTS")
        if not folder or not last:
            return ""
        Path(folder).mkdir(parents=True, exist_ok=True)
        path = Path(folder) / ("%s-%d.png" % (time.strftime("%H%M%S"), os.getpid()))
        last[0].save(path)
        return "; last screen: %s" % path


def _case_names(suite):
    for test in suite:
        if isinstance(test, unittest.TestSuite):
            yield from _case_names(test)
        else:
            yield test.id().split(".", 1)[1]


def main():
    """Runs the unittest cases of the calling script (all, or those named on the command line as
    Class.test_name). "--list" prints the names of all cases, one per line, for CTest.
    A SIGTERM (e.g. from a test runner's timeout) unwinds like Ctrl-C, so every session cleans up."""
    if sys.argv[1:] == ["--list"]:
        suite = unittest.defaultTestLoader.loadTestsFromModule(sys.modules["__main__"])
        print("\n".join(_case_names(suite)))
        return
    signal.signal(signal.SIGTERM, signal.default_int_handler)
    unittest.main(module="__main__")
