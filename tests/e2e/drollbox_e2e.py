#!/usr/bin/env python3
"""End-to-end run of drollbox.exe under Wine on a private Xvfb display.

First session: no settings file; the three resolution questions and the font
dialog are answered by key presses, "Drollbox.cfg" is checked byte for byte,
the window's placement and picture are checked, then New, Prev, About, Config
with Cancel and Ok. Second session: a foreign data file ends in "Couldn't
identify data file." and exit status -1. Each session runs once.

Input under Wine is asynchronous: keys go only to a window that holds the
input focus, and every check waits, with a bounded timeout, for a picture
that is complete rather than judging one caught halfway through a paint.
"""
import argparse
import glob
import os
import re
import shutil
import signal
import subprocess
import sys
import time

SCREEN = (1024, 768)
TITLE = "Drollbox v1.8.6"
WIT, SIZ = 639, 13
FRAME_X, FRAME_Y = 80, 171  # No, No, Yes: 800x600, so ((800 - 639) / 2, 171)
SETTINGS = b":Config:\r\nscr=1\r\nfon=Liberation Mono Bold\r\nsiz=13\r\nwit=639\r\n"
QUESTIONS = ["Are you normally running a %s screen resolution?" % r for r in ("1024x768", "1280x1024", "800x600")]
# The classic scheme: the menu colour, the groove's two rows and an ordinary
# window background all differ.
COLOURS = {"Menu": (212, 208, 200), "InactiveTitle": (128, 128, 128), "HilightText": (255, 255, 255),
           "Window": (250, 250, 250)}
BUTTONS = {"Ok": 480, "New": 18, "Prev": 90, "Config": 163, "About": 323}
BAR_OFFSET = (WIT - 567) // 2


class Failure(Exception):
    pass


def wait_for(what, probe, timeout=20.0):
    deadline = time.monotonic() + timeout
    while True:
        value = probe()
        if value:
            return value
        if time.monotonic() > deadline:
            raise Failure("timed out waiting for " + what)
        time.sleep(0.2)


