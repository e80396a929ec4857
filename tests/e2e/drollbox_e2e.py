#!/usr/bin/env python3
"""drollbox.exe under Wine on the display xvfb-run gives, used as a person would. No window manager
runs, so the X input focus follows the pointer: keys and clicks wait until it is over their window."""
import glob, os, re, shutil, subprocess, sys, time

TITLE, WIT, SIZ, FRAME = "Drollbox v1.8.6", 639, 13, (80, 171)  # No, No, Yes: 800x600
SETTINGS = b":Config:\r\nscr=1\r\nfon=Liberation Mono Bold\r\nsiz=13\r\nwit=639\r\n"
# The menu colour, the groove's two rows and a window's background all differ.
MENU, UPPER, LOWER = (212, 208, 200), (128, 128, 128), (255, 255, 255)
COLOURS = {"Menu": MENU, "InactiveTitle": UPPER, "HilightText": LOWER, "Window": (250, 250, 250)}
BUTTONS = {"Ok": 480, "New": 18, "Prev": 90, "Config": 163, "About": 323}


def wait_for(what, probe, timeout=30.0):
    deadline = time.monotonic() + timeout
    while not (value := probe()) and time.monotonic() < deadline:
        time.sleep(0.2)
    return value or sys.exit("timed out waiting for " + what)


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
    wait_for("the pointer over %d" % window, lambda: "window:%d" % window in xdotool("getmouselocation"))


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


def client_origin(x, y, rows, shot):
    """Where the groove's two rows lie whole, and text under them; None while painting."""
    subprocess.run(["import", "-window", "root", shot], check=True)
    raw = subprocess.run(["convert", shot, "-depth", "8", "rgb:-"], capture_output=True).stdout
    at = lambda x, y: tuple(raw[(y * 1024 + x) * 3:(y * 1024 + x) * 3 + 3])
    n = WIT - 22
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
    if (x, y, width) != (*FRAME, WIT) or height != rows * SIZ + 60 or not 0 < rows <= 25:
        sys.exit("the main window is at %r" % ((x, y, width, height),))
    return window, wait_for("the window painted", lambda: client_origin(x, y, rows, shot))


def press(window, client, label):
    point(window, client[0] + (WIT - 567) // 2 + BUTTONS[label] + 27, client[1] + 11)
    xdotool("click", 1)


def main(exe, database, backend_test, work):
    folder, shot = os.path.join(work, "run"), os.path.join(work, "screen.png")
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    shutil.copyfile(database, os.path.join(folder, "Drollbox.dat"))
    os.environ.update(WINEPREFIX=os.path.join(work, "wine-prefix"), WINEDEBUG="-all",
                      WINEDLLOVERRIDES="mscoree,mshtml=")
    wine = lambda *args: subprocess.run(["wine", *args], capture_output=True, check=True)
    wine("reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", "Decorated", "/d", "N", "/f")
    for font in glob.glob("/usr/share/wine/fonts/*"):  # Debian's Wine leaves them out of a new prefix
        shutil.copy(font, os.path.join(work, "wine-prefix", "drive_c", "windows", "Fonts"))
    for name, colour in COLOURS.items():
        wine("reg", "add", r"HKCU\Control Panel\Colors", "/v", name, "/d", "%d %d %d" % colour, "/f")
    for flag in ("-k", "-w", "-p"):  # a fresh server: every process reads the colours above
        subprocess.run(["wineserver", flag])
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
        for label in ("New", "Prev"):
            press(window, client, label)
            window, client = main_window(shot, [window])
        press(window, client, "About")
        answer("About Drollbox...", "Return")
        press(window, client, "Config")  # cancelled, and the notice that says so
        answer("Drollbox Notify", "Return", [answer("Drollbox Notify", "Escape")])
        window, client = main_window(shot, [window])
        if open(os.path.join(folder, "Drollbox.cfg"), "rb").read() != SETTINGS:
            sys.exit("Drollbox.cfg is not %r" % SETTINGS)
        press(window, client, "Ok")
        if viewer.wait(30) != 0:
            sys.exit("exit status %d after Ok" % viewer.returncode)
        # A data file named on the command line comes before the folder's own.
        viewer = subprocess.Popen(["wine", exe, "missing.dat"], cwd=folder)
        answer("Drollbox Problem", "Return")
        if viewer.wait(30) == 0:
            sys.exit("exit status 0 after a missing data file")
    finally:
        subprocess.run(["wineserver", "-k"])


if __name__ == "__main__":
    main(*(os.path.abspath(path) for path in sys.argv[1:]))
