#!/usr/bin/env python3
"""A site's batch-file CGI programs served by localweb, in Chromium, while
another visitor's CGI program is still at work:

- each page a batch file writes arrives at once, many in a row, with the
  query the browser sent written out as data (its '&' and '=' never run
  anything);
- a batch file whose output redirection names a FIFO is told so at once
  and goes on, and nothing waits for a reader;
- the slow program's page arrives whole once it may finish.

localweb serves each connection on a thread of its own and runs each CGI
program in a process of its own; a batch file runs in the suite's command
interpreter, which must start whatever the server's other threads hold.
"""

import os
import shutil
import subprocess
import sys
import tempfile
import threading
import time
import urllib.request

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from browser import Browser, answers, free_port  # noqa: E402
from checks import BROWSER_IGNORE, check, finish, write  # noqa: E402

# Longer than any page of a quick batch file should take, shorter than the
# server's own time limit for a CGI program.
QUICK_SECONDS = 10


def make_site(site):
    cgi = os.path.join(site, "cgi")
    write(os.path.join(cgi, "quick.bat"),
          "@echo off\r\necho Content-type: text/plain\r\necho.\r\necho quick [%QUERY_STRING%]\r\n")
    write(os.path.join(cgi, "fifo.bat"),
          "@echo off\r\necho Content-type: text/plain\r\necho.\r\n"
          "echo lost > pipe || echo refused at once\r\nexit /b 0\r\n")
    os.mkfifo(os.path.join(cgi, "pipe"))
    slow = os.path.join(cgi, "slow")
    write(slow, "#!/bin/sh\n"
                "i=0\n"
                "while [ ! -e go ] && [ $i -lt 600 ]; do /bin/sleep 0.05; i=$((i + 1)); done\n"
                "printf 'Content-type: text/plain\\n\\nslow\\n'\n")
    os.chmod(slow, 0o755)


def start_localweb(bin_dir, site, log):
    env = dict(os.environ, WEFTDRIVES=f"C={site}")
    env.pop("COMSPEC", None)
    port = free_port()
    server = subprocess.Popen([os.path.join(bin_dir, "localweb"), f"/P:{port}"], cwd=site, env=env,
                              stdin=subprocess.DEVNULL, stdout=log, stderr=log)
    deadline = time.time() + 10
    while time.time() < deadline and server.poll() is None and not answers(port):
        time.sleep(0.05)
    if server.poll() is not None or not answers(port):
        stop(server)
        raise RuntimeError("localweb did not start")
    return server, f"http://127.0.0.1:{port}/"


def stop(server):
    if server.poll() is None:
        server.terminate()
        try:
            server.wait(10)
        except subprocess.TimeoutExpired:
            server.kill()
            server.wait()


def page_within(b, url, seconds):
    """Opens the page; its text and whether it came within `seconds`."""
    start = time.time()
    b.open(url)
    return b.text(), time.time() - start <= seconds


def main():
    bin_dir = os.path.abspath(sys.argv[1])
    top = tempfile.mkdtemp(prefix="weft-batchcgi-")
    server = None
    try:
        site = os.path.join(top, "site")
        make_site(site)
        log = open(os.path.join(top, "localweb.log"), "w")
        server, base = start_localweb(bin_dir, site, log)
        slow = {}

        def visit_slow():
            with urllib.request.urlopen(base + "cgi/slow.cgi", timeout=60) as answer:
                slow["text"] = answer.read().decode()

        slow_visitor = threading.Thread(target=visit_slow)
        slow_visitor.start()
        with Browser(ignore=BROWSER_IGNORE) as b:
            for n in range(30):
                query = f"n={n}&echo=x"
                text, quick = page_within(b, f"{base}cgi/quick.bat?{query}", QUICK_SECONDS)
                check(quick, f"quick.bat page {n} took longer than {QUICK_SECONDS} s")
                check(text.strip() == f"quick [{query}]", f"quick.bat page {n}: {text!r}")
            text, quick = page_within(b, base + "cgi/fifo.bat", QUICK_SECONDS)
            check(quick, "fifo.bat waited for a reader of its FIFO")
            check(text.strip() == "refused at once", f"fifo.bat page: {text!r}")
            check(slow_visitor.is_alive(), "the slow program ended before it was let go")
            write(os.path.join(site, "cgi", "go"), "")
            slow_visitor.join(60)
            check(slow.get("text") == "slow\n", f"the slow program's page: {slow.get('text')!r}")
            for problem in b.problems():
                check(False, problem)
    finally:
        if server:
            stop(server)
        shutil.rmtree(top, ignore_errors=True)
    return finish()


if __name__ == "__main__":
    sys.exit(main())
