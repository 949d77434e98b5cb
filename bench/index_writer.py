#!/usr/bin/env python3
"""The index page of a benchmark album as a short script would write it, to
time galleria against: it reads the same slide heads (title and FILEINFO)
and thumbnail headers (the JPEG frame size) and writes the same page as
galleria does with the benchmark's weft.ini (built-in table layout of three
columns, a back link to the parent at the drive's root, the slide summary in
the head), flushed and renamed into place as galleria puts its page.

    cd ALBUM && python3 index_writer.py       writes index.htm

Not general: it knows only the benchmark's folder (images with their slide
pages and thumbnails, no other files). bench/folders.sh compares its page
with galleria's byte for byte.
"""
import os
import re
import struct

HEAD_END = re.compile(rb"</HEAD>", re.I)
TITLE = re.compile(rb"<TITLE>(.*?)</TITLE>", re.I | re.S)
FILEINFO = re.compile(rb'<META NAME="FILEINFO" CONTENT="([^"]*)">', re.I)
SLIDE_INDEX = re.compile(rb" \( *\d+ of \d+\)$")


def read_head(path):
    """The title (its slide index taken off) and the FILEINFO text of a page."""
    with open(path, "rb") as f:
        text = f.read(4096)
    end = HEAD_END.search(text)
    head = text[: end.start()] if end else text
    title = TITLE.search(head)
    info = FILEINFO.search(head)
    title = SLIDE_INDEX.sub(b"", title.group(1).strip()) if title else b""
    return title, info.group(1) if info else b""


def jpeg_size(path):
    """Width and height from a JPEG's first frame header."""
    with open(path, "rb") as f:
        data = f.read(65536)
    at = 2
    while at + 9 <= len(data):
        marker, length = struct.unpack(">HH", data[at : at + 4])
        if 0xFFC0 <= marker <= 0xFFCF and marker not in (0xFFC4, 0xFFC8, 0xFFCC):
            height, width = struct.unpack(">HH", data[at + 5 : at + 9])
            return width, height
        at += 2 + length
    return 0, 0


def size_text(size):
    rows = [(1, 1000, " bytes", 0), (1024, 9.95, "KB", 1), (1, 1000, "KB", 0),
            (1024, 9.95, "MB", 1), (1, 1000, "MB", 0), (1024, 9.95, "GB", 1)]
    unit, places = "GB", 0
    for divisor, threshold, row_unit, row_places in rows:
        size /= divisor
        if size < threshold:
            unit, places = row_unit, row_places
            break
    return ", %.*f%s" % (places, size, unit)


def summary(infos):
    """The page's own FILEINFO: the slides' counts and averages."""
    total = width = height = 0
    sized = dimensioned = count = 0
    for info in infos:
        numbers = [int(n) for n in info.split(b"{", 1)[1].rstrip(b"}").split(b",")]
        if len(numbers) == 3:
            numbers += [1, 1, 1]  # a slide of its own
        total += numbers[0] * numbers[3]
        width += numbers[1] * numbers[4]
        height += numbers[2] * numbers[4]
        sized, dimensioned, count = sized + numbers[3], dimensioned + numbers[4], count + numbers[5]
    average = lambda s, n: int(s / n + 0.5) if n else 0
    return "%d slide%s%s; {%d, %d, %d, %d, %d, %d, 0}" % (
        sized, "" if sized == 1 else "s", size_text(float(total)), average(total, sized),
        average(width, dimensioned), average(height, dimensioned), sized, dimensioned, count)


def main():
    folder = os.path.basename(os.getcwd())
    names = sorted((n for n in os.listdir(".") if n.lower().endswith(".jpg")), key=lambda n: n.upper())
    cells, infos = [], []
    for name in names:
        stem = name[:-4]
        page = stem + ".htm"
        title, info = read_head(page)
        infos.append(info)
        thumb = "thumbs/tn_%s_jpg.jpg" % stem
        width, height = jpeg_size(thumb)
        text = info.split(b"; {", 1)[0].decode("latin-1")
        cells.append('<TD><A HREF="%s"><IMG SRC="%s" WIDTH=%d HEIGHT=%d></A></TD>\n'
                     '<TD><A HREF="%s">%s</A><BR><SMALL>[%s]</SMALL></TD>\n'
                     % (page, thumb, width, height, page, title.decode("latin-1"), text))
    out = ['<HTML>\n<HEAD>\n<TITLE>%s</TITLE>\n' % folder,
           '<META NAME="GENERATOR" CONTENT="Tessarin Index Builder, v2.10 by Dunmarrow">\n',
           '<META NAME="FILEINFO" CONTENT="%s">\n</HEAD>\n\n' % summary(infos),
           '<BODY BGCOLOR="#F6F4EE" TEXT="#202020" LINK="#1A4F8A" VLINK="#5A3A7A">\n',
           '<CENTER>\nBack to\n<A HREF="../index.htm">[root]</A>\n</CENTER>\n\n\n<HR>\n<CENTER>\n',
           '<BIG><BIG><BIG><B>%s</B></BIG></BIG></BIG>\n</CENTER>\n<HR>\n\n<P>\n<TABLE>\n' % folder]
    for row in range(0, len(cells), 3):
        out.append("<TR>\n" + '<TD WIDTH=16></TD>\n'.join(cells[row : row + 3]) + "</TR>\n")
    out.append("</TABLE>\n</BODY>\n</HTML>\n")
    with open("index.new", "w", encoding="latin-1") as f:
        f.write("".join(out))
        f.flush()
        os.fsync(f.fileno())
    os.rename("index.new", "index.htm")


main()
