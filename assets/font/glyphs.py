"""The glyphs of the staff font, drawn in the 30 x 40 pixel box of a glyph at
30 points (see shapes.py for the coordinates).

The staff drawing puts a note's box so that its head belongs 28 pixels below
the box's top: on a line or a space, four pixels per step of the keyboard.
Rests and the clef are drawn with the box's top on the staff's top line, so
the five lines lie at y = 0, 8, 16, 24 and 32 of their box. Name labels are
drawn 25 pixels below their note's box and keep clear of the LED bar that
may sit 35 to 40 pixels below it.
"""
from shapes import brush, circle, ellipse, line, moved, rect, stroke

HEAD_Y = 28.0           # note head centre, pixels below the box's top
STAFF_SPACE = 8.0
STEM_WIDTH = 1.1
STEM_TOP = 2.0

# ---- Notes ---------------------------------------------------------------

HEAD_RX, HEAD_RY, HEAD_ANGLE = 5.3, 3.75, -22.0


def _head(hx, hollow):
    fill = [ellipse(hx, HEAD_Y, HEAD_RX, HEAD_RY, HEAD_ANGLE)]
    holes = [ellipse(hx, HEAD_Y, 3.9, 1.75, -32.0)] if hollow else []
    return fill, holes


def _stem_x(hx):
    return hx + 5.05  # right edge of the stem, on the head's right side


def _flag(sx):
    """An eighth note's flag, hanging from the top of an upward stem."""
    x = sx - 0.3
    return ["M %.2f %.2f C %.2f %.2f %.2f %.2f %.2f %.2f C %.2f %.2f %.2f %.2f %.2f %.2f "
            "C %.2f %.2f %.2f %.2f %.2f %.2f C %.2f %.2f %.2f %.2f %.2f %.2f Z" % (
                x, STEM_TOP,
                x + 0.9, 6.4, x + 4.9, 8.2, x + 6.1, 12.0,
                x + 7.1, 15.2, x + 6.1, 18.8, x + 4.4, 21.6,
                x + 5.1, 18.0, x + 5.1, 14.6, x + 2.5, 12.6,
                x + 1.5, 11.8, x + 0.5, 11.2, x, 11.0)]


def _sharp(cx, cy, scale=1.0):
    """The sharp sign: two upright strokes crossed by two thick rising bars."""
    s = scale
    paths = [
        line((cx - 1.6 * s, cy - 8.0 * s), (cx - 1.6 * s, cy + 10.0 * s), 0.9 * s),
        line((cx + 1.6 * s, cy - 10.0 * s), (cx + 1.6 * s, cy + 8.0 * s), 0.9 * s),
    ]
    for by in (-3.3, 3.3):
        paths.append(line((cx - 3.6 * s, cy + (by + 1.1) * s), (cx + 3.6 * s, cy + (by - 1.1) * s), 2.0 * s))
    return paths


def note(length, sharp):
    """length 0 eighth, 1 quarter, 2 dotted quarter, 3 half."""
    hx = 17.0 if sharp else 13.0
    fill, holes = _head(hx, hollow=length == 3)
    sx = _stem_x(hx)
    fill.append(rect(sx - STEM_WIDTH, STEM_TOP, sx, HEAD_Y - 1.0))
    if length == 0:
        fill += _flag(sx)
    if length == 2:
        fill.append(circle(sx + 3.4, HEAD_Y - 1.2, 1.45))
    if sharp:
        fill += _sharp(5.2, HEAD_Y)
    return fill, holes


# ---- Rests (box top on the staff's top line) --------------------------------

def _quarter_rest(dx=0.0):
    # A thin stroke down to the right, the broad stroke back down to the
    # left, a thin one down to the right again, and the hook at the foot.
    zigzag = brush([(12.8 + dx, 4.0, 1.2), (15.2 + dx, 7.2, 1.7), (17.4 + dx, 10.2, 1.8)], steps=4)
    zigzag += brush([(17.4 + dx, 10.2, 1.8), (15.8 + dx, 12.4, 3.9), (13.6 + dx, 15.2, 3.0), (12.8 + dx, 16.4, 1.5)],
                    steps=6)
    zigzag += brush([(12.8 + dx, 16.4, 1.5), (15.1 + dx, 19.4, 1.5), (17.2 + dx, 22.2, 1.4)], steps=4)
    hook = brush([(17.2 + dx, 22.2, 1.4), (14.6 + dx, 21.2, 2.4), (12.4 + dx, 22.6, 2.8),
                  (12.5 + dx, 25.4, 2.2), (14.8 + dx, 28.0, 1.0)], steps=10)
    return zigzag + hook


def rest(length):
    if length == 0:
        paths = [circle(12.6, 11.2, 2.1)]
        paths += brush([(12.0, 12.8, 1.0), (14.6, 13.2, 1.1), (16.8, 12.0, 1.1), (18.6, 9.6, 1.2)], steps=8)
        paths += [line((18.6, 9.4), (14.4, 25.0), 1.25)]
        return paths, []
    if length == 1:
        return _quarter_rest(), []
    if length == 2:
        return _quarter_rest(-2.5) + [circle(21.0, 12.0, 1.45)], []
    # half rest: a block sitting on the middle line
    return [rect(9.5, 11.9, 20.5, 16.5)], []


# ---- Treble clef (box top on the staff's top line, G on y = 24) --------------

