#!/usr/bin/env python3
"""Recomputes the known answers of the encoder's tests with an encoder of its own.

It shares no code with encoder/ or the tests: TEA, the pad generator and the record are
written out here, and the CRC-32 is Python's zlib. It reads the default key and the
rows {text, seed, encoding} of the known-answer table from the test file, encodes each
text anew, and fails unless every row agrees:

    python3 tests/reference/known_answers.py tests/encoder_test.cpp
"""
import re
import struct
import sys
import zlib

MASK = 0xFFFFFFFF


def tea_encrypt(x, y, k):
    total = 0
    for _ in range(32):
        total = (total + 0x9E3779B9) & MASK
        x = (x + ((((y << 4) + k[0]) ^ (y + total) ^ ((y >> 5) + k[1])) & MASK)) & MASK
        y = (y + ((((x << 4) + k[2]) ^ (x + total) ^ ((x >> 5) + k[3])) & MASK)) & MASK
    return x, y


def encode(text, seed, key):
    state = seed

    def rand():
        nonlocal state
        state = (state * 214013 + 2531011) & MASK
        return (state >> 16) & 0x7FFF

    pad = (4 - len(text) if len(text) < 3 else 0) + rand() % 4 + 1
    record = bytearray([pad] + [rand() & 0xFF for _ in range(pad)]) + text
    record += zlib.crc32(record).to_bytes(4, "big")
    for i in range(len(record) - 7):
        struct.pack_into("<II", record, i, *tea_encrypt(*struct.unpack_from("<II", record, i), key))
    return record.hex().upper()


def number(literal):
    return int(literal.replace("'", "").rstrip("uU"), 0)


def main(test_file):
    source = open(test_file, encoding="utf-8").read()
    key = [number(w) for w in re.search(r"public_default_key = \{([^}]*)\}", source)[1].split(",")]
    table = re.search(r"KnownAnswersUnderTheDefaultKey.*?rows\[\] = \{(.*?)\n    \};", source, re.S)
    held = len(re.findall(r"^\s*\{", table[1], re.M)) if table else 0
    rows = re.findall(r'\{"([^"\\]*)", ((?:0[xX])?[0-9A-Fa-f\']+)U?, "([0-9A-F]+)"\}', table[1] if table else "")
    if len(key) != 4 or not rows or len(rows) != held:
        sys.exit(f"{test_file}: read {len(rows)} of the {held} known answers (and {len(key)} key words)")
    wrong = 0
    for text, seed, expected in rows:
        got = encode(text.encode("ascii"), number(seed), key)
        wrong += got != expected
        print(f"{'ok' if got == expected else 'WRONG'}: {text!r} seed {number(seed)}: {got}")
    sys.exit(1 if wrong else 0)


if __name__ == "__main__":
    main(sys.argv[1])
