#!/usr/bin/env python3
"""Photographs from today's cameras and phones, made into a site as the
manual's first gallery says (docs/manual.md, section 3) and looked at in
Chromium through localweb:

- a folder of pictures that carry each EXIF orientation, some with names
  and titles beyond ASCII ("Café.jpg", a picture titled "Åsa"): infoed
  writes the titles and keywords, the manual's loop runs minipix, viewreel
  /B /H and galleria in every folder, pagebase catalogues the site for the
  search, and a searchable folder has a picture titled with such letters;
- every thumbnail is as tall as its picture's shown orientation makes it,
  and shows the corners that Chromium shows of the photograph itself;
- on every slide, the picture's natural size (which Chromium gives for the
  upright picture) has the shape of the WIDTH and HEIGHT the page writes;
- the names and titles read right in the visible text of the index, the
  slides, the search's result page and the searchable folder's search.

No page may raise a script error or fail to load anything.
"""

import os
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from browser import Browser  # noqa: E402
from checks import BROWSER_IGNORE, check, finish, walk_roads, write  # noqa: E402
from photos import blocks_jpeg, with_orientation  # noqa: E402
from site_kit_test import into, links_shown, search_for, start_localweb, stop  # noqa: E402

TOP = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
KIT = os.path.join(TOP, "kit")

# The stored frame: 320 x 240 in four coloured quarters.
RED, GREEN, BLUE, WHITE = (220, 30, 30), (30, 200, 40), (30, 40, 210), (250, 250, 250)


def quarters(bx, by):
    top, left = by < 15, bx < 20
    return (RED if left else GREEN) if top else (BLUE if left else WHITE)


# The album: file name, orientation, title and keywords given with infoed
# (none: the picture is shown by its file name).
ALBUM = [("o%d.jpg" % o, o, None, None) for o in (1, 2, 3, 4, 5, 7, 8)] + [
    ("o6.jpg", 6, "Åsa", "+fika"),
    ("Café.jpg", 6, None, "+fika"),
]
# The manual's settings (section 3.2), with the folder files of section 3.8.
WEFT_INI = ("thumbSize=120,120\nslides=simple\ntables=yes\nheading=standard\n"
            "backlink=parent\nscale=800,600\nconfigfile=folder.ini\n")
MANUAL_LOOP = ("find . -depth -type d ! -name icons ! -name thumbs ! -name cgi-bin ! -path './icons/*'"
               " | while read -r dir; do"
               " (cd \"$dir\" && mkdir -p thumbs && minipix && viewreel /B /H && galleria); done")


def sideways(orientation):
    return orientation >= 5


class User:
    """Commands as the manual's user types them: the programs on the PATH
    and the site mapped as drive P:."""

    def __init__(self, bin_dir, site):
        self.env = dict(os.environ, WEFTDRIVES=f"C=/;P={site}",
                        PATH=bin_dir + os.pathsep + os.environ.get("PATH", ""))
        self.site = site

    def run(self, folder, args, shell=False, stdout=None):
        run = subprocess.run(args, cwd=os.path.join(self.site, folder), env=self.env, shell=shell,
                             stdout=stdout or subprocess.PIPE, stderr=subprocess.PIPE, timeout=300)
        out = "" if stdout else run.stdout.decode(errors="replace")
        err = run.stderr.decode(errors="replace")
        check(run.returncode == 0 and "Error" not in out + err,
              f"{args} in /{folder}: exit {run.returncode} {out}{err}")


