#!/usr/bin/env python3
"""Builds the graphics library's built-in data block and writes it, LZW-packed,
as gfx/builtin_data_block.cpp.

The block (10742 bytes) is laid out as:

    8x8 font    256 glyphs x  8 rows   2048 bytes
    8x14 font   256 glyphs x 14 rows   3584 bytes
    8x16 font   256 glyphs x 16 rows   4096 bytes
    palette 2     2 RGB triples           6 bytes
    palette 16   16 RGB triples          48 bytes
    palette 64   64 RGB triples         192 bytes
    palette 256 256 RGB triples         768 bytes

Glyphs are in code page 437 order, one byte per row, bit 0 = leftmost pixel.
They are taken from the PSF console fonts of Debian's console-data package,
looked up by Unicode code point through each font's own Unicode table, or by
position for fonts laid out in a known code page (see FONT_SOURCES). The
output only depends on those font files, so running the tool twice gives the
same file byte for byte.

Usage:
    make_builtin_data.py [--fonts-dir DIR] [--output FILE] [--raw FILE]
                         [--check] [--show 8|14|16] [--verbose]
"""

import argparse
import gzip
import os
import struct
import sys
import zlib

BLOCK_SIZE = 10742
DEFAULT_FONTS_DIR = "/usr/share/consolefonts"
REPO_ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
DEFAULT_OUTPUT = os.path.join(REPO_ROOT, "gfx", "builtin_data_block.cpp")

# ---------------------------------------------------------------------------
# Code page 437 -> Unicode. Codes 0x01..0x1F and 0x7F are the graphic glyphs
# the PC shows for them (smileys, card suits, arrows, house). Code 0 is blank.

CP437 = [
    0x0000, 0x263A, 0x263B, 0x2665, 0x2666, 0x2663, 0x2660, 0x2022,  # 00
    0x25D8, 0x25CB, 0x25D9, 0x2642, 0x2640, 0x266A, 0x266B, 0x263C,  # 08
    0x25BA, 0x25C4, 0x2195, 0x203C, 0x00B6, 0x00A7, 0x25AC, 0x21A8,  # 10
    0x2191, 0x2193, 0x2192, 0x2190, 0x221F, 0x2194, 0x25B2, 0x25BC,  # 18
] + list(range(0x20, 0x7F)) + [
    0x2302,                                                          # 7F
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,  # 80
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,  # 88
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,  # 90
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192,  # 98
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,  # A0
    0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,  # A8
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556,  # B0
    0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510,  # B8
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,  # C0
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567,  # C8
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B,  # D0
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,  # D8
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4,  # E0
    0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229,  # E8
    0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248,  # F0
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0,  # F8
]
assert len(CP437) == 256

# Code page 865 differs from 437 in three places; fonts without a Unicode
# table that are laid out in it are read through this table.
CP865 = list(CP437)
CP865[0x9B] = 0x00F8
CP865[0x9D] = 0x00D8
CP865[0xAF] = 0x00A4

# The part of code page 866 (the "alt" fonts) that it shares with 437: the
# control-code graphics, ASCII, the box drawing block and a few symbols. The
# Cyrillic rest is left out (None), so it is never looked up.
CP866_COMMON = [cp if code < 0x80 or 0xB0 <= code < 0xE0 or code in (0xF8, 0xF9, 0xFA, 0xFB, 0xFE)
                else None for code, cp in enumerate(CP437)]

# Source fonts per glyph height, in order of preference: each CP437 code takes
# its glyph from the first font that has its code point. A font without a
# Unicode table is read by position through the code page given with it.
#   alt-*      the PC's own look for ASCII, control-code graphics, box drawing
#   lat1u-*    Latin-1 letters and symbols drawn in the same style
#   cp865-*    Greek letters, maths and the few symbols left (peseta, ...)
#   default8x16 has every CP437 glyph in its Unicode table.
FONT_SOURCES = {
    8: [("alt-8x8.psf.gz", CP866_COMMON),
        ("lat1u-08.psf.gz", None),
        ("cp865-8x8.psf.gz", CP865)],
    14: [("alt-8x14.psf.gz", CP866_COMMON),
         ("lat1u-14.psf.gz", None),
         ("cp865-8x14.psf.gz", CP865)],
    16: [("default8x16.psf.gz", None)],
}

