#!/usr/bin/env python3
"""The real game, end to end: "journey installed" plays the installed command through intro, menu,
play, pause, game over, name entry, list, replay and credits, sound recorded to a file; "journey
direct" the same with ZENITH_GAME in a folder holding data/, then --replay; "startup" the starts that
end at once and the scaled window; "endings" signals, window and X server lost; "package" the
Debian package; "pad" the whole road with a pad alone.
Usage: test_game.py journey installed|direct, or test_game.py startup|endings|package|pad"""

import array
import math
import os
import re
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time
from pathlib import Path

SOURCE = Path(os.environ.get("ZENITH_SOURCE_DIR", Path(__file__).resolve().parents[2]))
sys.path.insert(0, str(SOURCE / "scripts"))
from gamedriver import QUIET, Display, Game, Image, poll, prepare  # noqa: E402

BUILD = Path(os.environ.get("ZENITH_BUILD_DIR", SOURCE / "build"))
PROGRAM = Path(os.environ.get("ZENITH_GAME", BUILD / "zenith-guard"))
WHITE, RED, YELLOW = (255, 255, 255), (100, 0, 0), (255, 255, 0)

# The windows' client areas (left, top, width, height), inside frames as thick as a corner is wide.
FRAME = int(re.search(r'"(\d+) ', (SOURCE / "assets/gui/top-left.xpm").read_text())[1])


def client(left, top, width, height):
    return (left + FRAME, top + FRAME, width - 2 * FRAME, height - 2 * FRAME)


MENU, LIST, NAME_ENTRY = client(170, 140, 300, 100), client(150, 140, 340, 200), client(120, 140, 400, 100)
SCORE, ENERGY = client(10, 10, 110, 40), client(10, 460, 100, 20)
RESUME = (MENU[0] + 15, MENU[1] + 36, 100, 7)  # the row of "Resume game"
GAME_OVER = (215, 170, 210, 20)  # the rows of the large "Game over"


def shows_menu(shot):
    return shot.share(MENU, WHITE) > 0.8 and shot.share((LIST[0], 260, LIST[2], 20), WHITE) < 0.1


def shows_list(shot):
    return shot.share(LIST, WHITE) > 0.8


def shows_name_entry(shot):
    return shot.share(NAME_ENTRY, WHITE) > 0.8 and not shows_list(shot)


def energy_shown(shot):
    return shot.share(ENERGY, RED, 24) + shot.share(ENERGY, YELLOW, 24)


def shows_game_over(shot):
    """The yellow "Game over" with the score panel but not the energy bar."""
    return shot.share(GAME_OVER, YELLOW) > 0.1 and shows_score(shot) and energy_shown(shot) < 0.5


def shows_score(shot):
    return shot.share(SCORE, RED, 24) > 0.5


def shows_play(shot):
    return shot.share(MENU, WHITE) < 0.2 and energy_shown(shot) > 0.9


def intro(scale):
    """The intro as the game composes it from the pictures in assets/, enlarged."""
    sprites = SOURCE / "assets/sprites"
    return Image.convert(sprites / "intro.xpm", "(", sprites / "intro-base.xpm", "-transparent",
                         "#FF00FF", ")", "-geometry", "+0+352", "-composite", "(",
                         sprites / "emblem.xpm", "-transparent", "#FF00FF", ")", "-geometry",
                         "+480+400", "-composite", "-scale", "%d%%" % (100 * scale))


def music_level(wav):
    """The level in dBFS of what the file plugin recorded, in unsigned 16-bit samples."""
    samples = array.array("H", wav.read_bytes()[44:][:2 * 44100 * 4])
    mean = sum(samples) / max(len(samples), 1)
    rms = math.sqrt(sum((s - mean) ** 2 for s in samples) / max(len(samples), 1))
    return 20 * math.log10(rms / 32768) if rms else -math.inf