def build_site(bin_dir, site):
    user = User(bin_dir, site)
    write(os.path.join(site, "icons", "weft.ini"), WEFT_INI)
    for name in os.listdir(KIT):
        shutil.copy(os.path.join(KIT, name), os.path.join(site, "icons", name))
    stored = blocks_jpeg(320, 240, quarters)
    for name, orientation, _, _ in ALBUM:
        write(os.path.join(site, "sommar", name), with_orientation(stored, orientation, orientation % 2 == 0))
    write(os.path.join(site, "stad", "Kärra.jpg"), with_orientation(stored, 3))
    write(os.path.join(site, "stad", "folder.ini"), "index=searchable\nslides=window\n")
    user.run("", ["infoed", "/C", "index.htm", "/T:My Photos"])
    user.run("sommar", ["infoed", "/C", "index.htm", "/T:Sommar"])
    for name, _, title, keywords in ALBUM:
        if title:
            user.run("sommar", ["infoed", "/C", name, "/T:" + title])
        if keywords:
            user.run("sommar", ["infoed", "/C", name, "/M:" + keywords])
    user.run("stad", ["infoed", "/C", "index.htm", "/T:Stad"])
    user.run("stad", ["infoed", "/C", "Kärra.jpg", "/T:Åsa i stan"])
    user.run("stad", ["infoed", "Kärra.jpg", "/D:Smörgås och kaffe."])
    user.run("", MANUAL_LOOP, shell=True)
    # The catalogue and the search (section 3.9).
    with open(os.path.join(site, "index.db"), "wb") as db:
        user.run("", ["pagebase", "P:"], stdout=db)
    write(os.path.join(site, "cgi-bin", "hidden.dir"), "")
    shutil.copy(os.path.join(bin_dir, "galleria"), os.path.join(site, "cgi-bin", "galleria"))
    write(os.path.join(site, "cgi-bin", "weftcgi.ini"),
          "slides=window\nindexdb=index.db\nstartdir=P:\\\ncgiurl=/cgi-bin/galleria.cgi\n")
    return user


# --- In the browser ------------------------------------------------------------------

# The colours at the middle of each quarter of an image drawn at w x h, top
# left, top right, bottom left, bottom right.
QUARTER_COLOURS = """
function QuarterColours(image, w, h) {
  var canvas = document.createElement('canvas');
  canvas.width = w;
  canvas.height = h;
  var g = canvas.getContext('2d');
  g.drawImage(image, 0, 0, w, h);
  return [[1, 1], [3, 1], [1, 3], [3, 3]].map(function (p) {
    return Array.prototype.slice.call(g.getImageData(Math.floor(p[0] * w / 4), Math.floor(p[1] * h / 4), 1, 1).data, 0, 3);
  });
}
"""


def near(a, b, tolerance=48):
    return all(abs(x - y) <= tolerance for x, y in zip(a, b))


def pictures_loaded(b, css, what):
    return b.wait_for(lambda: b.run(
        "var all = Array.prototype.slice.call(document.querySelectorAll(arguments[0]));"
        "return all.length && all.every(function (i) { return i.complete && i.naturalWidth; }) && all.length;",
        css), what)


def thumbnails_upright(b, page, orientations):
    """Each thumbnail of the page, "thumbs/tn_NAME_jpg.jpg" beside its
    photograph NAME.jpg (a URL; `orientations` gives each one's): its height
    for the shown orientation, and the corners Chromium shows of the
    photograph itself, which it turns by its tag."""
    pictures_loaded(b, 'img[src*="thumbs/"]', f"the thumbnails of {page}")
    thumbs = b.run(
        "return Array.prototype.map.call(document.querySelectorAll('img[src*=\"thumbs/\"]'), function (i) {"
        "  return [i.getAttribute('src'), i.naturalWidth, i.naturalHeight, i.getAttribute('height')]; });")
    check(sorted(t[0].split("/tn_")[-1] for t in thumbs) ==
          sorted(name[:-4] + "_jpg.jpg" for name in orientations),
          f"{page} shows the thumbnails {[t[0] for t in thumbs]}")
    for src, width, height, tag_height in thumbs:
        folder, thumb = src.rsplit("thumbs/tn_", 1)
        name = thumb[:-len("_jpg.jpg")] + ".jpg"
        if name not in orientations:
            continue
        tall = sideways(orientations[name])
        check((width, height) == ((90, 120) if tall else (120, 90)),
              f"{page}: the thumbnail of {name} is {width}x{height}")
        check(tag_height == str(height), f"{page}: the thumbnail of {name} has HEIGHT={tag_height}")
        b.run(QUARTER_COLOURS +
              "var thumb = document.querySelector('img[src=\"' + arguments[0] + '\"]');"
              "var photo = new Image();"
              "window.photoDrawn = null;"
              "photo.onload = function () { window.photoDrawn = [QuarterColours(photo, 40, 40),"
              "  QuarterColours(thumb, 40, 40), photo.naturalWidth, photo.naturalHeight]; };"
              "photo.src = arguments[1];", src, folder + name)
        drawn = b.wait_for(lambda: b.run("return window.photoDrawn;"), f"{name} drawn")
        photo_colours, thumb_colours, photo_width, photo_height = drawn
        check((photo_width < photo_height) == tall,
              f"{page}: Chromium shows {name} as {photo_width}x{photo_height}")
        check(all(near(p, t) for p, t in zip(photo_colours, thumb_colours)),
              f"{page}: the thumbnail of {name} shows {thumb_colours}, the photograph {photo_colours}")


