#!/usr/bin/env python3
"""The sample site served as the demo serves it, in Chromium: make-site
builds it, serve-site catalogues it and serves it with localweb (galleria,
a symbolic link in cgi-bin to the built program, as the CGI program over the
catalogue), and the browser walks it:

- the top index page with its folders and thumbnails;
- a folder's slide in the slide window;
- the search form, a galleria CGI result page with its entries and
  thumbnails, its second page, and a slide found opened in the slide window;
- what each result page says (the query, the number of entries found, a
  link back to the search form) for a match, for no match and for a query
  that is not written right, with the query shown as text, never as markup.

No page may raise a script error or fail to load anything. Ctrl+C then ends
the server cleanly, and no CGI response file is left in the site.
"""

import os
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from browser import Browser, free_port  # noqa: E402
from checks import BROWSER_IGNORE, check, finish  # noqa: E402

TOP = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
EXAMPLES = os.path.join(TOP, "examples")


class Server:
    """serve-site in the background; its output lines as they come."""

    def __init__(self, bin_dir, site):
        self.port = free_port()
        self.lines = []
        self.process = subprocess.Popen(
            [os.path.join(EXAMPLES, "serve-site"), bin_dir, site, str(self.port)],
            stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        self.reader = threading.Thread(target=self._read, daemon=True)
        self.reader.start()

    def _read(self):
        for line in self.process.stdout:
            self.lines.append(line.rstrip("\n"))

    def wait_ready(self):
        deadline = time.time() + 120
        while time.time() < deadline and self.process.poll() is None:
            if "Local mode enabled." in self.lines:
                return True
            time.sleep(0.05)
        return False

    def stop(self):
        """Ctrl+C; the exit code."""
        if self.process.poll() is None:
            self.process.send_signal(signal.SIGINT)
            try:
                self.process.wait(30)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        self.reader.join(10)
        return self.process.returncode


def into(b, *frames):
    b.top()
    for frame in frames:
        b.frame(frame)


def pictures_loaded(b, what):
    """Every picture of the current frame loaded, and how many there are."""
    try:
        return b.wait_for(lambda: b.run(
            "var all = Array.prototype.slice.call(document.images);"
            "return all.length && all.every(function (i) { return i.complete && i.naturalWidth; })"
            " ? all.length : 0;"), f"the pictures of {what}")
    except AssertionError:
        check(False, f"the pictures of {what} did not all load")
        return 0


def slide_in_window(b, page):
    """The slide window shows `page` and its picture."""
    check("/icons/slides.htm" in b.url(), f"the slide window is {b.url()}")
    into(b, "contentFrame")
    try:
        b.wait_for(lambda: b.run("return location.pathname") == page
                   and b.run("return document.readyState") == "complete", f"the slide {page}")
    except AssertionError:
        check(False, f"the slide window shows {b.run('return location.pathname')}, not {page}")
    pictures_loaded(b, page)


def index_page(b, base):
    b.open(base + "/index.htm")
    check(b.title() == "Sample Gallery", f"the top index's title is {b.title()!r}")
    for folder in ("birds", "city", "lakes"):
        check(b.find_all(f'a[href="{folder}/index.htm"]'), f"the top index does not list {folder}/")
    check(pictures_loaded(b, "the top index") >= 3, "the top index shows too few pictures")


def folder_slide(b, base):
    b.open(base + "/birds/index.htm")
    first = b.current_window()
    with b.new_window():
        b.find('a[href="javascript:SlideLink(1)"] img').click()
    slide_in_window(b, "/birds/heron.htm")
    b.close_window()
    b.window(first)


def entries(b):
    """The titles of the entries of a result page."""
    links = b.find_all('a[href^="javascript:SlideLink"], a[href$="index.htm"], a[href^="javascript:FramesetLink"]')
    return sorted({a.text for a in links if a.text})


def submit_search(b, base, query):
    """The search form sent with `query`; the result page is then open."""
    b.open(base + "/cgi-bin/")
    field = b.find('input[name="query"]')
    field.clear()
    field.type(query + "\n")
    b.wait_for(lambda: "/cgi-bin/galleria.cgi?" in b.url(), "the result page")


def searched(b, expected):
    """The result page's line on what was searched reads `expected`."""
    try:
        b.wait_for(lambda: b.find("#searched").text == expected, f"the line {expected!r}")
    except AssertionError:
        check(False, f"the result page says {b.find('#searched').text!r}, not {expected!r}")


def search(b, base):
    submit_search(b, base, "city")
    check("query=city" in b.url(), f"the result page is {b.url()}")
    text = b.text()
    check("Result Pages:" in text, "the result page has no page links")
    first = entries(b)
    check(first == ["City", "City at Night", "Crescent Moon", "Lights"],
          f"the first result page lists {first}")
    searched(b, "6 entries found for \u201Ccity\u201D; 1 to 4 shown.")
    pictures_loaded(b, "the first result page")
    b.find_link("2").click()
    b.wait_for(lambda: "first=4" in b.url(), "the second result page")
    searched(b, "6 entries found for \u201Ccity\u201D; 5 to 6 shown.")
    second = entries(b)
    check(second == ["River Bridge", "Towers"], f"the second result page lists {second}")
    pictures_loaded(b, "the second result page")
    with b.new_window():
        b.find_link("Towers").click()
    slide_in_window(b, "/city/towers.htm")
    b.close_window()


# Queries typed into the search form, and what their result page says: a
# match on one page, no match, and queries that are not written right (the
# last one also shows that a query is shown as text, not read as markup).
SEARCHES = [
    ("lakes", "4 entries found for \u201Clakes\u201D.", 4),
    ("sunflower", "Nothing found for \u201Csunflower\u201D.", 0),
    ("((", "Nothing found for \u201C((\u201D.", 0),
    ("<b>birds</b> &", "Nothing found for \u201C<b>birds</b> &\u201D.", 0),
]


def search_answers(b, base):
    for query, expected, count in SEARCHES:
        submit_search(b, base, query)
        searched(b, expected)
        check(not b.find_all("#searched *"), f"the line on {query!r} holds markup")
        found = len(b.find_all(".found"))
        check(found == count, f"the result page of {query!r} lists {found} entries")
        hint = "not written right" in b.text()
        check(hint == (count == 0), f"the result page of {query!r} {'lacks' if count == 0 else 'has'} the hint")
        b.find_link("New search").click()
        b.wait_for(lambda: b.url().endswith("/cgi-bin/"), "the search form again")
        check(b.find_all('input[name="query"]'), f"the link back from {query!r} shows no search form")


def main():
    bin_dir = os.path.abspath(sys.argv[1])
    work = tempfile.mkdtemp(prefix="weft-served-site-")
    site = os.path.join(work, "site")
    server = None
    try:
        made = subprocess.run([os.path.join(EXAMPLES, "make-site"), bin_dir, site],
                              capture_output=True, text=True, timeout=600)
        check(made.returncode == 0, f"make-site: {made.stdout}{made.stderr}")
        if made.returncode != 0:
            return finish()
        server = Server(bin_dir, site)
        if not server.wait_ready():
            check(False, "serve-site did not start: " + " | ".join(server.lines))
            return finish()
        base = f"http://127.0.0.1:{server.port}"
        check(server.lines[0] == f"The site:   {base}/index.htm", f"serve-site says {server.lines[0]!r}")
        with Browser(ignore=BROWSER_IGNORE) as b:
            for road in (index_page, folder_slide, search, search_answers):
                try:
                    road(b, base)
                except Exception as error:  # a road that breaks off is one failure
                    check(False, f"{road.__name__}: {type(error).__name__}: {error}")
            for problem in b.problems():
                check(False, f"browser: {problem}")
        code = server.stop()
        check(code == 0, f"the server ended with {code}")
        check(server.lines[-1:] == ["Server terminated by user."], f"the server's last words: {server.lines[-3:]}")
        check(not any("Error" in line for line in server.lines), f"the server reported: {server.lines}")
        left = [name for _, _, names in os.walk(site) for name in names
                if name.startswith("CGI") and name.endswith(".tmp")]
        check(not left, f"response files left in the site: {left}")
        # galleria answered through its link and wrote no page of its own.
        cgi_bin = os.path.join(site, "cgi-bin")
        check(os.path.islink(os.path.join(cgi_bin, "galleria")), "cgi-bin/galleria is no link")
        kept = sorted(os.listdir(cgi_bin))
        check(kept == ["cache.db", "galleria", "hidden.dir", "index.htm", "results.tpl", "weftcgi.ini"],
              f"cgi-bin holds {kept}")
        with open(os.path.join(cgi_bin, "index.htm")) as form:
            check("<H1>Search the gallery</H1>" in form.read(), "the search form was replaced")
    finally:
        if server:
            server.stop()
        shutil.rmtree(work, ignore_errors=True)
    return finish()


if __name__ == "__main__":
    sys.exit(main())
