#!/usr/bin/env python3
"""A whole session of the real game: the menu, play, pause and resume, game over, the hall of fame
and quitting through the credits."""

import functools
import os
import subprocess
import tempfile
import time
import unittest
from pathlib import Path

import harness

WHITE = (255, 255, 255)
BLACK = (0, 0, 0)
RED_PANEL = (100, 0, 0)
YELLOW = (255, 255, 0)

# Where the game's windows stand on the 640x480 screen (left, top, width, height).
MENU = (170, 140, 300, 100)
HOF_LIST = (170, 140, 300, 200)
NAME_ENTRY = (120, 140, 400, 100)
SCORE = (10, 10, 110, 40)
ENERGY = (10, 460, 100, 20)


@functools.lru_cache(maxsize=None)
def frame_thickness():
    """The width of the first frame piece, which is the frame's thickness around a window."""
    gui = harness.data_dir() / "gui.dat"
    name = harness.datafile_objects(gui)[0][1]
    with tempfile.TemporaryDirectory(prefix="zenith-gui-") as scratch:
        out = Path(scratch) / "piece.bmp"
        subprocess.run(["dat", "-e", str(gui), name, "-o", str(out)], check=True,
                       capture_output=True, timeout=30)
        return harness.Image.from_file(out).width



def client(window):
    left, top, width, height = window
    frame = frame_thickness()
    return (left + frame, top + frame, width - 2 * frame, height - 2 * frame)


