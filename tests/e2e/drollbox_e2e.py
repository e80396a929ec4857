#!/usr/bin/env python3
"""End-to-end run of drollbox.exe under Wine on a private Xvfb display.

First session: a folder holding the database and no settings file; the three
resolution questions and the font dialog are answered by key presses, the
written "Drollbox.cfg" is checked byte for byte, the window's placement and
picture are checked, then New, Prev, About, Config with Cancel and Ok.
Second session: a foreign data file ends in "Couldn't identify data file."
and exit status -1.

Input under Wine is asynchronous: every step waits, with a bounded timeout,
for a visible result; a session that fails is tried once more.
"""
import argparse
import os
import re
import shutil
import signal
import subprocess
import sys
import time

SCREEN_WIDTH, SCREEN_HEIGHT = 1024, 768
TITLE = "Drollbox v1.8.6"
WIT = 639
SIZ = 13
# No, No, Yes: 800x600, so the frame goes to ((800 - 639) / 2, 171).
FRAME_X, FRAME_Y = 80, 171
EXPECTED_SETTINGS = b":Config:\r\nscr=1\r\nfon=Liberation Mono Bold\r\nsiz=13\r\nwit=639\r\n"
QUESTIONS = [
    "Are you normally running a 1024x768 screen resolution?",
    "Are you normally running a 1280x1024 screen resolution?",
    "Are you normally running a 800x600 screen resolution?",
]
# The classic scheme, so the menu colour, the groove's two rows and an
# ordinary window background all differ and each can be told apart.
COLOURS = {"Menu": (212, 208, 200), "InactiveTitle": (128, 128, 128), "HilightText": (255, 255, 255),
           "Window": (250, 250, 250)}
BUTTONS = {"Ok": 480, "New": 18, "Prev": 90, "Config": 163, "About": 323}
BAR_OFFSET = (WIT - 567) // 2


class Failure(Exception):
    pass


def find_program(*candidates):
    for candidate in candidates:
        path = shutil.which(candidate) or (candidate if os.path.isfile(candidate) else None)
        if path:
            return path
    raise Failure("none of %s is installed" % ", ".join(candidates))


def wait_for(what, probe, timeout=20.0, interval=0.2):
    deadline = time.monotonic() + timeout
    while True:
        value = probe()
        if value:
            return value
        if time.monotonic() > deadline:
            raise Failure("timed out waiting for " + what)
        time.sleep(interval)