# ---------------------------------------------------------------------------
# PSF fonts (version 1 and 2), optionally gzip-compressed.


class PsfFont:
    def __init__(self, path):
        raw = open(path, "rb").read()
        if raw[:2] == b"\x1f\x8b":
            raw = gzip.decompress(raw)
        self.name = os.path.basename(path)
        self.unicode = {}  # code point -> glyph index (first glyph wins)
        if raw[:2] == b"\x36\x04":
            mode, charsize = raw[2], raw[3]
            count = 512 if mode & 0x01 else 256
            self.width, self.height, self.row_bytes = 8, charsize, 1
            base = 4
            self.glyphs = [raw[base + i * charsize: base + (i + 1) * charsize] for i in range(count)]
            if mode & 0x06:
                self._read_psf1_table(raw, base + count * charsize, count)
        elif raw[:4] == b"\x72\xb5\x4a\x86":
            _, header, flags, count, charsize, height, width = struct.unpack_from("<7I", raw, 4)
            self.width, self.height = width, height
            self.row_bytes = (width + 7) // 8
            self.glyphs = [raw[header + i * charsize: header + (i + 1) * charsize] for i in range(count)]
            if flags & 0x01:
                self._read_psf2_table(raw, header + count * charsize, count)
        else:
            raise ValueError("%s: not a PSF font" % path)

    def _add(self, code_point, glyph):
        self.unicode.setdefault(code_point, glyph)

    def _read_psf1_table(self, raw, pos, count):
        glyph = 0
        in_sequence = False
        while glyph < count and pos + 2 <= len(raw):
            (value,) = struct.unpack_from("<H", raw, pos)
            pos += 2
            if value == 0xFFFF:
                glyph += 1
                in_sequence = False
            elif value == 0xFFFE:
                in_sequence = True  # combining sequences are not used
            elif not in_sequence:
                self._add(value, glyph)

    def _read_psf2_table(self, raw, pos, count):
        glyph = 0
        in_sequence = False
        while glyph < count and pos < len(raw):
            lead = raw[pos]
            if lead == 0xFF:
                glyph += 1
                in_sequence = False
                pos += 1
            elif lead == 0xFE:
                in_sequence = True
                pos += 1
            else:
                length = 1 if lead < 0x80 else 2 if lead < 0xE0 else 3 if lead < 0xF0 else 4
                if not in_sequence:
                    self._add(ord(raw[pos:pos + length].decode("utf-8")), glyph)
                pos += length

    def rows(self, index):
        """Glyph rows as bytes with bit 0 = leftmost pixel (PSF has bit 7)."""
        if self.width != 8 or self.row_bytes != 1:
            raise ValueError("%s: only 8-pixel-wide fonts are supported" % self.name)
        return bytes(REVERSED_BITS[b] for b in self.glyphs[index])


REVERSED_BITS = [int("{:08b}".format(b)[::-1], 2) for b in range(256)]


def build_font(height, fonts_dir, report=None):
    sources = []
    for file_name, code_page in FONT_SOURCES[height]:
        font = PsfFont(os.path.join(fonts_dir, file_name))
        if font.height != height:
            raise ValueError("%s is %d rows high, wanted %d" % (file_name, font.height, height))
        if code_page is not None:
            font.unicode = {}
            for index, code_point in enumerate(code_page):
                if code_point is not None:
                    font.unicode.setdefault(code_point, index)
        sources.append(font)

    def find(code_point):
        for font in sources:
            index = font.unicode.get(code_point)
            if index is not None:
                return font, index
        return None

    out = bytearray()
    missing = []
    for code in range(256):
        if code == 0:
            out += bytes(height)
            continue
        found = find(CP437[code])
        if found is None:
            missing.append(code)
            out += bytes(height)
            continue
        font, index = found
        out += font.rows(index)
        if report is not None:
            report.setdefault(font.name, []).append(code)
    if missing:
        raise ValueError("8x%d font: no glyph for codes %s" % (height, " ".join("%02X" % c for c in missing)))
    return bytes(out)


# ---------------------------------------------------------------------------
# Palettes.


def palette_2():
    return bytes([0, 0, 0, 255, 255, 255])


