#!/usr/bin/env python3
"""A new user serves a folder of photos with localweb, from a Linux shell,
before mapping any drive:

- `localweb` started in the folder with WEFTDRIVES unset (C: is the whole
  disk) refuses to serve the disk and shows the drive map to use instead;
- started again with that map, as the message shows it, it serves the
  folder: Chromium shows its index page with its picture;
- what is private stays so: a ".git" folder's file and a ".env" are not
  found, and an executable text file asked for as "NAME.cgi" is not run;
- Ctrl+C ends the server with exit code 0.
"""

import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from browser import Browser, answers, free_port  # noqa: E402
from checks import BROWSER_IGNORE, GIF, check, finish, write  # noqa: E402

PRIVATE = ("/.git/config", "/.env", "/notes.txt.cgi")


def make_folder(folder):
    write(os.path.join(folder, "index.htm"),
          '<HTML><HEAD><TITLE>Summer</TITLE></HEAD><BODY><H1>Summer photos</H1>'
          '<IMG SRC="beach.gif" ALT="beach"></BODY></HTML>\n')
    write(os.path.join(folder, "beach.gif"), GIF)
    write(os.path.join(folder, ".git", "config"), "[core]\n")
    write(os.path.join(folder, ".env"), "SECRET=1\n")
    # Copied from a FAT card: every file is executable.
    notes = os.path.join(folder, "notes.txt")
    write(notes, "#!/bin/sh\ntouch ran.txt\nprintf 'Content-type: text/plain\\n\\nran\\n'\n")
    os.chmod(notes, 0o755)


def refusal(bin_dir, folder, env):
    """localweb with the default drive map: the map its message offers."""
    run = subprocess.run([os.path.join(bin_dir, "localweb"), f"/P:{free_port()}"], cwd=folder, env=env,
                         stdin=subprocess.DEVNULL, capture_output=True, text=True, timeout=60)
    check(run.returncode == 1, f"the default map: exit code {run.returncode}")
    check(run.stdout == "", f"the default map: output {run.stdout!r}")
    check(run.stderr.startswith('Error:  Drive C: is the host\'s root folder "/": localweb would serve '
                                'every file of this machine.\n'), f"the default map: {run.stderr!r}")
    found = re.search(r'^            WEFTDRIVES="([^"]*)" localweb\n\Z', run.stderr, re.M)
    check(found is not None, f"the default map: no drive map offered in {run.stderr!r}")
    return found.group(1) if found else None


def browse(base, folder):
    ignore = BROWSER_IGNORE + tuple(re.escape(path) + "$" for path in PRIVATE)
    with Browser(ignore=ignore) as b:
        b.open(base)
        check(b.find("h1").text == "Summer photos", f"the index page: {b.text()!r}")
        width = b.wait_for(lambda: b.run("var i = document.images[0]; return i.complete && i.naturalWidth;"),
                           "the picture")
        check(width == 1, f"the picture's width: {width}")
        for path in PRIVATE:
            b.open(base.rstrip("/") + path)
            check("Error 404" in b.text() and "Not Found" in b.text(), f"{path}: {b.text()!r}")
        for problem in b.problems():
            check(False, problem)
    check(not os.path.exists(os.path.join(folder, "ran.txt")), "notes.txt was run")


def main():
    bin_dir = os.path.abspath(sys.argv[1])
    top = tempfile.mkdtemp(prefix="weft-new-")
    server = None
    try:
        folder = os.path.join(top, "photos")
        make_folder(folder)
        env = {name: value for name, value in os.environ.items() if name != "WEFTDRIVES"}
        drives = refusal(bin_dir, folder, env)
        if drives is None:
            return finish()
        port = free_port()
        server = subprocess.Popen([os.path.join(bin_dir, "localweb"), f"/P:{port}"], cwd=folder,
                                  env=dict(env, WEFTDRIVES=drives), stdin=subprocess.DEVNULL,
                                  stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        deadline = time.time() + 30
        while time.time() < deadline and server.poll() is None and not answers(port):
            time.sleep(0.05)
        check(server.poll() is None, f"localweb with {drives}: exit code {server.poll()}")
        if server.poll() is None:
            browse(f"http://127.0.0.1:{port}/", folder)
            server.send_signal(signal.SIGINT)
            out, err = server.communicate(timeout=30)
            check(server.returncode == 0, f"Ctrl+C: exit code {server.returncode}")
            check(out == "Local mode enabled.\nServer terminated by user.\n" and err == "",
                  f"Ctrl+C: {out!r} {err!r}")
    finally:
        if server and server.poll() is None:
            server.kill()
            server.wait()
        shutil.rmtree(top, ignore_errors=True)
    return finish()


if __name__ == "__main__":
    sys.exit(main())