def clef():
    # Drawn as by hand: from the centre on the G line, a spiral out round
    # that line, up across the staff into the loop above it, then the long
    # stroke down through the spiral to a hook and a ball below the staff.
    spiral = brush([
        (16.8, 24.0, 0.9),   # start, on the G line
        (14.8, 19.0, 1.3),
        (10.8, 19.6, 2.2),
        (8.0, 24.8, 3.2),    # left side, the heaviest part
        (9.8, 31.0, 3.0),
        (15.4, 34.0, 2.2),   # below the bottom line
        (21.0, 31.8, 1.6),
        (23.2, 25.8, 1.4),   # right side
        (21.2, 19.4, 1.9),
        (16.8, 13.8, 3.0),   # rising diagonal
        (12.8, 7.8, 3.2),
        (10.9, 1.6, 2.6),
        (11.6, -5.4, 2.0),
        (14.4, -11.2, 1.5),
        (17.0, -12.8, 1.2),  # top of the loop
        (18.5, -9.6, 1.3),
        (17.8, -4.6, 1.7),
        (15.4, 0.8, 1.7),
    ], steps=14, round_ends=False)
    stem = brush([
        (15.4, 0.8, 1.7),
        (14.3, 6.4, 1.5),
        (14.4, 14.0, 1.4),
        (15.3, 24.0, 1.4),
        (16.3, 34.0, 1.5),
        (16.6, 40.0, 1.5),
        (15.4, 44.2, 1.4),
        (12.6, 45.4, 1.2),
        (10.4, 44.2, 1.0),
    ], steps=10, round_ends=False)
    ball = [circle(10.9, 42.6, 2.6)]
    return spiral + stem + ball, []


# ---- Name labels ------------------------------------------------------------
# Katakana written in a 10 x 10 cell, scaled into the label area.

LABEL_TOP = 17.0        # below the LED bar of the note above
LABEL_HEIGHT = 10.8
LABEL_PEN = 1.25

KANA = {
    "do": [[(3.0, 0.2), (3.0, 9.8)], [(3.0, 4.2), (7.6, 6.6)],
           [(7.0, 0.2), (7.8, 2.0)], [(8.8, -0.3), (9.6, 1.5)]],
    "re": [[(2.6, 0.6), (2.6, 7.8), (3.4, 9.4), (9.2, 4.6)]],
    "mi": [[(2.2, 0.8), (8.2, 2.4)], [(2.6, 4.2), (7.8, 5.6)], [(1.6, 7.4), (8.8, 9.6)]],
    "fu": [[(1.2, 1.6), (8.8, 1.6)], [(8.8, 1.6), (8.3, 4.8), (6.4, 7.6), (3.0, 9.8)]],
    "a": [[(1.2, 1.6), (8.8, 1.6)], [(8.8, 1.6), (6.6, 4.4)], [(5.0, 3.4), (4.6, 6.6), (2.4, 9.6)]],
    "so": [[(2.0, 1.6), (3.4, 5.0)], [(8.8, 1.0), (8.0, 5.0), (5.8, 8.0), (2.6, 9.9)]],
    "ra": [[(2.6, 0.6), (7.4, 0.6)], [(1.4, 3.6), (8.6, 3.6)], [(8.6, 3.6), (8.0, 6.4), (6.0, 8.6), (3.4, 9.9)]],
    "si": [[(1.4, 1.0), (3.4, 2.4)], [(0.8, 4.4), (2.8, 5.8)], [(1.4, 9.8), (4.6, 8.6), (7.4, 6.0), (9.4, 2.4)]],
}
KANA_WIDTH = {"a": 10.0}
SMALL = 0.68            # the small ァ of ファ


def _kana(name, x, scale):
    paths = []
    top = LABEL_TOP + (LABEL_HEIGHT * (1 - scale) if scale < 1 else 0.0)
    for pts in KANA[name]:
        placed = [(x + px * LABEL_HEIGHT / 10 * scale, top + py * LABEL_HEIGHT / 10 * scale) for px, py in pts]
        if len(placed) > 2:
            paths += brush([(px, py, LABEL_PEN) for px, py in placed], steps=8)
        else:
            paths += stroke(placed, LABEL_PEN)
    return paths


# Semitone names: ド ド♯ レ レ♯ ミ ファ ファ♯ ソ ソ♯ ラ ラ♯ シ
LABEL_PARTS = [
    ["do"], ["do", "#"], ["re"], ["re", "#"], ["mi"], ["fu", "a"], ["fu", "a", "#"],
    ["so"], ["so", "#"], ["ra"], ["ra", "#"], ["si"],
]


def label(semitone):
    parts = LABEL_PARTS[semitone]
    unit = LABEL_HEIGHT / 10
    widths = []
    for p in parts:
        if p == "#":
            widths.append(6.4)
        elif p == "a":
            widths.append(10.0 * unit * SMALL)
        else:
            widths.append(10.0 * unit)
    gap = 0.6
    total = sum(widths) + gap * (len(parts) - 1)
    x = 15.0 - total / 2
    paths = []
    for p, w in zip(parts, widths):
        if p == "#":
            paths += _sharp(x + w / 2, LABEL_TOP + LABEL_HEIGHT / 2, scale=0.52)
        else:
            paths += _kana(p, x, SMALL if p == "a" else 1.0)
        x += w + gap
    return paths, []


# ---- The letters of the font -------------------------------------------------

LABEL_LETTERS = "toupvwqxrysz"   # semitones 0-11


def all_glyphs():
    """letter -> (filled paths, hole paths)"""
    glyphs = {"e": clef()}
    for length, (white, black, silent) in enumerate(zip("dcba", "mlkj", "fghi")):
        glyphs[white] = note(length, sharp=False)
        glyphs[black] = note(length, sharp=True)
        glyphs[silent] = rest(length)
    for semitone, letter in enumerate(LABEL_LETTERS):
        glyphs[letter] = label(semitone)
    return glyphs
