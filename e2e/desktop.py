"""An X desktop for window tests: a private Xvfb, and the user's hands.

Usage: `from desktop import Desktop` (a test in e2e/ finds this file beside
itself), then `with Desktop() as d:` starts its own Xvfb on a free display
(-displayfd) and ends it, and every program started through it, when the
block ends; `Desktop(window_manager=True)` runs openbox on it, as a
desktop does. `d.env` is the environment of programs on that display (the
caller's, with DISPLAY set and no dialog script). `d.start(argv, cwd)`
starts a program; `d.window(name=..., classname=...)` waits for a visible
window and gives its id; `d.name(wid)` is its title, `d.set_name(wid,
text)` sets one to wait on a change from, `d.size(wid)` is its width and
height, `d.geometry(wid)` its place and size; `d.screenshot()` gives the
screen's pixels; `d.wait_for(fn, what)` polls until fn() is true;
`d.focused(wid)` waits until the window has the keyboard focus;
`d.type(text)`, `d.key(*keys)`, `d.click(wid, x, y, button)` and
`d.mouse_drag(start, end)` act through xdotool as a person would (a
letter beyond ASCII first gets a key of its own in the keyboard map);
`d.copy(text)` puts text on the CLIPBOARD with xclip; `d.drag(wid, *uris,
at=(x, y))` drags URIs onto a window through the XDND protocol with the
`xdnd_drag` helper, the pointer ending on that point of the window
(default its centre) before the drop. Every wait ends with an exception
after `timeout` seconds.
"""

import os
import select
import subprocess
import tempfile
import time


class DesktopError(Exception):
    pass