class Desktop:
    """A private Xvfb display and the X tools that drive and look at it."""

    def __init__(self, shots):
        self.shots = shots
        number = next(n for n in range(91, 200) if not os.path.exists("/tmp/.X%d-lock" % n))
        self.env = dict(os.environ, DISPLAY=":%d" % number)
        self.server = subprocess.Popen(["Xvfb", ":%d" % number, "-screen", "0", "%dx%dx24" % SCREEN,
                                        "-nolisten", "tcp"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_for("Xvfb", lambda: self.xdotool("getmouselocation") is not None, 15)

    def stop(self):
        self.server.terminate()
        self.server.wait(10)

    def xdotool(self, *args):
        result = subprocess.run(["xdotool", *args], env=self.env, capture_output=True, text=True, timeout=20)
        return result.stdout if result.returncode == 0 else None

    def windows(self, title):
        found = self.xdotool("search", "--onlyvisible", "--name", "^%s$" % re.escape(title))
        return [int(w) for w in found.split()] if found else []

    def geometry(self, window):
        found = self.xdotool("getwindowgeometry", "--shell", str(window)) or ""
        values = dict(line.split("=", 1) for line in found.split() if "=" in line)
        return tuple(int(values[k]) for k in ("X", "Y", "WIDTH", "HEIGHT")) if values else None

    def new_window(self, title, old=(), timeout=30.0):
        return wait_for('a new "%s" window' % title,
                        lambda: next((w for w in self.windows(title) if w not in old), None), timeout)

    def gone(self, window, title):
        wait_for('the "%s" window to go' % title, lambda: window not in self.windows(title))

    def keys(self, window, *keys, text=None):
        """No window manager runs and the X input focus follows the pointer:
        keys are sent once the pointer is over the window."""
        x, y, width, _ = wait_for("the window's geometry", lambda: self.geometry(window), 10)
        self.xdotool("mousemove", str(x + width // 2), str(y + 4))
        wait_for("the pointer over window %d" % window, lambda: self.pointer_over(window), 10)
        if text is not None:
            self.xdotool("type", "--delay", "60", text)
        for key in keys:
            self.xdotool("key", key)

    def pointer_over(self, window):
        return "window:%d" % window in (self.xdotool("getmouselocation") or "")

    def click(self, x, y):
        self.xdotool("mousemove", str(x), str(y))
        time.sleep(0.2)
        self.xdotool("click", "1")

    def screenshot(self, name):
        path = os.path.join(self.shots, name + ".png")
        subprocess.run(["import", "-window", "root", path], env=self.env, check=True, timeout=30,
                       stderr=subprocess.DEVNULL)
        raw = subprocess.run(["convert", path, "-depth", "8", "rgb:-"], capture_output=True, check=True,
                             timeout=30).stdout
        return lambda x, y: tuple(raw[(y * SCREEN[0] + x) * 3:(y * SCREEN[0] + x) * 3 + 3])


class Wine:
    """A Wine prefix of the test's own with a persistent wineserver."""

    def __init__(self, desktop, prefix):
        self.wine = shutil.which("wine64") or shutil.which("wine")
        self.server = shutil.which("wineserver") or "/usr/lib/wine/wineserver"
        self.env = dict(desktop.env, WINEPREFIX=prefix, WINEDLLOVERRIDES="mscoree,mshtml=",
                        WINEDEBUG="-all,trace+msgbox")
        if not os.path.exists(os.path.join(prefix, "system.reg")):
            self.run("wineboot", "-i")
        # Debian's Wine leaves its fonts (fonts-wine) out of a new prefix; without Marlett captions show letters.
        for font in glob.glob("/usr/share/wine/fonts/*"):
            shutil.copy(font, os.path.join(prefix, "drive_c", "windows", "Fonts"))
        self.run("reg", "add", "HKCU\\Software\\Wine\\X11 Driver", "/v", "Decorated", "/d", "N", "/f")
        for name, colour in COLOURS.items():
            self.run("reg", "add", "HKCU\\Control Panel\\Colors", "/v", name, "/d", "%d %d %d" % colour, "/f")
        # A fresh server makes every process of the test read the colours above.
        for flag in ("-k", "-w", "-p"):
            subprocess.run([self.server, flag], env=self.env, timeout=60)

    def run(self, *args):
        subprocess.run([self.wine, *args], env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       check=True, timeout=300)

    def start(self, exe, folder):
        log = open(os.path.join(folder, "wine.log"), "w")
        process = subprocess.Popen([self.wine, exe], cwd=folder, env=self.env, stdout=log, stderr=log,
                                   start_new_session=True)
        process.log_path = log.name
        return process

    def stop(self):
        subprocess.run([self.server, "-k"], env=self.env, timeout=60)


def message_texts(process):
    """The texts of the message boxes shown so far, from Wine's trace."""
    with open(process.log_path, errors="replace") as log:
        found = re.findall(r'trace:msgbox:MSGBOX_OnInit L"(.*)"', log.read())
    unescape = {"n": "\n", "\\": "\\", '"': '"', "r": "\r", "t": "\t"}
    return [re.sub(r"\\(.)", lambda m: unescape.get(m.group(1), m.group(0)), text) for text in found]


def expect_texts(process, expected):
    texts = wait_for("message box texts %r" % expected,
                     lambda: len(message_texts(process)) >= len(expected) and message_texts(process), 10)
    if texts[:len(expected)] != expected:
        raise Failure("message boxes showed %r, expected %r" % (texts, expected))


def end_process(process, timeout=20.0):
    try:
        return process.wait(timeout)
    finally:
        if process.poll() is None:
            os.killpg(process.pid, signal.SIGKILL)
            process.wait()


class Window:
    """The main window on screen; its client origin is found from the groove."""

    def __init__(self, desktop, old, shot):
        self.desktop = desktop
        self.id = desktop.new_window(TITLE, old)
        x, y, width, height = wait_for("the main window's geometry", lambda: desktop.geometry(self.id), 10)
        self.rows, rest = divmod(height - 60, SIZ)
        if (x, y, width) != (FRAME_X, FRAME_Y, WIT) or rest or not 1 <= self.rows <= 25:
            raise Failure("frame at %r, expected (%d, %d) width %d, height rows * %d + 60"
                          % ((x, y, width, height), FRAME_X, FRAME_Y, WIT, SIZ))
        self.frame = (x, y, width, height)
        self.client = wait_for("the groove and the cookie in " + shot,
                               lambda: self.painted(desktop.screenshot(shot)), 15)

    def painted(self, at):
        """The client origin once the groove, the background and the text are
        all on screen; None while the picture is incomplete."""
        x, y, _, height = self.frame
        upper, lower, menu = COLOURS["InactiveTitle"], COLOURS["HilightText"], COLOURS["Menu"]
        length = WIT - 22
        for gy in range(y, y + min(height, 80)):
            for gx in range(x, x + 20):
                if (at(gx, gy) == upper and all(at(gx + i, gy) == upper for i in range(length))
                        and all(at(gx + 1 + i, gy + 1) == lower for i in range(length))):
                    cx, cy = gx - 5, gy - 25
                    ends = [at(gx - 1, gy), at(gx + length, gy), at(gx, gy + 1), at(gx + 1 + length, gy + 1)]
                    inked = sum(at(tx, ty) != menu for ty in range(cy + 28, cy + 28 + self.rows * SIZ)
                                for tx in range(cx + 4, cx + WIT - 12))
                    complete = (ends == [menu] * 4 and at(cx + 2, cy + 23) == menu and inked >= 40
                                and 0 < cx - x <= 10 and 0 < cy - y <= 40)
                    return (cx, cy) if complete else None
        return None

    def press(self, label):
        cx, cy = self.client
        self.desktop.click(cx + BAR_OFFSET + BUTTONS[label] + 27, cy + 11)


def restart_with(window, label, shot):
    window.press(label)
    window.desktop.gone(window.id, TITLE)
    return Window(window.desktop, [window.id], shot)


def answer(desktop, title, key, old=()):
    box = desktop.new_window(title, old)
    desktop.keys(box, key)
    desktop.gone(box, title)
    return box


def session_first_run(desktop, wine, exe, database, folder):
    shutil.copyfile(database, os.path.join(folder, "Drollbox.dat"))
    settings = os.path.join(folder, "Drollbox.cfg")
    process = wine.start(exe, folder)
    try:
        box = None
        for key in ("n", "n", "y"):
            box = answer(desktop, "Drollbox Notify", key, [box])
        expect_texts(process, QUESTIONS)
        if os.path.exists(settings):
            raise Failure("settings written before the font was chosen")
        dialog = desktop.new_window("Font")
        desktop.keys(dialog, "Tab", text="Liberation Mono")
        desktop.keys(dialog, "Tab", text="Bold")
        desktop.keys(dialog, "Return", text="12")
        window = Window(desktop, [], "first-window")
        with open(settings, "rb") as f:
            if f.read() != SETTINGS:
                raise Failure("Drollbox.cfg is not %r" % SETTINGS)

        window = restart_with(window, "New", "after-new")
        window = restart_with(window, "Prev", "after-prev")

        window.press("About")
        about = desktop.new_window("About Drollbox...")
        desktop.screenshot("about")
        desktop.keys(about, "Return")
        desktop.gone(about, "About Drollbox...")
        if desktop.windows(TITLE) != [window.id]:
            raise Failure("About changed the main window")
        # Wine's trace cuts long texts: the first lines are enough.
        about_text = message_texts(process)[-1]
        if not about_text.startswith("Drollbox v1.8.6\nWinNT/95 May '96\n"):
            raise Failure("About showed %r" % about_text)

        window.press("Config")
        question = answer(desktop, "Drollbox Notify", "Escape")
        answer(desktop, "Drollbox Notify", "Return", [question])
        desktop.gone(window.id, TITLE)
        window = Window(desktop, [window.id], "after-config-cancel")
        expect_texts(process, QUESTIONS + [about_text, QUESTIONS[0], "Configuration cancelled, sir."])
        with open(settings, "rb") as f:
            if f.read() != SETTINGS:
                raise Failure("a cancelled Config changed Drollbox.cfg")

        window.press("Ok")
        if end_process(process) != 0:
            raise Failure("exit status %d after Ok, expected 0" % process.returncode)
    finally:
        end_process(process, 0)


def session_foreign_data_file(desktop, wine, exe, folder):
    with open(os.path.join(folder, "Drollbox.dat"), "wb") as f:
        f.write(b"Not a cookie database, just some words.\n" * 40)
    with open(os.path.join(folder, "Drollbox.cfg"), "wb") as f:
        f.write(SETTINGS)
    process = wine.start(exe, folder)
    try:
        box = desktop.new_window("Drollbox Problem")
        expect_texts(process, ["Couldn't identify data file."])
        desktop.screenshot("foreign-data-file")
        if desktop.windows(TITLE):
            raise Failure("a main window opened for a foreign data file")
        desktop.keys(box, "Return")
        if end_process(process) not in (255, -1, 0xFFFFFFFF):
            raise Failure("exit status %d after the problem, expected -1" % process.returncode)
    finally:
        end_process(process, 0)


def session_backend_test(wine, program, folder):
    """The Win32 backend's own test program, here with a display for its windows."""
    # A file, not a pipe: Wine's helper processes outlive the program.
    log_path = os.path.join(folder, "win32_backend_test.log")
    with open(log_path, "w") as log:
        process = subprocess.Popen([wine.wine, program], cwd=folder, env=dict(wine.env, WINEDEBUG="-all"),
                                   stdout=log, stderr=subprocess.STDOUT, start_new_session=True)
        status = end_process(process, 120)
    with open(log_path, errors="replace") as log:
        output = log.read()
    if status != 0 or "[  SKIPPED ]" in output or "[  PASSED  ]" not in output:
        raise Failure("exit status %d:\n%s" % (status, output[-3000:]))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True)
    parser.add_argument("--database", required=True)
    parser.add_argument("--backend-test", help="the Win32 backend's test program, run on the same display")
    parser.add_argument("--work", required=True, help="folder for sessions, screenshots and a Wine prefix")
    options = parser.parse_args()
    exe, database, work = (os.path.abspath(p) for p in (options.exe, options.database, options.work))
    shots = os.path.join(work, "screenshots")
    os.makedirs(shots, exist_ok=True)
    sessions = [("first-run", lambda folder: session_first_run(desktop, wine, exe, database, folder)),
                ("foreign-data-file", lambda folder: session_foreign_data_file(desktop, wine, exe, folder))]
    if options.backend_test:
        program = os.path.abspath(options.backend_test)
        sessions.insert(0, ("win32-backend", lambda folder: session_backend_test(wine, program, folder)))

    desktop = Desktop(shots)
    wine = None
    failed = 0
    try:
        # A prefix of its own: the test restarts its Wine server and changes its colours.
        wine = Wine(desktop, os.path.join(work, "wine-prefix"))
        for name, session in sessions:
            folder = os.path.join(work, name)
            shutil.rmtree(folder, ignore_errors=True)
            os.makedirs(folder)
            try:
                session(folder)
                print("%s: passed" % name)
            except Failure as failure:
                failed += 1
                print("%s: failed: %s" % (name, failure))
    finally:
        if wine is not None:
            wine.stop()
        desktop.stop()
    print("screenshots in %s" % shots)
    print("%d passed, %d failed" % (len(sessions) - failed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
