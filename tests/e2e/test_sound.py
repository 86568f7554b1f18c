#!/usr/bin/env python3
"""What the player hears, on a machine without a sound card: ALSA's file plugin takes the card's
place and writes what Allegro plays into a WAV file, the menu music from Allegro's own synthesiser
(DIGMID, with the patch set of data/) and then the shots of a new game."""

import array
import math
import operator
import os
import struct
import subprocess
import tempfile
import time
import unittest
from pathlib import Path

import harness

REPO = Path(__file__).resolve().parents[2]
SHIPPED_CFG = REPO / "assets" / "allegro.cfg"

# What the synthesised music must reach, as RMS over half a second, and as RMS over the whole of
# the menu; silence is -inf, the menu music is about -21 dBFS.
QUIETEST_HALF_SECOND_DBFS = -40
MENU_LEVEL_DBFS = -30

# How closely a stretch of the recording must follow the shot's waveform (normalised
# correlation) to count as a shot. Shots over the game music reach about 0.4 to 0.7, the menu
# music alone stays below 0.1.
SHOT_LIKENESS = 0.3
ANALYSIS_RATE = 5512.5  # Hz: the shot's chirp lies below 1.5 kHz


def midi_driver_probe():
    return Path(os.environ.get("ZENITH_MIDI_DRIVER_PROBE",
                               REPO / "build" / "tests" / "e2e" / "libmidi-driver-probe.so"))


def recording_cfg(wav):
    """The game's own configuration, with ALSA's file plugin as the sound card."""
    return ("[system]\nkeyboard = us\n" + SHIPPED_CFG.read_text() +
            "\n[sound]\ndigi_card = ALSA\nalsa_device = file:FILE=%s,FORMAT=wav\n" % wav)


def read_wav(path):
    """(channels, rate, bits, where the samples start in the file, the samples' bytes). The file
    plugin may not have set the length of the data chunk yet: the samples run to the end."""
    data = Path(path).read_bytes()
    position, layout = 12, None
    while position + 8 <= len(data):
        chunk = data[position:position + 4]
        size = struct.unpack("<I", data[position + 4:position + 8])[0]
        if chunk == b"fmt ":
            fields = struct.unpack("<HHIIHH", data[position + 8:position + 24])
            layout = (fields[1], fields[2], fields[5])
        elif chunk == b"data":
            return layout + (position + 8, data[position + 8:])
        position += 8 + size + (size & 1)
    raise ValueError("%s has no data chunk" % path)


