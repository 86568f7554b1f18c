#!/usr/bin/env python3
"""How loud the music and the sound effects come out of the real game, in dBFS:

    bench/measure_sound.py [LABEL=CHECKOUT ...]     (default: now=.)

CHECKOUT is a copy of the repository with its build in build/: its game, data files and
allegro.cfg are used together. Each build is played twice on a private Xvfb through scripts/gamedriver.py, with the game's own
allegro.cfg and ALSA's file plugin as the sound card, so that the file holds exactly what Allegro
mixed. The first run records the music alone: the menu's, then the game's before the first wave.
The second runs without music: one shot that hits nothing, then one under the second monster from
the right that hits it, then the game is left to end. Music is measured as its RMS over 4 s and its
loudest 100 ms; an effect as its loudest 100 ms. What sounds after the hit (a power-up taken, the
end of the game) is listed with its length.
"""

import array
import math
import sys
import tempfile
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "scripts"))
from gamedriver import Display, Game, prepare  # noqa: E402

RATE, CHANNELS = 44100, 2
WINDOW = RATE // 10  # 100 ms, in frames
SILENCE = -60  # dBFS: quieter 10 ms blocks are gaps between effects


def frames(wav):
    """The recording as signed mono-mixed frames: the plugin writes unsigned 16-bit samples,
    whatever the header says."""
    raw = array.array("H", wav.read_bytes()[44:])
    return [(raw[i] + raw[i + 1]) / 2 - 32768 for i in range(0, len(raw) - 1, CHANNELS)]


def dbfs(values):
    if not values:
        return -math.inf
    rms = math.sqrt(sum(v * v for v in values) / len(values))
    return 20 * math.log10(rms / 32768) if rms else -math.inf


def loudest(values):
    """The RMS of the loudest 100 ms, in steps of 10 ms."""
    return max((dbfs(values[i:i + WINDOW]) for i in range(0, max(len(values) - WINDOW, 1),
                                                          WINDOW // 10)), default=-math.inf)


def bursts(values):
    """The stretches of sound between gaps of at least 30 ms, as lists of frames."""
    block = RATE // 100
    loud = [dbfs(values[i:i + block]) > SILENCE for i in range(0, len(values), block)]
    found, start, quiet = [], None, 0
    for i, on in enumerate(loud + [False] * 3):
        if on:
            start = i if start is None else start
            quiet = 0
        elif start is not None:
            quiet += 1
            if quiet == 3:
                found.append(values[start * block:(i - 2) * block])
                start = None
    return found


def position(wav):
    """Frames written so far."""
    return max(wav.stat().st_size - 44, 0) // (2 * CHANNELS) if wav.exists() else 0


def record(checkout, scratch, music, play):
    wav = scratch / ("music.wav" if music else "effects.wav")
    # Allegro takes the first of two values given for one setting: the sound section is replaced.
    settings = (checkout / "assets/allegro.cfg").read_text().replace(
        "[sound]\n", "[sound]\ndigi_card = ALSA\nalsa_device = file:FILE=%s,FORMAT=wav\n%s" %
        (wav, "" if music else "midi_card = 0\n")) + "[system]\nkeyboard = us\n"
    root = scratch / wav.stem
    root.mkdir()
    command, folder = prepare(root, checkout / "build/zenith-guard", settings)
    (folder / "data").unlink()
    (folder / "data").symlink_to((checkout / "data").resolve())
    with Display() as display, Game(display, command, folder) as game:
        game.wait_window()
        marks = play(game, lambda: position(wav))
        game.close()
        game.wait_exit()
    return frames(wav), marks


def music_run(game, at):
    time.sleep(1)
    game.hold("Escape")
    time.sleep(1)
    menu = (at(), time.sleep(4), at())[::2]
    game.hold("Return")
    time.sleep(0.3)
    play = (at(), time.sleep(2.5), at())[::2]  # the first wave comes 3 s after the start
    return [menu, play]


def effects_run(game, at):
    time.sleep(1)
    game.hold("Escape")
    time.sleep(0.5)
    game.hold("Return")
    started = time.monotonic()
    time.sleep(0.3)
    game.hold("space", 0.05)  # from the middle: between two spawn points, a miss
    game.hold("Right", 0.084)  # 42 pixels, under the spawn point at 362
    time.sleep(max(0, 3.5 - (time.monotonic() - started)))
    game.hold("space", 0.05)
    time.sleep(1.5)
    # Left alone, the monsters reach the ship; the hall of fame follows.
    game.wait_for(lambda shot: shot.share((180, 150, 280, 80), (255, 255, 255)) > 0.8,
                  "the end of the game", timeout=90)
    return []


def measure(label, checkout):
    with tempfile.TemporaryDirectory(prefix="zenith-sound-") as name:
        scratch = Path(name)
        music, marks = record(checkout, scratch, True, music_run)
        effects, _ = record(checkout, scratch, False, effects_run)
    rows = {}
    for state, (start, end) in zip(("menu music", "game music"), marks):
        rows[state] = (dbfs(music[start:end]), loudest(music[start:end]))
    found = bursts(effects)
    names = ["shot (miss)", "shot", "hit"] + ["after the hit: %.2f s" % (len(burst) / RATE)
                                              for burst in found[3:]]
    for name, burst in zip(names, found):
        rows[name] = (None, loudest(burst))
    return label, rows


def main():
    builds = [arg.split("=", 1) for arg in sys.argv[1:]] or [("now", ".")]
    results = [measure(label, Path(path)) for label, path in builds]
    print("| sound | " + " | ".join("%s RMS / loudest 100 ms (dBFS)" % l for l, _ in results) + " |")
    print("|---" * (len(results) + 1) + "|")
    names = list(dict.fromkeys(name for _, rows in results for name in rows))
    for name in names:
        cells = []
        for _, rows in results:
            rms, peak = rows.get(name, (None, None))
            cells.append("" if peak is None else
                         ("%.1f / " % rms if rms is not None else "") + "%.1f" % peak)
        print("| %s | %s |" % (name, " | ".join(cells)))


if __name__ == "__main__":
    main()