CGA = [
    (0, 0, 0), (0, 0, 170), (0, 170, 0), (0, 170, 170),
    (170, 0, 0), (170, 0, 170), (170, 85, 0), (170, 170, 170),
    (85, 85, 85), (85, 85, 255), (85, 255, 85), (85, 255, 255),
    (255, 85, 85), (255, 85, 255), (255, 255, 85), (255, 255, 255),
]


def palette_16():
    return bytes(c for rgb in CGA for c in rgb)


def palette_64():
    # Index bits 0..2 add 170 to blue, green, red; bits 3..5 add 85.
    out = bytearray()
    for i in range(64):
        blue = 170 * (i & 1) + 85 * ((i >> 3) & 1)
        green = 170 * ((i >> 1) & 1) + 85 * ((i >> 4) & 1)
        red = 170 * ((i >> 2) & 1) + 85 * ((i >> 5) & 1)
        out += bytes([red, green, blue])
    return bytes(out)


VGA_GREYS = [0, 5, 8, 11, 14, 17, 20, 24, 28, 32, 36, 40, 45, 50, 56, 63]

# Five levels (lowest .. highest) for each of the nine blocks of the hue
# circle: high, medium and low intensity, each at high, medium and low
# saturation.
VGA_HUE_LEVELS = [
    (0, 16, 31, 47, 63), (31, 39, 47, 55, 63), (45, 49, 54, 58, 63),
    (0, 7, 14, 21, 28), (14, 17, 21, 24, 28), (20, 22, 24, 26, 28),
    (0, 4, 8, 12, 16), (8, 10, 12, 14, 16), (11, 12, 13, 15, 16),
]


def hue_circle(levels):
    """24 colours from blue through magenta, red, yellow, green and cyan."""
    def ramp(step):
        # Level index of a component that is highest for steps 0..8 of the
        # 24, falls over 8..12, is lowest for 12..20 and rises over 20..24.
        step %= 24
        if step <= 8:
            return 4
        if step <= 12:
            return 12 - step
        if step <= 20:
            return 0
        return step - 20

    out = []
    for i in range(24):
        red = levels[ramp(i + 20)]
        green = levels[ramp(i + 12)]
        blue = levels[ramp(i + 4)]
        out.append((red, green, blue))
    return out


