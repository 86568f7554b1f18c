#!/usr/bin/env python3
"""Takes the README's screenshots from the real game on a private X server: the intro, the main
menu, a game with its panels, and the hall of fame.

    python3 scripts/screenshots.py [FOLDER]      (default: docs/)

Build the game first (make build, or cmake --build build). It is driven by the end-to-end test
harness (tests/e2e/harness.py), with the same paths: ZENITH_GAME, ZENITH_DATA_DIR and
ZENITH_CREDITS, or build/zenith-guard, data/ and credits.txt of this repository.
"""

import sys
import time
from pathlib import Path

REPO = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(REPO / "tests" / "e2e"))
import harness  # noqa: E402

# A hall of fame for the picture: the one the game finds in its working folder.
HALL_OF_FAME = """<?xml version = "1.0"?>

<HallOfFame >
 <entry name = "Ace" score = "212" />
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
    game.hold_key("Right", 0.08)
    before = game.screenshot().crop(*SCORE_PANEL)
    deadline = time.monotonic() + 30
    while time.monotonic() < deadline:
        game.hold_key("space", 0.3)
        if game.screenshot().crop(*SCORE_PANEL).match_fraction(before) < 1.0:
            return
    raise SystemExit("no monster was hit within 30 s")


def main():
    folder = Path(sys.argv[1]) if len(sys.argv) > 1 else REPO / "docs"
    folder.mkdir(parents=True, exist_ok=True)
    with harness.GameSession(files={"HallOfFame.xml": HALL_OF_FAME}) as game:
        game.wait_window()
        time.sleep(1)
        game.screenshot(folder / "intro.png")

        game.hold_key("Escape")
        time.sleep(1)
        game.screenshot(folder / "menu.png")

        game.hold_key("Return")
        time.sleep(3)
        fire_until_a_hit(game)
        time.sleep(0.2)  # the explosion spreads
        game.screenshot(folder / "play.png")

        # Pause, then "View highscores", one row down.
        game.hold_key("Escape")
        time.sleep(0.5)
        game.hold_key("Down", 0.2)
        game.hold_key("Return")
        time.sleep(1)
        game.screenshot(folder / "hall-of-fame.png")

        game.close_window()
        game.wait_exit(5)
    for name in ("intro", "menu", "play", "hall-of-fame"):
        print(folder / (name + ".png"))


if __name__ == "__main__":
    main()
