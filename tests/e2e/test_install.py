#!/usr/bin/env python3
"""The game as a player gets it: installed into a temporary prefix and started through the
installed zenith-guard command from an unrelated folder, with a hall of fame for every player; and
the Debian package, built as `make package` builds it."""

import os
import shutil
import subprocess
import tempfile
import unittest
from pathlib import Path

import harness
import test_play as play


def build_dir():
    default = Path(__file__).resolve().parents[2] / "build"
    return Path(os.environ.get("ZENITH_BUILD_DIR", default))


def scratch_folder(test):
    """A temporary folder that lives as long as the test."""
    folder = tempfile.TemporaryDirectory(prefix="zenith-install-")
    test.addCleanup(folder.cleanup)
    return Path(folder.name)


def run(*command, **options):
    return subprocess.run(command, capture_output=True, text=True, timeout=120, **options)


class InstalledGameTest(unittest.TestCase):
    def setUp(self):
        self.root = scratch_folder(self)
        installed = run("cmake", "--install", str(build_dir()), "--prefix", str(self.root / "usr"))
        self.assertEqual(installed.returncode, 0, installed.stderr)
        self.command = self.root / "usr" / "games" / "zenith-guard"

    def start(self, home, data_home):
        """The installed command started from an unrelated folder, for the player whose home
        and XDG_DATA_HOME are given."""
        return harness.GameSession(data_files=(), credits=False, command=self.command,
                                   environment={"HOME": str(home), "XDG_DATA_HOME": data_home})

    def test_a_score_is_saved_in_the_players_own_folder(self):
        folder = self.root / "alice-data" / "zenith-guard"
        folder.mkdir(parents=True)
        (folder / "HallOfFame.xml").write_text(play.HALL_WITH_ZERO)
        with self.start(self.root / "alice", str(folder.parent)) as game:
            play.start_to_menu(game)
            game.hold_key("Return")
            game.wait_for_screen(play.shows_play, timeout=5, what="the game")
            game.wait_for_screen(play.shows_name_entry, timeout=45, what="the end of the game")
            game.press_keys(["Z", "e", "d"])
            game.hold_key("Return")
            game.wait_for_screen(play.shows_list, timeout=5, what="the list after the name")
            game.hold_key("space")
            game.wait_for_screen(play.shows_menu, timeout=5, what="the menu after the list")

            self.assertIn('<entry name = "Zed" score = "0" />',
                          (folder / "HallOfFame.xml").read_text())
            self.assertFalse((game.workdir / "HallOfFame.xml").exists())
            game.close_window()
            self.assertEqual(game.wait_exit(5), 0)

    def test_another_player_starts_with_a_table_of_their_own(self):
        alice = self.root / "alice" / ".local" / "share" / "zenith-guard" / "HallOfFame.xml"
        alice.parent.mkdir(parents=True)
        alice.write_text(play.HALL_WITH_ZERO)
        bob = self.root / "bob"
        bob.mkdir()
        # An empty XDG_DATA_HOME counts as unset: bob's files go to ~/.local/share.
        with self.start(bob, "") as game:
            play.start_to_menu(game)
            game.hold_key("Down", 0.2)
            game.hold_key("Return")
            shown = game.wait_for_screen(play.shows_list, timeout=5, what="the hall of fame")
            self.assertFalse(play.inked(shown, play.list_row(0)), "bob sees somebody's scores")
            game.close_window()
            self.assertEqual(game.wait_exit(5), 0)

        folder = bob / ".local" / "share" / "zenith-guard"
        self.assertEqual(folder.stat().st_mode & 0o777, 0o700)
        self.assertEqual(alice.read_text(), play.HALL_WITH_ZERO)

    def test_an_unknown_option_ends_before_the_game_starts(self):
        # Without a display the game would stop with "Could not set the graphics mode.".
        env = {k: v for k, v in os.environ.items() if k != "DISPLAY"}
        env["HOME"] = str(self.root)
        result = run(str(self.command), "--no-such-option", cwd=self.root, env=env)
        self.assertEqual((result.returncode, result.stdout), (2, ""))
        self.assertIn("unknown option '--no-such-option'", result.stderr)


class PackageTest(unittest.TestCase):
    def test_the_package_holds_the_game_and_passes_debians_checks(self):
        packages = scratch_folder(self)
        packed = run("cpack", "--config", str(build_dir() / "CPackConfig.cmake"),
                     "-B", str(packages))
        self.assertEqual(packed.returncode, 0, packed.stdout + packed.stderr)
        (deb,) = packages.glob("zenith-guard_*_*.deb")

        listing = run("dpkg-deb", "--contents", str(deb)).stdout
        files = {line.split()[-1].lstrip(".") for line in listing.splitlines()
                 if not line.startswith("d")}
        expected = {"/usr/games/zenith-guard", "/usr/lib/games/zenith-guard/zenith-guard",
                    "/usr/lib/games/zenith-guard/allegro.cfg",
                    "/usr/share/games/zenith-guard/credits.txt",
                    "/usr/share/applications/zenith-guard.desktop",
                    "/usr/share/man/man6/zenith-guard.6.gz",
                    "/usr/share/doc/zenith-guard/copyright",
                    "/usr/share/doc/zenith-guard/changelog.gz"}
        expected |= {"/usr/share/games/zenith-guard/data/" + name
                     for name in harness.DATA_FILES + ("patches.dat",)}
        expected |= {"/usr/share/icons/hicolor/%dx%d/apps/zenith-guard.png" % (size, size)
                     for size in (32, 48, 64, 128, 256)}
        # Those, the AppStream metadata under its id, and nothing else.
        self.assertLessEqual(expected, files)
        (metainfo,) = files - expected
        self.assertRegex(metainfo, r"^/usr/share/metainfo/[^/]+\.metainfo\.xml$")

        depends = run("dpkg-deb", "--field", str(deb), "Depends").stdout
        self.assertRegex(depends, r"(^|, )liballegro4\.4 \(>= [^)]+\)")

        tree = packages / "tree"
        run("dpkg-deb", "--extract", str(deb), str(tree))
        # desktop-file-validate passes a file with warnings, but prints them.
        checks = [("desktop-file-validate",
                   str(tree / "usr/share/applications/zenith-guard.desktop")),
                  ("appstreamcli", "validate-tree", "--no-net", str(tree))]
        if shutil.which("lintian"):
            checks.append(("lintian", "--fail-on", "error,warning", str(deb)))
        for check in checks:
            result = run(*check)
            report = "%s:\n%s%s" % (check[0], result.stdout, result.stderr)
            self.assertEqual(result.returncode, 0, report)
            if check[0] == "desktop-file-validate":
                self.assertEqual(result.stdout, "", report)


if __name__ == "__main__":
    harness.main()