def picture_shape(b, slide, url, orientation, tolerance):
    """The slide's picture: its natural shape is the shape of its tag."""
    pictures_loaded(b, 'img[src$="%s"]' % url, f"the picture of {slide}")
    width, height, tag_width, tag_height = b.run(
        "var i = document.querySelector('img[src$=\"' + arguments[0] + '\"]');"
        "return [i.naturalWidth, i.naturalHeight, +i.getAttribute('width'), +i.getAttribute('height')];", url)
    check(tag_width and tag_height and abs(width / height - tag_width / tag_height) < tolerance,
          f"{slide}: the picture is {width}x{height}, its tag {tag_width}x{tag_height}")
    check((tag_width < tag_height) == sideways(orientation),
          f"{slide}: orientation {orientation} written as {tag_width}x{tag_height}")


def slide_shapes(b, base, folder, photos):
    for url, slide, orientation in photos:
        b.open(base + folder + slide)
        picture_shape(b, slide, url, orientation, 0.01)


def reads(b, page, *texts):
    text = b.text()
    for wanted in texts:
        check(wanted in text, f"{page} does not read {wanted!r}: {text!r}")


def url_name(name):
    return name.replace("é", "%C3%A9").replace("ä", "%C3%A4")


def album(b, base):
    photos = [(url_name(name), url_name(name[:-4]) + ".htm", o) for name, o, _, _ in ALBUM]
    b.open(base + "sommar/index.htm")
    reads(b, "the album's index", "Café.jpg", "Åsa")
    thumbnails_upright(b, "the album's index", {url: o for url, _, o in photos})
    slide_shapes(b, base, "sommar/", photos)
    b.open(base + "sommar/Caf%C3%A9.htm")
    reads(b, "the slide of Café.jpg", "Café.jpg")
    b.open(base + "sommar/o6.htm")
    reads(b, "the slide titled Åsa", "Åsa", "[o6.jpg]")


def catalogue_search(b, base):
    b.open(base + "cgi-bin/galleria.cgi?query=fika")
    reads(b, "the search's result page", "Åsa", "Café.jpg")
    check("o1.jpg" not in b.text(), "the search for fika lists pictures without the keyword")
    thumbnails_upright(b, "the search's result page", {"o6.jpg": 6, "Caf%C3%A9.jpg": 6})


def searchable_folder(b, base):
    b.open(base + "stad/index.htm")
    b.frame("contentFrame")
    b.wait_for(lambda: "Åsa i stan" in b.text(), "the whole index of the searchable folder")
    text = search_for(b, "smörgås")
    check("1 entry matches" in text, f"the search for smörgås says {text!r}")
    check(links_shown(b) == ["Åsa i stan"], f"the search for smörgås shows {links_shown(b)}")
    reads(b, "the searchable folder's search", "Åsa i stan", "Smörgås och kaffe.")
    # The slide found, in the slide window: the controls draw its picture
    # scaled to the frame from the size the slide gives.
    with b.new_window():
        b.find_link("Åsa i stan").click()
    into(b, "contentFrame")
    b.wait_for(lambda: "Åsa i stan" in b.text(), "the slide found in the slide window")
    reads(b, "the slide window", "Åsa i stan", "[Kärra.jpg]")
    picture_shape(b, "the slide window", url_name("Kärra.jpg"), 3, 0.02)
    b.close_window()


def main():
    bin_dir = os.path.abspath(sys.argv[1])
    top = tempfile.mkdtemp(prefix="weft-photos-")
    server = None
    try:
        site = os.path.join(top, "photos")
        user = build_site(bin_dir, site)
        log = open(os.path.join(top, "localweb.log"), "w")
        # localweb in the top folder, as section 3.7 starts it.
        server, base = start_localweb(bin_dir, site, log, user.env)
        with Browser(ignore=BROWSER_IGNORE) as b:
            walk_roads(b, (album, catalogue_search, searchable_folder), base)
    finally:
        if server:
            stop(server)
        shutil.rmtree(top, ignore_errors=True)
    return finish()


if __name__ == "__main__":
    sys.exit(main())
