#!/usr/bin/env python3
"""What the real game costs the player's machine, state by state, for one or more builds of it:

    bench/measure_game.py [--screens WxHxD,...] [--states S,...] LABEL=path/to/zenith-guard ...

For each X screen (default 640x480x16), each build is run in turn, on a private Xvfb of that size
and depth through scripts/gamedriver.py, with the game's own allegro.cfg (so at the scale it
chooses for that desktop), through the states asked for, of intro, menu, play (a game at level 1,
no keys held), pause, entry (the name entry after a game played out with Space held, no keys held)
and credits (default: all six). For each state it prints the CPU that the
process took (user and system time of all its threads, from /proc/PID/stat, as a share of one core
over the wall time), the CPU that the X server took in the same time, and the frames drawn per
logic step; then the time from launch to the intro (the median of seven starts, the builds taking
turns: from just before the process is started to the call of Intro, which draws the pictures at
once) and the peak resident memory (VmHWM) over the whole run. Frames, steps and the intro are counted with
perf's user probes on cGameInstance::DoFrame, cGameInstance::Update and Intro, so this needs root
and perf. Run it from the repository's root after the build, so that data/ and credits.txt are
found.
"""

import argparse
import os
import re
import subprocess
import sys
import tempfile
import time
from contextlib import contextmanager
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "scripts"))
from gamedriver import Display, Game, prepare  # noqa: E402

PROBES = {"frame": "_ZN13cGameInstance7DoFrameEv", "step": "_ZN13cGameInstance6UpdateEv",
          "intro": "_Z5IntroP13cGameInstance"}
STATES = ("intro", "menu", "play", "pause", "entry", "credits")
# Inside the client area of the name entry, which neither the menu nor the list covers as much.
NAME_ENTRY = (130, 150, 380, 80)
STARTS = 7
# The settings the game is installed with: a window, and sound if there is a card.
ALLEGRO_CFG = Path(__file__).resolve().parents[1] / "assets" / "allegro.cfg"


def peak_rss_mb(pid):
    match = re.search(r"VmHWM:\s+(\d+) kB", Path("/proc/%d/status" % pid).read_text())
    return int(match.group(1)) / 1024


