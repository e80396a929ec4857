#!/usr/bin/env python3
"""drollbox.exe under Wine on the display xvfb-run gives, used as a person would, with the mouse and
with the keyboard; then the widest and the tallest default cookies in the first-use font at 96 and 192
dpi, measured in screenshots. No window manager runs, so the X input focus follows the pointer: keys
and clicks wait until it is over their window."""
import glob, os, re, shutil, subprocess, sys, time

TITLE = None  # "Drollbox v" and the version the build passes last on the command line
WIT, SIZ, FRAME = 639, 13, (80, 171)  # No, No, Yes: 800x600
SETTINGS = b":Config:\r\nscr=1\r\nfon=Liberation Mono Bold\r\nsiz=13\r\nwit=639\r\n"
# The menu colour, the groove's two rows, a window's background and the frame's border all differ.
MENU, UPPER, LOWER = (236, 233, 216), (128, 128, 128), (255, 255, 255)
FIRST_USE = b":Config:\r\nscr=3\r\nfon=Courier New\r\nsiz=22\r\nwit=639\r\n"
COLOURS = {"Menu": MENU, "InactiveTitle": UPPER, "HilightText": LOWER, "Window": (250, 250, 250)}
BUTTONS = {"Ok": 480, "New": 18, "Prev": 90, "Config": 163, "About": 323}


def wait_for_or_none(probe, timeout=30.0):
    deadline = time.monotonic() + timeout
    while not (value := probe()) and time.monotonic() < deadline:
        time.sleep(0.2)
    return value


def wait_for(what, probe, timeout=30.0):
    return wait_for_or_none(probe, timeout) or sys.exit("timed out waiting for " + what)


def xdotool(*args):
    return subprocess.run(["xdotool", *map(str, args)], capture_output=True, text=True).stdout


def windows(title):
    return [int(w) for w in xdotool("search", "--onlyvisible", "--name", "^%s$" % re.escape(title)).split()]


def new_window(title, old=(), timeout=30.0):
    return wait_for(title, lambda: next((w for w in windows(title) if w not in old), None), timeout)


def geometry(window):
    found = lambda: re.findall(r"=(\d+)", xdotool("getwindowgeometry", "--shell", window))
    return wait_for("the geometry of %d" % window, lambda: tuple(map(int, found()[1:5])))


def point(window, x, y):
    xdotool("mousemove", x, y)
    over = lambda: "window:%d" % window in xdotool("getmouselocation")
    if not wait_for_or_none(over):
        sys.exit("the pointer at %d,%d is not over %d %r but: %s" % (x, y, window, geometry(window),
                                                                    xdotool("getmouselocation")))


