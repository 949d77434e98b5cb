#!/usr/bin/env python3
"""Programs that rename or rewrite what a user wrote, each killed with
kill -9 at random moments of its run (30 runs a program), as a crash or a
pulled plug stops them, and then run again as the user runs them after it:

- dateren over a folder of pictures with their slide pages and text files:
  no kill leaves a picture renamed while its page or text keeps the old
  name;
- viewreel /B /H over slides whose heads infoed wrote with long
  descriptions and keyword lists, and galleria over an index page with such
  a head: each page is its old or its new version, never cut;
- unpost over the first post of a file split over two (its uu block
  without its "end" line) beside a whole attachment: the half file is never
  kept as a whole one;
- envdirs with the boot file on another device than its folder (a link to
  it), so that the new version crosses over as a copy: the boot file is old
  or new.

After each kill the next run must leave exactly what a whole run leaves:
nothing lost, and no temporary file or copy of the killed run behind. The
second device is a small tmpfs in a private mount namespace (unshare), as
in the full-disk test.

    e2e/killed_runs_test.py BIN_DIR
"""

import base64
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from checks import check, finish, write  # noqa: E402

RUNS = 30

# A GIF header that gives the picture a size.
GIF = b"GIF89a\x80\x02\xe0\x01\x00\x00\x00"


def enter_private_mounts(bin_dir):
    """Runs this test again in a mount namespace of its own."""
    if "--inside" in sys.argv:
        return
    for user in ([], ["--map-root-user"]):
        if subprocess.run(["unshare", *user, "--mount", "true"], stderr=subprocess.DEVNULL).returncode == 0:
            os.execvp("unshare", ["unshare", *user, "--mount", "--propagation", "private", "--",
                                  sys.executable, os.path.abspath(__file__), bin_dir, "--inside"])
    print("FAIL: no private mount namespace (unshare --mount) for the second device")
    sys.exit(1)


def tree(folder):
    """Every file below `folder`, dot files too: relative path -> content
    (a link as 'link -> target')."""
    files = {}
    for root, dirs, names in os.walk(folder):
        for name in names + [d for d in dirs if os.path.islink(os.path.join(root, d))]:
            path = os.path.join(root, name)
            rel = os.path.relpath(path, folder)
            if os.path.islink(path):
                files[rel] = "link -> " + os.readlink(path)
            else:
                with open(path, "rb") as f:
                    files[rel] = f.read()
    return files


def run(bin_dir, args, cwd, env):
    return subprocess.run([os.path.join(bin_dir, args[0])] + args[1:], cwd=cwd, env=env,
                          stdin=subprocess.DEVNULL, capture_output=True, timeout=300)


