"""Drives the real game on a private X server, for the end-to-end tests, the README's screenshots
and the measurements of what the game costs: held keys (xdotool), screenshots (ImageMagick), the
window's close button, and a record of the message boxes it opens.

    command, folder = prepare(scratch, Path("build/zenith-guard"))
    with Display() as display, Game(display, command, folder) as game:
        game.wait_window()
        game.hold("Escape")
        game.wait_for(lambda shot: shot.share(area, WHITE) > 0.8, "the menu")
        game.close()
        assert game.wait_exit() == 0
"""

import ctypes
import ctypes.util
import os
import re
import shutil
import signal
import subprocess
import tempfile
import time
from pathlib import Path

REPOSITORY = Path(__file__).resolve().parents[1]
# Settings without sound (none is needed, and a machine may have no card) in a plain window.
QUIET = "[system]\nkeyboard = us\n[graphics]\ngfx_card = XWIN\n[sound]\ndigi_card = 0\nmidi_card = 0\n"


def _die_with_parent():
    ctypes.CDLL(None).prctl(1, signal.SIGKILL)  # PR_SET_PDEATHSIG: nothing outlives the test


def prepare(root, program, settings=QUIET):
    """A copy of the program with its settings beside it (Allegro reads them there) and a folder
    holding the game's data/ and credits.txt to start it in; returns the command and the folder."""
    (root / "program").mkdir()
    shutil.copy(program, root / "program")
    (root / "program/allegro.cfg").write_text(settings)
    (root / "run").mkdir()
    for name in ("data", "credits.txt"):
        (root / "run" / name).symlink_to(REPOSITORY / name)
    return [str(root / "program" / Path(program).name)], root / "run"


def poll(condition, timeout, what):
    deadline = time.monotonic() + timeout
    while not (result := condition()):
        if time.monotonic() > deadline:
            raise AssertionError("%s did not come within %s s" % (what, timeout))
        time.sleep(0.05)
    return result


class Image:
    """An RGB picture, 8 bits a channel."""

    def __init__(self, width, height, pixels):
        self.width, self.height, self.pixels = width, height, bytes(pixels)

    @classmethod
    def convert(cls, *arguments):
        """What ImageMagick's convert makes of the arguments, e.g. a file's name."""
        return cls.read(subprocess.run(["/usr/bin/convert", *map(str, arguments), "-depth", "8",
                                        "ppm:-"], capture_output=True, check=True).stdout)

    @classmethod
    def read(cls, ppm):
        m = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", ppm)
        return cls(int(m[1]), int(m[2]), ppm[m.end():])

    def pixel(self, x, y):
        i = 3 * (y * self.width + x)
        return tuple(self.pixels[i:i + 3])

    def share(self, area, colour, tolerance=8):
        """The share of the pixels of area (left, top, width, height) near the colour."""
        left, top, width, height = area
        near = sum(all(abs(a - b) <= tolerance for a, b in zip(self.pixel(x, y), colour))
                   for y in range(top, top + height) for x in range(left, left + width))
        return near / (width * height)

    def crop(self, left, top, width, height):
        rows = (self.pixels[3 * ((top + y) * self.width + left):][:3 * width] for y in range(height))
        return Image(width, height, b"".join(rows))

    def save(self, path):
        subprocess.run(["/usr/bin/convert", "ppm:-", str(path)], check=True,
                       input=b"P6\n%d %d\n255\n" % (self.width, self.height) + self.pixels)

    def same(self, other):
        """Equal as far as 16-bit colour tells: the top five bits of every channel."""
        return (self.width, self.height) == (other.width, other.height) and \
            bytes(b & 0xF8 for b in self.pixels) == bytes(b & 0xF8 for b in other.pixels)


class Display:
    """A private Xvfb on a display number of its own choosing."""

    def __init__(self, screen="640x480x16"):
        self.screen = screen

    def __enter__(self):
        read, write = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write), "-screen", "0", self.screen, "-nolisten", "tcp",
             "-noreset"],
            pass_fds=(write,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            preexec_fn=_die_with_parent)
        os.close(write)
        with os.fdopen(read) as numbers:
            self.name = ":" + numbers.readline().strip()
        return self

    def __exit__(self, *_):
        self.process.kill()
        self.process.wait()


