#!/usr/bin/env python3
"""Writes resources/codepages/cpNNN.bin, the tables brcc32 reads the double-byte code pages
932, 936, 949 and 950 with (src/rules/dbcs_code_pages.cpp embeds them at build time).

The characters come from Python's codecs, which follow Microsoft's code page tables. Where
glibc's iconv (read through ctypes) reads a byte sequence those codecs leave undefined, or
reads it otherwise, iconv's reading is taken: it holds what Windows maps there (936's 0x80 is
the euro sign; 950's ETEN area C6A1-C8FE is private use). Which of two sequences of the same
character is written when text goes back into the code page follows iconv too (932 writes the
IBM extensions FAxx-FCxx, not the NEC-selected EDxx-EExx copies).

Layout, little-endian:
  32 bytes   lead bytes, a bit per byte value
  32 bytes   trail bytes, a bit per byte value
  2 bytes    the character a sequence with no mapping reads as
  512 bytes  the character of each single byte; 0xFFFF for a lead byte or no mapping
  2 bytes    N, then N * 2 bytes: sequences (lead << 8 | trail) read but never written
  then, per lead byte in ascending order, 191 * 2 bytes: the characters of trails 0x40-0xFE
  (0xFFFF: no mapping)

Run it from the top of the source tree: python3 scripts/make-codepage-tables.py
"""

import ctypes
import ctypes.util
import pathlib
import struct

NONE = 0xFFFF
TRAIL_FIRST, TRAIL_LAST = 0x40, 0xFE


def byte_set(*ranges):
    out = set()
    for first, last in ranges:
        out.update(range(first, last + 1))
    return out


# The byte structure of each code page (the lead bytes CPINFO names and the trail bytes
# they take) and the character Windows reads a sequence with no mapping as.
CODE_PAGES = {
    932: ("cp932", "CP932", byte_set((0x81, 0x9F), (0xE0, 0xFC)),
          byte_set((0x40, 0x7E), (0x80, 0xFC)), 0x30FB),
    936: ("cp936", "CP936", byte_set((0x81, 0xFE)), byte_set((0x40, 0x7E), (0x80, 0xFE)), 0x003F),
    949: ("cp949", "CP949", byte_set((0x81, 0xFE)),
          byte_set((0x41, 0x5A), (0x61, 0x7A), (0x81, 0xFE)), 0x003F),
    950: ("cp950", "CP950", byte_set((0x81, 0xFE)), byte_set((0x40, 0x7E), (0xA1, 0xFE)), 0x003F),
}


class Iconv:
    def __init__(self, name):
        self.libc = ctypes.CDLL(ctypes.util.find_library("c"), use_errno=True)
        self.libc.iconv_open.restype = ctypes.c_void_p
        self.libc.iconv_open.argtypes = [ctypes.c_char_p, ctypes.c_char_p]
        self.libc.iconv.restype = ctypes.c_size_t
        pointer = ctypes.POINTER(ctypes.c_char_p)
        size = ctypes.POINTER(ctypes.c_size_t)
        self.libc.iconv.argtypes = [ctypes.c_void_p, pointer, size, pointer, size]
        self.decoder = self.libc.iconv_open(b"UTF-16LE", name.encode())
        self.encoder = self.libc.iconv_open(name.encode(), b"UTF-16LE")
        if self.decoder in (None, ctypes.c_void_p(-1).value):
            raise SystemExit(f"iconv knows no {name}")

    def _run(self, handle, data):
        self.libc.iconv(handle, None, None, None, None)
        source = ctypes.create_string_buffer(data, len(data))
        target = ctypes.create_string_buffer(16)
        source_at = ctypes.c_char_p(ctypes.addressof(source))
        target_at = ctypes.c_char_p(ctypes.addressof(target))
        source_left, target_left = ctypes.c_size_t(len(data)), ctypes.c_size_t(16)
        result = self.libc.iconv(handle, ctypes.byref(source_at), ctypes.byref(source_left),
                                 ctypes.byref(target_at), ctypes.byref(target_left))
        if result == ctypes.c_size_t(-1).value or source_left.value:
            return None
        return target.raw[:16 - target_left.value]

    def decode(self, data):
        out = self._run(self.decoder, data)
        return None if out is None else out.decode("utf-16le")

    def encode(self, char):
        return self._run(self.encoder, char.encode("utf-16le"))


def one_char(text):
    return ord(text) if text is not None and len(text) == 1 and ord(text) <= 0xFFFF else None


def python_decode(codec, data):
    try:
        return data.decode(codec)
    except UnicodeDecodeError:
        return None


def build(number, codec, iconv_name, leads, trails, default):
    iconv = Iconv(iconv_name)
    singles = [NONE] * 256
    for byte in range(256):
        if byte in leads:
            continue
        value = one_char(iconv.decode(bytes([byte]))) or one_char(python_decode(codec, bytes([byte])))
        if value is None and byte == 0:
            value = 0
        singles[byte] = NONE if value is None else value
    rows = {}
    for lead in sorted(leads):
        row = [NONE] * (TRAIL_LAST - TRAIL_FIRST + 1)
        for trail in range(TRAIL_FIRST, TRAIL_LAST + 1):
            pair = bytes([lead, trail])
            value = one_char(iconv.decode(pair))
            if value is None:
                value = one_char(python_decode(codec, pair))
            if value is not None:
                assert trail in trails, f"{number}: {pair.hex()} outside the trail bytes"
                row[trail - TRAIL_FIRST] = value
        rows[lead] = row
    # Every pair Python reads must lie inside the lead and trail bytes.
    for lead in range(0x80, 0x100):
        for trail in range(0x100):
            if one_char(python_decode(codec, bytes([lead, trail]))) is not None and lead not in leads:
                assert singles[lead] != NONE, f"{number}: {lead:02X}{trail:02X} has no lead byte"
    # Sequences of a character that another sequence is written for.
    by_char = {}
    for lead, row in rows.items():
        for index, value in enumerate(row):
            if value != NONE:
                by_char.setdefault(value, []).append((lead << 8) | (index + TRAIL_FIRST))
    for byte, value in enumerate(singles):
        if value != NONE:
            by_char.setdefault(value, []).insert(0, byte)
    read_only = []
    for value, sequences in sorted(by_char.items()):
        if len(sequences) < 2:
            continue
        written = iconv.encode(chr(value))
        if written is None:
            written = chr(value).encode(codec)
        chosen = int.from_bytes(written, "big")
        assert chosen in sequences, f"{number}: U+{value:04X} written as {written.hex()}"
        read_only.extend(s for s in sequences if s != chosen)
    read_only.sort()
    out = bytearray()
    for chosen in (leads, trails):
        bits = bytearray(32)
        for byte in chosen:
            bits[byte >> 3] |= 1 << (byte & 7)
        out += bits
    out += struct.pack("<H", default)
    out += struct.pack("<256H", *singles)
    out += struct.pack("<H", len(read_only)) + struct.pack(f"<{len(read_only)}H", *read_only)
    for lead in sorted(leads):
        out += struct.pack(f"<{len(rows[lead])}H", *rows[lead])
    return bytes(out)


def main():
    folder = pathlib.Path(__file__).resolve().parent.parent / "resources" / "codepages"
    folder.mkdir(parents=True, exist_ok=True)
    for number, (codec, iconv_name, leads, trails, default) in CODE_PAGES.items():
        data = build(number, codec, iconv_name, leads, trails, default)
        (folder / f"cp{number}.bin").write_bytes(data)
        print(f"cp{number}.bin: {len(data)} bytes")


if __name__ == "__main__":
    main()
