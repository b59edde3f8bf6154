#!/usr/bin/env python3
"""Helpers for the story test: PNG pixels, the sound log's hash, clips assembled from the voice files.

  story_check.py fnv FILE...                 the 32-bit FNV-1a hash of each file's bytes (hex)
  story_check.py message DATA_DIR N          hash of voice message N assembled as the voice player
                                             does (44-byte PCM header, then the clip's samples)
  story_check.py count PNG X0 Y0 X1 Y1 R G B  pixels of that colour inside the rectangle
  story_check.py colours PNG X0 Y0 X1 Y1     the colours inside the rectangle, most frequent first
  story_check.py markers PNG MANIFEST CX CY SCALE HITS
                                             the nearby search's markers: for each hit line of
                                             velko-area --nearby in HITS, its sign (the manifest's
                                             landmark picture of its brand) on a map
                                             centred on map point (CX, CY) at SCALE pixels a unit
                                             on a 240 x 320 screen; prints "hit=I visible=N fill=M":
                                             N pixels of the sign that no later sign, the chosen
                                             hit's mark (hit 0) or the dialog below y 166 covers,
                                             M of them in the picture's fill colour
  story_check.py order MATCH WAVDIR PLAYED VOICE_DIR   checks the hashes in PLAYED (one a line)
                                             against the prompts velko-gpsmatch --guide printed to
                                             MATCH and wrote to WAVDIR: prints ok or what is wrong
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


def clip(folder, source, n):
    """The samples of clip n (from 1) of a clip file: main (Wav), additional (AddWav, 32-byte
    index records) or message (MsgWav); the data file may start with a 44-byte WAV header."""
    name, record = {"c": ("Wav", 8), "a": ("AddWav", 32), "m": ("MsgWav", 8)}[source]
    idx = open(folder + "/" + name + ".idx", "rb").read()
    dat = open(folder + "/" + name + ".dat", "rb").read()
    offset, size = struct.unpack_from("<II", idx, (n - 1) * record)
    shift = 44 if dat[:4] == b"RIFF" else 0
    return dat[offset + shift:offset + shift + size]


def assemble(folder, ids):
    """The image the voice player makes of clip ids as velko-gpsmatch prints them (a1 additional,
    m1 message, 1 main): a 44-byte PCM header, then the clips' samples."""
    body = b"".join(clip(folder, i[0], int(i[1:])) if i[0] in "am" else clip(folder, "c", int(i)) for i in ids)
    return fnv(wav_header(44 + len(body)) + body)


def message(folder, n):
    return assemble(folder, ["m%d" % n])


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


def order(match, wavdir, played, voice):
    """The played prompts against the route's: manoeuvre prompts in route order ending with the
    arrival; safe-driving point notices (clip 82 among the first three) those of the route's
    points, at any of the route's distance bands and with or without the point's speed limit
    (a long step skips the band that first names the limit, and can bring a point's notice in the
    fix of the next manoeuvre prompt)."""
    import glob
    import re
    lines = [re.search(r"kind=(\S*) clips=(\S*)", line).groups() for line in open(match) if line.startswith("prompt ")]
    hashes = [fnv(open(f, "rb").read()) for f in sorted(glob.glob(wavdir + "/prompt-*.wav"))]
    if len(lines) != len(hashes) or not lines:
        return "the route's prompts and clips do not pair up"
    # Only the spoken manoeuvre and point prompts (not the speed beep or messages).
    pairs = [(c, h) for (kind, c), h in zip(lines, hashes) if kind == "prompt"]
    clips, hashes = [c for c, _ in pairs], [h for _, h in pairs]
    point = lambda c: "82" in c.split(",")[:3]
    turns = [h for c, h in zip(clips, hashes) if not point(c)]
    points = set()
    bands = {c.split(",")[0] for c in clips}
    for c in clips:
        if not point(c):
            continue
        ids = c.split(",")
        body = ids[1:ids.index("82") + 1]
        for band in bands:
            points.add(assemble(voice, [band] + body))
            if "146" in ids:
                points.add(assemble(voice, [band] + body + ids[ids.index("146"):]))
    for c, h in zip(clips, hashes):
        if assemble(voice, c.split(",")) != h:
            return "velko-gpsmatch's clip %s is not its ids %s assembled" % (h, c)
    arrival = [h for c, h in zip(clips, hashes) if c == "84,87,86"]
    if not arrival or turns[-1] != arrival[0]:
        return "the route's guidance does not end with the arrival"
    at = 0
    said = [h.strip() for h in open(played) if h.strip()]
    for h in said:
        if h in points:
            continue
        while at < len(turns) and turns[at] != h:
            at += 1
        if at == len(turns):
            return "prompt %s is not the route's next one" % h
        at += 1
    heard = [h for h in said if h not in points]
    if not heard or heard[-1] != arrival[0]:
        return "the drive's prompts do not end with the arrival"
    return "ok"


def markers(png, manifest, cx, cy, scale, hits):
    fills, sizes = {}, {}
    for line in open(manifest, encoding="utf-8"):
        parts = line.strip().split("|")
        if len(parts) == 6 and parts[0].startswith("DisSymbol\\Landmark\\"):
            code = int(parts[0].rsplit("\\", 1)[1])
            fills[code] = tuple(int(parts[4][i:i + 2], 16) for i in (1, 3, 5))
            sizes[code] = tuple(map(int, parts[1].split("x")))
    found = []
    for line in open(hits, encoding="utf-8"):
        if not line.startswith("hit="):
            continue
        f = dict(kv.split("=", 1) for kv in line.split() if "=" in kv)
        # Point-file x is 5/6 of the map's; screen y grows downwards.
        sx = 120 + (int(int(f["x"]) * 1.2) - cx) * scale
        sy = 160 - (int(f["y"]) - cy) * scale
        found.append((int(f["hit"]), int(f["brand"]), int(round(sx)), int(round(sy))))
    rows = pixels(png)
    boxes = []
    for i, brand, sx, sy in found:
        w, h = sizes.get(brand, (24, 30))
        # Drawn with its bottom centre 8 pixels below the point: at (x - h/2, y - h + 8); the sign
        # is the square on top, less a pixel all round for rounding.
        left, top = sx - h // 2, sy - 2 * (h // 2) + 8
        boxes.append(((left, top, left + w, top + h), (left + 1, top + 1, left + w - 1, top + w - 1)))
    for n, (i, brand, sx, sy) in enumerate(found):
        covers = [b[0] for b in boxes[n + 1:]]
        if found and found[0][0] == 0:
            covers.append((found[0][2] - 15, found[0][3] - 15, found[0][2], found[0][3]))
        x0, y0, x1, y1 = boxes[n][1]
        visible = fill = 0
        for y in range(max(0, y0), min(166, y1)):
            for x in range(max(0, x0), min(240, x1)):
                if any(a <= x < c and b <= y < d for a, b, c, d in covers):
                    continue
                visible += 1
                fill += rows[y][x] == fills.get(brand)
        print("hit=%d visible=%d fill=%d" % (i, visible, fill))


def main(argv):
    if argv[1] == "fnv":
        for f in argv[2:]:
            print(fnv(open(f, "rb").read()))
    elif argv[1] == "message":
        print(message(argv[2], int(argv[3])))
    elif argv[1] == "order":
        print(order(argv[2], argv[3], argv[4], argv[5]))
    elif argv[1] == "markers":
        markers(argv[2], argv[3], int(argv[4]), int(argv[5]), float(argv[6]), argv[7])
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
