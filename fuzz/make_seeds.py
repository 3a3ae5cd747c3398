#!/usr/bin/env python3
"""Writes the seed inputs of the fuzz targets into fuzz/corpus/."""
import glob
import hashlib
import io
import os
import shutil
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)


def container(records):
    out = b""
    for section, key, value in records:
        out += b"\0" + section + b"\0" + key + b"\0" + str(len(value)).encode() + b"\0" + value
    return out + b"\0"


def cipher(data):
    key = hashlib.sha1(b"MarsoLeaf1984").digest()
    s = list(range(256))
    j = 0
    for k in range(256):
        j = (j + s[k] + key[k % 20]) % 256
        s[k], s[j] = s[j], s[k]
    out = bytearray(data)
    for start in range(0, len(out), 8192):
        i = j = 0
        for k in range(start, min(len(out), start + 8192)):
            i = (i + 1) % 256
            j = (j + s[i]) % 256
            s[i], s[j] = s[j], s[i]
            out[k] ^= s[(s[i] + s[j]) % 256]
    return bytes(out)


def write(folder, name, data):
    with open(os.path.join(HERE, "corpus", folder, name), "wb") as f:
        f.write(data)


record = container([(b"vop", b"yes", b"0"), (b"vop", b"ot1", b"first\r\nanswer"),
                    (b"vop", b"ot2", b"second"), (b"vop", b"V1", b"1"),
                    (b"Literature", b"Index", b"1"), (b"Literature", b"Punkt", b"p1")])
descriptor = container([(b"Base", b"Name", b"Seed"), (b"Base", b"Vop", b"2"),
                        (b"Base", b"Bil", b"2"), (b"Base", b"Pozdr", b"a\r\nb"),
                        (b"Literature", b"L1", b"page.htm")])

write("record_container", "two_records", b"\x04\x03Basevop" + container(
    [(b"Base", b"Vop", b"20"), (b"Base", b"Bil", b"30")]))
write("record_container", "question", b"\x03\x03vopot1" + record)
write("question_record", "enciphered", cipher(record))
write("question_record", "long", cipher(container([(b"vop", b"ot1", b"x" * 9000),
                                                   (b"vop", b"yes", b"1")])))

for method, label in ((zipfile.ZIP_DEFLATED, "deflated"), (zipfile.ZIP_STORED, "stored")):
    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, "w", method) as z:
        z.writestr("base.dni", descriptor)
        z.writestr("Skin/main.jpg", b"\xff\xd8\xff\xe0 not really")
        for t in (1, 2):
            for q in (1, 2):
                z.writestr(f"B{t}\\T.{q}", b"{\\rtf1 question}")
                z.writestr(f"B{t}/V.{q}", cipher(record))
    write("base_archive", label, buffer.getvalue())

# Question texts: the reader's test corpus and the demo base's RTF texts.
os.makedirs(os.path.join(HERE, "corpus", "rtf_reader"), exist_ok=True)
for source in sorted(glob.glob(os.path.join(ROOT, "tests", "richtext", "*", "*.rtf")) +
                     glob.glob(os.path.join(ROOT, "samples", "demo", "B*", "*.rtf"))):
    parts = os.path.relpath(source, ROOT).split(os.sep)
    name = "_".join(parts[-2:]) if parts[0] == "samples" else parts[-1]
    shutil.copyfile(source, os.path.join(HERE, "corpus", "rtf_reader", name))
