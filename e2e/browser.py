"""Headless Chromium for page tests, driven over W3C WebDriver.

Usage: `from browser import Browser` (a test in e2e/ finds this file beside
itself), then `with Browser() as b:` starts Debian's chromedriver on a free
port with a headless chromium and a new empty profile; both end (and the
profile is removed) when the block ends. `b.open(url)` loads a page and waits
for it; `b.find(css)`, `b.find_xpath(xpath)` and `b.find_link(text)` wait up
to the browser's timeout for an element, `b.find_all(css)` lists what is there
now (`Element.click()`, `.type(text)`, `.text`, `.attr(name)`, `.find(css)`);
`b.text()` is the visible text of the current frame; `b.run(script, *args)`
runs a function body (`return ...`). Frames: `b.frame(x)` enters a child frame
by index, by name or id, or by its FRAME/IFRAME element; `b.parent_frame()`
and `b.top()` go back out. Pop-up windows: `with b.new_window():` around the
click that opens one switches to it; `b.windows()`, `b.window(handle)` and
`b.close_window()` move between them. `b.wait_for(fn, what)` polls until fn()
is true. Every console error, uncaught script error and failed load (network
error or HTTP status >= 400, in any frame or window) is collected;
`b.problems()` gives them all so far, and a test fails when it is not empty.
Loads whose URL matches a pattern in `ignore` (by default the browser's own
favicon request) are not counted. Run a test as `e2e/x_test.py BIN_DIR`;
nothing here needs a display.
"""

import json
import os
import re
import shutil
import socket
import subprocess
import tempfile
import time
import urllib.error
import urllib.request

CHROMEDRIVER = "/usr/bin/chromedriver"
CHROMIUM = "/usr/bin/chromium"
CHROMIUM_FLAGS = [
    "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
    "--disable-background-networking", "--disable-component-update", "--disable-sync",
]
ELEMENT_KEY = "element-6066-11e4-a52e-4f735466cecf"


class WebDriverError(Exception):
    """A WebDriver command failed; `error` is the W3C error code."""

    def __init__(self, error, message):
        super().__init__(f"{error}: {message}")
        self.error = error


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def answers(port):
    """True when a server accepts connections on 127.0.0.1:port."""
    try:
        with socket.create_connection(("127.0.0.1", port), timeout=1):
            return True
    except OSError:
        return False


class Element:
    def __init__(self, browser, element_id):
        self.browser = browser
        self.id = element_id

    def _call(self, method, path, body=None):
        return self.browser._call(method, f"/element/{self.id}{path}", body)

    def click(self):
        self._call("POST", "/click", {})

    def type(self, text):
        self._call("POST", "/value", {"text": text})

    def clear(self):
        self._call("POST", "/clear", {})

    @property
    def text(self):
        return self._call("GET", "/text")

    @property
    def tag(self):
        return self._call("GET", "/name").lower()

    def attr(self, name):
        """The attribute as written in the page (None when absent)."""
        return self.browser.run("return arguments[0].getAttribute(arguments[1]);", self, name)

    def prop(self, name):
        return self._call("GET", f"/property/{name}")

    def find(self, css):
        return self.browser._wait_elements(f"/element/{self.id}/elements", "css selector", css)[0]

    def find_all(self, css):
        found = self._call("POST", "/elements", {"using": "css selector", "value": css})
        return [Element(self.browser, e[ELEMENT_KEY]) for e in found]

    def to_json(self):
        return {ELEMENT_KEY: self.id}


class _NewWindow:
    """Context manager: switches to the window that opens inside the block."""

    def __init__(self, browser):
        self.browser = browser

    def __enter__(self):
        self.before = set(self.browser.windows())
        return self

    def __exit__(self, kind, value, trace):
        if kind is not None:
            return False
        fresh = self.browser.wait_for(lambda: set(self.browser.windows()) - self.before,
                                      "a new window")
        self.handle = sorted(fresh)[0]
        self.browser.window(self.handle)
        return False


