#!/usr/bin/env python3
"""The site kit (kit/) at work in Chromium, in every mode, on a small site
that the programs build and localweb serves:

- slide window (slides=window): a thumbnail opens the slide window, which
  shows that slide scaled to its frame, steps to the next one and closes;
  a second thumbnail reuses the open window;
- slides in frames (slides=frameset): a thumbnail opens "frameset.htm" on its
  slide; the controls step back and return to the index;
- searchable index: a keyword typed into the search frame (and one picked
  from its list) shows only the matching entries; a page found opens, a
  slide found opens in the slide window, a folder found opens its sequence
  index, whose Back returns to the searchable index;
- sequence index: starts with the first slide, steps to the next;
- links=open: a page opens in a window of its own, a sequence index fills
  the window (IndexLink, FramesetLink);
- a movie slide plays its movie in a window of its own (MovieLink).

No page may raise a script error or fail to load anything.
"""

import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from browser import Browser, WebDriverError, answers, free_port  # noqa: E402
from checks import BROWSER_IGNORE, check, finish, walk_roads, write  # noqa: E402

TOP = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
KIT = os.path.join(TOP, "kit")
GALLERY = os.path.join(TOP, "examples", "gallery")


# --- The site -------------------------------------------------------------------

def head(title, description="", keywords=""):
    lines = ["<HTML>", "<HEAD>", f"<TITLE>{title}</TITLE>"]
    if description:
        lines.append(f'<META NAME="DESCRIPTION" CONTENT="{description}">')
    if keywords:
        lines.append(f'<META NAME="KEYWORDS" CONTENT="{keywords}">')
    return "\n".join(lines + ["</HEAD>", "", "<BODY>", "</BODY>", "</HTML>", ""])


# Each folder: its mode lines (its "folder.ini"), its title and keywords, its
# photos (copied from the sample gallery) with their titles and keywords,
# listed in the order of their titles, and its other files.
FOLDERS = {
    "": ("", "Kit Test", "", [], ["waves.mp4"]),
    "window": ("slides=window\n", "Window", "birds",
               [("birds/finch.jpg", "a.jpg", "Finch", "finch"),
                ("birds/gulls.jpg", "b.jpg", "Gulls", "gulls"),
                ("birds/heron.jpg", "c.jpg", "Heron", "heron")], []),
    "frames": ("slides=frameset\n", "Frames", "lakes",
               [("lakes/dawn.jpg", "a.jpg", "Dawn", "dawn"),
                ("lakes/reeds.jpg", "b.jpg", "Reeds", "reeds")], []),
    "search": ("index=searchable\nslides=window\n", "Search", "city",
               [("city/bridge.jpg", "bridge.jpg", "Red Bridge", "bridge, river"),
                ("city/towers.jpg", "towers.jpg", "Towers", "towers")], []),
    "search/tour": ("index=sequence\nslides=window\n", "Night Tour", "night, tour",
                    [("city/night/lights.jpg", "lights.jpg", "Lights", "lights"),
                     ("city/night/moon.jpg", "moon.jpg", "Moon", "moon")], []),
    "open": ("slides=window\nlinks=open\nbacklink=close\n", "Open", "open",
             [("lakes/mirror.jpg", "mirror.jpg", "Mirror", "mirror")], []),
    "open/seq": ("index=sequence\nslides=window\n", "Sequence", "seq",
                 [("birds/heron.jpg", "one.jpg", "One", ""),
                  ("birds/gulls.jpg", "two.jpg", "Two", "")], []),
}


def build_site(bin_dir, site):
    write(os.path.join(site, "icons", "weft.ini"),
          "thumbSize=100,100\nmovie=mp4\nbody=BGCOLOR=\"#F0F0F0\"\nconfigfile=folder.ini\n")
    for name in os.listdir(KIT):
        shutil.copy(os.path.join(KIT, name), os.path.join(site, "icons", name))
    for folder, (mode, title, keywords, photos, files) in FOLDERS.items():
        path = os.path.join(site, folder)
        write(os.path.join(path, "index.htm"), head(title, f"The {title.lower()} folder.", keywords))
        if mode:
            write(os.path.join(path, "folder.ini"), mode)
        for source, name, photo_title, photo_keywords in photos:
            shutil.copy(os.path.join(GALLERY, source), os.path.join(path, name))
            write(os.path.join(path, name[:-4] + ".htm"), head(photo_title, f"{photo_title}.", photo_keywords))
        for name in files:
            shutil.copy(os.path.join(GALLERY, name), os.path.join(path, name))
    write(os.path.join(site, "waves.htm"), head("Waves", "A movie.", "sea"))
    # A page with a keyword of its own, for the search and for links=open.
    write(os.path.join(site, "search", "harbour.htm"), head("Harbour Notes", "Notes.", "harbour, notes"))
    write(os.path.join(site, "open", "notes.htm"), head("Open Notes", "Notes.", "notes"))
    env = dict(os.environ, WEFTDRIVES=f"C={site}")
    for folder in sorted(FOLDERS, key=lambda f: -f.count("/") - (f != "")):
        path = os.path.join(site, folder)
        os.makedirs(os.path.join(path, "thumbs"), exist_ok=True)
        for command in (["minipix"], ["viewreel", "/B", "/H", "/U"], ["galleria"]):
            run = subprocess.run([os.path.join(bin_dir, command[0])] + command[1:], cwd=path, env=env,
                                 capture_output=True, text=True, timeout=120)
            check(run.returncode == 0 and "Error" not in run.stderr + run.stdout,
                  f"{command[0]} in /{folder}: exit {run.returncode} {run.stdout}{run.stderr}")


