#!/usr/bin/env python3
"""Writes the seed corpora under fuzz/corpus/ in the input formats of the fuzz targets (see each target's
opening comment). Run it again after changing a format; the seeds are kept in the repository."""
import datetime
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
KEY = "Kx7Qm2Vt9Lr4Wz8N"


def put(target, name, data):
    d = os.path.join(HERE, "corpus", target)
    os.makedirs(d, exist_ok=True)
    with open(os.path.join(d, name), "wb") as f:
        f.write(data)


def scramble(data, key):
    b = bytearray(data)
    for g, pos in enumerate(range(0, len(b), 4)):
        c = ord(key[g % len(key)])
        b[pos] ^= c & 0xFF
        if pos + 1 < len(b):
            b[pos + 1] ^= c >> 8
    return bytes(b)


def field(text, width):
    raw = text.encode("gbk")[:width]
    return raw + b"\0" * (width - len(raw))


def ymd(d):
    return d.year * 10000 + d.month * 100 + d.day


def bars(first, closes):
    out, d = b"", first
    for c in closes:
        while d.weekday() > 4:
            d += datetime.timedelta(days=1)
        out += struct.pack("<ii8siii12s", ymd(d), c, b"\0" * 8, c, c // 10, c * 3, b"\0" * 12)
        d += datetime.timedelta(days=1)
    return out


def section(data):
    return struct.pack("<H", len(data)) + data


# Settings-file bytes: a mode byte (1 compress, 2 decompress, 4 key, 8 compact text), then the content.
settings = b'{"form":{"height":900,"width":1000},"lhb":{"attention":[3,17],"filter":{"1":{"0":true},"2":{"0":true,"2":true},"3":{}}}}'
put("fuzz_json", "settings", b"\x03" + settings)
put("fuzz_json", "plain", b"\x00" + settings)
put("fuzz_json", "scrambled", b"\x07" + settings)
put("fuzz_json", "utf16", b"\x03\xff\xfe" + '{"名称":"中文","n":-1.5e3}'.encode("utf-16-le"))
put("fuzz_json", "trailing", b"\x0b" + b'{"x":[1,2,{"y":null}]} trailing \x00\xff')
put("fuzz_json", "array", b"\x02[true,false,null,\"\\u4e2d\\\"\",18446744073709551615,-9223372036854775808]")
put("fuzz_json", "string", b'\x00"just a string"')
put("fuzz_json", "deep", b"\x03" + b"[" * 600 + b"]" * 600)

# Decompress: zlib streams whole, cut short, followed by bytes, stored, and no stream at all.
text = b"The quick brown fox jumps over the lazy dog. " * 40
put("fuzz_decompress", "whole", zlib.compress(text))
put("fuzz_decompress", "cut", zlib.compress(text)[:60])
put("fuzz_decompress", "trailing", zlib.compress(b"abc") + b"extra bytes")
put("fuzz_decompress", "stored", zlib.compress(text, 0))
put("fuzz_decompress", "empty", zlib.compress(b""))
put("fuzz_decompress", "garbage", b"not a zlib stream")
put("fuzz_decompress", "records", zlib.compress(field("600000", 8) + field("浦发银行", 8)))

# Bar lookups: a stock byte, the key, the offset, then the bar file.
first = datetime.date(2024, 1, 1)
series = bars(first, [1000 * (i + 1) for i in range(12)])
put("fuzz_daybar", "by-date", b"\x00" + struct.pack("<ii", 20240105, 5) + series)
put("fuzz_daybar", "newest", b"\x01" + struct.pack("<ii", 0, 0) + series)
put("fuzz_daybar", "back", b"\x02" + struct.pack("<ii", 3, -2) + series[:200] + b"\x01\x02")
put("fuzz_daybar", "unsorted", b"\x00" + struct.pack("<ii", 20240110, 0) + series[120:200] + series[:120])
put("fuzz_daybar", "empty", b"\x00" + struct.pack("<ii", 20240105, 0))

# Holdings responses: a mode byte (1 UTF-8 instead of GBK, 2 the change list's grid, 4 a row limit of 3).
put("fuzz_holdings", "ranking", b'\x00{"data":["1,600000,X,,5","2,000001,Y,120.5,-3,9.8,1.2,9.1"]}')
put("fuzz_holdings", "changes", b'\x03\xef\xbb\xbf{"total":2,"data":["1,600000,\xe6\xb5\xa6\xe5\x8f\x91,\xe5\xbc\xa0,100,9.1,0.09,\xe7\xab\x9e\xe4\xbb\xb7,0.1,1000,A,\xe6\x9d\x8e,\xe8\x91\xa3\xe4\xba\x8b,\xe6\x9c\xac\xe4\xba\xba,2015-03-02 00:00:00"]}\r\n')
put("fuzz_holdings", "quoted", b'\x00{"data":["\\"a,b\\",\\"c\\"\\"d\\",e"]}')
put("fuzz_holdings", "numbers", b'\x04{"data":[1,2.5,true,null,[1,2],"x","y","z"]}')
put("fuzz_holdings", "empty", b'\x00{"data":[]}')
put("fuzz_holdings", "nested", b'\x00{"data":["1"],"o":{"k":1}}')
put("fuzz_holdings", "gbk", b'\x00{"data":["1,600000,' + "浦发银行".encode("gbk") + b',,5"]}')

# Report links: the separator byte, then the text.
put("fuzz_reportlink", "opens", b"#page#r&t=Annual&u=doc.pdf")
put("fuzz_reportlink", "blank", b"#page#r&t=Annual report&u=x")
put("fuzz_reportlink", "query", b"#page#r&t=A&u=view.asp?id=7")
put("fuzz_reportlink", "quoted", b'&a&"b&c""d"&  e &')
put("fuzz_reportlink", "script", b"#page#r&t=T&u=javascript:alert(1)")
put("fuzz_reportlink", "relative", b"#http://h/p#r&t=T&u=../r/r001.html")

# Data sets: flags, day count, end date as days after 2015-01-01, then the sections (see fuzz_stock.cpp).
end = datetime.date(2015, 3, 2)
codes = b"\0\0" + field("600000", 6) + field("浦发银行", 8) + b"\0\0" + field("000001", 6) + field("平安银行", 8)
seats = field("机构专用", 64) + field("甲营业部 ", 64) + field("乙" * 32, 64)
recs = b""
for i in range(8):
    d = end - datetime.timedelta(days=i)
    recs += struct.pack("<iiddi", i % 2, i % 3, 1e6 * (i + 1), 5e5 * (8 - i), ymd(d))
finance = b"\0" * 8
for market, code, base in (("SH", "600000", 2.5e9), ("sz", "000001", 1.9e10)):
    finance += field(market, 2) + b"\0\0" + field(code, 6) + b"\0" * 32 + struct.pack("<f", base) + b"\0" * 120
bars0 = bars(datetime.date(2015, 2, 2), [10000 + 137 * i for i in range(25)])
bars1 = bars(datetime.date(2015, 2, 2), [9000 - 95 * i for i in range(25)])
attention = struct.pack("<iii", 1, 2, 7)
scheme = b'{"1":{"1":true},"2":{"1":false,"3":true},"3":{"0":true,"1":1,"2":100,"15":true,"16":1,"17":0}}'
head = struct.pack("<BBH", 0, 7, (end - datetime.date(2015, 1, 1)).days)
body = b"".join(section(s) for s in (codes, seats, recs, finance, bars0, bars1, attention, scheme))
put("fuzz_stock", "packed", head + body)
put("fuzz_stock", "watch-and-scheme", struct.pack("<BBH", 48, 30, (end - datetime.date(2015, 1, 1)).days) + body)
raw = b"".join(section(s) for s in (scramble(zlib.compress(codes), KEY), zlib.compress(seats), recs,
                                      finance, bars0, bars1))
put("fuzz_stock", "raw", struct.pack("<BBH", 1 | 2 | 4, 7, (end - datetime.date(2015, 1, 1)).days) + raw)
put("fuzz_stock", "no-key", struct.pack("<BBH", 8, 3, (end - datetime.date(2015, 1, 1)).days) + body)
bad = struct.pack("<iiddi", 5, 0, float("nan"), float("inf"), 20150302) + struct.pack("<iiddi", 0, -1, -1.0, 1e308, 99999999)
put("fuzz_stock", "bad-records", head + b"".join(section(s) for s in (codes, seats, recs + bad, finance, bars0[:50])))

# Download manifests: one valid, one naming a file outside the data set, an empty one and a cut one.
import json  # noqa: E402
sha = "0" * 63 + "a"
manifest = {"format": 1,
            "files": [{"path": "Data/code.dat", "size": 120, "sha256": sha, "mtime": 1700000000000},
                      {"path": "Data/国内股票-上证证券/day/600000.day", "size": 400, "sha256": sha, "mtime": 0}],
            "programs": [{"path": "Update/Client", "size": 1, "sha256": sha, "mtime": 5, "name": "client"}]}
put("fuzz_manifest", "manifest", json.dumps(manifest, ensure_ascii=False).encode())
manifest["files"] = [{"path": "../etc/passwd", "size": 1, "sha256": sha, "mtime": 1}]
put("fuzz_manifest", "traversal", json.dumps(manifest).encode())
put("fuzz_manifest", "empty", b'{"format":1,"files":[]}')
put("fuzz_manifest", "notjson", b'{"format":1,')