def ship_x(shot):
    """The middle of the columns where the ship is drawn, below the stars' share of a column."""
    columns = [x for x in range(shot.width)
               if sum(max(shot.pixel(x, y)) > 100 for y in range(430, 455)) >= 3]
    return columns[len(columns) // 2]


def steer_under_column(game, push):
    """Under a monster's left side, away from the pies of its right, steered by what is shown: a
    busy machine may read a short push late. push(1) steers right, push(-1) left."""
    def there():
        x = ship_x(game.screenshot())
        return 344 <= x <= 356 or push(1 if x < 344 else -1)
    poll(there, 10, "the ship under a column")


def hold_each(game, *keys):
    for key in keys:
        game.hold(key, 0.2)


def to_menu(game):
    game.wait_window()
    game.wait_for(intro(1).same, "the intro")
    game.hold("Escape")
    return game.wait_for(shows_menu, "the menu")


def journey(game, hall_of_fame, wav=None):
    menu = to_menu(game)
    assert menu.share(RESUME, WHITE) == 1, "a game to resume before any was played"
    runnable = game.runnable_seconds()
    time.sleep(2)
    assert game.runnable_seconds() - runnable < 1, "the idle menu keeps a core busy"
    if wav:
        assert music_level(wav) > -40, "the menu's music is not heard"

    game.hold("Return")
    start = game.wait_for(shows_play, "the game")
    steer_under_column(game, lambda way: game.hold("Right" if way > 0 else "Left", 0.02))
    assert not game.screenshot().same(start), "the ship did not move"
    score = start.crop(*SCORE)
    # Fire, and look again, until a monster falls.
    game.wait_for(lambda shot: game.hold("space", 0.5) or not shot.crop(*SCORE).same(score),
                  "a hit", timeout=20)
    # Another window taking the keyboard pauses the game.
    other = subprocess.Popen(["/usr/bin/xmessage", "-geometry", "+0+0", "elsewhere"], env=game.env)
    game.xdotool("windowfocus", "--sync", poll(lambda: game.xdotool(
        "search", "--name", "^xmessage$").split(), 5, "another window")[0])
    paused = game.wait_for(shows_menu, "the pause menu")
    other.kill()
    assert paused.share(RESUME, WHITE) < 1, "no game to resume"
    game.xdotool("windowfocus", "--sync", game.window)
    # The menu opens on "Resume game"; Escape held past its repeats pauses, the next press resumes.
    game.hold("Return", 0.2)
    game.wait_for(shows_play, "the resumed game")
    game.hold("Escape", 1)
    assert shows_menu(game.screenshot()), "Escape held resumed the game it paused"
    game.hold("Escape", 0.2)
    game.wait_for(shows_play, "the game resumed by Escape")

    # "Game over", then the name entry and the list beside the score; Space held through the end
    # types nothing, a name typed fast loses no letter and is saved at once.
    game.xdotool("keydown", "space")
    game.wait_for(shows_game_over, "the end of the game", timeout=60)
    assert shows_score(game.wait_for(shows_name_entry, "the name entry"))
    game.xdotool("keyup", "space")
    game.xdotool("type", "--delay", "15", "Zed")
    game.hold("Return")
    assert shows_score(game.wait_for(shows_list, "the hall of fame"))
    entry = re.search(r'<entry name = "Zed" replay = "(replay-[\d-]+\.zgr)" score = "\d+" />',
                      hall_of_fame.read_text())
    assert entry and subprocess.run(["xmllint", "--noout", str(hall_of_fame)]).returncode == 0
    # Its replay lies beside it; watched from the list, it plays until a key returns there.
    replay = hall_of_fame.parent / entry[1]
    game.hold("Return")
    game.wait_for(shows_play, "the replay")
    game.hold("space")
    game.wait_for(lambda shot: shows_list(shot) and not shows_score(shot), "the list after the replay")
    game.hold("space")
    game.wait_for(shows_menu, "the menu after the list")
    hold_each(game, "Down", "Down", "Return")
    # The credits show the emblem centred at the top on black, rising a row every tenth of a second.
    emblem = Image.convert(SOURCE / "assets/sprites/emblem.xpm", "-transparent", "#FF00FF",
                           "-background", "black", "-flatten")
    game.wait_for(lambda shot: any(shot.crop(245, top, emblem.width, emblem.height).same(emblem)
                                   for top in range(5, 31)), "the credits")
    game.hold("space")
    assert game.wait_exit() == 0, game.output()
    assert game.messages() == []
    return replay


def replay_to_its_end(display, command, folder, replay):
    """--replay plays the recorded game faithfully on the real clock to its game over, and exits 0."""
    with Game(display, command + ["--replay", str(replay)], folder) as game:
        game.wait_window()
        game.wait_for(shows_play, "the replay")
        game.wait_for(shows_game_over, "the end of the replay", timeout=90)
        assert game.wait_exit(10) == 0, game.output()
        assert "went another way" not in game.output(), game.output()


def journey_installed(root):
    prefix = root / "usr"
    subprocess.run(["cmake", "--install", str(BUILD), "--prefix", str(prefix)], check=True,
                   capture_output=True)
    wav = root / "sound.wav"
    with open(prefix / "lib/games/zenith-guard/allegro.cfg", "a") as settings:
        settings.write("[system]\nkeyboard = us\n[sound]\ndigi_card = ALSA\n"
                       "alsa_device = file:FILE=%s,FORMAT=wav\n" % wav)
    command = [str(prefix / "games/zenith-guard")]
    alice = {"HOME": str(root / "alice"), "XDG_DATA_HOME": str(root / "alice-data")}
    with Display() as display, Game(display, command, root, alice) as game:
        journey(game, root / "alice-data/zenith-guard/HallOfFame.xml", wav)
    # Another player, whose XDG_DATA_HOME is empty and so counts as unset, starts afresh.
    with Display() as display, Game(display, command, root, {"HOME": str(root / "bob")}) as game:
        game.wait_window()
        game.close()
        assert game.wait_exit() == 0
    folder = root / "bob/.local/share/zenith-guard"
    assert folder.stat().st_mode & 0o777 == 0o700
    assert not (folder / "HallOfFame.xml").exists()
    launcher(command, root / "launcher")


def launcher(command, root):
    """The launcher starts the game only in a folder of the player's alone, else it says why."""
    cases = (  # how the folder is made, the environment, a part of the message or None
        (lambda f: None, {"HOME": "relative", "XDG_DATA_HOME": ""}, "neither HOME nor XDG_DATA_HOME"),
        (lambda f: f.mkdir(mode=0o777) or f.chmod(0o777), {}, "can be written by others"),
        (lambda f: f.mkdir(mode=0o700) or os.chown(f, 65534, -1), {}, "belongs to another user"),
        (lambda f: (f / "data").mkdir(parents=True), {}, "data is not the link the game makes"),
        (lambda f: f.mkdir() or (f / "data").symlink_to("/elsewhere"), {}, None),
    )
    for number, (make, env, message) in enumerate(cases):
        data_home = root / str(number)
        data_home.mkdir(parents=True)
        make(data_home / "zenith-guard")
        result = subprocess.run(command + ["--version"], capture_output=True, text=True,
                                env={**os.environ, "XDG_DATA_HOME": str(data_home), **env})
        assert result.returncode == (1 if message else 0), (message, result)
        assert message in result.stderr if message else result.stdout.startswith("zenith-guard ")


def startup(root):
    command, folder = prepare(root, PROGRAM)
    (folder / "data").unlink()
    for missing in ("sprites", "midi", "samples", "gui"):
        shutil.rmtree(folder / "data", ignore_errors=True)
        (folder / "data").mkdir()
        for name in {"sprites", "midi", "samples", "gui"} - {missing}:
            (folder / "data" / (name + ".dat")).symlink_to(SOURCE / "data" / (name + ".dat"))
        with Display() as display, Game(display, command, folder) as game:
            assert game.wait_exit() == 1
            assert game.messages() == ["Datafile data/%s.dat not found" % missing]
    with Game(None, command, folder) as game:
        assert game.wait_exit() == 1
        assert game.output().strip() == "Could not set the graphics mode."
    with Game(None, command + ["--bogus"], folder) as game:
        assert game.wait_exit() == 2 and "unknown option '--bogus'" in game.output()
    # A replay cut short is refused before any window opens.
    (folder / "cut.zgr").write_text((SOURCE / "assets/demo.zgr").read_text()[:200])
    with Game(None, command + ["--replay", "cut.zgr"], folder) as game:
        assert game.wait_exit() == 1 and game.output() == "zenith-guard: cut.zgr: cut short\n"
    # Twice the size, every pixel a square of four; a scale too large is brought down, with a word.
    # F11 fills the screen centred on black, Alt+Enter goes back, remembered; the close button ends.
    shutil.rmtree(folder / "data")
    (folder / "data").symlink_to(SOURCE / "data")
    for arguments, screen in (["--scale", "2"], "2000x1000x16"), (["--scale", "3"], "1920x1080x24"):
        with Display(screen) as display, Game(display, command + arguments, folder) as game:
            game.wait_window()
            game.wait_for(intro(2).same, "the intro at twice the size")
            if screen == "1920x1080x24":
                assert "--scale 3 makes a window of 1920x1440" in game.output(), game.output()
                hints = subprocess.run(["xprop", "-id", game.window], env=game.env,
                                       capture_output=True, text=True).stdout
                assert 'WM_CLASS(STRING) = "zenith-guard", "Zenith-guard"' in hints and \
                    "bitmap id # to use for icon" in hints, hints
                game.hold("Escape")
                menu = game.wait_for(lambda shot: shot.share([2 * n for n in MENU], WHITE) > 0.8,
                                     "the menu")
                settings = Path(game.env["XDG_CONFIG_HOME"]) / "zenith-guard/settings"
                for keys, size, left, top, kept in (["F11"], "1920x1080", 320, 60, "yes"), \
                        (["alt+Return"], "1280x960", 0, 0, "no"):
                    game.xdotool("keydown", *keys, "sleep", "0.1", "keyup", *keys)
                    poll(lambda: "Geometry: " + size in game.xdotool("getwindowgeometry",
                                                                     game.window), 5, size)
                    assert "fullscreen = %s\n" % kept in settings.read_text(), "not remembered"
                    game.wait_for(lambda shot: shot.crop(left, top, 1280, 960).same(menu) and
                                  (left == 0 or shot.share((0, 0, left, 1080), (0, 0, 0)) == 1),
                                  size)
            game.close()
            assert game.wait_exit() == 0 and game.messages() == []


def endings(root):
    """Signals, the window closed or killed and the X server lost end the game at once, cleanly."""
    command, folder = prepare(root, PROGRAM)
    cases = (("menu", "SIGTERM", 128 + signal.SIGTERM), ("play", "SIGINT", 128 + signal.SIGINT),
             ("list", "SIGHUP", 128 + signal.SIGHUP), ("menu", "windowclose", 0),
             ("play", "windowkill", 1), ("list", "X server", 1))
    for screen, how, status in cases:
        with Display() as display, Game(display, command, folder) as game:
            to_menu(game)
            hold_each(game, *{"menu": (), "play": ("Return",), "list": ("Down", "Return")}[screen])
            game.wait_for({"menu": shows_menu, "play": shows_play, "list": shows_list}[screen], screen)
            if how.startswith("SIG"):
                game.process.send_signal(getattr(signal, how))
            elif how == "X server":
                display.process.kill()
            else:
                game.xdotool(how, game.window)
            assert game.wait_exit(3) == status, (screen, how, game.output())


def pad(root):
    """A FIFO that the shim passes off as a pad: the stick steers the menus, the d-pad the ship, A
    fires and confirms, B backs, Start pauses."""
    fifo = root / "pad"
    os.mkfifo(fifo)
    writer = os.open(fifo, os.O_RDWR | os.O_NONBLOCK)
    command, folder = prepare(root, PROGRAM, QUIET + "[joystick]\njoystick_device = %s\n" % fifo)
    A, B, START, STICK_Y, DPAD_X = 0, 1, 7, 1, 6

    def send(button, axis=None, state=1):
        kind, number = (1, button) if axis is None else (2, axis)
        os.write(writer, struct.pack("IhBB", 0, state, kind, number))

    def press(button, axis=None, value=1, seconds=0.15):
        for state in (value, 0):
            send(button, axis, state)
            time.sleep(seconds if state else 0.15)

    env = {"LD_PRELOAD": os.environ["ZENITH_PAD_SHIM"]}
    with Display() as display, Game(display, command, folder, env) as game:
        game.wait_window()
        game.wait_for(intro(1).same, "the intro")
        press(A)  # skips the intro, and chooses nothing in the menu
        game.wait_for(shows_menu, "the menu after the intro", timeout=2)
        press(A)
        start = game.wait_for(shows_play, "the game")
        steer_under_column(game, lambda way: press(None, DPAD_X, 32767 * way, 0.02))
        assert not game.screenshot().same(start), "the d-pad did not steer"
        score = start.crop(*SCORE)
        # A held fires as the energy allows. Each event changes the FIFO, which the game takes for
        # a pad plugged in anew and opens again: A is told again, as a pad opened tells its state.
        game.wait_for(lambda shot: send(A) or not shot.crop(*SCORE).same(score), "a hit",
                      timeout=20)
        send(A, state=0)
        press(None, DPAD_X, -32767, 0.05)
        press(START)
        game.wait_for(lambda s: shows_menu(s) and s.share(RESUME, WHITE) < 1, "the pause menu")
        press(START)
        game.wait_for(shows_name_entry, "the end of the game", timeout=60)
        # A, then up to C and A, back, up to D and A: "AD"; Start enters it.
        for step in (A, "up", "up", A, B, "up", A, START):
            press(None, STICK_Y, -32767) if step == "up" else press(step)
        game.wait_for(shows_list, "the hall of fame with the new name")
        assert re.search(r'<entry name = "AD" replay = "[^"]+" score = "\d+" />',
                         (folder / "HallOfFame.xml").read_text())
        press(B)
        game.wait_for(shows_menu, "the menu after the list")
        for step in ("down", "down", A, B):  # quits, and B skips the credits
            press(None, STICK_Y, 32767) if step == "down" else press(step)
        assert game.wait_exit(3) == 0 and game.messages() == [], game.output()


def package(root):
    subprocess.run(["cpack", "--config", str(BUILD / "CPackConfig.cmake"), "-B", str(root)],
                   check=True, capture_output=True)
    (deb,) = root.glob("zenith-guard_*_*.deb")
    listing = subprocess.run(["dpkg-deb", "--contents", str(deb)], capture_output=True, text=True)
    files = {line.split()[-1].lstrip(".") for line in listing.stdout.splitlines()
             if not line.startswith("d")}
    wanted = {"/usr/games/zenith-guard", "/usr/lib/games/zenith-guard/zenith-guard",
              "/usr/lib/games/zenith-guard/allegro.cfg", "/usr/share/games/zenith-guard/credits.txt",
              "/usr/share/applications/zenith-guard.desktop", "/usr/share/man/man6/zenith-guard.6.gz",
              "/usr/share/doc/zenith-guard/copyright", "/usr/share/doc/zenith-guard/changelog.gz"}
    wanted |= {"/usr/share/games/zenith-guard/data/%s" % name for name in
               ("sprites.dat", "midi.dat", "samples.dat", "gui.dat", "patches.dat", "demo.zgr")}
    wanted |= {"/usr/share/icons/hicolor/%dx%d/apps/zenith-guard.png" % (size, size)
               for size in (32, 48, 64, 128, 256)}
    (metainfo,) = files - wanted
    assert wanted <= files and re.match(r"/usr/share/metainfo/[^/]+\.metainfo\.xml$", metainfo)
    depends = subprocess.run(["dpkg-deb", "--field", str(deb), "Depends"], capture_output=True,
                             text=True).stdout
    assert re.search(r"(^|, )liballegro4\.4 \(>= [^)]+\)", depends), depends
    subprocess.run(["dpkg-deb", "--extract", str(deb), str(root / "tree")], check=True)
    checks = [["desktop-file-validate", str(root / "tree/usr/share/applications/zenith-guard.desktop")],
              ["appstreamcli", "validate-tree", "--no-net", str(root / "tree")]]
    if shutil.which("lintian"):
        checks.append(["lintian", "--fail-on", "error,warning", str(deb)])
    for check in checks:
        result = subprocess.run(check, capture_output=True, text=True)
        assert result.returncode == 0 and not (check[0] == "desktop-file-validate" and
                                               result.stdout), result.stdout + result.stderr


if __name__ == "__main__":
    with tempfile.TemporaryDirectory(prefix="zenith-e2e-") as scratch:
        root = Path(scratch)
        if sys.argv[1:] == ["journey", "installed"]:
            journey_installed(root)
        elif sys.argv[1:] == ["journey", "direct"]:
            command, folder = prepare(root, PROGRAM)
            with Display() as display:
                with Game(display, command, folder) as game:
                    replay = journey(game, folder / "HallOfFame.xml")
                replay_to_its_end(display, command, folder, replay)
        else:
            {"startup": startup, "package": package, "endings": endings, "pad": pad}[sys.argv[1]](root)