class Desktop:
    def __init__(self, drag_helper=None, timeout=20, window_manager=False):
        self.drag_helper = drag_helper
        self.timeout = timeout
        self.window_manager = window_manager
        self.processes = []

    def __enter__(self):
        # -noreset: the server must not start over when its last client goes,
        # or the next program cannot connect for a moment.
        read_end, write_end = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24", "-nolisten", "tcp",
             "-noreset"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        number = b""
        deadline = time.time() + self.timeout
        while not number.endswith(b"\n"):
            ready, _, _ = select.select([read_end], [], [], max(0, deadline - time.time()))
            chunk = os.read(read_end, 16) if ready else b""
            if not chunk:
                os.close(read_end)
                self.xvfb.kill()
                raise DesktopError("Xvfb did not start")
            number += chunk
        os.close(read_end)
        self.env = dict(os.environ)
        for name in ("WEFTDIALOGSCRIPT", "WEFTDIALOGLOG", "WEFTDRIVES"):
            self.env.pop(name, None)
        self.env["DISPLAY"] = ":" + number.decode().strip()
        if self.window_manager:
            self.start(["openbox"], quiet=True)
            self.wait_for(lambda: "window id" in self.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"]).stdout,
                          "the window manager")
        return self

    def __exit__(self, *exc):
        for process in self.processes:
            if process.poll() is None:
                process.kill()
            process.wait()
        self.xvfb.kill()
        self.xvfb.wait()

    def start(self, argv, cwd=None, quiet=False):
        output = subprocess.DEVNULL if quiet else None
        process = subprocess.Popen(argv, cwd=cwd, env=self.env, stdout=output, stderr=output)
        self.processes.append(process)
        return process

    def run(self, argv, **kwargs):
        return subprocess.run(argv, env=self.env, capture_output=True, text=True,
                              timeout=self.timeout, **kwargs)

    def xdotool(self, *args):
        result = self.run(["xdotool", *args])
        if result.returncode != 0:
            raise DesktopError(f"xdotool {' '.join(args)}: {result.stderr.strip()}")
        return result.stdout.strip()

    def window(self, name=None, classname=None):
        # Polled: a search can fail when some window goes while it looks.
        criteria = ["--name", name] if name else ["--classname", classname]
        found = []

        def visible():
            result = self.run(["xdotool", "search", "--onlyvisible", *criteria])
            found[:] = result.stdout.split() if result.returncode == 0 else []
            return bool(found)

        self.wait_for(visible, f"a window {name or classname}")
        return found[0]

    def name(self, wid):
        return self.xdotool("getwindowname", wid)

    def set_name(self, wid, name):
        self.xdotool("set_window", "--name", name, wid)

    def geometry(self, wid):
        """The window's place on the screen and its size: x, y, width, height."""
        shell = dict(line.split("=", 1) for line in self.xdotool("getwindowgeometry", "--shell", wid).split())
        return int(shell["X"]), int(shell["Y"]), int(shell["WIDTH"]), int(shell["HEIGHT"])

    def size(self, wid):
        """The window's width and height in pixels."""
        return self.geometry(wid)[2:]

    def screenshot(self):
        """The screen as (width, height, pixels): three bytes, R G B, a pixel."""
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "screen.ppm")
            result = self.run(["scrot", "--overwrite", path])
            if result.returncode != 0:
                raise DesktopError(f"scrot: {result.stderr.strip()}")
            with open(path, "rb") as f:
                data = f.read()
        # A binary PPM: "P6", width, height, the largest value; then the pixels.
        fields, at = [], 2
        while len(fields) < 3:
            while data[at:at + 1].isspace():
                at += 1
            if data[at:at + 1] == b"#":
                at = data.index(b"\n", at)
                continue
            end = at
            while not data[end:end + 1].isspace():
                end += 1
            fields.append(int(data[at:end]))
            at = end
        return fields[0], fields[1], data[at + 1:]

    def mouse_drag(self, start, end, steps=20):
        """Presses the left button on `start`, moves to `end` step by step and
        lets go there, as a hand drags (both points on the screen)."""
        self.xdotool("mousemove", str(start[0]), str(start[1]))
        time.sleep(0.2)
        self.xdotool("mousedown", "1")
        for step in range(1, steps + 1):
            time.sleep(0.05)
            self.xdotool("mousemove", str(start[0] + (end[0] - start[0]) * step // steps),
                         str(start[1] + (end[1] - start[1]) * step // steps))
        time.sleep(0.3)
        self.xdotool("mouseup", "1")

    def wait_for(self, condition, what):
        deadline = time.time() + self.timeout
        while time.time() < deadline:
            if condition():
                return
            time.sleep(0.05)
        raise DesktopError(f"waited {self.timeout} s for {what}")

    def focused(self, wid):
        # xdotool fails while the focus is nowhere (PointerRoot): not yet.
        def has_focus():
            result = self.run(["xdotool", "getwindowfocus"])
            return result.returncode == 0 and result.stdout.strip() == wid

        self.wait_for(has_focus, f"the focus on window {wid}")

    def wait_exit(self, process):
        try:
            return process.wait(timeout=self.timeout)
        except subprocess.TimeoutExpired:
            raise DesktopError(f"{process.args[0]} did not end within {self.timeout} s")

    def type(self, text):
        self.map_letters(text)
        self.xdotool("type", "--delay", "20", text)

    def map_letters(self, text):
        """Gives each letter of `text` that the keyboard map lacks a key of its
        own, once. xdotool would otherwise bind a spare key for each such
        letter, press it and unbind it at once; on a loaded machine the
        program reads the key after the unbinding and gets no letter."""
        if not hasattr(self, "spare_keys"):
            table = self.run(["xmodmap", "-pke"]).stdout
            self.spare_keys = [line.split()[1] for line in table.splitlines()
                               if len(line.split()) == 3 and line.split()[1] != "8"]
            self.mapped = set()
        for letter in dict.fromkeys(text):
            if ord(letter) < 128 or letter in self.mapped:
                continue
            if not self.spare_keys:
                return                      # xdotool's own binding then
            keysym = f"U{ord(letter):04X}"
            result = self.run(["xmodmap", "-e", f"keycode {self.spare_keys.pop()} = {keysym} {keysym}"])
            if result.returncode != 0:
                raise DesktopError(f"xmodmap: {result.stderr.strip()}")
            self.mapped.add(letter)

    def key(self, *keys):
        self.xdotool("key", "--delay", "20", *keys)

    def click(self, wid, x, y, button=1):
        self.xdotool("mousemove", "--window", wid, str(x), str(y), "click", str(button))

    def copy(self, text):
        process = subprocess.Popen(["xclip", "-selection", "clipboard", "-quiet"], env=self.env,
                                   stdin=subprocess.PIPE, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
        self.processes.append(process)
        process.stdin.write(text.encode())
        process.stdin.close()
        self.wait_for(lambda: self.run(["xclip", "-selection", "clipboard", "-o"]).stdout == text,
                      f"{text!r} on the clipboard")

    def drag(self, wid, *uris, at=None):
        where = ["--at", f"{at[0]},{at[1]}"] if at else []
        return self.run([self.drag_helper, *where, wid, *uris]).returncode