def vga_6bit():
    colours = [tuple(c * 63 // 255 for c in rgb) for rgb in CGA]
    colours += [(g, g, g) for g in VGA_GREYS]
    for levels in VGA_HUE_LEVELS:
        colours += hue_circle(levels)
    colours += [(0, 0, 0)] * 8
    assert len(colours) == 256
    return colours


def palette_256():
    return bytes(c * 255 // 63 for rgb in vga_6bit() for c in rgb)


# ---------------------------------------------------------------------------
# LZW with 12-bit codes: 0..255 are bytes, new strings from 256, 4095 ends the
# data, the dictionary stops growing after 4094. Codes are stored two per
# three bytes, low bits first.

END_CODE = 4095


def lzw_codes(data):
    table = {bytes([i]): i for i in range(256)}
    next_code = 256
    codes = []
    current = b""
    for value in data:
        extended = current + bytes([value])
        if extended in table:
            current = extended
            continue
        codes.append(table[current])
        if next_code < END_CODE:
            table[extended] = next_code
            next_code += 1
        current = bytes([value])
    if current:
        codes.append(table[current])
    codes.append(END_CODE)
    return codes


def pack_codes(codes):
    if len(codes) % 2:
        codes = codes + [END_CODE]
    out = bytearray()
    for first, second in zip(codes[0::2], codes[1::2]):
        out += bytes([first & 0xFF, (first >> 8) | ((second & 0x0F) << 4), second >> 4])
    return bytes(out)


def lzw_pack(data):
    return pack_codes(lzw_codes(data))


def lzw_unpack(packed):
    """Reference decoder, used to check the packer's output before writing."""
    codes = []
    for i in range(0, len(packed) - 2, 3):
        b0, b1, b2 = packed[i:i + 3]
        codes += [b0 | ((b1 & 0x0F) << 8), (b1 >> 4) | (b2 << 4)]
    strings = {i: bytes([i]) for i in range(256)}
    next_code = 256
    out = bytearray()
    previous = None
    for code in codes:
        if code == END_CODE:
            return bytes(out)
        if previous is None:
            current = strings[code]
        elif code in strings:
            current = strings[code]
        elif code == next_code:
            current = previous + previous[:1]
        else:
            raise ValueError("undefined code %d" % code)
        if previous is not None and next_code < END_CODE:
            strings[next_code] = previous + current[:1]
            next_code += 1
        out += current
        previous = current
    raise ValueError("no end code")


# ---------------------------------------------------------------------------


def build_block(fonts_dir, report=None):
    block = (build_font(8, fonts_dir, report) + build_font(14, fonts_dir, report) +
             build_font(16, fonts_dir, report) + palette_2() + palette_16() +
             palette_64() + palette_256())
    assert len(block) == BLOCK_SIZE, len(block)
    # The PC's 8x8 'A' in our bit order; a different font or bit order shows here.
    if block[65 * 8:66 * 8] != bytes([0x0C, 0x1E, 0x33, 0x33, 0x3F, 0x33, 0x33, 0x00]):
        raise ValueError("8x8 glyph 65 is not the expected 'A'")
    return block


def render_cpp(block, packed):
    lines = [
        "// Generated by tools/make_builtin_data/make_builtin_data.py: do not edit.",
        "// The built-in fonts (code page 437, 8x8, 8x14, 8x16) and palettes (2, 16,",
        "// 64, 256 colours), %d bytes LZW-packed into %d." % (len(block), len(packed)),
        "// Glyphs from Debian console-data fonts (GPL-2.0):",
    ]
    names = sorted({name for sources in FONT_SOURCES.values() for name, _ in sources})
    for i in range(0, len(names), 4):
        lines.append("//   " + " ".join(names[i:i + 4]))
    lines += [
        '#include "gfx/builtin_data.h"',
        "",
        "const uint8_t builtin_data_packed[] = {",
    ]
    for i in range(0, len(packed), 16):
        lines.append("    " + " ".join("0x%02X," % b for b in packed[i:i + 16]))
    lines += [
        "};",
        "",
        "const size_t builtin_data_packed_size = sizeof(builtin_data_packed);",
        "",
        "const uint32_t builtin_data_crc32 = 0x%08XU;" % (zlib.crc32(block) & 0xFFFFFFFF),
        "",
    ]
    return "\n".join(lines)


def show_font(block, height):
    offset = {8: 0, 14: 2048, 16: 5632}[height]
    for code in range(256):
        glyph = block[offset + code * height: offset + (code + 1) * height]
        print("%02X U+%04X" % (code, CP437[code]))
        for row in glyph:
            print("  " + "".join("#" if row >> bit & 1 else "." for bit in range(8)))


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--fonts-dir", default=DEFAULT_FONTS_DIR)
    parser.add_argument("--output", default=DEFAULT_OUTPUT, help="generated C++ file")
    parser.add_argument("--raw", help="also write the unpacked block here")
    parser.add_argument("--check", action="store_true",
                        help="compare with --output instead of writing it; exit 1 if they differ")
    parser.add_argument("--show", type=int, choices=(8, 14, 16), help="print a font as text and exit")
    parser.add_argument("--verbose", action="store_true", help="list which font gave which codes")
    args = parser.parse_args()

    report = {}
    block = build_block(args.fonts_dir, report)
    if args.show:
        show_font(block, args.show)
        return 0
    if args.verbose:
        for name, codes in report.items():
            print("%s: %d glyphs" % (name, len(codes)), file=sys.stderr)

    packed = lzw_pack(block)
    if lzw_unpack(packed) != block:
        raise SystemExit("internal error: packed block does not unpack to the original")
    text = render_cpp(block, packed)

    if args.raw:
        with open(args.raw, "wb") as f:
            f.write(block)
    if args.check:
        try:
            with open(args.output, encoding="ascii") as f:
                same = f.read() == text
        except FileNotFoundError:
            same = False
        print("%s: %s" % (args.output, "up to date" if same else "DIFFERS"))
        return 0 if same else 1
    with open(args.output, "w", encoding="ascii", newline="\n") as f:
        f.write(text)
    print("wrote %s: %d bytes packed from %d" % (args.output, len(packed), len(block)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