class Browser:
    def __init__(self, timeout=15, ignore=(r"/favicon\.ico$",)):
        self.timeout = timeout
        self.ignore = [re.compile(p) for p in ignore]
        self._problems = []
        self._failed_urls = set()
        self._requests = {}
        self._driver = None
        self._session = None
        self._profile = tempfile.mkdtemp(prefix="weft-chromium-")
        try:
            self._start()
        except BaseException:
            self.close()
            raise

    # Start-up and shut-down.

    def _start(self):
        log = open(os.path.join(self._profile, "chromedriver.log"), "wb")
        for attempt in range(5):
            self._port = free_port()
            self._driver = subprocess.Popen(
                [CHROMEDRIVER, f"--port={self._port}"], stdout=log, stderr=subprocess.STDOUT,
                stdin=subprocess.DEVNULL)
            if self._wait_ready():
                break
            self._stop_driver()
        else:
            log.close()
            with open(log.name, errors="replace") as text:
                raise RuntimeError("chromedriver did not start:\n" + text.read()[-2000:])
        log.close()
        options = {
            "binary": CHROMIUM,
            "args": CHROMIUM_FLAGS + [f"--user-data-dir={os.path.join(self._profile, 'data')}"],
            "perfLoggingPrefs": {"enableNetwork": True, "enablePage": False},
        }
        caps = {"browserName": "chrome", "goog:chromeOptions": options,
                "goog:loggingPrefs": {"browser": "ALL", "performance": "ALL"},
                "pageLoadStrategy": "normal"}
        result = self._request("POST", "/session", {"capabilities": {"alwaysMatch": caps}})
        self._session = result["sessionId"]
        self._call("POST", "/timeouts", {"pageLoad": self.timeout * 1000,
                                         "script": self.timeout * 1000, "implicit": 0})
        # What the browser loads on its own at start-up (its start page) is
        # no page's problem.
        self._log("browser")
        self._log("performance")

    def _wait_ready(self):
        deadline = time.time() + 10
        while time.time() < deadline:
            if self._driver.poll() is not None:
                return False
            try:
                if self._request("GET", "/status").get("ready"):
                    return True
            except (OSError, WebDriverError):
                pass
            time.sleep(0.1)
        return False

    def _stop_driver(self):
        if self._driver and self._driver.poll() is None:
            self._driver.terminate()
            try:
                self._driver.wait(10)
            except subprocess.TimeoutExpired:
                self._driver.kill()
                self._driver.wait()
        self._driver = None

    def close(self):
        if self._session:
            try:
                self._collect()
                self._request("DELETE", f"/session/{self._session}")
            except (OSError, WebDriverError):
                pass
            self._session = None
        self._stop_driver()
        shutil.rmtree(self._profile, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()
        return False

    # The wire protocol.

    def _request(self, method, path, body=None):
        data = None if body is None else json.dumps(body, default=_to_json).encode()
        request = urllib.request.Request(f"http://127.0.0.1:{self._port}{path}", data=data,
                                         method=method,
                                         headers={"Content-Type": "application/json"})
        try:
            with urllib.request.urlopen(request, timeout=self.timeout * 4) as answer:
                value = json.loads(answer.read() or b"{}").get("value")
        except urllib.error.HTTPError as failure:
            value = json.loads(failure.read() or b"{}").get("value") or {}
            raise WebDriverError(value.get("error", str(failure.code)),
                                 value.get("message", "")) from None
        return value if value is not None else {}

    def _call(self, method, path, body=None):
        return self._request(method, f"/session/{self._session}{path}", body)

    # Pages.

    def open(self, url):
        self._call("POST", "/url", {"url": url})

    def url(self):
        return self._call("GET", "/url")

    def title(self):
        return self._call("GET", "/title")

    def source(self):
        return self._call("GET", "/source")

    def text(self):
        """The visible text of the current frame's document."""
        return self.run("return document.body ? document.body.innerText : '';")

    def run(self, script, *args):
        """Runs `script` as a function body in the current frame; its return value."""
        return _from_json(self, self._call("POST", "/execute/sync",
                                           {"script": script, "args": list(args)}))

    def back(self):
        self._call("POST", "/back", {})

    def wait_for(self, condition, what="the condition", timeout=None):
        """Polls condition() until it gives a true value, which it returns."""
        deadline = time.time() + (timeout or self.timeout)
        while True:
            value = condition()
            if value:
                return value
            if time.time() > deadline:
                raise AssertionError(f"timed out waiting for {what}")
            time.sleep(0.05)

    # Elements.

    def _wait_elements(self, path, using, value):
        def found():
            try:
                return self._call("POST", path, {"using": using, "value": value})
            except WebDriverError as failure:
                if failure.error == "stale element reference":
                    raise
                return []
        items = self.wait_for(found, f"element {value!r}")
        return [Element(self, e[ELEMENT_KEY]) for e in items]

    def find(self, css):
        """The first element matching `css`, waiting until there is one."""
        return self._wait_elements("/elements", "css selector", css)[0]

    def find_xpath(self, xpath):
        return self._wait_elements("/elements", "xpath", xpath)[0]

    def find_link(self, text):
        """The first link whose visible text is `text`."""
        return self._wait_elements("/elements", "link text", text)[0]

    def find_all(self, css):
        """Every element matching `css` now (possibly none)."""
        found = self._call("POST", "/elements", {"using": "css selector", "value": css})
        return [Element(self, e[ELEMENT_KEY]) for e in found]

    # Frames and windows.

    def frame(self, which):
        """Enters a child frame: by index, by name or id, or by its element."""
        if isinstance(which, str):
            which = self.find(f'frame[name="{which}"], iframe[name="{which}"], '
                              f'frame[id="{which}"], iframe[id="{which}"]')
        self._call("POST", "/frame", {"id": which})

    def parent_frame(self):
        self._call("POST", "/frame/parent", {})

    def top(self):
        self._call("POST", "/frame", {"id": None})

    def windows(self):
        return self._call("GET", "/window/handles")

    def current_window(self):
        return self._call("GET", "/window")

    def window(self, handle):
        self._call("POST", "/window", {"handle": handle})

    def new_window(self):
        return _NewWindow(self)

    def close_window(self):
        """Closes the current window and switches to the first one left."""
        left = self._call("DELETE", "/window")
        if left:
            self.window(left[0])

    def alert_text(self):
        return self._call("GET", "/alert/text")

    def accept_alert(self):
        self._call("POST", "/alert/accept", {})

    # Problems: console errors, script errors, failed loads.

    def _log(self, kind):
        try:
            return self._call("POST", "/se/log", {"type": kind})
        except WebDriverError:
            return []

    def _ignored(self, url):
        return any(p.search(url or "") for p in self.ignore)

    def _failed_load(self, url, text):
        # A failed load shows in the console and in the network events alike;
        # it is counted once.
        if self._ignored(url) or url in self._failed_urls:
            return
        self._failed_urls.add(url)
        self._problems.append(text)

    def _collect(self):
        for entry in self._log("browser"):
            if entry.get("level") != "SEVERE":
                continue
            message = entry.get("message", "")
            if "Failed to load resource" in message:
                self._failed_load(message.split(" ", 1)[0], f"load: {message}")
            else:
                self._problems.append(f"console: {message}")
        for entry in self._log("performance"):
            self._network_event(json.loads(entry["message"])["message"])

    def _network_event(self, event):
        method, params = event.get("method"), event.get("params", {})
        if method == "Network.requestWillBeSent":
            self._requests[params["requestId"]] = params["request"]["url"]
        elif method == "Network.responseReceived":
            response = params["response"]
            if response.get("status", 0) >= 400:
                self._failed_load(response["url"],
                                  f"load: {response['url']} answered {response['status']}")
        elif method == "Network.loadingFailed":
            url = self._requests.get(params["requestId"])
            # A request whose start was never seen began before the test did:
            # the browser's own start page, no page's problem.
            if url is not None:
                self._failed_load(url, f"load: {url} failed: {params.get('errorText')}")

    def problems(self):
        """Every console error, script error and failed load so far."""
        self._collect()
        return list(self._problems)


def _to_json(value):
    if isinstance(value, Element):
        return value.to_json()
    raise TypeError(f"cannot send {value!r}")


def _from_json(browser, value):
    if isinstance(value, dict) and ELEMENT_KEY in value:
        return Element(browser, value[ELEMENT_KEY])
    if isinstance(value, list):
        return [_from_json(browser, v) for v in value]
    if isinstance(value, dict):
        return {k: _from_json(browser, v) for k, v in value.items()}
    return value