def keys(window, *names, text=""):
    x, y, width, _ = geometry(window)
    point(window, x + width // 2, y + 4)
    xdotool("type", "--delay", 60, text)
    xdotool("key", *names)


def answer(title, key, old=()):
    box = new_window(title, old)
    keys(box, key)
    wait_for("%s to go" % title, lambda: box not in windows(title))
    return box


def screenshot(shot):
    subprocess.run(["import", "-window", "root", shot], check=True)
    width, height = map(int, subprocess.run(["identify", "-format", "%w %h", shot], capture_output=True,
                                            text=True).stdout.split())
    raw = subprocess.run(["convert", shot, "-depth", "8", "rgb:-"], capture_output=True).stdout
    return width, height, lambda x, y: tuple(raw[(y * width + x) * 3:(y * width + x) * 3 + 3])


def client_origin(x, y, width, rows, shot):
    """Where the groove's two rows lie whole, and text under them; None while painting."""
    at = screenshot(shot)[2]
    n = width - 22
    for gx, gy in ((gx, gy) for gy in range(y, y + 60) for gx in range(x, x + 20) if at(gx, gy) == UPPER):
        if ([at(gx - 1, gy), at(gx + n, gy), at(gx, gy + 1), at(gx + 1 + n, gy + 1)] == [MENU] * 4
                and all(at(gx + i, gy) == UPPER and at(gx + 1 + i, gy + 1) == LOWER for i in range(n))):
            ink = sum(at(tx, ty) != MENU for ty in range(gy + 3, gy + 3 + rows * SIZ) for tx in range(gx, gx + n))
            return (gx - 5, gy - 25) if ink >= 40 else None


def main_window(shot, old=()):
    wait_for("the old window to go", lambda: not set(old) & set(windows(TITLE)))
    window = new_window(TITLE, old)
    x, y, width, height = geometry(window)
    rows = (height - 60) // SIZ
    if (x, y) != FRAME or width < WIT or height != rows * SIZ + 60 or not 0 < rows <= 25:
        sys.exit("the main window is at %r" % ((x, y, width, height),))
    return window, wait_for("the window painted", lambda: client_origin(x, y, width, rows, shot))


def press(window, client, label, button=1):
    point(window, client[0] + (geometry(window)[2] - 567) // 2 + BUTTONS[label] + 27, client[1] + 11)
    xdotool("click", button)


def ink_inside_client(window, rows, scale, shot):
    """The client is the box of menu-coloured pixels in the frame; its text, below the groove, must
    show rows bands of ink, with the right and bottom margins the fit leaves. None while painting."""
    x0, y0, width, height = geometry(window)
    screen_width, screen_height, at = screenshot(shot)
    if x0 < 0 or y0 < 0 or x0 + width > screen_width or y0 + height > screen_height:
        sys.exit("the window %r is not wholly on the screen" % ((x0, y0, width, height),))
    menu = [(x, y) for y in range(y0, y0 + height) for x in range(x0, x0 + width) if at(x, y) == MENU]
    if not menu:
        return None
    left, top = min(x for x, _ in menu), min(y for _, y in menu)
    right, bottom = max(x for x, _ in menu), max(y for _, y in menu)
    text_top = top + 27 * scale
    inked = [y for y in range(text_top, bottom + 1)
             if any(at(x, y) not in (MENU, UPPER, LOWER) for x in range(left, right + 1))]
    if not inked:
        return None
    bands = 1 + sum(1 for a, b in zip(inked, inked[1:]) if b > a + 1)
    ink_right = max(x for x in range(left, right + 1) for y in inked if at(x, y) != MENU)
    margins = (right - ink_right, bottom - inked[-1])
    if bands != rows or min(margins) < 4 * scale - 1:
        sys.exit("%d of %d rows, margins %r in the client %r" % (bands, rows, margins,
                                                                  (left, top, right, bottom)))
    return (width, height), margins


def show_whole(exe, folder, database, rows, dpi, shot):
    """The cookie of a one-cookie database in the first-use font: every row and column shown."""
    shutil.copyfile(database, os.path.join(folder, "Drollbox.dat"))
    with open(os.path.join(folder, "Drollbox.cfg"), "wb") as settings:
        settings.write(FIRST_USE)
    viewer = subprocess.Popen(["wine", exe], cwd=folder)
    window = new_window(TITLE)
    size, margins = wait_for("the cookie painted", lambda: ink_inside_client(window, rows, dpi // 96, shot))
    print("%d dpi, %d rows: frame %dx%d, client margins %r" % (dpi, rows, *size, margins))
    keys(window, "Escape")
    if viewer.wait(30) != 0:
        sys.exit("exit status %d after Escape" % viewer.returncode)


def lay_out(cookie):
    """The viewer's rows of 80 for a cookie's text (a blank before a letter never starts a row)."""
    grid = ""
    for i, c in enumerate(cookie):
        if c == "\n":
            grid += " " * (-len(grid) % 80)
        elif not (len(grid) % 80 == 0 and c == " " and "A" <= cookie[i + 1:i + 2] <= "z"):
            grid += c
    grid += " " * (-len(grid) % 80)
    return [grid[i:i + 80].rstrip() for i in range(0, min(len(grid), 2000), 80)]


def widest_and_tallest(packer, database, work):
    """One-cookie databases of the default database's widest cookie (most columns, then rows) and
    its tallest (most rows, then columns), as drollbox-db lays them out."""
    text = subprocess.run([packer, "unpack", "--file", database], capture_output=True, check=True).stdout
    cookies = [cookie for cookie in text.decode("utf-8").split("\n%\n") if cookie.strip()]
    extent = lambda cookie: (max(map(len, lay_out(cookie))), len(lay_out(cookie)))
    chosen = {"widest": max(cookies, key=extent), "tallest": max(cookies, key=lambda c: extent(c)[::-1])}
    made = []
    for name, cookie in chosen.items():
        source, packed = (os.path.join(work, name + ext) for ext in (".txt", ".dat"))
        with open(source, "w", encoding="utf-8") as out:
            out.write(cookie.rstrip("\n") + "\n")
        subprocess.run([packer, "pack", source, "-o", packed], capture_output=True, check=True)
        shown = subprocess.run([packer, "show", "0", "--file", packed], capture_output=True).stdout
        rows = shown.decode("cp1252").splitlines()
        if (max(map(len, rows)), len(rows)) != extent(cookie):
            sys.exit("drollbox-db lays the %s cookie out otherwise" % name)
        made.append((packed, len(rows)))
    return made


def set_dpi(dpi):
    subprocess.run(["wine", "reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t",
                    "REG_DWORD", "/d", str(dpi), "/f"], capture_output=True, check=True)
    for flag in ("-k", "-w", "-p"):  # a fresh server: every process reads the settings anew
        subprocess.run(["wineserver", flag])


def main(exe, database, backend_test, packer, work):
    folder, shot = os.path.join(work, "run"), os.path.join(work, "screen.png")
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    shutil.copyfile(database, os.path.join(folder, "Drollbox.dat"))
    os.environ.update(WINEPREFIX=os.path.join(work, "wine-prefix"), WINEDEBUG="-all",
                      WINEDLLOVERRIDES="mscoree,mshtml=")
    wine = lambda *args: subprocess.run(["wine", *args], capture_output=True, check=True)
    wine("reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", "Decorated", "/d", "N", "/f")
    # Courier New is Liberation Mono's model: the same metrics, as on Windows.
    wine("reg", "add", r"HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes", "/v",
         "Courier New", "/d", "Liberation Mono", "/f")
    for font in glob.glob("/usr/share/wine/fonts/*"):  # Debian's Wine leaves them out of a new prefix
        shutil.copy(font, os.path.join(work, "wine-prefix", "drive_c", "windows", "Fonts"))
    for name, colour in COLOURS.items():
        wine("reg", "add", r"HKCU\Control Panel\Colors", "/v", name, "/d", "%d %d %d" % colour, "/f")
    set_dpi(96)
    try:
        # The backend's test for its window cases; output to a file, which Wine's helpers outlive.
        log = os.path.join(work, "backend_test.log")
        status = subprocess.run(["wine", backend_test], stdout=open(log, "w"), stderr=subprocess.STDOUT)
        if status.returncode != 0 or "[  SKIPPED ]" in open(log).read():
            sys.exit("the backend test failed: see " + log)
        viewer = subprocess.Popen(["wine", exe], cwd=folder)
        box = None
        for key in "nny":
            box = answer("Drollbox Notify", key, [box])
        font = new_window("Font")
        for names, text in ((["Tab"], "Liberation Mono"), (["Tab"], "Bold"), (["Return"], "12")):
            keys(font, *names, text=text)
        window, client = main_window(shot)
        keys(window, "n")  # right after it opens
        window, client = main_window(shot, [window])
        press(window, client, "Prev")
        window, client = main_window(shot, [window])
        press(window, client, "About")
        answer("About Drollbox...", "Return")
        point(window, client[0] + 40, client[1] + 32)  # a click into the first row, then the keyboard
        xdotool("click", 1)
        keys(window, "alt+a")
        answer("About Drollbox...", "Return")
        keys(window, "shift+Tab", "space")  # About had the focus: Config, cancelled, and the notice says so
        answer("Drollbox Notify", "Return", [answer("Drollbox Notify", "Escape")])
        window, client = main_window(shot, [window])
        if open(os.path.join(folder, "Drollbox.cfg"), "rb").read() != SETTINGS:
            sys.exit("Drollbox.cfg is not %r" % SETTINGS)
        keys(window, "Escape")
        if viewer.wait(30) != 0:
            sys.exit("exit status %d after Escape" % viewer.returncode)
        # A data file named on the command line comes before the folder's own.
        viewer = subprocess.Popen(["wine", exe, "missing.dat"], cwd=folder)
        answer("Drollbox Problem", "Return")
        if viewer.wait(30) == 0:
            sys.exit("exit status 0 after a missing data file")

        made = widest_and_tallest(packer, database, work)
        for dpi in (96, 192):
            set_dpi(dpi)
            for packed, rows in made:
                show_whole(exe, folder, packed, rows, dpi, shot)
    finally:
        subprocess.run(["wineserver", "-k"])


if __name__ == "__main__":
    *paths, version = sys.argv[1:]
    TITLE = "Drollbox v" + version
    main(*(os.path.abspath(path) for path in paths))
