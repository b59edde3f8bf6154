#!/usr/bin/env python3
"""Helpers for the story test: PNG pixels, the sound log's hash, clips assembled from the voice files.

  story_check.py fnv FILE...                 the 32-bit FNV-1a hash of each file's bytes (hex)
  story_check.py message DATA_DIR N          hash of voice message N assembled as the voice player
                                             does (44-byte PCM header, then the clip's samples)
  story_check.py count PNG X0 Y0 X1 Y1 R G B  pixels of that colour inside the rectangle
  story_check.py colours PNG X0 Y0 X1 Y1     the colours inside the rectangle, most frequent first
"""
import struct
import sys
import zlib


def fnv(data):
    h = 2166136261
    for b in data:
        h = ((h ^ b) * 16777619) & 0xFFFFFFFF
    return "%08x" % h


def wav_header(total):
    return (b"RIFF" + struct.pack("<I", total - 8) + b"WAVEfmt " +
            struct.pack("<IHHIIHH", 16, 1, 1, 22050, 44100, 2, 16) + b"data" + struct.pack("<I", total - 44))


def message(folder, n):
    idx = open(folder + "/MsgWav.idx", "rb").read()
    dat = open(folder + "/MsgWav.dat", "rb").read()
    offset, size = struct.unpack_from("<II", idx, (n - 1) * 8)
    shift = 44 if dat[:4] == b"RIFF" else 0
    clip = dat[offset + shift:offset + shift + size]
    return fnv(wav_header(44 + len(clip)) + clip)


def pixels(path):
    data = open(path, "rb").read()
    assert data[:8] == b"\x89PNG\r\n\x1a\n"
    at, idat, width, height, ctype = 8, b"", 0, 0, 0
    while at < len(data):
        length, kind = struct.unpack_from(">I4s", data, at)
        body = data[at + 8:at + 8 + length]
        if kind == b"IHDR":
            width, height, depth, ctype = struct.unpack_from(">IIBB", body)
            assert depth == 8 and ctype in (2, 6)
        elif kind == b"IDAT":
            idat += body
        at += 12 + length
    bpp = 3 if ctype == 2 else 4
    raw, stride, rows, prev = zlib.decompress(idat), width * bpp, [], bytearray(width * bpp)
    for y in range(height):
        f, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - bpp] if i >= bpp else 0
            b = prev[i]
            c = prev[i - bpp] if i >= bpp else 0
            if f == 1: line[i] = (line[i] + a) & 255
            elif f == 2: line[i] = (line[i] + b) & 255
            elif f == 3: line[i] = (line[i] + (a + b) // 2) & 255
            elif f == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append([tuple(line[x * bpp:x * bpp + 3]) for x in range(width)])
        prev = line
    return rows


def main(argv):
    if argv[1] == "fnv":
        for f in argv[2:]:
            print(fnv(open(f, "rb").read()))
    elif argv[1] == "message":
        print(message(argv[2], int(argv[3])))
    elif argv[1] in ("count", "colours"):
        rows = pixels(argv[2])
        x0, y0, x1, y1 = map(int, argv[3:7])
        seen = [rows[y][x] for y in range(y0, y1) for x in range(x0, x1)]
        if argv[1] == "count":
            want = tuple(map(int, argv[7:10]))
            print(sum(1 for p in seen if p == want))
        else:
            counts = {}
            for p in seen:
                counts[p] = counts.get(p, 0) + 1
            for p, n in sorted(counts.items(), key=lambda kv: -kv[1])[:12]:
                print("%d,%d,%d %d" % (p + (n,)))


if __name__ == "__main__":
    main(sys.argv)
