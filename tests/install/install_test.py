#!/usr/bin/env python3
"""install_test.py BUILD WORK VERSION: installs BUILD in WORK, checks the tree, its validators, drollbox-db (and the .deb's),
the viewer from its desktop entry under Xvfb and openbox (WORK/viewer.log); 77 (skipped) without X tools."""
import os
import shlex
import shutil
import struct
import subprocess
import sys
from pathlib import Path

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from drollbox_e2e import geometry, new_window, wait_for, windows  # noqa: E402

Failure = SystemExit  # a failed check ends the test with its message

SETTINGS = b":Config:\r\nscr=1\r\nfon=Liberation Mono\r\nsiz=13\r\nwit=639\r\n"
DESKTOP = "share/applications/org.drollbox.drollbox.desktop"
ICON = "share/icons/hicolor/%dx%d/apps/drollbox.png"
PAGES = ["share/man/man6/drollbox.6.gz", "share/man/man1/drollbox-db.1.gz"]
WANTED = PAGES + ["bin/drollbox", "bin/drollbox-db", "share/drollbox/Drollbox.dat", "share/doc/drollbox/copyright",
                  "share/bash-completion/completions/drollbox-db", "share/bash-completion/completions/drollbox",
                  "share/icons/hicolor/scalable/apps/drollbox.svg"]


def run(args, ok=True, **kwargs):
    result = subprocess.run(args, capture_output=True, text=True, timeout=180, **kwargs)
    if (result.returncode == 0) != ok:
        raise Failure("%s exited %d: %s" % (shlex.join(args), result.returncode, result.stderr))
    return result


def private_display():  # one Xvfb chose, never shared by tests running side by side
    read, write = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                              pass_fds=(write,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write)
    with os.fdopen(read) as answer:
        os.environ["DISPLAY"] = ":" + answer.readline().strip()  # for the X tools too
    return server


def check_tree(prefix):
    missing = [w for w in WANTED if not os.path.isfile(os.path.join(prefix, w))]
    if missing:
        raise Failure("not installed: " + ", ".join(missing))
    for size in (16, 32, 48, 64, 128, 256):
        if struct.unpack(">II", Path(prefix, ICON % (size, size)).read_bytes()[16:24]) != (size, size):
            raise Failure("the %d pixel icon has another size" % size)
    for page in PAGES:
        shown = run(["man", "--warnings", "-l", os.path.join(prefix, page)], env=dict(os.environ, MANWIDTH="80"))
        if shown.stderr or "SYNOPSIS" not in shown.stdout:
            raise Failure("man -l %s: %s" % (page, shown.stderr or "no SYNOPSIS"))
    run(["desktop-file-validate", os.path.join(prefix, DESKTOP)])
    run(["appstreamcli", "validate", "--no-net", "--pedantic",
         os.path.join(prefix, "share/metainfo/org.drollbox.drollbox.metainfo.xml")])


def unpacked_deb(build, work):
    packages = os.path.join(work, "packages")
    run(["cpack", "-G", "DEB", "--config", os.path.join(build, "CPackConfig.cmake"),
         "-D", "CPACK_OUTPUT_FILE_PREFIX=" + packages, "-B", os.path.join(work, "cpack")])
    deb = next(os.path.join(packages, name) for name in os.listdir(packages) if name.endswith(".deb"))
    if "libc6" not in run(["dpkg-deb", "-f", deb, "Depends"]).stdout:
        raise Failure("the package names no libraries it needs")
    run(["dpkg-deb", "-x", deb, os.path.join(work, "deb-root")])
    return os.path.join(work, "deb-root", "usr")


def check_no_display(env, work):
    bare = {key: value for key, value in env.items() if key not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
    said = subprocess.run(["drollbox"], env=bare, cwd=work, capture_output=True, text=True, timeout=60)
    lines = said.stderr.splitlines()
    if said.returncode != 1 or len(lines) != 1 or "drollbox-db random" not in lines[0] or "display" not in lines[0]:
        raise Failure("drollbox without a display exited %d saying %r" % (said.returncode, said.stderr))


def check_viewer(prefix, work, env, title):
    exec_line = next(line[5:] for line in Path(prefix, DESKTOP).read_text().splitlines() if line.startswith("Exec="))
    command = [word for word in shlex.split(exec_line) if not word.startswith("%")]
    Path(work, "config", "drollbox").mkdir(parents=True)
    Path(work, "config", "drollbox", "Drollbox.cfg").write_bytes(SETTINGS)
    server = private_display()
    env = dict(env, DISPLAY=os.environ["DISPLAY"], XDG_CONFIG_HOME=os.path.join(work, "config"))
    started = [subprocess.Popen(["openbox"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)]

    def start(folder, title, arguments=()):
        with open(os.path.join(work, "viewer.log"), "a") as log:
            started.append(subprocess.Popen(command + list(arguments), env=env, cwd=os.path.join(work, folder),
                                            stdout=log, stderr=log))
        return new_window(title, timeout=90)

    def close_last(title):
        shown = windows(title)
        started[-1].kill()
        wait_for(title + " to go", lambda: not set(shown) & set(windows(title)))

    try:
        # A window mapped while the manager is still taking over may never show.
        manager = ["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"]
        wait_for("openbox", lambda: "window id" in run(manager, env=env).stdout, 90)
        # The foreign Drollbox.dat of the current folder comes before the installed one.
        start("own", "Drollbox Problem")
        close_last("Drollbox Problem")
        # A data file named on the command line comes before it; a foreign one is named on the terminal too.
        start("own", title, [os.path.join(prefix, "share/drollbox/Drollbox.dat")])
        close_last(title)
        start("", "Drollbox Problem", ["own/Drollbox.dat"])
        close_last("Drollbox Problem")
        if "cannot show 'own/Drollbox.dat'" not in Path(work, "viewer.log").read_text():
            raise Failure("the viewer did not name the foreign data file on the terminal")
        window = start("", title)  # no Drollbox.dat in work: the installed one
        geometry(window)
        run(["import", "-window", "root", os.path.join(work, "installed-viewer.png")])
    finally:
        for process in reversed(started):
            process.kill()
            process.wait(10)
        server.terminate()
        server.wait(10)


def main():
    build, work, version = sys.argv[1], os.path.abspath(sys.argv[2]), sys.argv[3]
    shutil.rmtree(work, ignore_errors=True)
    prefix = os.path.join(work, "prefix")
    Path(work, "own").mkdir(parents=True)
    Path(work, "own", "Drollbox.dat").write_text("not a data file")
    run(["cmake", "--install", build, "--prefix", prefix])
    check_tree(prefix)
    env = dict(os.environ, PATH=prefix + "/bin:" + os.environ["PATH"], HOME=os.path.join(work, "home"))
    for installed in (prefix, unpacked_deb(build, work)):
        run([os.path.join(installed, "bin", "drollbox-db"), "random"], env=env, cwd=work)
    if "'Drollbox.dat'" not in run(["drollbox-db", "verify"], ok=False, env=env, cwd=os.path.join(work, "own")).stderr:
        raise Failure("drollbox-db did not read the Drollbox.dat of the current folder")
    check_no_display(env, work)
    if any(shutil.which(tool) is None for tool in ("Xvfb", "xdotool", "xprop", "openbox", "import")):
        return 77
    check_viewer(prefix, work, env, "Drollbox v" + version)
    return 0


if __name__ == "__main__":
    sys.exit(main())
