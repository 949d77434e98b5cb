#!/usr/bin/env python3
"""The searchable and the sequence index pages in Chromium: their frames load
the icons directory's "search.htm" and "controls.htm" when the site is
served from its own folder as the web root, and the searchable page's frame
also when the site is opened from its files. (Chromium gives every file its
own origin, so a sequence page opened from its files cannot see the flag
that controls.htm sets for its FRAMESET: that page is checked served.)

galleria builds a searchable index in the site's top folder (icons beside
it) and a sequence index in an album one level down; the icons directory
holds small stand-ins for the two frame pages that mark themselves loaded.
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from browser import Browser  # noqa: E402
from checks import BROWSER_IGNORE, GIF, check, finish, write  # noqa: E402



# The pages the frames load; each says who it is, and controls.htm supplies
# what the sequence page's FRAMESET asks of it.
SEARCH_HTM = "<HTML><BODY><P ID=\"frame\">search frame</P></BODY></HTML>\n"
CONTROLS_HTM = (
    "<HTML><HEAD><SCRIPT>\n"
    "parent.contentStale = false;\n"
    "function displayCurrentPage() {}\n"
    "</SCRIPT></HEAD><BODY><P ID=\"frame\">controls frame</P></BODY></HTML>\n")




def galleria(bin_dir, folder, site, mode):
    write(os.path.join(site, "icons", "weft.ini"), f"slides=window\nindex={mode}\n")
    run = subprocess.run([os.path.join(bin_dir, "galleria")], cwd=folder, capture_output=True,
                         text=True, timeout=60)
    check(run.returncode == 0 and run.stderr == "",
          f"galleria {mode} in {folder}: exit {run.returncode}, {run.stderr!r}")


def build_site(bin_dir, site):
    write(os.path.join(site, "icons", "search.htm"), SEARCH_HTM)
    write(os.path.join(site, "icons", "controls.htm"), CONTROLS_HTM)
    album = os.path.join(site, "album")
    write(os.path.join(album, "shell.gif"), GIF)
    galleria(bin_dir, album, site, "sequence")
    galleria(bin_dir, site, site, "searchable")


def check_frame(browser, url, frame_name, text):
    browser.open(url)
    browser.frame(frame_name)
    try:
        shown = browser.wait_for(lambda: browser.run(
            "var p = document.getElementById('frame'); return p ? p.textContent : '';"),
            f"the {frame_name} of {url}")
    except AssertionError as timeout:
        shown = str(timeout)
    check(shown == text, f"{url}: {frame_name} shows {shown!r}, not {text!r}")
    browser.top()


def check_site(browser, base, sequence=True):
    check_frame(browser, base + "index.htm", "searchFrame", "search frame")
    if sequence:
        check_frame(browser, base + "album/index.htm", "inputFrame", "controls frame")


def serve(site):
    """Python's own web server with the site's folder as its web root."""
    server = subprocess.Popen(
        [sys.executable, "-u", "-m", "http.server", "--bind", "127.0.0.1", "0"], cwd=site,
        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    line = server.stdout.readline()
    port = re.search(r"port (\d+)", line)
    if not port:
        server.kill()
        server.wait()
        raise RuntimeError(f"http.server did not start: {line!r}")
    return server, f"http://127.0.0.1:{port.group(1)}/"


def main():
    bin_dir = os.path.abspath(sys.argv[1])
    top = tempfile.mkdtemp(prefix="weft-frames-")
    server = None
    try:
        site = os.path.join(top, "site")
        build_site(bin_dir, site)
        with Browser(ignore=BROWSER_IGNORE) as browser:
            check_site(browser, "file://" + site + "/", sequence=False)
            server, base = serve(site)
            check_site(browser, base)
            for problem in browser.problems():
                check(False, f"browser: {problem}")
    finally:
        if server:
            server.terminate()
            server.wait()
        shutil.rmtree(top, ignore_errors=True)
    return finish()


if __name__ == "__main__":
    sys.exit(main())
