#!/usr/bin/env python3
"""Writes edid/EXPECTED.tsv: what lsscreens must read from each sample EDID.

It works from the edid-decode reference (edid/MANIFEST.tsv), not from the
tool's own parser, so the two are independent readings of the same bytes.

Rules (the platform's conventions):
- vendor: manufacturer id, bytes 8-9 big-endian; product: bytes 10-11
  little-endian. A manufacturer id of 0 gives the "unknown vendor" value
  0x756E6B6E and the "generic product" value 0x717.
- serial: bytes 12-15 little-endian; the placeholder 0x01010101 counts as 0.
- mm_width, mm_height: the first detailed timing's image size in mm, else
  the basic size in cm times 10; 0 by 0 when neither has both sides.
- name: each 0xFC descriptor's bytes up to its line feed, cut at the first
  byte outside printable ASCII; the pieces joined in order, a piece that
  repeats the whole text so far left out; trailing spaces removed.
"""
import csv
import pathlib

UNKNOWN_VENDOR = 0x756E6B6E
GENERIC_PRODUCT = 0x717
PLACEHOLDER_SERIAL = 0x01010101

here = pathlib.Path(__file__).resolve().parent / "edid"


def piece(raw_hex):
    payload = bytes.fromhex(raw_hex)
    if 0x0A in payload:
        payload = payload[: payload.index(0x0A)]
    text = ""
    for byte in payload:
        if not 0x20 <= byte <= 0x7E:
            break
        text += chr(byte)
    return text


def name(row):
    text = ""
    for raw in filter(None, row["fc_raw_hex"].split(",")):
        part = piece(raw)
        if text and part == text:
            continue
        text += part
    return text.rstrip(" ")


def size(row):
    for width, height, scale in (("dtd_mm_w", "dtd_mm_h", 1), ("size_cm_w", "size_cm_h", 10)):
        if row[width] not in ("", "0") and row[height] not in ("", "0"):
            return int(row[width]) * scale, int(row[height]) * scale
    return 0, 0


def main():
    rows = csv.DictReader(open(here / "MANIFEST.tsv", encoding="utf-8"), delimiter="\t")
    with open(here / "EXPECTED.tsv", "w", encoding="utf-8", newline="") as out:
        out.write("file\tvendor\tproduct\tserial\tmm_width\tmm_height\tname\n")
        for row in rows:
            vendor, product = int(row["mfg_id"]), int(row["product"])
            if vendor == 0:
                vendor, product = UNKNOWN_VENDOR, GENERIC_PRODUCT
            serial = int(row["serial"])
            if serial == PLACEHOLDER_SERIAL:
                serial = 0
            width, height = size(row)
            out.write(f"{row['file']}\t{vendor}\t{product}\t{serial}\t{width}\t{height}\t{name(row)}\n")


if __name__ == "__main__":
    main()
