#!/usr/bin/env python3
"""Takes the README's screenshots from the real game on a private X server: the intro, the main
menu, a game with its panels, and the hall of fame.

    python3 scripts/screenshots.py [FOLDER]      (default: docs/)

Build the game first (make build); it runs build/zenith-guard with data/ and credits.txt of this
repository.
"""

import sys
import tempfile
import time
from pathlib import Path

from gamedriver import REPOSITORY, Display, Game, prepare

# A hall of fame for the picture: the one the game finds in its working folder.
HALL_OF_FAME = """<?xml version = "1.0"?>

<HallOfFame >
 <entry name = "Ace" replay = "replay-20261207-210000-4242-1.zgr" score = "212" />
 <entry name = "Nova" score = "187" />
 <entry name = "Comet" score = "154" />
 <entry name = "Vega" score = "121" />
 <entry name = "Orbit" score = "96" />
 <entry name = "Luna" score = "73" />
 <entry name = "Rook" score = "51" />
 <entry name = "Pip" score = "30" />
 <entry name = "Zed" score = "12" />
 <entry name = "Dot" score = "4" />
</HallOfFame>
"""

# The score panel (left, top, width, height): a change there means a monster was hit.
SCORE_PANEL = (10, 10, 110, 40)


def fire_until_a_hit(game):
    """Fires in bursts under the monsters' second column from the right until the score
    changes."""
    game.hold("Right", 0.08)
    before = game.screenshot().crop(*SCORE_PANEL)
    game.wait_for(lambda shot: game.hold("space", 0.3) or not shot.crop(*SCORE_PANEL).same(before),
                  "a hit", timeout=30)


def main():
    folder = Path(sys.argv[1]) if len(sys.argv) > 1 else REPOSITORY / "docs"
    folder.mkdir(parents=True, exist_ok=True)
    with tempfile.TemporaryDirectory(prefix="zenith-shots-") as scratch:
        command, run = prepare(Path(scratch), REPOSITORY / "build/zenith-guard")
        (run / "HallOfFame.xml").write_text(HALL_OF_FAME)
        with Display() as display, Game(display, command, run) as game:
            game.wait_window()
            time.sleep(1)
            game.screenshot().save(folder / "intro.png")
            game.hold("Escape")
            time.sleep(1)
            game.screenshot().save(folder / "menu.png")
            game.hold("Return")
            time.sleep(3)
            fire_until_a_hit(game)
            time.sleep(0.2)  # the explosion spreads
            game.screenshot().save(folder / "play.png")
            # Pause, then "View highscores", one row down.
            game.hold("Escape")
            time.sleep(0.5)
            game.hold("Down", 0.2)
            game.hold("Return")
            time.sleep(1)
            game.screenshot().save(folder / "hall-of-fame.png")
            game.close()
            game.wait_exit(5)
    for name in ("intro", "menu", "play", "hall-of-fame"):
        print(folder / (name + ".png"))


if __name__ == "__main__":
    main()
