#!/usr/bin/env python3
"""Types a task into the real program under X11 as fast as the typing tool goes: eight
alleles, then 30 counts with three refused keys among them, calculates and exports the
results workbook, and compares it with velimor-calc's workbook for the same counts.
A window manager (openbox) runs as on a desktop. Exit 77 without an X display.

Usage: test_fast_typing.py VELIMOR VELIMOR_CALC COMPARE_WORKBOOKS"""

import os
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile
import time
import urllib.parse

ALLELES = ["A", "B", "C", "D", "E", "F", "G", "H"]  # 36 codominant phenotypes
# Rows whose last key is refused, with the keys typed: a decimal point, a letter and a lone
# minus. Each row keeps the count typed before the refused key (none for the minus).
REFUSED = {5: ["1", "period"], 14: ["4", "2", "x"], 23: ["minus"]}
KEPT = {5: 1, 14: 42}
COUNTED_ROWS = 30


def xdotool(*args, check=True):
    result = subprocess.run(["xdotool", *args], capture_output=True, text=True)
    if check and result.returncode != 0:
        raise RuntimeError(f"xdotool {' '.join(args)}: {result.stderr.strip()}")
    return result.stdout.strip()


def wait_for(what, probe, seconds=30):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        found = probe()
        if found:
            return found
        time.sleep(0.05)
    raise RuntimeError(f"timed out waiting for {what}")


def window_named(pid, pattern):
    def probe():
        ids = xdotool("search", "--all", "--onlyvisible", "--pid", str(pid), "--name", pattern,
                      check=False).split()
        return ids[-1] if ids else None
    return wait_for(f"window «{pattern}»", probe)


def active_window_named(pid, pattern):
    """Waits until the window is shown and holds the input focus, as a user waits for it."""
    window = window_named(pid, pattern)
    wait_for(f"focus on «{pattern}»", lambda: xdotool("getactivewindow", check=False) == window)
    return window


def click(window, x, y):
    xdotool("mousemove", "--sync", "--window", window, str(x), str(y), "click", "1")


def keys(*names):
    """All keys in one call, with no delay between them."""
    xdotool("key", "--delay", "0", *names)


def answer_message(pid):
    box = active_window_named(pid, "^Велимор$")
    keys("Return")
    wait_for("the message to close", lambda: xdotool("getactivewindow", check=False) != box)


def phenotype_names(calc, work):
    """The control window's phenotype rows, as velimor-calc lists them."""
    probe = work / "probe.txt"
    probe.write_text("".join(f"allele {a}\n" for a in ALLELES) + "1 A\n", encoding="utf-8")
    text = subprocess.run([calc, "--seed", "1", str(probe)], capture_output=True, text=True,
                          check=True).stdout
    control = text[text.index("[control]"):]
    rows = re.findall(r"^(\d+)\t([^\t]+)\t", control[control.index("Фенотип"):], re.M)
    return [name.strip() for _, name in rows]


def main():
    if not os.environ.get("DISPLAY"):
        print("no X display: skipped")
        return 77
    program, calc, compare = sys.argv[1:4]
    work = pathlib.Path(tempfile.mkdtemp())
    opened = work / "opened.txt"
    fake_bin = work / "bin"
    fake_bin.mkdir()
    # The desktop's "open this file" records the workbook instead of starting a spreadsheet.
    opener = fake_bin / "xdg-open"
    opener.write_text(f'#!/bin/sh\nprintf "%s" "$1" > "{opened}"\n')
    opener.chmod(0o755)
    env = dict(os.environ, QT_QPA_PLATFORM="xcb", HOME=str(work),
               PATH=f"{fake_bin}:{os.environ['PATH']}", LC_ALL="C.UTF-8")
    env.pop("XDG_DATA_HOME", None)

    manager = subprocess.Popen(["openbox", "--sm-disable"], env=env, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    # The program starts once the window manager runs, as on a desktop: openbox names its
    # theme on the root window when it is set up, and a window mapped during its last steps
    # can be lost, so it is given a second more.
    wait_for("the window manager", lambda: "_OB_THEME" in subprocess.run(
        ["xprop", "-root", "_OB_THEME"], capture_output=True, text=True).stdout.replace(
            "_OB_THEME:  not found", ""))
    time.sleep(1)
    app = subprocess.Popen([program], cwd=work, env=env)
    try:
        # The window manager may leave the first window of a program unfocused; the click
        # focuses it, as it does for a user.
        main_window = window_named(app.pid, r"^Тарвенис\. Велимор\.$")
        click(main_window, 650 + 130, 232 + 17)  # "Новая задача"

        alleles = active_window_named(app.pid, "^Аллели")
        typed = []
        for allele in ALLELES:
            typed += [allele, "Return"]
        keys(*typed)
        click(alleles, 640 + 165, 640 + 20)  # "Проверка и переход к фенотипам"

        control = active_window_named(app.pid, "^Проверьте")
        names = phenotype_names(calc, work)
        counts = {}
        burst = []
        for row in range(1, COUNTED_ROWS + 1):
            if row in REFUSED:
                keys(*burst, *REFUSED[row])
                answer_message(app.pid)
                burst = ["Down"]
                if row in KEPT:
                    counts[row] = KEPT[row]
                continue
            value = 3 * row + row % 7
            counts[row] = value
            burst += [*str(value), "Down"]
        keys(*burst)

        click(control, 706 + 133, 106 + 17)  # "Начать расчет"
        answer_message(app.pid)
        click(control, 706 + 133, 146 + 17)  # "Импорт результатов в Excel"
        wait_for("the exported workbook", lambda: opened.exists() and opened.read_text())
        exported = urllib.parse.unquote(urllib.parse.urlparse(opened.read_text()).path)

        task = work / "task.txt"
        task.write_text("".join(f"allele {a}\n" for a in ALLELES) +
                        "".join(f"{counts[r]} {names[r - 1]}\n" for r in sorted(counts)),
                        encoding="utf-8")
        reference = work / "reference.xlsx"
        subprocess.run([calc, "--xlsx", str(reference), str(task)], check=True,
                       stdout=subprocess.DEVNULL)
        same = subprocess.run([sys.executable, compare, exported, str(reference)])
        if same.returncode != 0:
            print(f"FAIL: the program's workbook {exported} differs from velimor-calc's {reference}")
            work = None
            return 1
        if app.poll() is not None:
            print(f"FAIL: the program ended with {app.returncode}")
            return 1
        print("1 passed, 0 failed")
        return 0
    except RuntimeError as problem:
        state = "running" if app.poll() is None else f"ended with {app.returncode}"
        shot = work / "failure.png"
        subprocess.run(["import", "-window", "root", str(shot)], check=False)
        print(f"FAIL: {problem} (the program is {state}); screen in {shot}")
        work = None
        return 1
    finally:
        app.kill()
        app.wait()
        manager.terminate()
        manager.wait()
        # The display is left as it was found: without a window manager's lists on the root
        # window, which the program's start-up check (and its test) would read.
        for name in ["_NET_CLIENT_LIST_STACKING", "_NET_CLIENT_LIST", "_NET_SUPPORTING_WM_CHECK",
                     "_NET_ACTIVE_WINDOW"]:
            subprocess.run(["xprop", "-root", "-remove", name], check=False)
        if work:
            shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
