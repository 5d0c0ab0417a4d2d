#!/usr/bin/env python3
"""Builds the graphics library's built-in data block and writes it, LZW-packed,
as gfx/screen/builtin_data_block.cpp.

The block (10742 bytes) is laid out as:

    8x8 font    256 glyphs x  8 rows   2048 bytes
    8x14 font   256 glyphs x 14 rows   3584 bytes
    8x16 font   256 glyphs x 16 rows   4096 bytes
    palette 2     2 RGB triples           6 bytes
    palette 16   16 RGB triples          48 bytes
    palette 64   64 RGB triples         192 bytes
    palette 256 256 RGB triples         768 bytes

Glyphs are in code page 437 order, one byte per row, bit 0 = leftmost pixel.
They come from the public-domain VGA glyph files in fonts/ beside this tool
(see fonts/README.md), which store bit 7 leftmost; each row is reversed. The
output only depends on those files, so running the tool twice gives the same
file byte for byte.

Usage:
    make_builtin_data.py [--fonts-dir DIR] [--output FILE] [--raw FILE]
                         [--check] [--show 8|14|16]
"""

import argparse
import os
import sys
import zlib

BLOCK_SIZE = 10742
TOOL_DIR = os.path.dirname(os.path.abspath(__file__))
DEFAULT_FONTS_DIR = os.path.join(TOOL_DIR, "fonts")
REPO_ROOT = os.path.normpath(os.path.join(TOOL_DIR, "..", ".."))
DEFAULT_OUTPUT = os.path.join(REPO_ROOT, "gfx", "screen", "builtin_data_block.cpp")

# The glyph file of each height: 256 glyphs in code order, one byte per row
# from the top, bit 7 = leftmost pixel.
FONT_FILES = {8: "cp437-8x8.bin", 14: "cp437-8x14.bin", 16: "cp437-8x16.bin"}

REVERSED_BITS = [int("{:08b}".format(b)[::-1], 2) for b in range(256)]


def build_font(height, fonts_dir):
    path = os.path.join(fonts_dir, FONT_FILES[height])
    with open(path, "rb") as f:
        raw = f.read()
    if len(raw) != 256 * height:
        raise ValueError("%s: %d bytes, wanted %d (256 glyphs of %d rows)" % (path, len(raw), 256 * height, height))
    return bytes(REVERSED_BITS[b] for b in raw)


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


def build_block(fonts_dir):
    block = (build_font(8, fonts_dir) + build_font(14, fonts_dir) + build_font(16, fonts_dir) +
             palette_2() + palette_16() + palette_64() + palette_256())
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
        "// Glyphs: the public-domain VGA sets in tools/make_builtin_data/fonts/.",
        '#include "gfx/screen/builtin_data.h"',
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
        print("%02X" % code)
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
    args = parser.parse_args()

    block = build_block(args.fonts_dir)
    if args.show:
        show_font(block, args.show)
        return 0

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
