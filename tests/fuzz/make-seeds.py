#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into corpus/<target>/.

The targets read their inputs through libFuzzer's FuzzedDataProvider: texts
from the front (a text ends at a backslash followed by any other byte; a
doubled backslash is one backslash), numbers from the back, the first number
taken being the last byte. TInput builds inputs the same way, so that each seed
starts the target on a meaningful case. Run it again after changing how a
target reads its input; the seeds it writes are checked in."""
import os
import shutil

HERE = os.path.dirname(os.path.abspath(__file__))


class TInput:
    def __init__(self):
        self.front = bytearray()
        self.back = []  # in the order taken

    def text(self, value, max_length):
        data = value.encode("latin-1") if isinstance(value, str) else bytes(value)
        assert len(data) <= max_length
        self.front += data.replace(b"\\", b"\\\\")
        if len(data) < max_length:
            self.front += b"\\ "

    def number(self, value, low, high):
        """An integer in [low, high], as ConsumeIntegralInRange takes it."""
        span, count = high - low, 0
        while span >> (8 * count):
            count += 1
        raw = (value - low).to_bytes(max(count, 1), "big")[-count:] if count else b""
        self.back += list(raw)

    def bool(self, value):
        self.back.append(1 if value else 0)

    def bytes(self):
        return bytes(self.front) + bytes(reversed(self.back))


def write(target, seeds):
    folder = os.path.join(HERE, "corpus", target)
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    for name, data in seeds.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)


AREAS = open(os.path.join(HERE, "..", "..", "examples", "host", "Plugins", "brevlund.dom"),
             "rb").read()
BANDS = ["1.8", "3.5", "7", "10", "14", "18", "21", "24", "28", " 14", "14 ", "1.8:3.5", "", "7:14"]

write("area_list_fuzz", {
    "example": AREAS,
    "line-ends": b"AB=AB\r\nCD=CD\rEF=EF\nGH=GH\r\n\r\nIJ=IJ",
    "names-and-values": b"ab=AB\nCD=cd\nEF=EF \nAB=ZZ\n=XY\nGH=GHIJKL\n  KL = KL\nno equals\nMN==MN",
    "nul-ends-the-text": b"AB=AB\nCD=CD\x00EF=EF\n",
    "high-bytes": b"\xe9\xe9=\xe9\xe9\n\xc9A=\xc9A\nOP=OP\n",
})


def qso(seed, kind, call, band, mode, exchange):
    """A QSO of short texts; kind bit 0x10 records it, 0x20 sorts after."""
    seed.number(kind, 0, 255)
    seed.text(call, 6)
    if kind % 4 == 2:
        seed.number(BANDS.index(band), 0, 13)
    else:
        seed.text(band, 5)
    seed.text(mode, 4)
    seed.text(exchange, 8)


def again(seed, kind, index, history, change=0, value=None):
    """A QSO of before again (change 0) or with one field changed."""
    seed.number(kind, 0, 255)
    seed.number(index, 0, history - 1)
    seed.number(change, 0, 4)
    if change == 2:
        seed.number(BANDS.index(value), 0, 13)
    elif change:
        seed.text(value, {1: 6, 3: 4, 4: 8}[change])


def contest():
    s = TInput()
    s.text("AB=AB\nCD=CD\nef=EF\nGH=GH \nIJ=ij", 256)
    qso(s, 0x32, "SM5A", "14", "CW", "599 ab")
    qso(s, 0x32, "SM5A", "7", "CW", "599 CD")
    qso(s, 0x32, "DL1C", "1.8", "SSB", "59 EF")
    again(s, 0x11, 0, 3)  # a duplicate
    again(s, 0x01, 1, 4, 3, "SSB")  # asked, not recorded
    qso(s, 0x33, "OH2B", "10", "CW", "GH")
    qso(s, 0x32, "sm5a", "14", "CW", "59 IJ")
    again(s, 0x31, 2, 7, 2, " 14")
    return s.bytes()


def same_call():
    s = TInput()
    s.text("AB=AB", 256)
    for band in ["14", "7", "3.5", "21"]:
        qso(s, 0x12, "K1ABC", band, "CW", "AB")
    for index in range(4):
        again(s, 0x11, index, 4 + index)
    return s.bytes()


def raw_context():
    s = TInput()
    s.text("AB=AB", 256)
    s.number(0x10, 0, 255)
    s.number(268, 0, 5915)
    body = bytes([4]) + b"SM5A" + bytes(267) + bytes([2]) + b"14" + bytes(253) + bytes([2]) + b"CW"
    s.number(len(body), 0, 5916 - 268)
    s.front += body
    return s.bytes()


write("score_qso_fuzz", {"contest": contest(), "same-call": same_call(),
                         "raw-context": raw_context()})

STORE = ("[Software\\Logger\\TfmMainForm]\nFormVersion=sz:0\nNormPos(1024x768)=sz:10,20,384,216\n"
         "CurrentBand=sz:5\nOdd=dword:7\n[Software\\Logger\\TfmDomList]\nVisible=sz:1\n"
         "%5Bx%5D=sz:a%25b%0D%0A\n")


def store(text, writes):
    """Parts of key paths are texts, or numbers that pick a part named before
    (0 Software, 1 Logger, 2 TfmMainForm, then the texts in order)."""
    s = TInput()
    s.text(text, 2048)
    named = 3
    for through_key, parts, name, kind, data in writes:
        s.bool(through_key)
        s.number(len(parts), 0 if through_key else 1, 3)
        for part in parts:
            s.bool(isinstance(part, int))
            if isinstance(part, int):
                s.number(part, 0, named - 1)
            else:
                s.text(part, 6)
                named += 1
        s.text(name, 8)
        if not through_key:
            s.number(kind, 0, 3)
        s.text(data, 16)
    return s.bytes()


write("file_store_fuzz", {
    "placement": store(STORE, [(True, [2], "NormPos", 0, "1,2,3,4"),
                               (True, [], "Flags", 0, "0"),
                               (False, [0, 1], "flags", 1, "x")]),
    "odd-names": store("; a comment\n[A]\n[a\\B]\n=sz:\n", [
        (False, ["[k]", "a=b"], "%;", 0, "\r\n"), (True, ["x\ny"], "", 0, "%00"),
        (False, ["[K]"], "%;", 2, "again")]),
    "malformed": store("[Software\nName sz\n", [(True, ["T"], "N", 0, "V")]),
})

write("short_string_fuzz", {
    "short": b"\x07" + b"\x03abc\xff\xfe\xfd" + b"SM5A",
    "long": b"\x00" + b"K" * 300,
    "exactly-255": b"\x02" + b"\x10" + b"\x00" + b"x" * 255,
})
