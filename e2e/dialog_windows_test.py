#!/usr/bin/env python3
"""The dialog programs' windows on an X desktop, each scenario on its own
Xvfb, driven with xdotool, xclip and an XDND drag source as a person would:

- infoedw shows the page's file name as its caption; typed text and Enter
  store the new title; the sort order takes digits only, typed or pasted,
  and at most nine.
- tagpick /W<folder> shows its drop prompt after its timer; a page's
  'file:///C:/...' URL copied with xclip loads its keywords, and the next
  copied page (also a file manager's host URI) is asked about and gets them;
  keywords picked with the mouse and the keyboard (a heading does not stay
  selected) go to pages dropped on the window, also when let go over the
  list or a button.
- infobulk shows its drop prompt; a drop of two files through the X
  drag-and-drop protocol edits both pages; a drop let go over any field,
  label or button edits the page and leaves the typed fields as they were.
- infoedw takes no dropped files: one let go over its title field is
  refused, and the field does not get the file's address.
- On a desktop with a window manager (openbox): tagpick, its window sized
  to its list, is still resized larger and smaller; a page dragged with the
  mouse out of a file manager (pcmanfm) and let go over infobulk's title
  field edits the page, and the field keeps what was typed.
- infoedw shows a windows-1252 page's letters and stores a typed "ü" as the
  one byte 0xFC; a letter without a windows-1252 form is refused with a
  message; 150 "é" typed into the title of a UTF-8 page keep 127, no half
  letter.
- Under Xft.dpi 192 a dialog is about twice its size at 96.
- archvetw shows its report in a message box window that Enter closes;
  galstart's and tagpick's error boxes show before any dialog exists.

The pages live in a temporary folder seen through the default drive map
(host / is C:), as a user without WEFTDRIVES sees them.

    e2e/dialog_windows_test.py BIN_DIR
"""

import os
import shutil
import sys
import tempfile
import traceback

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from checks import check, finish, write  # noqa: E402
from desktop import Desktop  # noqa: E402

BIN = os.path.abspath(sys.argv[1]) if len(sys.argv) == 2 else sys.exit("usage: dialog_windows_test.py BIN_DIR")
DRAG = os.path.join(os.path.dirname(BIN), "tests", "xdnd_drag")
PAGE = ("<HEAD>\n<TITLE>Old</TITLE>\n<META NAME=\"KEYWORDS\" CONTENT=\"%s\">\n"
        "</HEAD>\n<BODY>\n</BODY>\n")


def read(path):
    try:
        with open(path) as f:
            return f.read()
    except OSError:
        return ""


def drive_url(path):
    """The 'file:///C:/...' URL of a host path under the default drive map."""
    return "file:///C:" + path.replace(" ", "%20")


def scenario(function, window_manager=False):
    """Runs one scenario in a fresh folder on a fresh desktop."""
    folder = tempfile.mkdtemp(prefix="weft-windows-")
    try:
        with Desktop(drag_helper=DRAG, window_manager=window_manager) as desktop:
            function(desktop, folder)
    except Exception as error:  # noqa: BLE001 - any error fails the scenario, the rest go on
        traceback.print_exc()
        check(False, f"{function.__name__}: {error}")
    finally:
        shutil.rmtree(folder, ignore_errors=True)


def infoedw_stores_what_is_typed(d, folder):
    page = os.path.join(folder, "a.htm")
    write(page, PAGE % "sea")
    program = d.start([os.path.join(BIN, "infoedw"), "a.htm"], cwd=folder)
    wid = d.window(classname="infoedw")
    check(d.name(wid) == "a.htm", f"infoedw caption {d.name(wid)!r}")
    d.focused(wid)
    d.type("New title")             # the title field has the focus, its text selected
    d.key("alt+s")                  # the Sort Order field
    d.type("4x2")
    d.copy("7b")
    d.key("ctrl+v")                 # no letters, not even pasted
    d.copy("123456789")
    d.key("ctrl+v")                 # nine characters at most
    d.key("Return")
    check(d.wait_exit(program) == 0, "infoedw exit code")
    check(read(page) == "<HEAD>\n<TITLE>New title</TITLE>\n"
                        "<META NAME=\"KEYWORDS\" CONTENT=\"sea\">\n"
                        "<META NAME=\"SORTORDER\" CONTENT=\"421234567\">\n"
                        "</HEAD>\n<BODY>\n</BODY>\n", f"infoedw page:\n{read(page)}")


