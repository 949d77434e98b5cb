#!/usr/bin/env python3
"""A searchable index page whose texts try to end its script block, in
Chromium: a page's keywords hold "</script><script>...</script>", its title
and description a quote and a backslash. galleria builds the searchable
index of the folder; opened in the browser, the page's own script must run
whole, its arrays must hold the texts exactly as written, and no script
from the texts may run.
"""

import os
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from browser import Browser  # noqa: E402
from checks import BROWSER_IGNORE, check, finish, write  # noqa: E402

INJECTED = "</script><script>window.injected = 1;</script>"
PAGE = (
    "<HTML>\n<HEAD>\n<TITLE>Say \"hi\" \\ there</TITLE>\n"
    "<META NAME=\"DESCRIPTION\" CONTENT=\"back\\slash\">\n"
    "<META NAME=\"KEYWORDS\" CONTENT=\"&lt;/script&gt;&lt;script&gt;window.injected = 1;"
    "&lt;/script&gt;, sea\">\n"
    "</HEAD>\n<BODY>\n</BODY>\n</HTML>\n")


def build_site(bin_dir, site):
    write(os.path.join(site, "icons", "search.htm"), "<HTML><BODY>search</BODY></HTML>\n")
    write(os.path.join(site, "icons", "weft.ini"), "slides=window\nindex=searchable\n")
    album = os.path.join(site, "album")
    write(os.path.join(album, "notes.htm"), PAGE)
    run = subprocess.run([os.path.join(bin_dir, "galleria")], cwd=album, capture_output=True,
                         text=True, timeout=60)
    check(run.returncode == 0 and run.stderr == "",
          f"galleria: exit {run.returncode}, {run.stderr!r}")
    return os.path.join(album, "index.htm")


def check_page(browser, url):
    browser.open(url)
    seen = browser.run(
        "return [typeof injected, typeof keyword == 'undefined' ? null : keyword,"
        " typeof hlink == 'undefined' ? null : [hlink[0].title, hlink[0].description,"
        " hlink[0].keywords]];")
    check(seen[0] == "undefined", "a script from the page's texts ran")
    check(seen[1] == [INJECTED, "sea"], f"keyword array is {seen[1]!r}")
    check(seen[2] == ["Say &quot;hi&quot; \\ there", "back\\slash", "," + INJECTED + ",sea,"],
          f"hlink[0] is {seen[2]!r}")


def main():
    bin_dir = os.path.abspath(sys.argv[1])
    top = tempfile.mkdtemp(prefix="weft-search-script-")
    try:
        index = build_site(bin_dir, os.path.join(top, "site"))
        with Browser(ignore=BROWSER_IGNORE) as browser:
            check_page(browser, "file://" + index)
            for problem in browser.problems():
                check(False, f"browser: {problem}")
    finally:
        shutil.rmtree(top, ignore_errors=True)
    return finish()


if __name__ == "__main__":
    sys.exit(main())
