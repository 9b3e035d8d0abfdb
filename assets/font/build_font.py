#!/usr/bin/python3
"""Builds the staff font Data/velmora.ttf (face "VELMORA") from glyphs.py.

    python3 assets/font/build_font.py [OUTPUT]

Needs fontTools (Debian: python3-fonttools). The output is the same byte
for byte on every run, so the checked-in file can be compared with a fresh
build.

Units: 1000 per em. At 30 points (40 pixels per em at 96 dpi) one pixel of
the design box is 25 units; the box's top is the ascent (800) and its
bottom the descent (-200), so a box is 40 pixels high.
"""
import os
import sys

sys.dont_write_bytecode = True  # keep the source folder clean
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from fontTools.fontBuilder import FontBuilder
from fontTools.pens.areaPen import AreaPen
from fontTools.pens.cu2quPen import Cu2QuPen
from fontTools.pens.recordingPen import RecordingPen
from fontTools.pens.reverseContourPen import ReverseContourPen
from fontTools.pens.transformPen import TransformPen
from fontTools.pens.ttGlyphPen import TTGlyphPen
from fontTools.svgLib.path import parse_path

import glyphs

UNITS_PER_EM = 1000
PX = 25                  # units per design pixel
ASCENT = 800             # the box's top
DESCENT = -200
ADVANCE = 30 * PX        # every glyph fills its 30-pixel box
FAMILY = "VELMORA"
FIXED_TIME = 3786825600  # 2024-01-01, seconds since 1904: reproducible output


def _contours(d):
    """One SVG path in design pixels -> contours in font units (y up)."""
    rec = RecordingPen()
    parse_path(d, TransformPen(rec, (PX, 0, 0, -PX, 0, ASCENT)))
    contours, current = [], []
    for op in rec.value:
        current.append(op)
        if op[0] in ("closePath", "endPath"):
            contours.append(current)
            current = []
    return contours


def _area(contour):
    pen = AreaPen()
    rp = RecordingPen()
    rp.value = contour
    rp.replay(pen)
    return pen.value


def draw_glyph(fill, holes):
    """TrueType outlines: filled contours clockwise, holes counter-clockwise.
    Filled contours may overlap; they are meant as a union (non-zero rule)."""
    out = RecordingPen()
    for paths, want_clockwise in ((fill, True), (holes, False)):
        for d in paths:
            for contour in _contours(d):
                clockwise = _area(contour) < 0
                rp = RecordingPen()
                rp.value = contour
                if clockwise == want_clockwise:
                    rp.replay(out)
                else:
                    rp.replay(ReverseContourPen(out))
    tt = TTGlyphPen(None)
    out.replay(Cu2QuPen(tt, max_err=0.5, reverse_direction=False))
    glyph = tt.glyph()
    if glyph.numberOfContours > 0:
        glyph.flags[0] |= 0x40  # OVERLAP_SIMPLE: contours overlap on purpose
    return glyph


def build(output):
    shapes = glyphs.all_glyphs()
    letters = sorted(shapes)
    order = [".notdef", "space"] + letters

    fb = FontBuilder(UNITS_PER_EM, isTTF=True)
    fb.setupGlyphOrder(order)
    fb.setupCharacterMap({ord(" "): "space", **{ord(c): c for c in letters}})

    empty = TTGlyphPen(None).glyph()
    notdef = draw_glyph([glyphs.rect(3, 4, 27, 36)], [glyphs.rect(5, 6, 25, 34)])
    outlines = {".notdef": notdef, "space": empty}
    for c in letters:
        outlines[c] = draw_glyph(*shapes[c])
    fb.setupGlyf(outlines)

    glyf = fb.font["glyf"]
    metrics = {}
    for name in order:
        g = glyf[name]
        g.recalcBounds(glyf)
        metrics[name] = (ADVANCE, getattr(g, "xMin", 0) if g.numberOfContours else 0)
    fb.setupHorizontalMetrics(metrics)
    fb.setupHorizontalHeader(ascent=ASCENT, descent=DESCENT, lineGap=0)
    fb.setupNameTable({
        "familyName": FAMILY,
        "styleName": "Regular",
        "uniqueFontIdentifier": FAMILY + " Regular 1.0",
        "fullName": FAMILY,
        "psName": FAMILY,
        "version": "Version 1.0",
        "copyright": "Staff font of the KORU control radio companion",
    })
    fb.setupOS2(
        sTypoAscender=ASCENT, sTypoDescender=DESCENT, sTypoLineGap=0,
        usWinAscent=ASCENT, usWinDescent=-DESCENT,
        version=4, fsSelection=0x40 | 0x80,  # REGULAR, USE_TYPO_METRICS
        achVendID="KORU", usWeightClass=400,
        # Installable: the font is the project's own, so nothing restricts
        # embedding it (fontTools would default to preview and print only).
        fsType=0,
    )
    fb.setupPost()
    fb.setupHead(unitsPerEm=UNITS_PER_EM, created=FIXED_TIME, modified=FIXED_TIME)
    fb.font["head"].created = FIXED_TIME
    fb.font["head"].modified = FIXED_TIME
    fb.font.recalcTimestamp = False
    fb.save(output)


if __name__ == "__main__":
    here = os.path.dirname(os.path.abspath(__file__))
    target = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "Data", "velmora.ttf")
    build(target)