LATIN_PAGE = b"<HEAD>\n<TITLE>Gr\xfc\xdfe</TITLE>\n</HEAD>\n<BODY>\n</BODY>\n"


def read_bytes(path):
    with open(path, "rb") as f:
        return f.read()


def infoedw_types_in_the_pages_code_page(d, folder):
    # A windows-1252 page shows its letters, and the typed ones join them in
    # windows-1252: "ü" is the one byte 0xFC.
    page = os.path.join(folder, "latin.htm")
    with open(page, "wb") as f:
        f.write(LATIN_PAGE)
    program = d.start([os.path.join(BIN, "infoedw"), "latin.htm"], cwd=folder)
    wid = d.window(classname="infoedw")
    d.focused(wid)
    d.key("End")
    d.type(" für")
    d.key("Return")
    check(d.wait_exit(program) == 0, "infoedw exit code")
    check(read_bytes(page) == LATIN_PAGE.replace(b"e</TITLE>", b"e f\xfcr</TITLE>"),
          f"infoedw's windows-1252 page:\n{read_bytes(page)!r}")

    # A letter that windows-1252 has no form for is refused with a message.
    program = d.start([os.path.join(BIN, "infoedw"), "latin.htm"], cwd=folder)
    wid = d.window(classname="infoedw")
    d.focused(wid)
    d.key("End")
    d.type("ő")
    boxes = []

    def box_shown():
        found = d.run(["xdotool", "search", "--onlyvisible", "--classname", "infoedw"]).stdout.split()
        boxes[:] = [window for window in found if window != wid]
        return bool(boxes)

    d.wait_for(box_shown, "the message that refuses the letter")
    check(d.name(boxes[0]) == "latin.htm", f"the refusing box's caption {d.name(boxes[0])!r}")
    d.focused(boxes[0])
    d.key("Return")                 # OK: the box goes, the field has the focus again
    d.focused(wid)
    d.type("!")
    d.key("Return")
    check(d.wait_exit(program) == 0, "infoedw exit code")
    check(read_bytes(page) == LATIN_PAGE.replace(b"e</TITLE>", b"e f\xfcr!</TITLE>"),
          f"infoedw's page after a refused letter:\n{read_bytes(page)!r}")

    # Typing into a UTF-8 page's title of 255 bytes stops at the last whole
    # letter: 127 of 150 "é".
    page = os.path.join(folder, "utf8.htm")
    write(page, PAGE % "sea")
    program = d.start([os.path.join(BIN, "infoedw"), "utf8.htm"], cwd=folder)
    wid = d.window(classname="infoedw")
    d.focused(wid)
    d.type("é" * 150)
    d.key("Return")
    check(d.wait_exit(program) == 0, "infoedw exit code")
    check(read(page) == (PAGE % "sea").replace("Old", "é" * 127), f"infoedw's UTF-8 page:\n{read(page)}")


def tagpick_watches_the_clipboard(d, folder):
    write(os.path.join(folder, "list.txt"), "Beach\nSunset\n")
    loaded, asked, declined = (os.path.join(folder, name) for name in ("b.htm", "c d.htm", "e.htm"))
    write(loaded, PAGE % "sunset, sea")
    write(asked, PAGE % "sea")
    write(declined, PAGE % "sea")
    program = d.start([os.path.join(BIN, "tagpick"), "/W" + folder, "list.txt"], cwd=folder)
    wid = d.window(classname="tagpick")
    prompt = "Drop HTML Files Here to Add Selected Keywords"
    d.wait_for(lambda: d.name(wid) == prompt, "tagpick's drop prompt")
    d.copy(drive_url(loaded))
    d.wait_for(lambda: d.name(wid) == "Keywords loaded", "tagpick loading the copied page's keywords")
    d.copy(drive_url(asked))
    box = d.window(name="^TAGPICK$")
    d.focused(box)
    d.key("Return")                 # Yes
    d.wait_for(lambda: d.name(wid) == "1 file was modified", "tagpick adding to the asked page")
    check(read(asked) == PAGE % "sea, Sunset", f"tagpick asked page:\n{read(asked)}")
    d.copy("file://" + declined)    # a file manager's copy: a host URI
    box = d.window(name="^TAGPICK$")
    d.focused(box)
    d.key("n")                      # No
    d.wait_for(lambda: d.name(wid) == "No files were modified", "tagpick's declined page")
    check(read(declined) == PAGE % "sea", "tagpick changed a page the user declined")
    d.key("Escape")
    check(d.wait_exit(program) == 0, "tagpick exit code")