# --- localweb -------------------------------------------------------------------

def start_localweb(bin_dir, site, log, env=None):
    """localweb started in the site's folder, serving it as the root of its
    drive (drive C:, unless `env` maps the drives); (process, base URL)."""
    env = env or dict(os.environ, WEFTDRIVES=f"C={site}")
    for _ in range(5):
        port = free_port()
        server = subprocess.Popen([os.path.join(bin_dir, "localweb"), f"/P:{port}"], cwd=site, env=env,
                                  stdin=subprocess.DEVNULL, stdout=log, stderr=log)
        deadline = time.time() + 10
        while time.time() < deadline and server.poll() is None and not answers(port):
            time.sleep(0.05)
        if server.poll() is None and answers(port):
            return server, f"http://127.0.0.1:{port}/"
        stop(server)
    raise RuntimeError("localweb did not start")


def stop(server):
    if server.poll() is None:
        server.terminate()
        try:
            server.wait(10)
        except subprocess.TimeoutExpired:
            server.kill()
            server.wait()


# --- Browsing helpers ---------------------------------------------------------------

def here(b, loaded=False):
    """The current frame's address ("" while it is between two pages); with
    loaded, only once its page has loaded whole."""
    try:
        return b.run("return !arguments[0] || document.readyState == 'complete' ? location.href : '';",
                     loaded)
    except WebDriverError:
        return ""


def into(b, *frames):
    b.top()
    for frame in frames:
        b.frame(frame)


def wait_content(b, page, what):
    """Waits until the content frame shows `page` (a path ending)."""
    into(b, "contentFrame")
    try:
        b.wait_for(lambda: here(b, loaded=True).endswith(page), what)
    except AssertionError:
        check(False, f"{what}: the content frame shows {here(b)}")


def controls_text(b):
    into(b, "inputFrame")
    return b.run("return document.getElementById('position').textContent")


def click_control(b, action):
    into(b, "inputFrame")
    b.find(f'a[href="javascript:{action}()"]').click()


def slide_picture(b, name):
    """The content frame's picture: loaded, and no wider than the frame."""
    into(b, "contentFrame")
    size = b.wait_for(lambda: b.run(
        "var i = document.images[0];"
        "return i && i.complete && i.naturalWidth ? [i.src, i.width, innerWidth] : null;"), f"the picture {name}")
    check(size[0].endswith("/" + name), f"the slide shows {size[0]}, not {name}")
    check(0 < size[1] <= size[2], f"{name} is {size[1]} pixels wide in a frame of {size[2]}")


# --- The roads ---------------------------------------------------------------------

def slide_window(b, base):
    b.open(base + "window/index.htm")
    first = b.current_window()
    with b.new_window():
        b.find('a[href="javascript:SlideLink(1)"] img').click()
    check(b.url().endswith("/icons/slides.htm#2"), f"the slide window is {b.url()}")
    wait_content(b, "/window/b.htm", "the slide window's first slide")
    slide_picture(b, "b.jpg")
    check(controls_text(b) == "2 of 3", f"the controls say {controls_text(b)!r}")
    click_control(b, "NextPage")
    wait_content(b, "/window/c.htm", "the next slide")
    check(controls_text(b) == "3 of 3", "the controls do not count the next slide")
    # A second thumbnail shows its slide in the open window.
    b.window(first)
    b.find('a[href="javascript:SlideLink(0)"] img').click()
    check(len(b.windows()) == 2, f"{len(b.windows())} windows after the second thumbnail")
    b.window([w for w in b.windows() if w != first][0])
    wait_content(b, "/window/a.htm", "the slide of the second thumbnail")
    click_control(b, "GoBack")
    b.wait_for(lambda: len(b.windows()) == 1, "the slide window to close")
    b.window(first)


def frame_slides(b, base):
    b.open(base + "frames/index.htm")
    b.find('a[href="frameset.htm#2"] img').click()
    b.wait_for(lambda: b.url().endswith("/frames/frameset.htm#2"), "frameset.htm")
    wait_content(b, "/frames/b.htm", "the frameset's slide")
    slide_picture(b, "b.jpg")
    click_control(b, "PreviousPage")
    wait_content(b, "/frames/a.htm", "the previous slide")
    check(controls_text(b) == "1 of 2", "the controls do not count the previous slide")
    click_control(b, "GoBack")
    b.top()
    b.wait_for(lambda: b.url().endswith("/frames/index.htm"), "the way back to the index")