@contextmanager
def probed_game(label, screen):
    """The build's game started on a private display, its copy carrying perf probes that are
    recorded from before the start. Yields the game, the time of its start and a function that
    stops the recording and returns (name, monotonic time) of every probe hit."""
    # Groups and events are named after this process too: perf refuses an event name that another
    # measurement, running or stopped midway, has placed already.
    group = "zg%d_%s" % (os.getpid(), re.sub(r"\W", "_", label))
    suffix = "_%d" % os.getpid()
    with tempfile.TemporaryDirectory(prefix="zenith-measure-") as scratch:
        command, folder = prepare(Path(scratch), Path(os.environ["ZENITH_GAME_" + label]),
                                  ALLEGRO_CFG.read_text())
        # By address: perf cannot place a probe by name on a function that the compiler split
        # into a hot and a cold part.
        symbols = subprocess.run(["nm", command[0]], capture_output=True, text=True,
                                 check=True).stdout
        for name, symbol in PROBES.items():
            address = re.search(r"^([0-9a-f]+) T %s$" % symbol, symbols, re.M).group(1)
            subprocess.run(["perf", "probe", "-q", "-x", command[0], "-a",
                            "%s:%s%s=0x%s" % (group, name, suffix, address)], check=True)
        trace = Path(scratch) / "perf.data"
        record = subprocess.Popen(
            ["perf", "record", "-q", "-k", "CLOCK_MONOTONIC", "-a", "-o", str(trace),
             "-e", "%s:*" % group], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

        def events():
            record.send_signal(2)
            record.wait()
            script = subprocess.run(["perf", "script", "-i", str(trace), "-F", "time,event"],
                                    capture_output=True, text=True, check=True).stdout
            return [(m.group(2), float(m.group(1)))
                    for m in re.finditer(r"([\d.]+):\s+%s:([a-z]+)%s" % (group, suffix), script)]

        try:
            time.sleep(2)
            with Display(screen) as display:
                launched = time.monotonic()
                with Game(display, command, folder) as game:
                    yield game, display, launched, events
        finally:
            if record.poll() is None:
                record.kill()
            subprocess.run(["perf", "probe", "-q", "-d", "%s:*" % group],
                           stderr=subprocess.DEVNULL)


def cpu_seconds(process):
    """User and system time of all the threads of a process so far."""
    fields = Path("/proc/%d/stat" % process.pid).read_text().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def measure(label, screen, states, seconds):
    windows = {}
    with probed_game(label, screen) as (game, display, _, events):
        def take(state, length):
            if state not in states:
                time.sleep(min(length, 1))
                return
            cpu, server = game.cpu_seconds(), cpu_seconds(display.process)
            start = time.monotonic()
            time.sleep(length)
            end = time.monotonic()
            windows[state] = (start, end, (game.cpu_seconds() - cpu) / (end - start),
                              (cpu_seconds(display.process) - server) / (end - start))

        game.wait_window()
        time.sleep(0.3)
        take("intro", 4.0)  # the intro lasts 5 s from its first picture
        time.sleep(1.5)
        take("menu", seconds)
        game.hold("Return")
        time.sleep(0.5)
        take("play", seconds)
        game.hold("Escape")
        time.sleep(0.5)
        take("pause", seconds)
        rss = peak_rss_mb(game.process.pid)
        if "entry" in states:
            # Enter plays on, resuming or, in builds whose pause menu opens on "New game", afresh.
            game.hold("Return")
            game.xdotool("keydown", "space")
            game.wait_for(lambda shot: shot.share(NAME_ENTRY, (255, 255, 255)) > 0.8,
                          "the name entry", 180)
            game.xdotool("keyup", "space")
            time.sleep(1)
            take("entry", seconds)
            game.xdotool("type", "x")
            for key in ("Return", "space"):
                game.hold(key, 0.2)
                time.sleep(0.5)
            rss = peak_rss_mb(game.process.pid)
        if "credits" in states:
            for key in ("Down", "Down", "Return"):
                game.hold(key, 0.2)
            time.sleep(0.5)
            take("credits", seconds)
            rss = peak_rss_mb(game.process.pid)
        hits = events()

    results = {}
    for state, (start, end, cpu, server) in windows.items():
        def count(name):
            return sum(1 for event, at in hits if event == name and start <= at < end)
        steps = count("step")
        results[state] = (100 * cpu, 100 * server,
                          count("frame") / steps if steps else float("nan"))
    return results, rss


def startup_ms(label, screen):
    """The time from launch to the intro in one start."""
    with probed_game(label, screen) as (game, _, launched, events):
        game.wait_window()
        time.sleep(0.5)
        intro = min(at for event, at in events() if event == "intro")
        return 1000 * (intro - launched)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--screens", default="640x480x16")
    parser.add_argument("--states", default=",".join(STATES))
    parser.add_argument("builds", nargs="+", metavar="LABEL=PATH")
    arguments = parser.parse_args()
    states = [s for s in STATES if s in arguments.states.split(",")]
    builds = [arg.split("=", 1) for arg in arguments.builds]
    seconds = float(os.environ.get("SECONDS_PER_STATE", "10"))
    for label, path in builds:
        os.environ["ZENITH_GAME_" + label] = path
    print("| screen | build | " + " | ".join(
        "%s CPU %% / X server %% / frames per step" % s for s in states) +
        " | start-up to intro, median of %d (ms) | peak RSS (MB) |" % STARTS)
    print("|---" * (len(states) + 4) + "|")
    for screen in arguments.screens.split(","):
        results = {label: measure(label, screen, states, seconds) for label, _ in builds}
        # The builds start in turn, so that a change of the machine's load falls on all of them.
        starts = {label: [] for label, _ in builds}
        for _ in range(STARTS):
            for label, _ in builds:
                try:
                    starts[label].append(startup_ms(label, screen))
                except AssertionError as error:
                    print("a start of %s failed: %s" % (label, error), file=sys.stderr)
        for label, _ in builds:
            cells = [("%.1f / %.1f / %.2f" % results[label][0][state]).replace(" / nan", "")
                     for state in states]
            startup = sorted(starts[label])[len(starts[label]) // 2]
            print("| %s | %s | %s | %.0f | %.1f |" % (screen, label, " | ".join(cells), startup,
                                                     results[label][1]), flush=True)


if __name__ == "__main__":
    main()
