"""Small helpers shared by the end-to-end tests: failures collected by
`check` and summed up by `finish` (the test's exit code), files written with
their folders, a 1x1 GIF for an image that needs only to exist and load,
and `walk_roads`, which takes a browser along a test's roads one by one.
"""

import os

failures = []

# A 1x1 GIF.
GIF = bytes.fromhex("47494638396101000100800000ffffff00000021f90401000000002c"
                    "00000000010001000002024401003b")

# A failed load whose start the browser never reported ("?") is one of its
# own start-up requests, no page's; pass these to Browser(ignore=...).
BROWSER_IGNORE = (r"/favicon\.ico$", r"^\?$")


def check(ok, what):
    if not ok:
        failures.append(what)
        print("FAIL:", what)


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data.encode() if isinstance(data, str) else data)


def walk_roads(b, roads, base):
    """Runs road(b, base) for each road in turn: a road that fails leaves the
    others to run (its pop-up windows closed), and every problem the browser
    saw on a road fails that road."""
    seen = 0
    for road in roads:
        try:
            road(b, base)
        except Exception as error:  # one road's failure leaves the others to run
            check(False, f"{road.__name__}: {error}")
            for handle in b.windows()[1:]:
                b.window(handle)
                b.close_window()
        problems = b.problems()
        for problem in problems[seen:]:
            check(False, f"{road.__name__}: {problem}")
        seen = len(problems)


def finish():
    if failures:
        print(f"{len(failures)} check(s) failed")
        return 1
    print("all checks passed")
    return 0