def killed_run(bin_dir, args, cwd, env, delay):
    """Starts the program and kills it (SIGKILL) after `delay` seconds, or
    lets it end when it ends first."""
    process = subprocess.Popen([os.path.join(bin_dir, args[0])] + args[1:], cwd=cwd, env=env,
                               stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    time.sleep(delay)
    if process.poll() is None:
        process.send_signal(signal.SIGKILL)
    process.wait()


class Road:
    """One program on one folder: `prepare` writes the folder's files as the
    user has them, `faults` names what a kill must never leave."""

    name = ""
    args = []
    temporary = ()  # names a killed run may leave, which the next run removes
    copies = ".weft-copy-"  # the start of the name of a copy onto another device, likewise

    whole_code = 0  # the exit code of a whole run

    def next_run_ok(self, code):
        return code == self.whole_code

    def __init__(self, work, bin_dir):
        self.work = work
        self.bin_dir = bin_dir
        self.env = dict(os.environ)
        self.env.pop("WEFTLOG", None)
        self.env.pop("DISPLAY", None)

    def folders(self):
        """The folders whose files are compared (host paths)."""
        return [self.cwd()]

    def cwd(self):
        return os.path.join(self.work, "site")

    def reset(self):
        for folder in self.folders():
            os.makedirs(folder, exist_ok=True)
            for name in os.listdir(folder):
                path = os.path.join(folder, name)
                if os.path.isdir(path) and not os.path.islink(path):
                    shutil.rmtree(path)
                else:
                    os.unlink(path)
        self.prepare()

    def state(self):
        return [tree(folder) for folder in self.folders()]

    def faults(self, now, before, after):
        """Each file old or new (a temporary file may stay for the next run)."""
        found = []
        for now_files, old, new in zip(now, before, after):
            for name in set(now_files) | set(old) | set(new):
                state = now_files.get(name)
                if state == old.get(name) or state == new.get(name):
                    continue
                base = os.path.basename(name)
                if state is not None and (base in self.temporary or base.startswith(self.copies)):
                    continue
                found.append(f"{name} is {'missing' if state is None else 'neither old nor new'}")
        return found

    def walk(self, rng):
        self.reset()
        before = self.state()
        start = time.monotonic()
        whole = run(self.bin_dir, self.args, self.cwd(), self.env)
        length = time.monotonic() - start
        after = self.state()
        check(whole.returncode == self.whole_code, f"{self.name}: a whole run ended with {whole.returncode}: "
              f"{whole.stderr.decode(errors='replace')[:300]}")
        check(after != before, f"{self.name}: a whole run changed nothing")
        self.check_whole(after)
        for number in range(RUNS):
            delay = rng.uniform(0, length)
            self.reset()
            killed_run(self.bin_dir, self.args, self.cwd(), self.env, delay)
            when = f"{self.name}, run {number} killed after {delay * 1000:.1f} ms"
            for fault in self.faults(self.state(), before, after):
                check(False, f"{when}: {fault}")
            again = run(self.bin_dir, self.args, self.cwd(), self.env)
            check(self.next_run_ok(again.returncode), f"{when}: the next run ended with {again.returncode}")
            check(self.state() == after, f"{when}: the next run left other files: "
                  f"{sorted(set(self.state()[0]) ^ set(after[0]))[:10]}")

    def check_whole(self, after):
        pass


class Dateren(Road):
    name = "dateren *.jpg"
    args = ["dateren", "*.jpg"]
    count = 400

    def prepare(self):
        site = self.cwd()
        stamp = time.mktime((1999, 7, 4, 12, 0, 0, 0, 0, -1))
        for i in range(self.count):
            base = os.path.join(site, f"p{i:03d}")
            write(base + ".jpg", f"picture {i}")
            os.utime(base + ".jpg", (stamp, stamp))
            write(base + ".htm", f"slide {i}")
            if i % 2:
                write(base + ".txt", f"text {i}")

    def faults(self, now, before, after):
        found = super().faults(now, before, after)
        files = now[0]
        for i in range(self.count):
            renamed = f"p{i:03d}(990704).jpg" in files
            for ext in (".htm", ".txt"):
                if renamed and f"p{i:03d}{ext}" in files:
                    found.append(f"p{i:03d}.jpg is renamed, its {ext} file is not")
        return found


# The head fields a user gave each slide with infoed, within its limits, and
# the description as the page holds it ('&' as "&amp;").
DESCRIPTION = ("Boats & nets at dawn, " + " ".join(f"word{i}" for i in range(80)))[:450].rstrip()
KEYWORDS = ", ".join(f"harbour{i}" for i in range(100))[:898].rstrip(", ")
WRITTEN_DESCRIPTION = DESCRIPTION.replace("&", "&amp;")


def head_field(page, name):
    found = re.search(rb'<META NAME="' + name.encode() + rb'" CONTENT="([^"]*)">', page)
    return found.group(1).decode() if found else None


class Slides(Road):
    name = "viewreel /B /H"
    args = ["viewreel", "/B", "/H"]
    temporary = ("temp.$$$",)

    def cwd(self):
        return os.path.join(self.work, "site", "pics")

    def folders(self):
        return [os.path.join(self.work, "site")]

    def prepare(self):
        if not os.path.isdir(self.template()):
            self.make_template()
        shutil.rmtree(os.path.join(self.work, "site"))
        shutil.copytree(self.template(), os.path.join(self.work, "site"), symlinks=True)

    def template(self):
        return os.path.join(self.work, "template-" + self.args[0])

    def make_template(self):
        site = self.template()
        for icon in ("prev", "next", "home", "noprev", "nonext"):
            write(os.path.join(site, "icons", icon + ".gif"), GIF)
        pics = os.path.join(site, "pics")
        for i in range(60):
            write(os.path.join(pics, f"s{i:02d}.gif"), GIF)
        run(self.bin_dir, ["viewreel", "/B", "/H"], pics, self.env)
        for i in range(60):
            page = f"s{i:02d}.htm"
            for option in ("/D:" + DESCRIPTION, "/K:" + KEYWORDS):
                edit = run(self.bin_dir, ["infoed", page, option], pics, self.env)
                check(edit.returncode == 0, f"infoed {page} {option[:2]}: {edit.returncode}")

    def check_whole(self, after):
        for name, page in after[0].items():
            if not name.endswith(".htm"):
                continue
            check(head_field(page, "DESCRIPTION") == WRITTEN_DESCRIPTION,
                  f"{self.name}: {name} lost its description")
            check(head_field(page, "KEYWORDS") == KEYWORDS, f"{self.name}: {name} lost its keywords")


class Index(Slides):
    name = "galleria"
    args = ["galleria"]
    temporary = ("index.new",)

    def make_template(self):
        site = self.template()
        os.makedirs(os.path.join(site, "icons"))
        pics = os.path.join(site, "pics")
        for i in range(300):
            write(os.path.join(pics, f"page{i:03d}.htm"),
                  f"<HTML><HEAD><TITLE>Page {i}</TITLE></HEAD><BODY></BODY></HTML>\n")
        write(os.path.join(pics, "index.htm"),
              f'<HTML>\n<HEAD>\n<TITLE>Harbour</TITLE>\n<META NAME="DESCRIPTION" CONTENT="{WRITTEN_DESCRIPTION}">\n'
              f'<META NAME="KEYWORDS" CONTENT="{KEYWORDS}">\n</HEAD>\n<BODY>\n</BODY>\n</HTML>\n')

    def check_whole(self, after):
        page = after[0]["pics/index.htm"]
        check(head_field(page, "DESCRIPTION") == WRITTEN_DESCRIPTION, f"{self.name}: the description was cut")
        check(head_field(page, "KEYWORDS") == KEYWORDS, f"{self.name}: the keywords were cut")


def uuencode(data):
    """The data lines of a uu block, without its closing lines."""
    lines = []
    for at in range(0, len(data), 45):
        chunk = data[at:at + 45]
        line = chr(32 + len(chunk))
        padded = chunk + b"\0" * (-len(chunk) % 3)
        for i in range(0, len(padded), 3):
            b = padded[i:i + 3]
            for value in (b[0] >> 2, (b[0] & 3) << 4 | b[1] >> 4, (b[1] & 15) << 2 | b[2] >> 6, b[2] & 63):
                line += chr(32 + value) if value else "`"
        lines.append(line)
    return "\n".join(lines) + "\n"


class SplitPost(Road):
    """The first of two posts of a file: its uu block ends with the message,
    without its "end" line, beside a whole base64 attachment. The half file
    is never kept as if it were whole."""

    name = "unpost /Y, a split post"
    args = ["unpost", "/Y", "post.msg"]
    temporary = ("$unpost$.$$$", "$unpart$.$$$")
    whole_code = 2

    def prepare(self):
        photo = random.Random(7).randbytes(300000)
        encoded = base64.encodebytes(photo).decode()
        write(os.path.join(self.cwd(), "post.msg"),
              'From: ann@example.com\nSubject: two files (1/2)\nMIME-Version: 1.0\n'
              'Content-Type: multipart/mixed; boundary="XX"\n\n--XX\nContent-Type: text/plain\n\n'
              "begin 644 half.bin\n" + uuencode(photo) +
              '--XX\nContent-Type: image/jpeg; name="photo.jpg"\nContent-Transfer-Encoding: base64\n\n' +
              encoded + "--XX--\n")

    def check_whole(self, after):
        check("half.bin" not in after[0], f"{self.name}: the half file was kept")
        check("photo.jpg" in after[0], f"{self.name}: the whole attachment was not saved")


class BootFile(Road):
    """The boot file on the second device, linked from the drive's root."""

    name = "envdirs across devices"
    args = ["envdirs", "C:\\TOOLS"]
    temporary = ("AUTOEXEC.$$$",)

    def __init__(self, work, bin_dir, other):
        super().__init__(work, bin_dir)
        self.other = other
        self.env["WEFTDRIVES"] = "C=" + self.cwd()

    def folders(self):
        return [self.cwd(), self.other]

    def next_run_ok(self, code):
        # 1: the killed run had put the new boot file in place already.
        return code in (0, 1)

    def prepare(self):
        os.makedirs(os.path.join(self.cwd(), "TOOLS"))
        lines = ["@ECHO OFF", "PATH C:\\DOS;C:\\WINDOWS"] + [f"REM {i:07d} " + "x" * 60 for i in range(30000)]
        write(os.path.join(self.other, "autoexec.bat"), "\r\n".join(lines) + "\r\n")
        os.symlink(os.path.join(self.other, "autoexec.bat"), os.path.join(self.cwd(), "AUTOEXEC.BAT"))


def main():
    if len(sys.argv) < 2:
        print("usage: e2e/killed_runs_test.py BIN_DIR", file=sys.stderr)
        return 2
    bin_dir = os.path.abspath(sys.argv[1])
    enter_private_mounts(bin_dir)
    seed = random.randrange(1 << 30)
    rng = random.Random(seed)
    work = tempfile.mkdtemp(prefix="weft-killed.")
    other = os.path.join(work, "other")
    os.makedirs(other)
    try:
        mounted = subprocess.run(["mount", "-t", "tmpfs", "-o", "size=64m", "tmpfs", other]).returncode == 0
        check(mounted, "cannot mount a tmpfs in a private mount namespace")
        roads = [Dateren(work, bin_dir), Slides(work, bin_dir), Index(work, bin_dir),
                 SplitPost(work, bin_dir)]
        if mounted:
            roads.append(BootFile(work, bin_dir, other))
        for road in roads:
            start = time.monotonic()
            road.walk(rng)
            print(f"{road.name}: {RUNS} killed runs in {time.monotonic() - start:.1f} s")
    finally:
        subprocess.run(["umount", other], stderr=subprocess.DEVNULL)
        shutil.rmtree(work, ignore_errors=True)
    if sys.modules["checks"].failures:
        print(f"random delays from seed {seed}")
    return finish()


if __name__ == "__main__":
    sys.exit(main())