class Game:
    """The program run in cwd, on the display or with none, with settings of its own. Message boxes
    are answered at once by a stand-in for xmessage, which records their texts."""

    def __init__(self, display, command, cwd, env=None):
        self.display, self.command, self.cwd, self.extra = display, command, cwd, env or {}
        self.window = None

    def __enter__(self):
        self.scratch = tempfile.TemporaryDirectory(prefix="zenith-e2e-")
        folder = Path(self.scratch.name)
        self.log = folder / "messages"
        (folder / "xmessage").write_text('#!/bin/sh\neval "printf %%s \\"\\${$#}\\"" >> %s\n'
                                         'exit 101\n' % self.log)
        (folder / "xmessage").chmod(0o755)
        # The player's settings of this run only, in a folder of its own unless given.
        self.env = dict(os.environ, PATH="%s:%s" % (folder, os.environ["PATH"]),
                        XDG_CONFIG_HOME=str(folder / "config"))
        self.env.pop("DISPLAY", None)
        if self.display:
            self.env["DISPLAY"] = self.display.name
        self.out = open(folder / "output", "w+")
        self.process = subprocess.Popen(self.command, cwd=self.cwd, env={**self.env, **self.extra},
                                        stdout=self.out, stderr=subprocess.STDOUT,
                                        stdin=subprocess.DEVNULL, preexec_fn=_die_with_parent)
        return self

    def __exit__(self, *_):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        self.out.close()
        self.scratch.cleanup()

    def wait_exit(self, timeout=10):
        """The exit status; a sanitizer's report in the output fails the run."""
        status = self.process.wait(timeout)
        assert not re.search(r"Sanitizer|runtime error", self.output()), self.output()
        return status

    def output(self):
        """What the game wrote to standard output and standard error."""
        self.out.seek(0)
        return self.out.read()

    def messages(self):
        return self.log.read_text().splitlines() if self.log.exists() else []

    def xdotool(self, *arguments):
        return subprocess.run(["xdotool", *arguments], env=self.env, capture_output=True,
                              text=True, timeout=60).stdout

    def wait_window(self, timeout=10):
        def found():
            assert self.process.poll() is None, "the game ended: " + self.output()
            return self.xdotool("search", "--onlyvisible", "--name", "^Zenith Guard$").split()
        self.window = poll(found, timeout, "the game's window")[0]
        self.xdotool("windowfocus", "--sync", self.window)

    def hold(self, key, seconds=0.1):
        """Holds the key down: the game reads held keys once a logic step, so a mere tap is lost."""
        self.xdotool("keydown", key, "sleep", str(seconds), "keyup", key)

    def screenshot(self):
        return Image.read(subprocess.run(["/usr/bin/import", "-window", self.window or "root",
                                          "-depth", "8", "ppm:-"], env=self.env,
                                         capture_output=True, check=True).stdout)

    def wait_for(self, condition, what, timeout=5):
        def shown():
            assert self.process.poll() is None, "the game ended waiting for " + what
            shot = self.screenshot()
            return shot if condition(shot) else None
        return poll(shown, timeout, what)

    def cpu_seconds(self):
        """User and system time of all the process's threads so far."""
        fields = Path("/proc/%d/stat" % self.process.pid).read_text().rsplit(")", 1)[1].split()
        return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")

    def runnable_seconds(self):
        """How long the main thread has been running or waiting for a core: a loop that spins is
        runnable all the time, however busy the machine, one that rests hardly ever."""
        running, waiting, _ = Path("/proc/%d/schedstat" % self.process.pid).read_text().split()
        return (int(running) + int(waiting)) / 1e9

    def close(self):
        """Sends WM_DELETE_WINDOW, as a window manager's close button does."""
        x = ctypes.CDLL(ctypes.util.find_library("X11"))
        x.XOpenDisplay.restype = ctypes.c_void_p
        x.XInternAtom.restype = ctypes.c_ulong
        x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        x.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                                 ctypes.c_void_p]
        display = ctypes.c_void_p(x.XOpenDisplay(self.display.name.encode()))
        event = (ctypes.c_long * 24)()  # an XClientMessageEvent in an XEvent's room
        event[0], event[4] = 33, int(self.window)  # ClientMessage, to the window
        event[5] = x.XInternAtom(display, b"WM_PROTOCOLS", 0)
        event[6] = 32  # the format, an int in the low half of its slot
        event[7] = x.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
        x.XSendEvent(display, int(self.window), 0, 0, event)
        x.XCloseDisplay(display)
