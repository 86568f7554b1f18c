#!/usr/bin/env python3
"""What replays cost, in the real game:

    bench/measure_replay.py [--rounds N] path/to/zenith-guard

N times (default 3) it plays a game through the program as a player would (on a private Xvfb,
with real X key events: fire held, the ship steered left and right in turn), enters a name, and
takes the replay that the game left beside HallOfFame.xml: its size, its steps and its size per
minute of play; then it plays that replay with --replay. It measures the CPU of the whole process
(user and system time of all its threads, from /proc/PID/stat, as a share of one core over the
wall time) and of its main thread alone over the same stretch of the game, played and replayed:
10 s from a second after the start (a game that ends sooner is played again). Run it from the repository's root after the build, so that
data/ and credits.txt are found.
"""

import argparse
import os
import re
import sys
import tempfile
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "scripts"))
from gamedriver import Display, Game, prepare  # noqa: E402

SECONDS = float(os.environ.get("SECONDS_PER_STATE", "10"))
ALLEGRO_CFG = Path(__file__).resolve().parents[1] / "assets" / "allegro.cfg"


def main_thread_seconds(game):
    fields = Path("/proc/%d/task/%d/stat" % ((game.process.pid,) * 2)).read_text()
    fields = fields.rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def cpu_over(game, seconds):
    """The whole process's and the main thread's share of one core over the next seconds."""
    total, main = game.cpu_seconds(), main_thread_seconds(game)
    start = time.monotonic()
    time.sleep(seconds)
    wall = time.monotonic() - start
    return 100 * (game.cpu_seconds() - total) / wall, 100 * (main_thread_seconds(game) - main) / wall


def record(display, command, folder):
    """Plays a game to its end and enters it; returns the replay file, the game's length and the
    CPU it took over its stretch."""
    with Game(display, command, folder) as game:
        game.wait_window()
        time.sleep(0.5)
        game.hold("Escape")
        time.sleep(0.5)
        game.hold("Return")
        start = time.monotonic()
        game.xdotool("keydown", "space")
        cpu = None
        for turn in range(400):
            if turn == 2:
                measured = game.cpu_seconds(), main_thread_seconds(game), time.monotonic()
            elapsed = time.monotonic() - measured[2] if turn > 2 else 0
            if cpu is None and elapsed >= SECONDS:
                cpu = (100 * (game.cpu_seconds() - measured[0]) / elapsed,
                       100 * (main_thread_seconds(game) - measured[1]) / elapsed)
            game.hold("Left" if turn % 2 else "Right", 0.3)
            game.hold("space", 0.2)
            # The name entry comes two seconds after the end.
            if game.screenshot().share((125, 145, 390, 90), (255, 255, 255)) > 0.8:
                break
        length = time.monotonic() - start
        game.xdotool("keyup", "space")
        game.xdotool("type", "--delay", "30", "Measure")
        game.hold("Return")
        time.sleep(1)
        name = re.findall(r'replay = "([^"]+)"', (folder / "HallOfFame.xml").read_text())
        game.close()
        game.wait_exit()
    return folder / sorted(name, key=lambda n: (folder / n).stat().st_mtime)[-1], length, cpu


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--rounds", type=int, default=3)
    parser.add_argument("program")
    arguments = parser.parse_args()
    print("| round | game (s) | replay (bytes) | steps | bytes per minute | play, all threads % | "
          "play, main thread % | replay, all threads % | replay, main thread % |")
    print("|---|---|---|---|---|---|---|---|---|")
    with tempfile.TemporaryDirectory(prefix="zenith-replay-") as scratch:
        command, folder = prepare(Path(scratch), Path(arguments.program), ALLEGRO_CFG.read_text())
        with Display() as display:
            for round_ in range(arguments.rounds):
                # A game over before the stretch ends is played again.
                for _ in range(5):
                    replay, length, play = record(display, command, folder)
                    if play:
                        break
                text = replay.read_text()
                steps = int(re.search(r"^steps (\d+)$", text, re.M)[1])
                with Game(display, command + ["--replay", str(replay)], folder) as game:
                    game.wait_window()
                    time.sleep(0.6)
                    playback = cpu_over(game, SECONDS)
                cells = [round_ + 1, "%.0f" % length, len(text), steps,
                         "%.0f" % (len(text) / (steps / 7200))]
                cells += ["%.1f" % v for v in (play or (float("nan"),) * 2) + playback]
                print("| " + " | ".join(str(c) for c in cells) + " |", flush=True)


if __name__ == "__main__":
    main()