def tagpick_adds_picked_keywords_to_a_dropped_page(d, folder):
    write(os.path.join(folder, "tagpick.txt"), "Places\n Beach\n Sunset\n")
    page = os.path.join(folder, "f.htm")
    write(page, PAGE % "sea")
    program = d.start([os.path.join(BIN, "tagpick")], cwd=folder)
    wid = d.window(classname="tagpick")
    d.focused(wid)
    d.click(wid, 24, 22)            # the first entry: a heading, which does not stay selected
    d.key("Down", "space")          # the next one: Beach
    check(d.drag(wid, "file://" + page) == 0, "tagpick refused the drop")
    d.wait_for(lambda: d.name(wid) == "1 file was modified", "tagpick's status after the drop")
    check(read(page) == PAGE % "sea, Beach", f"tagpick dropped page:\n{read(page)}")
    # Let go over the list, then over the Close button: the drop is the
    # dialog's; the selection stays, and Close is not pressed.
    width, _ = d.size(wid)
    for place, at in (("the list", (30, 40)), ("the Close button", (width - 30, 20))):
        other = os.path.join(folder, "on " + place + ".htm")
        write(other, PAGE % "sea")
        d.set_name(wid, "waiting")
        check(d.drag(wid, "file://" + other.replace(" ", "%20"), at=at) == 0,
              f"tagpick refused a drop on {place}")
        d.wait_for(lambda: d.name(wid) == "1 file was modified", f"tagpick's status after a drop on {place}")
        check(read(other) == PAGE % "sea, Beach", f"tagpick page dropped on {place}:\n{read(other)}")
    d.key("Escape")
    check(d.wait_exit(program) == 0, "tagpick exit code")


def infobulk_edits_dropped_pages(d, folder):
    page = os.path.join(folder, "g.htm")
    write(page, PAGE % "sea")
    write(os.path.join(folder, "Pic One.jpg"), "jpeg")
    program = d.start([os.path.join(BIN, "infobulk")], cwd=folder)
    wid = d.window(classname="infobulk")
    d.wait_for(lambda: d.name(wid) == "Drop HTML Files Here to Modify File Information",
               "infobulk's drop prompt")
    d.focused(wid)
    d.type("%FILENAME%")            # the title field
    d.key("alt+k")
    d.type("+sun")
    check(d.drag(wid, "file://" + page, "file://" + os.path.join(folder, "Pic%20One.jpg")) == 0,
          "infobulk refused the drop")
    d.wait_for(lambda: d.name(wid) == "2 files were modified", "infobulk's status after the drop")
    check(read(page) == "<HEAD>\n<TITLE>g.htm</TITLE>\n"
                        "<META NAME=\"KEYWORDS\" CONTENT=\"sea, sun\">\n</HEAD>\n<BODY>\n</BODY>\n",
          f"infobulk dropped page:\n{read(page)}")
    check(read(os.path.join(folder, "Pic One.htm")) ==
          "<HEAD>\n<TITLE>Pic One.jpg</TITLE>\n<META NAME=\"KEYWORDS\" CONTENT=\"sun\">\n"
          "</HEAD>\n<BODY>\n</BODY>\n", "infobulk's page of the dropped image")
    d.key("Escape")
    check(d.wait_exit(program) == 0, "infobulk exit code")


# Where infobulk's controls are, in dialog units of its 244 x 143 client area.
INFOBULK_SIZE = (244, 143)
INFOBULK_PLACES = [("the Title field", (118, 15)), ("the Title label", (20, 17)),
                   ("the Sort Order field", (80, 36)), ("the Description field", (148, 70)),
                   ("the Keywords field", (148, 117)), ("the Close button", (211, 13)),
                   ("the background", (120, 140))]


