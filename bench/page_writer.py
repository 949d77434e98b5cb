#!/usr/bin/env python3
"""A slide page for every JPEG image of the current folder, each put in
place as a careful writer does: written under a temporary name, flushed to
disk (fsync) and renamed over the page's name. The floor that viewreel's
replace step is timed against in bench/folders.sh.

    cd ALBUM && python3 page_writer.py
"""
import os

for name in sorted(os.listdir(".")):
    if not name.lower().endswith(".jpg"):
        continue
    page = name[:-4] + ".htm"
    text = '<HTML><HEAD><TITLE>%s</TITLE></HEAD><BODY><IMG SRC="%s"></BODY></HTML>\n' % (name, name)
    fd = os.open("temp.$$$", os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o666)
    os.write(fd, text.encode("latin-1"))
    os.fsync(fd)
    os.close(fd)
    os.rename("temp.$$$", page)
