#!/usr/bin/env python3
"""Seeded random sequences of what a user, the window manager, the session
and an assistive tool can do to the desktop program, against camera-emulator
with slow erases, slow uploads and now and then a fault. Run by monkey.sh,
which starts the display, openbox and the accessibility bus.

After each sequence the invariants are checked:
  - the wire log never shows a second command sequence inside an operation
    (nothing sent between an action and its ENQ);
  - no operation starts from input made while the camera was at work (input
    during work is dropped, not run afterwards);
  - after a close or a signal the program ends within a few seconds of the
    work being over, the close packet on the wire and the lock free;
  - the window's camera list names what the camera holds;
  - no crash and no sanitizer report.
A failing sequence prints its seed; --seed S --sequences 1 replays it.
"""
import argparse
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import time

TITLE = "OSKEL Program Uploader"
CHOOSER = "Choose Folder"
# Wire time between two lines of one command at most; a longer silence ends
# the work (the longest wait inside a command is far shorter).
WORK_GAP = 2.5
END_GRACE = 6.0

ARGS = None
A11Y = None


def run(*cmd, timeout=10):
    try:
        r = subprocess.run(cmd, capture_output=True, text=True, timeout=timeout)
        return r.stdout
    except subprocess.TimeoutExpired:
        return ""


# --- accessibility (AT-SPI over D-Bus) ---------------------------------------

def a11y_call(bus, path, iface, method, *args):
    return run("gdbus", "call", "--address", A11Y, "--dest", bus, "--object-path", path,
               "--method", f"{iface}.{method}", *args, timeout=5)


def a11y_children(bus, path):
    out = a11y_call(bus, path, "org.a11y.atspi.Accessible", "GetChildren")
    return re.findall(r"'(:[\d.]+)', (?:objectpath )?'([^']+)'", out)


def a11y_name(bus, path):
    out = a11y_call(bus, path, "org.freedesktop.DBus.Properties", "Get", "org.a11y.atspi.Accessible", "Name")
    m = re.search(r"<'(.*)'>", out)
    return m.group(1) if m else ""


def a11y_extents(bus, path):
    out = a11y_call(bus, path, "org.a11y.atspi.Component", "GetExtents", "0")
    m = re.search(r"\((-?\d+), (-?\d+), (-?\d+), (-?\d+)\)", out)
    return tuple(int(v) for v in m.groups()) if m else None


class MainControls:
    """The main window's controls as the accessibility tree names them."""

    def __init__(self):
        self.bus = None
        self.controls = {}  # name -> path

    def find(self):
        self.controls = {}
        for bus, app in a11y_children("org.a11y.atspi.Registry", "/org/a11y/atspi/accessible/root"):
            for _, window in a11y_children(bus, app):
                found = {}
                for _, child in a11y_children(bus, window):
                    name = a11y_name(bus, child)
                    if name:
                        found[name] = child
                if "Upload" in found:
                    self.bus, self.controls = bus, found
                    return True
        return False

    def press(self, name):
        if name in self.controls:
            a11y_call(self.bus, self.controls[name], "org.a11y.atspi.Action", "DoAction", "0")

    def items(self, list_name):
        path = self.controls.get(list_name)
        if path is None:
            return None
        return [(p, a11y_name(self.bus, p)) for _, p in a11y_children(self.bus, path)]

    def centre(self, path):
        e = a11y_extents(self.bus, path) if path else None
        if not e or e[2] <= 0 or e[3] <= 0:
            return None
        return e[0] + e[2] // 2, e[1] + min(e[3] // 2, 6)


# --- the files a sequence works on ----------------------------------------------

def make_program(path, name, size):
    field = (name + "~").ljust(40)[:40]
    head = ("KAVRA+~0000300000000" + "OSKEL monkey test".ljust(32) + field + "monkey test".ljust(24) + "0100")
    with open(path, "wb") as f:
        f.write(head.encode("ascii") + b"x" * (size - 120))