def point(d, wid, size, units):
    """The pixel of a window at a point given in dialog units of its size."""
    width, height = d.size(wid)
    return (width * units[0] // size[0], height * units[1] // size[1])


def infobulk_takes_drops_anywhere(d, folder):
    program = d.start([os.path.join(BIN, "infobulk")], cwd=folder)
    wid = d.window(classname="infobulk")
    d.focused(wid)
    d.type("%FILENAME%")            # the title field
    d.key("alt+k")
    d.type("+sun")
    for number, (place, units) in enumerate(INFOBULK_PLACES):
        name = f"p{number}.htm"
        page = os.path.join(folder, name)
        write(page, PAGE % "sea")
        d.set_name(wid, "waiting")
        # Let go over a field, a label, a button or the background: the drop
        # is the dialog's, and no field gets the file's address as text.
        check(d.drag(wid, "file://" + page, at=point(d, wid, INFOBULK_SIZE, units)) == 0,
              f"infobulk refused a drop on {place}")
        d.wait_for(lambda: d.name(wid) == "1 file was modified", f"infobulk's status after a drop on {place}")
        check(read(page) == f"<HEAD>\n<TITLE>{name}</TITLE>\n"
                            "<META NAME=\"KEYWORDS\" CONTENT=\"sea, sun\">\n</HEAD>\n<BODY>\n</BODY>\n",
              f"infobulk page dropped on {place}:\n{read(page)}")
    d.key("Escape")
    check(d.wait_exit(program) == 0, "infobulk exit code")


def infoedw_refuses_drops(d, folder):
    page = os.path.join(folder, "a.htm")
    write(page, PAGE % "sea")
    program = d.start([os.path.join(BIN, "infoedw"), "a.htm"], cwd=folder)
    wid = d.window(classname="infoedw")
    d.focused(wid)
    # Over the title field: infoedw takes no files, and the field no address.
    check(d.drag(wid, "file://" + page, at=point(d, wid, (244, 164), (118, 15))) == 1,
          "infoedw took a dropped file")
    d.key("Return")
    check(d.wait_exit(program) == 0, "infoedw exit code")
    check(read(page) == PAGE % "sea", f"infoedw page after a refused drop:\n{read(page)}")


def tagpick_resizes_whatever_its_first_size(d, folder):
    # A list that fits the screen in one column: the window takes its size,
    # and the user can still make it larger and smaller.
    write(os.path.join(folder, "tagpick.txt"), "".join(f"Keyword {n}\n" for n in range(30)))
    program = d.start([os.path.join(BIN, "tagpick")], cwd=folder)
    wid = d.window(classname="tagpick")
    d.focused(wid)
    width, height = d.size(wid)
    check(height > 400, f"tagpick's window {width}x{height} does not show the list in one column")
    for wanted in ((width + 120, height + 40), (width + 20, height - 200)):
        d.xdotool("windowsize", wid, str(wanted[0]), str(wanted[1]))
        d.wait_for(lambda: d.size(wid) == wanted, f"tagpick resized to {wanted}, not {d.size(wid)}")
    d.key("Escape")
    check(d.wait_exit(program) == 0, "tagpick exit code")


def dialogs_follow_the_desktops_scale(d, folder):
    # A desktop asks for twice the size in the X resources, as xrdb sets them.
    write(os.path.join(folder, "a.htm"), PAGE % "sea")
    sizes = {}
    for dpi in (96, 192):
        d.run(["xrdb", "-merge"], input=f"Xft.dpi: {dpi}\n")
        program = d.start([os.path.join(BIN, "infoedw"), "a.htm"], cwd=folder)
        wid = d.window(classname="infoedw")
        d.focused(wid)
        sizes[dpi] = d.size(wid)
        d.key("Escape")
        check(d.wait_exit(program) == 0, "infoedw exit code")
    # Twice the font; its lines and letters come out near twice as large.
    for small, large in zip(sizes[96], sizes[192]):
        check(1.75 <= large / small <= 2.25, f"infoedw at 96 and 192 dpi: {sizes[96]} and {sizes[192]}")


def first_item_of_the_file_manager(d, wid):
    """Where the file manager shows the first item of its folder (None while
    it shows none): its folder view is the widest white stretch across the
    middle of the window, and the item the first thing drawn in it from the
    top."""
    x, y, width, height = d.geometry(wid)
    screen_width, _, pixels = d.screenshot()

    def white(px, py):
        at = (py * screen_width + px) * 3
        return pixels[at:at + 3] == b"\xff\xff\xff"

    middle = y + height // 2
    stretch, start, left, right = 0, None, x, x
    for px in range(x, x + width):
        if not white(px, middle):
            start = None
            continue
        start = px if start is None else start
        if px - start > stretch:
            stretch, left, right = px - start, start, px
    top = middle
    while top > y and white(left + 3, top - 1):
        top -= 1
    for py in range(top + 2, middle):
        drawn = [px for px in range(left + 2, right - 2) if not white(px, py)]
        if drawn:
            return (min(drawn) + max(drawn)) // 2, py + 12  # on the icon, below its top
    return None


def shown_item(d, wid):
    """The first item of the file manager, once it is drawn."""
    found = []

    def drawn():
        found[:] = [first_item_of_the_file_manager(d, wid)]
        return found[0] is not None

    d.wait_for(drawn, "the file's icon")
    return found[0]


def infobulk_takes_a_file_dragged_from_a_file_manager(d, folder):
    # The user drags a page out of pcmanfm and lets go over infobulk's title
    # field, with the mouse, as on any desktop.
    page = os.path.join(folder, "beach.htm")
    write(page, PAGE % "sea")
    program = d.start([os.path.join(BIN, "infobulk")], cwd=folder)
    wid = d.window(classname="infobulk")
    d.focused(wid)
    d.type("%FILENAME%")
    d.key("alt+k")
    d.type("+sun")
    d.start(["pcmanfm", folder], quiet=True)
    manager = d.window(classname="pcmanfm")
    d.xdotool("windowmove", manager, "0", "0")
    d.xdotool("windowmove", wid, "0", str(d.geometry(manager)[3] + 60))
    d.wait_for(lambda: d.geometry(wid)[1] > d.geometry(manager)[3], "the windows side by side")
    x, y, width, height = d.geometry(wid)
    title_field = (x + width * 118 // INFOBULK_SIZE[0], y + height * 15 // INFOBULK_SIZE[1])
    # Twice: the second time the title field must still hold what was typed,
    # not the file's address, for the page to get the same title again.
    for drag in ("first", "second"):
        write(page, PAGE % "sea")
        d.set_name(wid, "waiting")
        d.mouse_drag(shown_item(d, manager), title_field)
        d.wait_for(lambda: d.name(wid) == "1 file was modified", f"infobulk's status after the {drag} drag")
        check(read(page) == "<HEAD>\n<TITLE>beach.htm</TITLE>\n"
                            "<META NAME=\"KEYWORDS\" CONTENT=\"sea, sun\">\n</HEAD>\n<BODY>\n</BODY>\n",
              f"infobulk's page after the {drag} drag from the file manager:\n{read(page)}")
    d.xdotool("windowactivate", wid)
    d.focused(wid)
    d.key("Escape")
    check(d.wait_exit(program) == 0, "infobulk exit code")


def message_boxes_before_any_dialog(d, folder):
    write(os.path.join(folder, "My Photos", "new.txt"), "not yet backed up")
    # Options begin with '/', so an absolute path comes with its drive.
    archvetw = d.start([os.path.join(BIN, "archvetw"), "C:" + os.path.join(folder, "My Photos")],
                       cwd=folder)
    box = d.window(name="^My Photos:  BACKUP NEEDED$")
    d.focused(box)
    d.key("Return")
    check(d.wait_exit(archvetw) == 1, "archvetw exit code")

    galstart = d.start([os.path.join(BIN, "galstart")], cwd=folder)
    box = d.window(name="^Error$")
    d.focused(box)
    d.key("Return")
    check(d.wait_exit(galstart) == 1, "galstart exit code")

    tagpick = d.start([os.path.join(BIN, "tagpick"), "missing.txt"], cwd=folder)
    box = d.window(name="^Error$")
    d.focused(box)
    d.key("Escape")
    check(d.wait_exit(tagpick) == 0, "tagpick exit code without a list")


for test in (infoedw_stores_what_is_typed, infoedw_types_in_the_pages_code_page, tagpick_watches_the_clipboard,
             tagpick_adds_picked_keywords_to_a_dropped_page, infobulk_edits_dropped_pages,
             infobulk_takes_drops_anywhere, infoedw_refuses_drops, dialogs_follow_the_desktops_scale,
             message_boxes_before_any_dialog):
    scenario(test)
for test in (tagpick_resizes_whatever_its_first_size, infobulk_takes_a_file_dragged_from_a_file_manager):
    scenario(test, window_manager=True)

sys.exit(finish())
