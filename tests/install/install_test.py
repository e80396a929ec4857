#!/usr/bin/env python3
"""Installs the build into a fresh prefix and runs the installed programs
from a folder that holds no database: drollbox-db (also from the unpacked
Debian package that cpack makes), then the viewer started
from the Exec line of its desktop entry on a private Xvfb display with a
window manager, its settings in a temporary XDG configuration folder.
Exit status 77 (skipped) when Xvfb, xdotool or openbox are missing.
"""
import argparse
import os
import shlex
import shutil
import struct
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from drollbox_e2e import Desktop, Failure, wait_for  # noqa: E402

SETTINGS = b":Config:\r\nscr=1\r\nfon=Liberation Mono\r\nsiz=13\r\nwit=639\r\n"
ICON_SIZES = (16, 32, 48, 64, 128, 256)
SKIPPED = 77


def run(args, **kwargs):
    result = subprocess.run(args, capture_output=True, text=True, timeout=180, **kwargs)
    if result.returncode != 0:
        raise Failure("%s exited %d: %s" % (shlex.join(args), result.returncode, result.stderr))
    return result


class PrivateDesktop(Desktop):
    """Xvfb picks its own free display, so tests running side by side never share one."""

    def __init__(self, shots):
        self.shots = shots
        read, write = os.pipe()
        self.server = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
            pass_fds=(write,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as answer:
            self.number = int(answer.readline())
        self.env = dict(os.environ, DISPLAY=":%d" % self.number)


def check_tree(prefix):
    share = os.path.join(prefix, "share")
    wanted = ["bin/drollbox", "bin/drollbox-db", "share/drollbox/Drollbox.dat",
              "share/man/man6/drollbox.6.gz", "share/man/man1/drollbox-db.1.gz",
              "share/bash-completion/completions/drollbox-db", "share/doc/drollbox/copyright",
              "share/icons/hicolor/scalable/apps/drollbox.svg"]
    missing = [w for w in wanted if not os.path.isfile(os.path.join(prefix, w))]
    if missing:
        raise Failure("not installed: " + ", ".join(missing))
    for size in ICON_SIZES:
        with open(os.path.join(share, "icons/hicolor/%dx%d/apps/drollbox.png" % (size, size)), "rb") as f:
            width, height = struct.unpack(">II", f.read(24)[16:24])
        if (width, height) != (size, size):
            raise Failure("the %d pixel icon is %dx%d" % (size, width, height))
    for page in wanted[3:5]:
        shown = run(["man", "--warnings", "-l", os.path.join(prefix, page)], env=dict(os.environ, MANWIDTH="80"))
        if shown.stderr or "SYNOPSIS" not in shown.stdout:
            raise Failure("man -l %s: %s" % (page, shown.stderr or "no SYNOPSIS"))
    desktop = os.path.join(share, "applications", "org.drollbox.drollbox.desktop")
    run(["desktop-file-validate", desktop])
    run(["appstreamcli", "validate", "--no-net", "--pedantic",
         os.path.join(share, "metainfo", "org.drollbox.drollbox.metainfo.xml")])
    return desktop


def check_deb(build, work):
    packages = os.path.join(work, "packages")
    run(["cpack", "-G", "DEB", "--config", os.path.join(build, "CPackConfig.cmake"),
         "-D", "CPACK_OUTPUT_FILE_PREFIX=" + packages, "-B", os.path.join(work, "cpack")])
    deb = next(os.path.join(packages, name) for name in os.listdir(packages) if name.endswith(".deb"))
    if "libc6" not in run(["dpkg-deb", "-f", deb, "Depends"]).stdout:
        raise Failure("the package names no libraries it needs")
    root = os.path.join(work, "deb-root")
    run(["dpkg-deb", "-x", deb, root])
    return os.path.join(root, "usr")


def exec_line(desktop):
    with open(desktop, encoding="utf-8") as f:
        line = next(line for line in f if line.startswith("Exec="))
    return [word for word in shlex.split(line[5:].strip()) if not word.startswith("%")]


def check_viewer(desktop_file, prefix, work, env):
    for tool in ("Xvfb", "xdotool", "xprop", "openbox", "import"):
        if shutil.which(tool) is None:
            print("skipped: %s is not installed" % tool)
            return False
    os.makedirs(os.path.join(work, "screenshots"), exist_ok=True)
    config = os.path.join(work, "config")
    os.makedirs(os.path.join(config, "drollbox"))
    with open(os.path.join(config, "drollbox", "Drollbox.cfg"), "wb") as f:
        f.write(SETTINGS)
    desktop = PrivateDesktop(os.path.join(work, "screenshots"))
    manager = viewer = None
    try:
        env = dict(env, DISPLAY=desktop.env["DISPLAY"], XDG_CONFIG_HOME=config)
        manager_log = open(os.path.join(work, "openbox.log"), "w")
        manager = subprocess.Popen(["openbox"], env=env, stdout=manager_log, stderr=manager_log)
        # A window mapped while the manager is still taking over may never show.
        wait_for("openbox", lambda: "window id" in subprocess.run(
            ["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env=env, capture_output=True, text=True).stdout, 90)
        viewer = subprocess.Popen(exec_line(desktop_file), env=env, cwd=os.path.join(work, "elsewhere"),
                                  stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        try:
            window = desktop.new_window("Drollbox v1.8.6", timeout=90)
        except Failure:
            names = desktop.xdotool("search", "--name", ".", "getwindowname", "%@")
            desktop.screenshot("no-viewer-window")
            viewer.kill()
            raise Failure("no viewer window among %r; the viewer said: %s" % (names, viewer.communicate()[0]))
        if desktop.windows("Drollbox Problem") or viewer.poll() is not None:
            raise Failure("the viewer reported a problem")
        wait_for("the frame to settle", lambda: desktop.geometry(window), 10)
        desktop.screenshot("installed-viewer")
    finally:
        for process in (viewer, manager):
            if process is not None and process.poll() is None:
                process.kill()
                process.wait(10)
        desktop.stop()
    return True


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--build", required=True, help="the configured and built build folder")
    parser.add_argument("--work", required=True, help="a folder to install into and run in (emptied first)")
    args = parser.parse_args()
    work = os.path.abspath(args.work)
    shutil.rmtree(work, ignore_errors=True)
    prefix = os.path.join(work, "prefix")
    os.makedirs(os.path.join(work, "elsewhere"))
    run(["cmake", "--install", args.build, "--prefix", prefix])
    desktop = check_tree(prefix)

    env = dict(os.environ, PATH=os.path.join(prefix, "bin") + os.pathsep + os.environ["PATH"],
               HOME=os.path.join(work, "home"))
    env.pop("XDG_CONFIG_HOME", None)
    for installed in (prefix, check_deb(args.build, work)):
        tool = os.path.join(installed, "bin", "drollbox-db")
        if not run([tool, "random"], env=env, cwd=os.path.join(work, "elsewhere")).stdout.strip():
            raise Failure("%s printed no cookie" % tool)
    # A Drollbox.dat in the current folder comes before the installed one.
    own = os.path.join(work, "own")
    os.makedirs(own)
    with open(os.path.join(own, "quips"), "w") as f:
        f.write("One.\n%\nTwo.\n")
    run(["drollbox-db", "pack", "quips"], env=env, cwd=own)
    if "cookies: 2\n" not in run(["drollbox-db", "stats"], env=env, cwd=own).stdout:
        raise Failure("drollbox-db did not read the Drollbox.dat of the current folder")
    return 0 if check_viewer(desktop, prefix, work, env) else SKIPPED


if __name__ == "__main__":
    try:
        sys.exit(main())
    except Failure as failure:
        print("FAILED:", failure)
        sys.exit(1)