class Desktop:
    """A private Xvfb display and the X tools that look at it."""

    def __init__(self, shots):
        self.shots = shots
        self.number = self._free_display()
        self.env = dict(os.environ, DISPLAY=":%d" % self.number)
        self.server = subprocess.Popen(
            ["Xvfb", ":%d" % self.number, "-screen", "0", "%dx%dx24" % (SCREEN_WIDTH, SCREEN_HEIGHT),
             "-nolisten", "tcp"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_for("Xvfb", lambda: os.path.exists("/tmp/.X11-unix/X%d" % self.number) and self._answers(), 15)

    @staticmethod
    def _free_display():
        for number in range(91, 200):
            if not os.path.exists("/tmp/.X%d-lock" % number) and not os.path.exists("/tmp/.X11-unix/X%d" % number):
                return number
        raise Failure("no free X display number")

    def _answers(self):
        return self.xdotool("getmouselocation") is not None

    def stop(self):
        self.server.terminate()
        try:
            self.server.wait(10)
        except subprocess.TimeoutExpired:
            self.server.kill()

    def xdotool(self, *args):
        result = subprocess.run(["xdotool", *args], env=self.env, capture_output=True, text=True, timeout=20)
        return result.stdout if result.returncode == 0 else None

    def windows(self, title):
        found = self.xdotool("search", "--onlyvisible", "--name", "^%s$" % re.escape(title))
        return [int(w) for w in found.split()] if found else []

    def geometry(self, window):
        found = self.xdotool("getwindowgeometry", "--shell", str(window))
        if not found:
            return None
        values = dict(line.split("=", 1) for line in found.split() if "=" in line)
        return tuple(int(values[k]) for k in ("X", "Y", "WIDTH", "HEIGHT"))

    def new_window(self, title, old=(), timeout=20.0):
        def probe():
            fresh = [w for w in self.windows(title) if w not in old]
            return fresh[0] if fresh else None
        return wait_for('a new "%s" window' % title, probe, timeout)

    def gone(self, window, title, timeout=20.0):
        wait_for('the "%s" window to go' % title, lambda: window not in self.windows(title), timeout)

    def keys(self, window, *keys, text=None):
        """Keys go to the window under the pointer, since no window manager runs."""
        x, y, width, height = self.geometry(window) or (0, 0, 0, 0)
        self.xdotool("mousemove", str(x + width // 2), str(y + 4))
        time.sleep(0.3)
        if text is not None:
            self.xdotool("type", "--delay", "60", text)
        for key in keys:
            self.xdotool("key", key)
            time.sleep(0.2)

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
        return Picture(raw)


class Picture:
    def __init__(self, raw):
        if len(raw) != SCREEN_WIDTH * SCREEN_HEIGHT * 3:
            raise Failure("screenshot has %d bytes" % len(raw))
        self.raw = raw

    def at(self, x, y):
        if not (0 <= x < SCREEN_WIDTH and 0 <= y < SCREEN_HEIGHT):
            return None
        i = (y * SCREEN_WIDTH + x) * 3
        return tuple(self.raw[i:i + 3])

    def run_of(self, x, y, length, colour):
        return all(self.at(x + i, y) == colour for i in range(length))


class Wine:
    """One Wine prefix with a persistent wineserver, set up for the test."""

    def __init__(self, desktop, prefix):
        self.desktop = desktop
        self.wine = find_program("wine64", "/usr/lib/wine/wine64", "wine")
        self.server = find_program("wineserver", "/usr/lib/wine/wineserver")
        self.env = dict(desktop.env, WINEPREFIX=prefix, WINEDLLOVERRIDES="mscoree,mshtml=",
                        WINEDEBUG="-all,trace+msgbox")
        if not os.path.exists(os.path.join(prefix, "system.reg")):
            subprocess.run([self.wine, "wineboot", "-i"], env=self.env, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, check=True, timeout=300)
        self._configure()
        # A fresh server reads the settings above as every process of the test
        # will: the desktop process of a running one keeps the colours it had.
        subprocess.run([self.server, "-k"], env=self.env, timeout=60)
        subprocess.run([self.server, "-w"], env=self.env, timeout=60)
        subprocess.run([self.server, "-p"], env=self.env, check=True, timeout=60)

    def _configure(self):
        # Let Wine draw the frames itself: no window manager runs on Xvfb.
        self._reg("HKCU\\Software\\Wine\\X11 Driver", "Decorated", "N")
        for name, (r, g, b) in COLOURS.items():
            self._reg("HKCU\\Control Panel\\Colors", name, "%d %d %d" % (r, g, b))

    def _reg(self, key, name, value):
        subprocess.run([self.wine, "reg", "add", key, "/v", name, "/d", value, "/f"], env=self.env,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True, timeout=180)

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
                     lambda: message_texts(process) if len(message_texts(process)) >= len(expected) else None, 10)
    if texts[:len(expected)] != expected:
        raise Failure("message boxes showed %r, expected %r" % (texts, expected))


def check_about_text(text):
    """Wine's trace cuts long texts, so the last line seen may be partial."""
    lines = text.split("\n")
    fixed = {0: "Drollbox v1.8.6", 1: "WinNT/95 May '96", 3: "", 8: ""}
    good = (len(lines) >= 10 and all(lines[i] == line for i, line in fixed.items()) and lines[2]
            and all(line.startswith("   - ") and len(line) > 5 for line in lines[4:8])
            and "Supported with following OS: Amiga, Unix,".startswith(lines[9]) and len(lines) <= 12)
    if not good:
        raise Failure("About showed %r" % text)


def end_process(process, timeout=20.0):
    try:
        return process.wait(timeout)
    except subprocess.TimeoutExpired:
        os.killpg(process.pid, signal.SIGKILL)
        process.wait()
        raise Failure("the viewer did not end")


class Window:
    """The main window on screen, with its client origin found from the groove."""

    def __init__(self, desktop, frame_id):
        self.desktop = desktop
        self.id = frame_id
        self.frame = wait_for("the main window's geometry", lambda: desktop.geometry(frame_id), 10)
        self.client = None

    def check_placement(self):
        x, y, width, height = self.frame
        rows, rest = divmod(height - 60, SIZ)
        if (x, y, width) != (FRAME_X, FRAME_Y, WIT) or rest != 0 or not 1 <= rows <= 25:
            raise Failure("frame at %r, expected (%d, %d) width %d and height rows * %d + 60"
                          % (self.frame, FRAME_X, FRAME_Y, WIT, SIZ))
        return rows

    def find_groove(self, picture):
        """The client origin: the upper groove row starts at client (5, 25)."""
        x, y, width, height = self.frame
        upper, lower, menu = COLOURS["InactiveTitle"], COLOURS["HilightText"], COLOURS["Menu"]
        length = WIT - 22
        for gy in range(y, y + min(height, 80)):
            for gx in range(x, x + 20):
                if (picture.at(gx, gy) == upper and picture.run_of(gx, gy, length, upper)
                        and picture.run_of(gx + 1, gy + 1, length, lower)):
                    origin = (gx - 5, gy - 25)
                    ends = [picture.at(gx - 1, gy), picture.at(gx + length, gy),
                            picture.at(gx, gy + 1), picture.at(gx + 1 + length, gy + 1)]
                    if ends != [menu] * 4:
                        raise Failure("the groove's rows do not end where they should: %r" % ends)
                    return origin
        return None

    def check_picture(self, picture, rows):
        origin = self.find_groove(picture)
        if origin is None:
            return False
        cx, cy = origin
        x, y, width, height = self.frame
        if not (0 < cx - x <= 10 and 0 < cy - y <= 40):
            raise Failure("client origin %r lies outside the frame's borders %r" % (origin, self.frame))
        menu = COLOURS["Menu"]
        if picture.at(cx + 2, cy + 23) != menu or picture.at(cx + WIT - 12, cy + 27) != menu:
            raise Failure("the window background is not the menu colour")
        inked = sum(1 for ty in range(cy + 28, cy + 28 + rows * SIZ) for tx in range(cx + 4, cx + WIT - 12)
                    if picture.at(tx, ty) not in (menu, None))
        if inked < 40:
            raise Failure("no cookie text in the window (%d inked pixels)" % inked)
        self.client = origin
        return True

    def press(self, label):
        cx, cy = self.client
        self.desktop.click(cx + BAR_OFFSET + BUTTONS[label] + 27, cy + 1 + 10)


def look_at_new_window(desktop, old, shot):
    frame_id = desktop.new_window(TITLE, old, 30)
    window = Window(desktop, frame_id)
    rows = window.check_placement()
    wait_for("the groove and the cookie in %s" % shot,
             lambda: window.check_picture(desktop.screenshot(shot), rows), 15, 0.5)
    return window


def restart_with(desktop, window, label, shot):
    window.press(label)
    desktop.gone(window.id, TITLE)
    return look_at_new_window(desktop, [window.id], shot)


def session_first_run(desktop, wine, exe, database, folder):
    shutil.copyfile(database, os.path.join(folder, "Drollbox.dat"))
    settings = os.path.join(folder, "Drollbox.cfg")
    process = wine.start(exe, folder)
    try:
        box = None
        for answer in ("n", "n", "y"):
            box = desktop.new_window("Drollbox Notify", [box] if box else [], 60)
            desktop.keys(box, answer)
            desktop.gone(box, "Drollbox Notify")
        expect_texts(process, QUESTIONS)
        if os.path.exists(settings):
            raise Failure("settings written before the font was chosen")
        dialog = desktop.new_window("Font")
        desktop.keys(dialog, text="Liberation Mono")
        desktop.keys(dialog, "Tab")
        desktop.keys(dialog, text="Bold")
        desktop.keys(dialog, "Tab")
        desktop.keys(dialog, text="12")
        desktop.keys(dialog, "Return")
        window = look_at_new_window(desktop, [], "first-window")
        with open(settings, "rb") as f:
            written = f.read()
        if written != EXPECTED_SETTINGS:
            raise Failure("Drollbox.cfg holds %r, expected %r" % (written, EXPECTED_SETTINGS))

        window = restart_with(desktop, window, "New", "after-new")
        window = restart_with(desktop, window, "Prev", "after-prev")

        window.press("About")
        about = desktop.new_window("About Drollbox...")
        desktop.screenshot("about")
        desktop.keys(about, "Return")
        desktop.gone(about, "About Drollbox...")
        if desktop.windows(TITLE) != [window.id]:
            raise Failure("About changed the main window")
        about_text = message_texts(process)[-1]
        check_about_text(about_text)

        window.press("Config")
        question = desktop.new_window("Drollbox Notify")
        desktop.keys(question, "Escape")
        notice = desktop.new_window("Drollbox Notify", [question])
        desktop.keys(notice, "Return")
        desktop.gone(notice, "Drollbox Notify")
        desktop.gone(window.id, TITLE)
        window = look_at_new_window(desktop, [window.id], "after-config-cancel")
        expect_texts(process, QUESTIONS + [about_text, QUESTIONS[0], "Configuration cancelled, sir."])
        with open(settings, "rb") as f:
            if f.read() != EXPECTED_SETTINGS:
                raise Failure("a cancelled Config changed Drollbox.cfg")

        window.press("Ok")
        status = end_process(process)
        if status != 0:
            raise Failure("exit status %d after Ok, expected 0" % status)
    finally:
        if process.poll() is None:
            os.killpg(process.pid, signal.SIGKILL)
            process.wait()


def session_foreign_data_file(desktop, wine, exe, folder):
    with open(os.path.join(folder, "Drollbox.dat"), "wb") as f:
        f.write(b"Not a cookie database, just some words.\n" * 40)
    with open(os.path.join(folder, "Drollbox.cfg"), "wb") as f:
        f.write(EXPECTED_SETTINGS)
    process = wine.start(exe, folder)
    try:
        box = desktop.new_window("Drollbox Problem", [], 60)
        expect_texts(process, ["Couldn't identify data file."])
        desktop.screenshot("foreign-data-file")
        if desktop.windows(TITLE):
            raise Failure("a main window opened for a foreign data file")
        desktop.keys(box, "Return")
        status = end_process(process)
        if status not in (255, -1, 0xFFFFFFFF):
            raise Failure("exit status %d after the problem, expected -1" % status)
    finally:
        if process.poll() is None:
            os.killpg(process.pid, signal.SIGKILL)
            process.wait()


def run_backend_test(wine, program, work):
    """The backend's own test program, here with a display for its windows."""
    # A file, not a pipe: Wine's helper processes outlive the program and
    # would hold a pipe open.
    log_path = os.path.join(work, "win32_backend_test.log")
    with open(log_path, "w") as log:
        process = subprocess.Popen([wine.wine, program], cwd=work, env=dict(wine.env, WINEDEBUG="-all"),
                                   stdout=log, stderr=subprocess.STDOUT, start_new_session=True)
        try:
            status = process.wait(120)
        except subprocess.TimeoutExpired:
            os.killpg(process.pid, signal.SIGKILL)
            status = process.wait()
    with open(log_path, errors="replace") as log:
        output = log.read()
    if status != 0 or "[  SKIPPED ]" in output or "[  PASSED  ]" not in output:
        print(output[-3000:])
        print("win32-backend: failed (exit status %d)" % status)
        return False
    print("win32-backend: passed")
    return True


def run_twice(name, session, work):
    for attempt in (1, 2):
        folder = os.path.join(work, "%s-%d" % (name, attempt))
        shutil.rmtree(folder, ignore_errors=True)
        os.makedirs(folder)
        try:
            session(folder)
            print("%s: passed (attempt %d)" % (name, attempt))
            return True
        except Failure as failure:
            print("%s: attempt %d failed: %s" % (name, attempt, failure))
    return False


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True)
    parser.add_argument("--database", required=True)
    parser.add_argument("--backend-test", help="the Win32 backend's test program, run on the same display")
    parser.add_argument("--work", required=True, help="folder for sessions, screenshots and a Wine prefix")
    options = parser.parse_args()
    exe, database = os.path.abspath(options.exe), os.path.abspath(options.database)
    work = os.path.abspath(options.work)
    shots = os.path.join(work, "screenshots")
    os.makedirs(shots, exist_ok=True)
    # A prefix of its own: the test restarts its Wine server and changes its colours.
    prefix = os.path.join(work, "wine-prefix")

    desktop = Desktop(shots)
    wine = None
    try:
        wine = Wine(desktop, prefix)
        results = [run_backend_test(wine, os.path.abspath(options.backend_test), work)] if options.backend_test else []
        results += [
            run_twice("first-run", lambda folder: session_first_run(desktop, wine, exe, database, folder), work),
            run_twice("foreign-data-file", lambda folder: session_foreign_data_file(desktop, wine, exe, folder),
                      work),
        ]
    finally:
        if wine is not None:
            wine.stop()
        desktop.stop()
    passed = sum(results)
    print("screenshots in %s" % shots)
    print("%d passed, %d failed" % (passed, len(results) - passed))
    return 0 if passed == len(results) else 1


if __name__ == "__main__":
    sys.exit(main())