def mono(raw, channels, unsigned):
    """The mean of the channels of 16-bit samples, as numbers around 0."""
    values = array.array("H" if unsigned else "h", raw[:len(raw) // (2 * channels) * 2 * channels])
    offset = 32768 if unsigned else 0
    return [sum(values[i:i + channels]) / channels - offset for i in range(0, len(values), channels)]


def dbfs(samples):
    if not samples:
        return -math.inf
    rms = math.sqrt(sum(v * v for v in samples) / len(samples))
    return 20 * math.log10(rms / 32768) if rms else -math.inf


def decimated(samples, factor):
    return [sum(samples[i:i + factor]) / factor
            for i in range(0, len(samples) - factor + 1, factor)]


def shot_times(recording, shot):
    """The times (in seconds of the recording at ANALYSIS_RATE) at which the recording follows the
    shot's waveform, at least a tenth of a second apart, and the best likeness found anywhere."""
    length = len(shot)
    shot_norm = math.sqrt(sum(v * v for v in shot))
    energy = [0.0]
    for v in recording:
        energy.append(energy[-1] + v * v)
    likeness = []
    for lag in range(len(recording) - length):
        window = energy[lag + length] - energy[lag]
        product = sum(map(operator.mul, recording[lag:lag + length], shot))
        likeness.append(product / (shot_norm * math.sqrt(window)) if window > 0 else 0.0)
    times, last = [], -math.inf
    gap = int(0.1 * ANALYSIS_RATE)
    for lag, value in enumerate(likeness):
        if value >= SHOT_LIKENESS and value == max(likeness[lag:lag + gap]) and lag - last >= gap:
            times.append(lag / ANALYSIS_RATE)
            last = lag
    return times, max(likeness, default=0.0)


def shot_waveform():
    """The shot (sound 1) as the game's samples.dat holds it: mono, 16 bits."""
    samples = harness.data_dir() / "samples.dat"
    names = [name for kind, name, props in harness.datafile_objects(samples)
             if kind == "SAMP" and props.get("SMID") == "1"]
    with tempfile.TemporaryDirectory(prefix="zenith-shot-") as scratch:
        out = Path(scratch) / "shot.wav"
        subprocess.run(["dat", "-e", str(samples), names[0], "-o", str(out)], check=True,
                       capture_output=True, timeout=30)
        channels, rate, bits, _, raw = read_wav(out)
    if (channels, bits) != (1, 16):
        raise AssertionError("the shot is not 16-bit mono")
    return rate, mono(raw, 1, unsigned=False)


class RecordedSoundTest(unittest.TestCase):
    def record_menu_then_shots(self, scratch):
        """Plays the menu music for a while, starts a game and fires; returns the recording, the
        number of its bytes made before the game started, and the MIDI drivers that played."""
        wav, log = scratch / "sound.wav", scratch / "midi-drivers.txt"
        patches = (harness.data_dir() / "patches.dat").read_bytes()
        with harness.GameSession(
                allegro_cfg=recording_cfg(wav), files={"data/patches.dat": patches},
                environment={"LD_PRELOAD": str(midi_driver_probe()),
                             "ZENITH_MIDI_DRIVER_LOG": str(log)}) as game:
            game.wait_window()
            game.hold_key("Escape")
            time.sleep(2)
            menu_bytes = wav.stat().st_size
            game.hold_key("Return")
            time.sleep(0.5)
            game.hold_key("space", 1.5)
            game.close_window()
            self.assertEqual(game.wait_exit(5), 0)
            self.assertEqual(game.messages(), [], "sound could not be installed")
        return read_wav(wav), menu_bytes, log.read_text().split()

    def test_menu_music_and_shots_are_heard_through_digmid(self):
        if not midi_driver_probe().is_file():
            raise FileNotFoundError("%s is missing: build the tests first" % midi_driver_probe())
        shot_rate, shot = shot_waveform()
        with tempfile.TemporaryDirectory(prefix="zenith-sound-") as scratch:
            (channels, rate, bits, start, raw), menu_bytes, drivers = \
                self.record_menu_then_shots(Path(scratch))

        self.assertTrue(drivers, "no music was started")
        self.assertEqual(set(drivers), {"DIGMID"})

        self.assertEqual(bits, 16)
        self.assertEqual(rate % shot_rate, 0, "the shot cannot be compared at this rate")
        # The file plugin writes Allegro's unsigned samples under a header that says signed.
        recording = mono(raw, channels, unsigned=True)
        menu = recording[:(menu_bytes - start) // (2 * channels)]
        # Two seconds of menu at least; Allegro's ALSA driver tends to write faster than real
        # time into the file, which takes it as fast as it comes.
        self.assertGreater(len(menu), 1.5 * rate, "less than 1.5 s of menu recorded")

        half = rate // 2
        quietest = min(dbfs(menu[i:i + half]) for i in range(half, len(menu) - half + 1, half))
        self.assertGreater(quietest, QUIETEST_HALF_SECOND_DBFS, "the menu music falls silent")
        self.assertGreater(dbfs(menu[half:]), MENU_LEVEL_DBFS, "the menu music is too quiet")

        factor = int(shot_rate / ANALYSIS_RATE)
        shot = decimated(shot, factor)
        ratio = rate // shot_rate
        menu_times, menu_best = shot_times(decimated(menu, factor * ratio), shot)
        self.assertEqual(menu_times, [], "the menu music alone is taken for shots")
        game_times, game_best = shot_times(decimated(recording[len(menu):], factor * ratio), shot)
        self.assertGreaterEqual(len(game_times), 3,
                                "shots heard at %s (best likeness %.2f, menu %.2f)"
                                % (game_times, game_best, menu_best))


if __name__ == "__main__":
    harness.main()
