#!/usr/bin/env python3
"""Draws the pictures of the intro and the credits as XPM sources in assets/sprites/.

  intro.xpm       640x480, the intro's background, with the game's name
  intro-base.xpm  the base along the intro's bottom left, 128 pixels high
  emblem.xpm      150 pixels wide, the badge of the intro's bottom right and the credits' top

They are too big to draw by hand, so this script draws them; edit it, run it
(python3 scripts/draw-title-pictures.py) and commit the pictures with it. The ship and the
monsters are taken from their own sprite sources, so they look the same in the game and here.
The output depends on nothing but this script and those sprites.
"""

import math
import os
import random

ASSETS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "assets", "sprites")
MASK = (255, 0, 255)  # transparent when Allegro draws the picture as a sprite
SHIP_HULL_ROWS = 49  # the ship from its nose to its nozzles; the exhaust flames follow
XPM_CHARS = "".join(chr(c) for c in range(35, 127) if chr(c) not in '"\\')

FONT = {  # 5x7 capitals, only those the pictures use
    "A": [".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    "D": ["####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."],
    "E": ["#####", "#....", "#....", "####.", "#....", "#....", "#####"],
    "G": [".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".###."],
    "H": ["#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    "I": ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "#####"],
    "N": ["#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#", "#...#"],
    "R": ["####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"],
    "T": ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."],
    "U": ["#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    "Z": ["#####", "....#", "...#.", "..#..", ".#...", "#....", "#####"],
}

# Ordered dithering lets a few colours make smooth gradients, and keeps the XPM at one
# character per pixel.
BAYER = [[0, 8, 2, 10], [12, 4, 14, 6], [3, 11, 1, 9], [15, 7, 13, 5]]


def hex_colour(text):
    return tuple(int(text[i:i + 2], 16) for i in (1, 3, 5))


class Picture:
    def __init__(self, width, height, fill=MASK):
        self.width, self.height = width, height
        self.pixels = [[fill] * width for _ in range(height)]

    def set(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = colour

    def get(self, x, y):
        if 0 <= x < self.width and 0 <= y < self.height:
            return self.pixels[y][x]
        return MASK

    def rect(self, x0, y0, x1, y1, colour):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.set(x, y, colour)

    def ellipse(self, cx, cy, rx, ry, colour_at):
        """Fills an ellipse; colour_at(dx, dy) gets the offset from the centre in radii."""
        for y in range(max(0, int(cy - ry) - 1), min(self.height, int(cy + ry) + 2)):
            for x in range(max(0, int(cx - rx) - 1), min(self.width, int(cx + rx) + 2)):
                dx, dy = (x + 0.5 - cx) / rx, (y + 0.5 - cy) / ry
                if dx * dx + dy * dy <= 1.0:
                    colour = colour_at(dx, dy)
                    if colour:
                        self.set(x, y, colour)

    def paste(self, sprite, x0, y0, scale=1):
        for y, row in enumerate(sprite.pixels):
            for x, colour in enumerate(row):
                if colour != MASK:
                    self.rect(x0 + x * scale, y0 + y * scale, x0 + x * scale + scale - 1,
                              y0 + y * scale + scale - 1, colour)

    def cropped(self, x0, y0, width, height):
        part = Picture(width, height)
        part.pixels = [row[x0:x0 + width] for row in self.pixels[y0:y0 + height]]
        return part

    def drawn_rows(self):
        """The first and the last row that are not all transparent."""
        rows = [y for y, row in enumerate(self.pixels) if any(c != MASK for c in row)]
        return rows[0], rows[-1]

    def outline(self, colour, thickness=1):
        """Grows a border of the given colour around everything that is not transparent."""
        for _ in range(thickness):
            edge = [(x, y) for y in range(self.height) for x in range(self.width)
                    if self.pixels[y][x] == MASK and any(
                        self.get(x + dx, y + dy) not in (MASK, colour)
                        for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))]
            for x, y in edge:
                self.pixels[y][x] = colour

    def save(self, name, comment):
        colours = sorted({c for row in self.pixels for c in row}, key=lambda c: (c != MASK, c))
        if len(colours) > len(XPM_CHARS):
            raise SystemExit("%s: %d colours, at most %d" % (name, len(colours), len(XPM_CHARS)))
        code = dict(zip(colours, XPM_CHARS))
        lines = ["/* XPM */", "/* %s */" % comment,
                 "static char *%s[] = {" % name.replace("-", "_"),
                 '"%d %d %d 1",' % (self.width, self.height, len(colours))]
        lines += ['"%s c #%02X%02X%02X",' % ((code[c],) + c) for c in colours]
        rows = ['"%s"' % "".join(code[c] for c in row) for row in self.pixels]
        lines.append(",\n".join(rows))
        lines.append("};")
        with open(os.path.join(ASSETS, name + ".xpm"), "w") as out:
            out.write("\n".join(lines) + "\n")


def load_sprite(name):
    """Reads one of our own single-character XPM sprites."""
    with open(os.path.join(ASSETS, name + ".xpm")) as source:
        rows = [line.split('"')[1] for line in source if line.startswith('"')]
    width, height, count = (int(v) for v in rows[0].split()[:3])
    palette = {row[0]: hex_colour(row.split()[-1]) for row in rows[1:1 + count]}
    sprite = Picture(width, height)
    sprite.pixels = [[palette[ch] for ch in row] for row in rows[1 + count:1 + count + height]]
    return sprite


def load_ship(flames):
    """The ship's sprite without the empty rows above its nose; with flames, down to the end of
    its exhaust, else only the hull, down to the nozzles."""
    ship = load_sprite("ship")
    nose, end = ship.drawn_rows()
    return ship.cropped(0, nose, ship.width, end + 1 - nose if flames else SHIP_HULL_ROWS)


def gradient(stops, t, x, y):
    """The colour at t (0..1) along the stops, dithered between neighbouring stops."""
    pos = max(0.0, min(1.0, t)) * (len(stops) - 1)
    low = min(int(pos), len(stops) - 2)
    return stops[low + 1] if pos - low > (BAYER[y % 4][x % 4] + 0.5) / 16 else stops[low]


def text(picture, words, x0, y0, scale, colour_at, spacing=1):
    """Writes words in the 5x7 font; colour_at(row) gives the colour of each font row."""
    x = x0
    for letter in words:
        if letter == " ":
            x += 4 * scale
            continue
        for row, bits in enumerate(FONT[letter]):
            for col, bit in enumerate(bits):
                if bit == "#":
                    picture.rect(x + col * scale, y0 + row * scale, x + col * scale + scale - 1,
                                 y0 + row * scale + scale - 1, colour_at(row))
        x += (5 + spacing) * scale


def text_width(words, scale, spacing=1):
    letters = [w for w in words if w != " "]
    return (len(letters) * (5 + spacing) - spacing) * scale + words.count(" ") * (4 - spacing) * scale


SKY = [hex_colour(c) for c in ("#03020A", "#070520", "#0D0A34", "#161048", "#24145A", "#3A1A68",
                               "#5A2470")]
HILLS = [hex_colour(c) for c in ("#1A0E30", "#120A24", "#0A0616")]
TITLE = [hex_colour(c) for c in ("#FFF8B0", "#FFE860", "#FFC830", "#FFA020", "#F87818", "#E05010",
                                 "#C03010")]
STARS = [hex_colour(c) for c in ("#6870A0", "#B0B8E0", "#FFFFFF")]


def draw_sky(picture, rng):
    for y in range(picture.height):
        for x in range(picture.width):
            picture.set(x, y, gradient(SKY, y / 400.0, x, y))
    for _ in range(260):
        x, y = int(rng.random() * picture.width), int(rng.random() * 390)
        brightness = int(rng.random() ** 3 * 3)
        picture.set(x, y, STARS[brightness])
        if brightness == 2 and rng.random() < 0.5:  # the brightest twinkle
            for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
                picture.set(x + dx, y + dy, STARS[0])


def draw_planet(picture, cx, cy, radius):
    body = [hex_colour(c) for c in ("#F0B078", "#D07850", "#9A4838", "#5A2430", "#2A1020")]
    ring = [hex_colour(c) for c in ("#E8D8B0", "#A89878")]

    def ring_at(behind):
        def colour(dx, dy):
            inner = dx * dx + (dy * 3.2) ** 2
            if inner < 0.55 or (dy < 0) != behind:
                return None
            return ring[int(inner * 4) % 2]
        return colour

    picture.ellipse(cx, cy, radius * 1.9, radius * 0.6, ring_at(True))
    picture.ellipse(cx, cy, radius, radius,
                    lambda dx, dy: gradient(body, (dx + dy * 0.6 + 1.1) / 2.4, int(cx + dx * radius),
                                            int(cy + dy * radius)))
    picture.ellipse(cx, cy, radius * 1.9, radius * 0.6, ring_at(False))


def draw_hills(picture, top):
    for x in range(picture.width):
        ridge = top + 14 * ((x * 7919) % 97 / 97.0) ** 2 + 16 * abs(((x / 90.0) % 2) - 1)
        for y in range(int(ridge), picture.height):
            picture.set(x, y, gradient(HILLS, (y - ridge) / 60.0, x, y))


def draw_title(picture, y0):
    scale = 8
    words = "ZENITH GUARD"
    x0 = (picture.width - text_width(words, scale)) // 2
    shadow = Picture(picture.width, picture.height)
    text(shadow, words, x0 + 6, y0 + 6, scale, lambda row: hex_colour("#1A0820"))
    shadow.outline(hex_colour("#1A0820"), 3)
    letters = Picture(picture.width, picture.height)
    text(letters, words, x0, y0, scale, lambda row: TITLE[row])
    for y in range(y0, y0 + 7 * scale):  # a bright rim along the top of each stroke
        for x in range(picture.width):
            if letters.get(x, y) != MASK and letters.get(x, y - 2) == MASK:
                letters.set(x, y, TITLE[0])
    letters.outline(hex_colour("#300810"), 3)
    picture.paste(shadow, 0, 0)
    picture.paste(letters, 0, 0)


def draw_battle(picture):
    """Monsters above the base of the bottom left, one of them bursting under fire."""
    monster, heavy = load_sprite("monster"), load_sprite("monster-heavy")
    bullet, particle = load_sprite("bullet"), load_sprite("particle")
    picture.paste(monster, 300, 168, 2)
    picture.paste(heavy, 420, 230, 2)
    picture.paste(monster, 60, 200, 1)
    picture.paste(heavy, 200, 260, 1)
    rng = random.Random(12)
    for _ in range(18):  # the burst of a monster that was just hit, above the ship
        angle, reach = rng.random() * 6.283, 8 + rng.random() * 34
        x = 128 + int(reach * 1.1 * math.cos(angle))
        y = 236 + int(reach * math.sin(angle))
        picture.paste(particle, x, y, 2)
    for y in (290, 330):
        picture.paste(bullet, 124, y, 2)


def draw_intro():
    picture = Picture(640, 480)
    draw_sky(picture, random.Random(2025))
    draw_planet(picture, 548, 214, 46)
    draw_hills(picture, 404)
    draw_title(picture, 52)
    draw_battle(picture)
    picture.save("intro", "The intro's background with the game's name, 640x480.")


def draw_base():
    """The home base: a ridge of rock with the ship lifting off its launch pad, and a domed
    tower."""
    width, height = 420, 128
    picture = Picture(width, height)
    rock = [hex_colour(c) for c in ("#5A4A78", "#3E3258", "#2A2240", "#1A1428")]
    for x in range(width):
        slope = max(0, x - 330) * 0.75  # the ridge runs down to the ground at the right
        ridge = 80 + 6 * abs(((x / 23.0) % 2) - 1) + 4 * ((x * 31) % 7) / 7.0 + slope
        for y in range(int(ridge), height):
            picture.set(x, y, gradient(rock, (y - ridge) / 40.0, x, y))
    metal = [hex_colour(c) for c in ("#C8D0E0", "#8890A8", "#505870")]
    picture.rect(70, 96, 190, 103, metal[1])  # launch pad
    picture.rect(70, 96, 190, 96, metal[0])
    for x in range(74, 190, 12):
        picture.rect(x, 100, x + 1, 101, hex_colour("#FFD040"))
    picture.rect(96, 104, 104, 127, metal[2])  # pad supports
    picture.rect(156, 104, 164, 127, metal[2])
    tower = [hex_colour(c) for c in ("#B8C4DC", "#7884A8", "#404868")]
    picture.rect(262, 40, 278, 96, tower[1])
    picture.rect(262, 40, 264, 96, tower[0])
    picture.rect(276, 40, 278, 96, tower[2])
    picture.ellipse(270, 40, 26, 16,
                    lambda dx, dy: None if dy > 0 else gradient(tower, (dx + 1) / 2, 0, 0))
    for x in (256, 266, 276):
        picture.rect(x, 30, x + 4, 33, hex_colour("#70E0FF"))
    picture.rect(269, 8, 270, 24, tower[2])  # antenna with its beacon
    picture.rect(268, 6, 271, 8, hex_colour("#FF3030"))
    picture.rect(240, 96, 300, 103, tower[1])
    picture.outline(hex_colour("#0A0814"))
    ship = load_ship(flames=True)
    picture.paste(ship, 128 - ship.width // 2, 95 - ship.height)  # under the intro's shots
    picture.save("intro-base", "The base along the intro's bottom left, 128 pixels high.")


def draw_emblem():
    """A winged shield with the ship on it."""
    width, height = 150, 72
    picture = Picture(width, height)
    gold = [hex_colour(c) for c in ("#FFF0A0", "#F0C040", "#B07818")]
    for feather in range(5):  # wings, drawn on the left and mirrored
        y0 = 14 + feather * 9
        x0 = 4 + feather * 9
        for y in range(y0, y0 + 7):
            for x in range(x0, 62):
                slant = (62 - x) * 0.18
                if y0 + slant <= y < y0 + slant + 6:
                    picture.set(x, y, gold[0] if y < y0 + slant + 2 else gold[1])
    for y in range(height):
        for x in range(width // 2):
            picture.set(width - 1 - x, y, picture.get(x, y))
    blue = [hex_colour(c) for c in ("#4880F0", "#2850B8", "#183078")]
    half = 24
    for y in range(4, 68):  # the shield: straight top, pointed bottom
        reach = half if y < 40 else int(half * (67 - y) / 27.0)
        for x in range(75 - reach, 75 + reach):
            edge = x < 75 - reach + 3 or x >= 75 + reach - 3 or y < 7
            picture.set(x, y, gold[1] if edge else gradient(blue, (y - 4) / 60.0, x, y))
    picture.outline(gold[2])
    picture.outline(hex_colour("#1A1008"))
    ship = load_ship(flames=False)
    picture.paste(ship, 75 - ship.width // 2, 31 - ship.height // 2)
    picture.save("emblem", "The emblem of the intro's bottom right and the credits' top, 150 wide.")


if __name__ == "__main__":
    draw_intro()
    draw_base()
    draw_emblem()