def search_for(b, words):
    b.top()
    b.wait_for(lambda: b.run("return document.readyState") == "complete", "the searchable index")
    into(b, "searchFrame")
    field = b.find('input[name="words"]')
    field.clear()
    field.type(words + "\n")
    into(b, "contentFrame")
    return b.wait_for(lambda: "match" in b.text() and b.text(), f"the result of {words!r}")


def links_shown(b):
    """The titles of the entries that the content frame shows."""
    into(b, "contentFrame")
    return [a.text for a in b.find_all("a b")]


def searchable_index(b, base):
    b.open(base + "search/index.htm")
    into(b, "contentFrame")
    b.wait_for(lambda: "Red Bridge" in b.text(), "the whole index in the content frame")
    check(links_shown(b) == ["Harbour Notes", "Night Tour", "Red Bridge", "Towers"],
          f"the whole index shows {links_shown(b)}")
    text = search_for(b, "harbour")
    check("1 entry matches" in text, f"the search for harbour says {text!r}")
    check(links_shown(b) == ["Harbour Notes"], f"the search for harbour shows {links_shown(b)}")
    # A keyword picked from the list.
    into(b, "searchFrame")
    options = b.run("return Array.prototype.map.call(document.forms.searchForm.keywordList.options,"
                    " function (o) { return o.value; });")
    check("river" in options and "notes" in options, f"the keyword list is {options}")
    b.run("var list = document.forms.searchForm.keywordList;"
          "list.value = 'river'; list.dispatchEvent(new Event('change'));")
    into(b, "contentFrame")
    b.wait_for(lambda: "river" in b.text(), "the search for the picked keyword")
    check(links_shown(b) == ["Red Bridge"], f"the keyword river shows {links_shown(b)}")
    # A slide found opens in the slide window, which has only the slides found.
    with b.new_window():
        b.find_link("Red Bridge").click()
    wait_content(b, "/search/bridge.htm", "the slide found")
    slide_picture(b, "bridge.jpg")
    check(controls_text(b) == "1 of 1", f"the slide window of the search says {controls_text(b)!r}")
    b.close_window()
    # A page found, then a folder found, which opens its sequence index.
    search_for(b, "harbour")
    b.find_link("Harbour Notes").click()
    b.top()
    b.wait_for(lambda: b.url().endswith("/search/harbour.htm"), "the page found")
    b.back()
    search_for(b, "tour")
    b.find_link("Night Tour").click()
    b.top()
    b.wait_for(lambda: b.url().endswith("/search/tour/index.htm"), "the folder found")
    wait_content(b, "/search/tour/lights.htm", "the folder's sequence")
    click_control(b, "GoBack")
    b.top()
    b.wait_for(lambda: b.url().endswith("/search/index.htm"), "the sequence's way back to the search")


def sequence_index(b, base):
    b.open(base + "search/tour/index.htm")
    wait_content(b, "/search/tour/lights.htm", "the sequence's first slide")
    slide_picture(b, "lights.jpg")
    check(controls_text(b) == "1 of 2", f"the sequence's controls say {controls_text(b)!r}")
    click_control(b, "NextPage")
    wait_content(b, "/search/tour/moon.htm", "the sequence's next slide")
    slide_picture(b, "moon.jpg")


def open_links(b, base):
    b.open(base + "open/index.htm")
    first = b.current_window()
    with b.new_window():
        b.find("a[href=\"javascript:IndexLink('notes.htm')\"]").click()
    b.wait_for(lambda: b.url().endswith("/open/notes.htm"), "the page in a window of its own")
    b.close_window()
    b.window(first)
    b.find("a[href=\"javascript:FramesetLink('seq/index.htm')\"]").click()
    b.wait_for(lambda: b.url().endswith("/open/seq/index.htm"), "the sequence index in the whole window")
    wait_content(b, "/open/seq/one.htm", "the sequence's first slide")


def movie(b, base):
    b.open(base + "waves.htm")
    with b.new_window():
        b.find('img[src="icons/smovie.gif"]').click()
    # Loaded whole (or failed) before the window closes, so that closing
    # breaks off no load.
    state = b.wait_for(lambda: b.run(
        "var v = document.querySelector('video');"
        "return v && (v.error || v.readyState >= 1 && v.networkState != 2) ?"
        " [v.currentSrc, v.videoWidth, v.error && v.error.code] : null;"),
        "the movie player")
    check(state[0].endswith("/waves.mp4") and state[1] > 0 and not state[2], f"the movie player: {state}")
    b.close_window()


def main():
    bin_dir = os.path.abspath(sys.argv[1])
    top = tempfile.mkdtemp(prefix="weft-kit-")
    server = None
    try:
        site = os.path.join(top, "site")
        build_site(bin_dir, site)
        log = open(os.path.join(top, "localweb.log"), "w")
        server, base = start_localweb(bin_dir, site, log)
        with Browser(ignore=BROWSER_IGNORE) as b:
            walk_roads(b, (slide_window, frame_slides, searchable_index, sequence_index, open_links, movie),
                       base)
    finally:
        if server:
            stop(server)
        shutil.rmtree(top, ignore_errors=True)
    return finish()


if __name__ == "__main__":
    sys.exit(main())
