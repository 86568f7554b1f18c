#!/usr/bin/env python3
"""Start-up of the real game: missing data, no display, the intro, Escape and the close button."""

import unittest

import harness

# Where the intro puts its three pictures (bitmap id, x, y) on a screen cleared to black.
INTRO_LAYOUT = ((8, 0, 0), (7, 0, 352), (12, 480, 400))
BLACK = (0, 0, 0)


def intro_picture():
    sprites = harness.data_dir() / "sprites.dat"
    picture = harness.Image.blank(640, 480)
    for bitmap_id, x, y in INTRO_LAYOUT:
        picture.draw_sprite(harness.datafile_bitmap(sprites, "BMPI", bitmap_id), x, y)
    return picture


def drawn_part_matches(screen, picture):
    """How much of the picture's drawn (not black) part the screen shows: a black screen or
    another picture gives little, whatever share of the intro is black."""
    return screen.match_fraction(picture, skip=BLACK)


def shows(screen, picture):
    return screen.match_fraction(picture) >= 0.999 and drawn_part_matches(screen, picture) >= 0.999


class MissingDataTest(unittest.TestCase):
    """Each data file that is not there stops the start-up with a message naming it."""

    def check_missing(self, name):
        present = [f for f in harness.DATA_FILES if f != name]
        with harness.GameSession(data_files=present) as game:
            # A game that got as far as its loop would run until closed, and the credits take
            # more than a minute: a prompt end shows that neither came.
            status = game.wait_exit(10)
            self.assertGreater(status, 0, "expected a failure status, not a signal or success")
            self.assertEqual(game.messages(), ["Datafile data/%s not found" % name])

    def test_sprites(self):
        self.check_missing("sprites.dat")

    def test_midi(self):
        self.check_missing("midi.dat")

    def test_samples(self):
        self.check_missing("samples.dat")

    def test_gui(self):
        self.check_missing("gui.dat")


class NoDisplayTest(unittest.TestCase):
    def test_reports_graphics_mode_and_exits(self):
        with harness.GameSession(display=False) as game:
            status = game.wait_exit(10)
            self.assertGreater(status, 0, "expected a failure status, not a signal or success")
            # With no X server there is no message box: the text goes to standard output.
            self.assertEqual(game.output().strip(), "Could not set the graphics mode.")
            self.assertEqual(game.messages(), [])


class SoundTest(unittest.TestCase):
    def test_the_games_own_settings_start_silently_without_a_sound_card(self):
        settings = (harness.game_path().parent / "allegro.cfg").read_text()
        with harness.GameSession(allegro_cfg=settings) as game:
            game.wait_window()
            self.assertTrue(game.running())
            self.assertEqual(game.messages(), [])
            game.close_window()
            self.assertEqual(game.wait_exit(3), 0)


class IntroTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.intro = intro_picture()
        if drawn_part_matches(cls.intro, cls.intro) == 0.0:
            raise AssertionError("the intro is black all over: nothing tells it from later frames")

    def start_intro(self, game):
        game.wait_window()
        game.wait_for_screen(lambda screen: shows(screen, self.intro), timeout=3, what="the intro")

    def test_close_button_ends_intro_with_success(self):
        with harness.GameSession() as game:
            self.start_intro(game)
            game.close_window()
            self.assertEqual(game.wait_exit(3), 0)
            self.assertEqual(game.messages(), [])

    def test_escape_ends_intro_at_once(self):
        with harness.GameSession() as game:
            self.start_intro(game)
            game.hold_key("Escape", 0.1)
            # Well before the five seconds after which the intro would end by itself.
            game.wait_for_screen(lambda screen: drawn_part_matches(screen, self.intro) < 0.5,
                                 timeout=1.5, what="the end of the intro")

            # The main loop is running now; the close button ends it too, without the credits.
            self.assertTrue(game.running())
            game.close_window()
            self.assertEqual(game.wait_exit(3), 0)
            self.assertEqual(game.messages(), [])


if __name__ == "__main__":
    harness.main()