def share(screen, area, colour, tolerance=8):
    """The share of the pixels of the area that have the colour."""
    left, top, width, height = area
    hits = sum(harness.colours_close(screen.pixel(x, y), colour, tolerance)
               for y in range(top, top + height, 2) for x in range(left, left + width, 2))
    return hits / (((width + 1) // 2) * ((height + 1) // 2))


def inked(screen, area):
    """Whether text was drawn in the area of a white window."""
    return share(screen, area, WHITE) < 1.0


# The tops of the menu's items in its client area: New game, View highscores, Quit, Resume game.
MENU_ROWS = (10, 19, 28, 36)


def menu_row(row):
    """The strip of the menu's client area where item row stands."""
    left, top, _, _ = client(MENU)
    return (left + 15, top + MENU_ROWS[row], 100, 7)


def shows_menu(screen):
    return share(screen, client(MENU), WHITE) > 0.8 and share(screen, (200, 300, 240, 30),
                                                              WHITE) < 0.1


def shows_list(screen):
    return share(screen, client(HOF_LIST), WHITE) > 0.8


def shows_name_entry(screen):
    return share(screen, client(NAME_ENTRY), WHITE) > 0.8 and not shows_list(screen)


def shows_play(screen):
    """No menu, and the energy bar's panel: dark red, or yellow as far as the bar goes."""
    bar = share(screen, client(ENERGY), RED_PANEL, 24) + share(screen, client(ENERGY), YELLOW, 24)
    return share(screen, client(MENU), WHITE) < 0.2 and bar > 0.9


def start_to_menu(game):
    game.wait_window()
    game.hold_key("Escape")
    return game.wait_for_screen(shows_menu, timeout=5, what="the main menu")


class PlayTest(unittest.TestCase):
    def test_play_pause_and_resume(self):
        with harness.GameSession() as game:
            menu = start_to_menu(game)
            self.assertFalse(inked(menu, menu_row(3)), "nothing to resume yet")

            game.hold_key("Return")
            start = game.wait_for_screen(shows_play, timeout=5, what="the game")

            # Steer under the monsters' second column from the right and fire until one falls.
            game.hold_key("Right", 0.08)
            moved = game.screenshot()
            self.assertLess(moved.match_fraction(start), 1.0, "the ship did not move")
            score = start.crop(*client(SCORE))

            def scored(screen):
                game.hold_key("space", 0.5)
                return screen.crop(*client(SCORE)).match_fraction(score) < 1.0

            game.wait_for_screen(scored, timeout=20, what="a change of the score panel")
            # Let the last shots leave the screen before the score is taken.
            time.sleep(1.5)
            score = game.screenshot().crop(*client(SCORE))

            game.hold_key("Escape")
            paused = game.wait_for_screen(shows_menu, timeout=5, what="the pause menu")
            self.assertTrue(inked(paused, menu_row(3)), "the menu offers no \"Resume game\"")

            # Down three times reaches "Resume game"; the menu takes a key every 150 ms.
            for _ in range(3):
                game.hold_key("Down", 0.2)
            game.hold_key("Return")
            resumed = game.wait_for_screen(shows_play, timeout=5, what="the resumed game")
            self.assertEqual(resumed.crop(*client(SCORE)).match_fraction(score), 1.0,
                             "the resumed game lost its score")

            game.close_window()
            self.assertEqual(game.wait_exit(5), 0)

    def test_switching_to_another_window_pauses_the_game(self):
        with harness.GameSession() as game:
            start_to_menu(game)
            game.hold_key("Return")
            game.wait_for_screen(shows_play, timeout=5, what="the game")

            display = dict(os.environ, DISPLAY=game.display.name)
            other = subprocess.Popen(["xmessage", "-geometry", "+0+0", "another program"],
                                     env=display)
            try:
                windows = harness.poll(lambda: subprocess.run(
                    ["xdotool", "search", "--name", "^xmessage$"], env=display,
                    capture_output=True, text=True).stdout.split(), timeout=5)
                self.assertTrue(windows, "the other program's window did not show")
                subprocess.run(["xdotool", "windowfocus", "--sync", windows[0]], env=display,
                               check=True, timeout=10)
                paused = game.wait_for_screen(shows_menu, timeout=5, what="the pause menu")
                self.assertTrue(inked(paused, menu_row(3)), "the menu offers no \"Resume game\"")
            finally:
                other.kill()
                other.wait()


class RestTest(unittest.TestCase):
    def test_the_idle_menu_gives_the_processor_back(self):
        with harness.GameSession() as game:
            start_to_menu(game)
            self.assertLess(game.runnable_share(3), 0.5, "the main loop spins")


# A hall of fame whose lowest score, 0, any finished game reaches.
HALL_WITH_ZERO = """<?xml version = "1.0"?>

<HallOfFame >
 <entry name = "Ace" score = "12" />
 <entry name = "Low" score = "0" />
</HallOfFame>
"""


def list_row(row):
    """The strip of the hall-of-fame list where entry row (from 0) is written."""
    left, top, _, _ = client(HOF_LIST)
    return (left + 5, top + 30 + 8 * row, 200, 7)


class GameOverTest(unittest.TestCase):
    """Left alone, the monsters sink past the bottom and end the game: about half a minute."""

    def wait_game_over(self, game, shows):
        game.hold_key("Return")
        game.wait_for_screen(shows_play, timeout=5, what="the game")
        return game.wait_for_screen(shows, timeout=45, what="the end of the game")

    def test_without_a_hall_of_fame_any_score_is_entered_and_saved_at_once(self):
        with harness.GameSession() as game:
            start_to_menu(game)
            self.wait_game_over(game, shows_name_entry)
            game.press_keys(["A", "l"])
            game.hold_key("Return")
            listed = game.wait_for_screen(shows_list, timeout=5, what="the list after the name")
            self.assertTrue(inked(listed, list_row(0)), "the new entry is not listed")
            # Closed in the list: the name is in the file all the same.
            game.close_window()
            self.assertEqual(game.wait_exit(5), 0)
            saved = (game.workdir / "HallOfFame.xml").read_text()
            self.assertRegex(saved, r'<entry name = "Al" score = "\d+" />')

    def test_a_qualifying_score_is_entered_saved_and_listed(self):
        with harness.GameSession(files={"HallOfFame.xml": HALL_WITH_ZERO}) as game:
            start_to_menu(game)
            self.wait_game_over(game, shows_name_entry)
            game.press_keys(["Z", "e", "d"])
            game.hold_key("Return")
            listed = game.wait_for_screen(shows_list, timeout=5, what="the list after the name")
            self.assertTrue(inked(listed, list_row(2)), "the new entry is not listed")

            game.hold_key("space")
            game.wait_for_screen(shows_menu, timeout=5, what="the menu after the list")
            saved = (game.workdir / "HallOfFame.xml").read_text()
            self.assertIn('<entry name = "Zed" score = "0" />', saved)
            self.assertIn('<entry name = "Ace" score = "12" />', saved)
            lint = subprocess.run(["xmllint", "--noout", str(game.workdir / "HallOfFame.xml")],
                                  capture_output=True, text=True)
            self.assertEqual(lint.returncode, 0, lint.stderr)

            # "View highscores" reads the file back: three entries.
            game.hold_key("Down", 0.2)
            game.hold_key("Return")
            viewed = game.wait_for_screen(shows_list, timeout=5, what="the hall of fame")
            self.assertTrue(inked(viewed, list_row(2)))
            self.assertFalse(inked(viewed, list_row(3)))
            game.close_window()
            self.assertEqual(game.wait_exit(5), 0)

    def test_space_held_through_the_end_and_a_quickly_typed_name(self):
        """Space held from play types nothing into the name, and keys typed in one burst are all
        taken."""
        with harness.GameSession(files={"HallOfFame.xml": HALL_WITH_ZERO}) as game:
            start_to_menu(game)
            game.hold_key("Return")
            game.wait_for_screen(shows_play, timeout=5, what="the game")
            game.key_down("space")
            try:
                game.wait_for_screen(shows_name_entry, timeout=45, what="the end of the game")
                # Long enough for the X server to repeat the held key a dozen times.
                time.sleep(1.2)
            finally:
                game.key_up("space")
            game.press_keys(["S", "a", "n", "i"], 0)
            game.hold_key("Return")
            game.wait_for_screen(shows_list, timeout=5, what="the list after the name")
            game.hold_key("space")
            game.wait_for_screen(shows_menu, timeout=5, what="the menu after the list")
            saved = (game.workdir / "HallOfFame.xml").read_text()
            self.assertRegex(saved, r'<entry name = "Sani" score = "\d+" />')
            game.close_window()
            self.assertEqual(game.wait_exit(5), 0)


class QuitTest(unittest.TestCase):
    def test_quit_rolls_the_credits_until_space(self):
        with harness.GameSession() as game:
            start_to_menu(game)
            game.hold_key("Down", 0.2)
            game.hold_key("Down", 0.2)
            game.hold_key("Return")
            # The credits show picture 12 centred 30 rows from the top, rising a row every tenth
            # of a second.
            emblem = harness.datafile_bitmap(harness.data_dir() / "sprites.dat", "BMPI", 12)
            expected = harness.Image.blank(emblem.width, emblem.height)
            expected.draw_sprite(emblem, 0, 0)

            def credits(screen):
                return any(screen.crop(245, top, emblem.width, emblem.height)
                           .match_fraction(expected) > 0.99 for top in range(10, 31))

            game.wait_for_screen(credits, timeout=3, what="the credits")
            game.hold_key("space")
            self.assertEqual(game.wait_exit(5), 0)


if __name__ == "__main__":
    harness.main()
