#!/usr/bin/env python3
"""A moved album's links mended, then followed in Chromium.

The photos of C:/.../site/old moved to site/new. pagebase catalogues the
site into "index.db" (an image is filed under its own path, its slide page
beside it); hrefmend then mends the page that still links to the old slide
pages: a titled link and an untitled one. Chromium, opening the mended page
from its file, follows each link to the slide page in its new place, never
to the bare image; a link to a page that works is left pointing where it did.
"""

import os
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from browser import Browser  # noqa: E402
from checks import BROWSER_IGNORE, GIF, check, finish, write  # noqa: E402






def slide(title):
    return (f"<HTML><HEAD><TITLE>{title}</TITLE>\n"
            f"<META NAME=\"KEYWORDS\" CONTENT=\"sea\"></HEAD>\n"
            f"<BODY><H1 ID=\"slide\">{title}</H1></BODY></HTML>\n")


PAGE = ("<HTML><HEAD><TITLE>Walks</TITLE></HEAD><BODY>\n"
        "<A ID=\"shell\" HREF=\"../old/shell.htm\" TITLE=\"Shell\">the shell</A>\n"
        "<A ID=\"crab\" HREF=\"../old/crab.htm\">a crab</A>\n"
        "<A ID=\"home\" HREF=\"home.htm\" TITLE=\"Home\">home</A>\n"
        "</BODY></HTML>\n")


def run(bin_dir, program, args, cwd, stdout=None):
    result = subprocess.run([os.path.join(bin_dir, program)] + args, cwd=cwd, stdout=stdout,
                            stderr=subprocess.PIPE, text=True, timeout=60)
    return result


def build_site(bin_dir, site):
    for name, title in (("shell", "Shell"), ("crab", "Crab")):
        write(os.path.join(site, "new", name + ".gif"), GIF)
        write(os.path.join(site, "new", name + ".htm"), slide(title))
    write(os.path.join(site, "pages", "page.htm"), PAGE)
    write(os.path.join(site, "pages", "home.htm"), slide("Home page"))
    with open(os.path.join(site, "index.db"), "w") as db:
        built = run(bin_dir, "pagebase", [], site, stdout=db)
    check(built.returncode == 0, f"pagebase: exit {built.returncode}, {built.stderr!r}")
    with open(os.path.join(site, "index.db")) as db:
        records = db.read()
    check("shell.gif\t" in records and "shell.htm\t" not in records,
          f"the slide page is filed under its image: {records!r}")
    mended = run(bin_dir, "hrefmend", ["page.htm"], os.path.join(site, "pages"),
                 stdout=subprocess.PIPE)
    check(mended.returncode == 0, f"hrefmend: exit {mended.returncode}, {mended.stderr!r}")
    check("..\\old\\shell.htm --> ..\\new\\shell.htm" in mended.stdout,
          f"hrefmend report: {mended.stdout!r}")


def follow(browser, page_url, link_id, slide_title, target):
    browser.open(page_url)
    browser.find("#" + link_id).click()
    try:
        shown = browser.wait_for(lambda: browser.run(
            "var h = document.getElementById('slide'); return h ? h.textContent : '';"),
            f"the page behind {link_id}")
    except AssertionError as timeout:
        shown = str(timeout)
    check(shown == slide_title, f"{link_id}: shows {shown!r}, not {slide_title!r}")
    check(browser.url().endswith(target), f"{link_id}: at {browser.url()}, not {target}")


def main():
    bin_dir = os.path.abspath(sys.argv[1])
    top = tempfile.mkdtemp(prefix="weft-links-")
    try:
        site = os.path.join(top, "site")
        build_site(bin_dir, site)
        page_url = "file://" + os.path.join(site, "pages", "page.htm")
        with Browser(ignore=BROWSER_IGNORE) as browser:
            follow(browser, page_url, "shell", "Shell", "/new/shell.htm")
            follow(browser, page_url, "crab", "Crab", "/new/crab.htm")
            follow(browser, page_url, "home", "Home page", "/pages/home.htm")
            for problem in browser.problems():
                check(False, f"browser: {problem}")
    finally:
        shutil.rmtree(top, ignore_errors=True)
    return finish()


if __name__ == "__main__":
    sys.exit(main())