NAMES = ["Alpha", "Bravo", "Clock", "Delta", "Echo", "Frame", "Gamma"]


class Sequence:
    def __init__(self, seed, build, x_check):
        self.seed = seed
        self.rng = random.Random(seed)
        self.build = build
        self.x_check = x_check
        self.dir = os.path.join(ARGS.work, f"seq-{seed}")
        self.log = []  # (from, to, text) of every input: the monotonic times
        # between which its tool delivered it
        self.mark = None
        self.violations = []
        self.close_requested_at = None
        self.procs = []
        self.wire_zero = time.monotonic()

    def note(self, text):
        """Logs an input once its tool has delivered it, as made since the
        act (or the previous input of a compound act) began."""
        now = time.monotonic()
        self.log.append((now if self.mark is None else self.mark, now, text))
        self.mark = now

    def fail(self, text):
        self.violations.append(text)

    # -- set-up --
    def start(self):
        rng = self.rng
        shutil.rmtree(self.dir, ignore_errors=True)
        for sub in ("config", "runtime", "programs", "home", "camera-programs"):
            os.makedirs(os.path.join(self.dir, sub))
        os.chmod(os.path.join(self.dir, "runtime"), 0o700)
        names = rng.sample(NAMES, rng.randint(2, 4))
        for n in names:
            size = rng.choice([1020, 4000, 12000, 40000, 90000])
            make_program(os.path.join(self.dir, "programs", n.upper() + ".FNC"), n, size)
        camera_args = []
        for n in rng.sample(NAMES, rng.randint(1, 3)):
            p = os.path.join(self.dir, "camera-programs", n.upper() + ".FNC")
            make_program(p, n, rng.choice([1020, 3000]))
            camera_args += ["--program", p]
        camera_args += ["--erase-enq-delay", str(rng.choice([1500, 3000, 6000])),
                        "--upload-enq-delay", str(rng.choice([800, 2500]))]
        if rng.random() < 0.3:
            camera_args += ["--random-faults", f"{rng.randint(1, 9999)}:{rng.choice([2, 5])}"]
        self.link = os.path.join(self.dir, "camera")
        self.wire = os.path.join(self.dir, "wire.log")
        self.store = os.path.join(self.dir, "store.txt")
        self.wire_zero = time.monotonic()
        self.emulator = subprocess.Popen(
            [os.path.join(self.build, "emulator/camera-emulator"), "--link", self.link, "--quiet",
             "--wire-log", self.wire, "--store-file", self.store] + camera_args,
            stdout=subprocess.DEVNULL, stderr=open(os.path.join(self.dir, "emulator.log"), "w"))
        self.procs.append(self.emulator)
        if not wait(lambda: os.path.exists(self.link), 15):
            self.fail("camera-emulator did not start")
            return False
        with open(os.path.join(self.dir, "config", "QUIVRAN.INI"), "w") as f:
            f.write(f"[Ports]\nCOM1={self.link}\n\n[Communication]\nMaxPort=1\n\n"
                    f"[UploadDialog]\nOPFFolder={self.dir}/programs/\n")
        env = dict(os.environ, XDG_CONFIG_HOME=os.path.join(self.dir, "config"),
                   XDG_RUNTIME_DIR=os.path.join(self.dir, "runtime"), HOME=os.path.join(self.dir, "home"),
                   QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        self.uploader_err = os.path.join(self.dir, "uploader.log")
        self.uploader = subprocess.Popen([os.path.join(self.build, "frontends/qt/oskel-uploader")],
                                         stdout=subprocess.DEVNULL, stderr=open(self.uploader_err, "w"), env=env,
                                         cwd=self.dir)
        self.procs.append(self.uploader)
        self.main = find_windows(self.uploader.pid, TITLE, 40)
        if not self.main:
            self.fail("the main window did not appear")
            return False
        self.main = self.main[0]
        self.controls = MainControls()
        if not wait(self.controls.find, 10, 0.3):
            self.fail("the main window's controls are not in the accessibility tree")
            return False
        return True

    # -- what the monkey does --
    def alive(self):
        return self.uploader.poll() is None

    def others(self):
        """The program's windows other than the main one (questions, About,
        the chooser, the progress window)."""
        ids = run("xdotool", "search", "--all", "--onlyvisible", "--pid", str(self.uploader.pid), "--name", ".")
        return [w for w in ids.split() if w != self.main]

    def click_at(self, xy, button=1, ctrl=False):
        if xy is None:
            return
        cmd = ["xdotool", "mousemove", str(xy[0]), str(xy[1])]
        if ctrl:
            cmd += ["keydown", "ctrl", "click", str(button), "keyup", "ctrl"]
        else:
            cmd += ["click", str(button)]
        run(*cmd)

    def act(self, early):
        rng = self.rng
        c = self.controls
        closing = 1 if early else 3
        kinds = ["click", "item", "key", "a11y", "close", "alt-f4", "signal", "answer", "about", "operation"]
        if self.camera_busy():
            # What a user, a tool or the session may do while the camera
            # works: mostly the commands that would start another operation.
            weights = [30, 16, 10, 24, 3, 3, 2, 6, 2, 0]
        else:
            # Idle: a whole upload or removal now and then, so that much of
            # the rest happens while the camera is at work.
            weights = [22, 22, 12, 12, closing, closing, closing, 14, 2, 30]
        kind = rng.choices(kinds, weights=weights)[0]
        if kind == "operation":
            self.start_operation()
        elif kind == "click":
            name = rng.choice(["Upload", "Remove", "Browse...", "Close", "Upload", "Remove"])
            self.click_at(c.centre(c.controls.get(name)))
            self.note(f"click {name}")
        elif kind == "item":
            lst = rng.choice(["Applications in Folder", "Applications in Camera"])
            items = c.items(lst) or []
            if items:
                path, name = rng.choice(items)
                ctrl = rng.random() < 0.4
                self.click_at(c.centre(path), ctrl=ctrl)
                self.note(f"click item {name!r} of {lst}{' with ctrl' if ctrl else ''}")
        elif kind == "key":
            key = rng.choice(["alt+u", "alt+r", "alt+b", "alt+f", "alt+a", "Return", "Escape", "space", "Tab",
                              "F1", "Down", "y", "n"] * 3 + ["alt+c"])
            run("xdotool", "key", key)
            self.note(f"key {key}")
        elif kind == "a11y":
            name = rng.choice(["Upload", "Remove", "Browse...", "Close", "Upload", "Remove"])
            c.press(name)
            self.note(f"accessibility press {name}")
        elif kind == "close":
            self.note("close box")
            self.close_requested()
            run(self.x_check, "close", self.main)
        elif kind == "alt-f4":
            self.note("alt+F4 on the main window")
            self.close_requested()
            run("xdotool", "windowactivate", self.main)
            run("xdotool", "key", "alt+F4")
        elif kind == "signal":
            sig = rng.choice([signal.SIGTERM, signal.SIGHUP, signal.SIGINT])
            self.note(f"signal {sig.name}")
            self.close_requested()
            self.uploader.send_signal(sig)
        elif kind == "answer":
            others = self.others()
            if others:
                key = rng.choice(["y", "y", "n", "Return", "Escape", "space"])
                run("xdotool", "windowactivate", others[-1])
                run("xdotool", "key", key)
                self.note(f"answer {key}")
        elif kind == "about":
            self.click_at(c.centre(c.controls.get("Close")), button=3)
            self.note("about (right click)")

    def start_operation(self):
        """Selects an application and presses UPLOAD, or a camera program and
        presses Remove, then answers the question with Yes."""
        c = self.controls
        upload = self.rng.random() < 0.5
        lst, button = ("Applications in Folder", "Upload") if upload else ("Applications in Camera", "Remove")
        items = c.items(lst) or []
        if not items:
            return
        path, name = self.rng.choice(items)
        self.click_at(c.centre(path))
        self.note(f"click item {name!r} of {lst}")
        time.sleep(0.2)
        self.click_at(c.centre(c.controls.get(button)))
        self.note(f"click {button}")
        time.sleep(0.6)
        others = self.others()
        if others:
            run("xdotool", "windowactivate", "--sync", others[-1])
            run("xdotool", "key", "y")
            self.note("answer y")

    def close_requested(self):
        if self.close_requested_at is None:
            self.close_requested_at = time.monotonic()
            self.close_requested_wall = time.time()

    def play(self):
        steps = self.rng.randint(ARGS.steps // 2, ARGS.steps)
        for step in range(steps):
            if not self.alive():
                break
            self.mark = time.monotonic()
            self.act(early=step < steps // 2)
            self.mark = None
            # Quick while the camera works, so that much happens during
            # erases and uploads.
            busy = self.camera_busy()
            if busy and self.rng.random() < 0.2:
                self.hold()
                continue
            pauses = [0, 0.05, 0.2, 0.4] if busy else [0, 0.05, 0.2, 0.5, 1.0, 2.0]
            time.sleep(self.rng.choice(pauses))

    def hold(self):
        """Holds still until the camera has been idle a while. Input made
        during the work must have been dropped: an upload after a removal
        (check_wire) or the folder chooser opening now ran it afterwards."""
        made = self.log[-1][1] if self.log else 0.0
        self.note("hold still until the camera is idle")
        before = set(self.others())
        deadline = time.monotonic() + 90
        while self.alive() and time.monotonic() < deadline:
            if not self.camera_busy() and self.wire_quiet_for() > WORK_GAP + 1.0:
                break
            time.sleep(0.2)
        # Only input the camera's work went on after counts: one made in the
        # moment between the work's end and the hold may rightly open it.
        if not self.alive() or time.monotonic() - self.wire_quiet_for() < made + 0.3:
            return
        for w in set(self.others()) - before:
            if run("xdotool", "getwindowname", w).strip() == CHOOSER:
                self.fail("the folder chooser opened after the camera work with no input since: "
                          "a click or key made during the work ran afterwards")

    # -- the end of the sequence --
    def wire_lines(self):
        try:
            with open(self.wire, errors="replace") as f:
                return f.read().splitlines()
        except OSError:
            return []

    def wire_quiet_for(self):
        try:
            return time.time() - os.path.getmtime(self.wire)
        except OSError:
            return 1e9

    def settle(self, limit):
        """Answers what the program asks until the camera is idle and only
        the main window is up (or the program has ended)."""
        deadline = time.monotonic() + limit
        while time.monotonic() < deadline and self.alive():
            others = self.others()
            if not others and not self.camera_busy() and self.wire_quiet_for() > WORK_GAP + 0.5:
                return True
            if others and self.wire_quiet_for() > 1.0:
                self.answer(others[-1], ["Escape", "n", "Return"])
            time.sleep(0.3)
        return not self.alive()

    def answer(self, window, keys):
        key = self.rng.choice(keys)
        self.mark = time.monotonic()
        run("xdotool", "windowactivate", "--sync", window)
        run("xdotool", "key", key)
        self.note(f"answer {key} at the end")
        self.mark = None

    def main_visible(self):
        ids = run("xdotool", "search", "--all", "--onlyvisible", "--pid", str(self.uploader.pid), "--name", ".")
        return self.main in ids.split()

    def wait_end(self, since):
        """Answers what is still asked; True once the program has ended, False
        when it is still running a few seconds after the request (made at
        wall time `since`) and the work were over."""
        deadline = time.monotonic() + 120
        while self.alive() and time.monotonic() < deadline:
            others = self.others()
            quiet = min(self.wire_quiet_for(), time.time() - since)
            if others and quiet > 1.0:
                self.answer(others[-1], ["Escape", "n", "Return", "y"])
            if not others and not self.camera_busy() and quiet > WORK_GAP + END_GRACE:
                break
            time.sleep(0.3)
        return not self.alive()

    def finish(self):
        if self.alive() and self.close_requested_at is not None and not self.wait_end(self.close_requested_wall):
            # A close request made while a box was up went to the box (the
            # window behind a modal box takes no input); the main window is
            # then still there. A program without it must have ended.
            if not self.main_visible():
                self.fail("after the close request the main window is gone but the program did not end")
        if self.alive():
            # (The program may end meanwhile: a Close clicked during the
            # work closes it once the work is over.)
            if self.settle(60) and self.alive():
                self.check_camera_list()
            self.note("SIGTERM at the end")
            self.uploader.send_signal(signal.SIGTERM)
            if not self.wait_end(time.time()):
                self.fail("after SIGTERM the program did not end (the camera idle, no question open)")
        if self.alive():
            self.uploader.kill()
            self.uploader.wait()
            return
        rc = self.uploader.returncode
        if rc < 0:
            self.fail(f"the program died of signal {-rc}")
        try:
            with open(self.uploader_err, errors="replace") as f:
                err = f.read()
        except OSError:
            err = ""
        if "Sanitizer" in err or "runtime error:" in err:
            self.fail("sanitizer report:\n" + err[-2000:])
        lines = self.wire_lines()
        if not any("speed code 0 (close)" in l for l in lines[-60:]):
            self.fail("no close packet on the wire after the end")
        lock = os.path.join(self.dir, "runtime", "OskelCameraMutex.lock")
        if os.path.exists(lock) and subprocess.run(["flock", "-n", lock, "true"]).returncode != 0:
            self.fail("the camera lock is still held after the end")

    def check_camera_list(self):
        items = self.controls.items("Applications in Camera")
        if items is None:
            return
        shown = sorted(name for _, name in items)
        try:
            with open(self.store) as f:
                held = sorted(m.group(1).strip() for m in re.finditer(r"bytes  (.*)", f.read()))
        except OSError:
            return
        if shown != held:
            self.fail(f"the camera list shows {shown}, the camera holds {held}")

    def check_wire(self):
        """Nothing sent between an action and its ENQ; no operation started
        by input made while the camera was at work."""
        pending = None
        command_start = 0.0
        spans = []  # [kind, start, end] of each erase and upload on the wire
        for line in self.wire_lines():
            m = re.match(r"\s*(\d+\.\d+) (\S+)\s+pc \d+ cam \d+\s+(.*)", line)
            if not m:
                continue
            t, who, what = float(m.group(1)), m.group(2), m.group(3)
            if who == "PC>CAM" and what == "GetRegister 16":
                command_start = t  # each command opens with the battery reading
            if who == "PC>CAM" and what.startswith("program upload announced"):
                spans.append(["upload", command_start, t])
            elif who == "PC>CAM" and what.startswith("Action 13"):
                spans.append(["erase", t, t])
            if who == "PC>CAM" and what.startswith("Action "):
                pending = what
            elif who == "CAM>PC" and what == "ENQ":
                pending = None
                if spans:
                    spans[-1][2] = t
            elif pending and who == "PC>CAM" and re.match(r"(Action|program upload|data STX|GetRegister|"
                                                          r"SetRegister|ReadObject)", what):
                self.fail(f"at {t:.3f} s the PC sent \"{what}\" between \"{pending}\" and its ENQ")
                pending = None
        # A removal never goes on into an upload: an upload whose command
        # begins after an erase with no input since the erase's end that
        # could start one was started by input made during the erase.
        zero = self.wire_zero
        inputs = [(a - zero, b - zero) for a, b, text in self.log if could_start_upload(text)]
        for (k0, s0, e0), (k1, s1, _) in zip(spans, spans[1:]):
            # (An upload whose command began before the erase ended is an
            # update that replaces an older version: one command.)
            if k0 == "erase" and k1 == "upload" and s1 > e0 and not any(a <= s1 and b > e0 for a, b in inputs):
                during = [text for a, b, text in self.log if a - zero <= e0 and b - zero >= s0]
                self.fail(f"an upload began at {s1:.3f} s after the erase of {s0:.3f}-{e0:.3f} s with no input "
                          f"in between; input during the erase: {during}")

    def camera_busy(self):
        """Packets on the line just now, or an action waiting for its ENQ."""
        if self.wire_quiet_for() < 0.3:
            return True
        for line in reversed(self.wire_lines()[-40:]):
            if "CAM>PC" in line and line.endswith(" ENQ"):
                return False
            if "PC>CAM" in line and "Action " in line:
                return True
        return False

    def stop(self):
        for p in reversed(self.procs):
            if p.poll() is None:
                p.terminate()
                try:
                    p.wait(5)
                except subprocess.TimeoutExpired:
                    p.kill()
                    p.wait()


def could_start_upload(text):
    """Whether an input as the log names it can start an upload: UPLOAD
    clicked, pressed or keyed, or a question answered."""
    return any(word in text for word in ("Upload", "upload", "key Return", "key space", "key alt+u", "answer"))


def wait(predicate, seconds, step=0.1):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if predicate():
            return True
        time.sleep(step)
    return False


def find_windows(pid, title, tenths):
    for _ in range(tenths):
        out = run("xdotool", "search", "--all", "--onlyvisible", "--pid", str(pid), "--name", f"^{title}$")
        if out.split():
            return out.split()
        time.sleep(0.25)
    return []


def main():
    global ARGS, A11Y
    p = argparse.ArgumentParser()
    p.add_argument("--build", required=True)
    p.add_argument("--work", required=True)
    p.add_argument("--a11y", required=True, help="the accessibility bus address")
    p.add_argument("--sequences", type=int, default=3)
    p.add_argument("--seed", type=int, default=None)
    p.add_argument("--steps", type=int, default=24)
    p.add_argument("--stop-on-failure", action="store_true")
    ARGS = p.parse_args()
    A11Y = ARGS.a11y
    ARGS.build = os.path.abspath(ARGS.build)
    first = ARGS.seed if ARGS.seed is not None else random.SystemRandom().randint(1, 10**6)
    x_check = os.path.join(ARGS.build, "tests/oskel-x-check")
    failed = []
    started = time.monotonic()
    for n in range(ARGS.sequences):
        seed = first + n
        seq = Sequence(seed, ARGS.build, x_check)
        try:
            if seq.start():
                seq.play()
                seq.finish()
                seq.check_wire()
        finally:
            seq.stop()
        status = "ok" if not seq.violations else "FAILED"
        print(f"sequence {n + 1}/{ARGS.sequences} seed {seed}: {len(seq.log)} inputs, {status}", flush=True)
        if seq.violations:
            failed.append(seed)
            for v in seq.violations:
                print(f"  violation: {v}")
            for a, b, text in seq.log:
                print(f"  input at {a - seq.wire_zero:8.3f}-{b - seq.wire_zero:.3f} s: {text}")
            print(f"  replay: scripts/monkey.sh --sequences 1 --seed {seed}   (kept: {seq.dir})", flush=True)
            if ARGS.stop_on_failure:
                break
        else:
            shutil.rmtree(seq.dir, ignore_errors=True)
    print(f"monkey: {n + 1} sequences from seed {first} in {time.monotonic() - started:.0f} s, "
          f"{len(failed)} with violations{': seeds ' + ' '.join(map(str, failed)) if failed else ''}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
