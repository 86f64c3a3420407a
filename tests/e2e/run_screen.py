"""What a person sees: runs keltrasetup.exe under Wine on an Xvfb display of its own and, at
each look, reads the display's framebuffer (the memory the X server shows, which Xvfb keeps as
an XWD file) and checks each of the setup program's windows in it against what the program
draws: its art never paints a large black area nor the transparent key colour of its glyphs
(magenta, or anything blended with it).

Clients that assemble the screen from its windows cannot serve. `xwd -root` turns a window that
lies wholly inside another one black whenever the windows use a colormap other than the root's,
as all of Wine's do: a message form over the setup window comes out black although the display
shows it drawn.

With the prefix's LogPixels at 96, 144 and 192, it also measures the mapped windows on the X
display (1x, 1.5x, 2x) and installs with real mouse clicks (xdotool) at the scaled places.

Screenshots taken through GDI cannot serve: under Wine they read the X display back, and a
window of another process cannot be asked to paint into a bitmap of the test.

    run_screen.py --bin BUILD/bin --work BUILD/screen [-k NAME]
"""

import argparse
import glob
import os
import shutil
import subprocess
import sys
import threading
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import PRODUCT_PACKAGE  # noqa: E402

MACHINE = None
DISPLAY = None
FRAMEBUFFER = None  # the display's framebuffer, an XWD file that Xvfb maps
# Black: every channel below BLACK_LEVEL. The program's windows hold a few black text pixels
# and the corners outside a rounded form; a window that was not painted is all black.
BLACK_LEVEL = 24
BLACK_SHARE = 0.1
# The key colour and its blends: red and blue well above green. No art has that hue.
KEY_MARGIN = 60


class Image:
    """24-bit RGB pixels, rows top-down."""

    def __init__(self, width, height, rgb):
        self.width, self.height, self.rgb = width, height, rgb

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return self.rgb[i], self.rgb[i + 1], self.rgb[i + 2]


def read_ppm(path):
    """A binary PPM (P6, maximum 255) as import writes it."""
    data = open(path, "rb").read()
    fields = []
    position = 0
    while len(fields) < 4:
        while data[position:position + 1].isspace():
            position += 1
        if data[position:position + 1] == b"#":
            position = data.index(b"\n", position)
            continue
        end = position
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[position:end])
        position = end
    if fields[0] != b"P6" or fields[3] != b"255":
        raise ValueError("not an 8-bit P6 file: " + path)
    width, height = int(fields[1]), int(fields[2])
    return Image(width, height, data[position + 1: position + 1 + width * height * 3])


def capture_display(path, *options):
    """The framebuffer as it is now, written to path (PPM unless options say otherwise)."""
    target = path if options else "ppm:" + path
    subprocess.run(["convert", "xwd:" + FRAMEBUFFER, "-depth", "8"] + list(options) + [target],
                   check=True, stdout=subprocess.DEVNULL, timeout=60)
    return None if options else read_ppm(path)


def press_keys(title, keys):
    """Real key presses: the X server gives the focus to the window of that title, and the
    keys arrive there as typed."""
    found = subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--name",
                            "^%s$" % title], check=True, capture_output=True, text=True,
                           timeout=30)
    window = found.stdout.split()[0]
    subprocess.run(["xdotool", "windowfocus", "--sync", window], check=True, timeout=30)
    subprocess.run(["xdotool", "key", "--delay", "200"] + keys, check=True, timeout=60)


def read_windows(path):
    """(class, left, top, right, bottom) per visible setup window, as kdrive lists them."""
    windows = []
    with open(path) as f:
        for line in f:
            name, *edges = line.rstrip("\n").split("\t")
            windows.append((name,) + tuple(int(edge) for edge in edges))
    return windows


def faults(shown, windows):
    """What is wrong with each window on the display: {class: (black share, keyed pixels)}."""
    found = {}
    for name, left, top, right, bottom in windows:
        black = keyed = total = 0
        for y in range(max(0, top), min(bottom, shown.height)):
            for x in range(max(0, left), min(right, shown.width)):
                r, g, b = shown.pixel(x, y)
                total += 1
                black += max(r, g, b) < BLACK_LEVEL
                keyed += r > g + KEY_MARGIN and b > g + KEY_MARGIN
        if black > BLACK_SHARE * total or keyed:
            found[name] = (black / max(1, total), keyed)
    return found


class Looks:
    """Answers kdrive's look steps while a run goes on: captures the display, checks the
    windows kdrive listed and lets kdrive go on. A display with a fault is captured again a
    few times, so a paint still on its way does not count."""

    ATTEMPTS = 5

    def __init__(self, folder, hold=None, after=None):
        self.folder = folder
        self.hold = hold
        # name: what the user does once the look is taken (before the driver goes on)
        self.after = after or {}
        self.results = {}  # name: (faults, windows)
        self.stop = threading.Event()
        os.makedirs(folder, exist_ok=True)
        for path in glob.glob(os.path.join(folder, "*")):
            os.remove(path)
        self.thread = threading.Thread(target=self.serve, daemon=True)
        self.thread.start()

    def step(self, name):
        return "look:" + harness.to_windows(os.path.join(self.folder, name))

    def held_step(self):
        return "wait:" + harness.to_windows(os.path.join(self.folder, "held"))

    def serve(self):
        while not self.stop.is_set():
            if self.hold and self.hold.reached.is_set() and \
                    not os.path.exists(os.path.join(self.folder, "held")):
                open(os.path.join(self.folder, "held"), "w").close()
            for listing in sorted(glob.glob(os.path.join(self.folder, "*.txt"))):
                name = os.path.basename(listing)[:-4]
                if name not in self.results:
                    self.look(name, listing)
            time.sleep(0.1)

    def look(self, name, listing):
        base = os.path.join(self.folder, name)
        windows = read_windows(listing)
        for attempt in range(self.ATTEMPTS):
            found = faults(capture_display(base + ".ppm"), windows)
            if not found:
                break
            time.sleep(1)
        self.results[name] = (found, windows)
        if name in self.after:
            self.after[name]()
        open(base + ".seen", "w").close()
        # A download held for the look goes on once the look is done.
        if self.hold and name == "download":
            self.hold.release.set()

    def close(self):
        self.stop.set()
        self.thread.join(10)
        if self.hold:
            self.hold.release.set()


class ScreenRuns(unittest.TestCase):
    def setUp(self):
        self.m = MACHINE
        self.m.reset()

    def run_with_looks(self, steps, hold=None, after=None, **options):
        looks = Looks(os.path.join(self.m.work, "looks", self._testMethodName), hold, after)
        try:
            run = self.m.run_setup(steps=[s(looks) if callable(s) else s for s in steps],
                                   **options)
        finally:
            looks.close()
        self.assertFalse(run.timed_out, run.events)
        self.assertEqual([e for e in run.events if e[1] in ("missing", "unexpected")], [])
        self.events = run.events
        return looks.results

    def assertShownAsDrawn(self, results, names):
        self.assertEqual(sorted(results), sorted(names))
        for name in names:
            found, windows = results[name]
            where = os.path.join(self.m.work, "looks", self._testMethodName, name + ".ppm")
            self.assertTrue(windows, "%s: no setup window listed" % name)
            self.assertEqual(found, {}, "%s: {window: (black share, key-colour pixels)} on the "
                             "display (%s)" % (name, where))

    def test_installation_through_the_window(self):
        self.m.release()
        hold = harness.Hold()
        self.m.server.server.held[PRODUCT_PACKAGE] = hold
        results = self.run_with_looks(
            ["ready", lambda l: l.step("start"), "install", lambda l: l.held_step(),
             lambda l: l.step("download"), "form", lambda l: l.step("installed"), "no"],
            hold=hold)
        self.assertShownAsDrawn(results, ["start", "download", "installed"])

    def test_installation_from_the_keyboard_alone(self):
        # Tab through the fields to the terms box, tick it, Enter installs; Escape answers No
        # to starting the product. The driver only watches.
        self.m.release()
        results = self.run_with_looks(
            ["ready", "names", lambda l: l.step("start"), "form", lambda l: l.step("installed")],
            after={"start": lambda: press_keys("keltra setup", ["Tab"] * 4 + ["space", "Return"]),
                   "installed": lambda: press_keys("keltrasetup", ["Escape"])})
        self.assertShownAsDrawn(results, ["start", "installed"])
        # A screen reader in another process reads the window's texts and controls.
        names = [e[2].split("|") for e in self.events if e[1] == "names"]
        self.assertEqual(len(names), 1, self.events)
        for name in ("Installation folder:", "Installation type", "Data folder", "Install",
                     "I have read & agree the terms & conditions", "Installation progress"):
            self.assertIn(name, names[0])
        state = self.m.probe()
        self.assertIsNotNone(state.record)
        self.assertTrue(os.path.exists(os.path.join(self.m.install_folder, "keltra.exe")))
        self.assertEqual(state.running("keltra.exe"), [])

    def test_question_as_first_window(self):
        self.m.preinstall()
        results = self.run_with_looks(["form", lambda l: l.step("again"), "no"])
        self.assertShownAsDrawn(results, ["again"])

    def test_message_over_the_window(self):
        # The server goes away once it has given out the catalogue: the download fails.
        server = harness.PackageServer(self.m.www)
        self.addCleanup(server.stop)
        server.server.last = {harness.CATALOGUE}
        self.m.reset(setup_exe=self.m.repoint(server.port))
        self.m.release()
        results = self.run_with_looks(["install", "form", lambda l: l.step("failed"), "ok",
                                       "close"])
        self.assertShownAsDrawn(results, ["failed"])

    def test_folder_error_over_the_window(self):
        # A file where the installation folder would be: no folder can be made there. The
        # user picks the other installation type (Tab twice, Down) and is told why it fails.
        self.m.release()
        os.makedirs(os.path.dirname(self.m.install_folder), exist_ok=True)
        open(self.m.install_folder, "w").close()
        self.addCleanup(os.remove, self.m.install_folder)
        results = self.run_with_looks(
            ["ready", lambda l: l.step("start"), "form", lambda l: l.step("folders"), "ok",
             "close"],
            after={"start": lambda: press_keys("keltra setup", ["Tab", "Tab", "Down"])})
        self.assertShownAsDrawn(results, ["start", "folders"])
        self.assertIn("TFrmFolderError", [w[0] for w in results["folders"][1]])


def xdotool(*args):
    return subprocess.run(["xdotool"] + list(args), env=dict(os.environ, DISPLAY=DISPLAY),
                          stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True,
                          timeout=30, check=True).stdout


def mapped_window(title):
    """(left, top, width, height) of the mapped X window of that title, as the X server has
    it: what a person sees, whatever the program believes its size is."""
    window = xdotool("search", "--sync", "--onlyvisible", "--name", "^%s$" % title).split()[0]
    fields = dict(line.strip().split(": ", 1) for line in
                  xdotool("getwindowgeometry", window).splitlines()[1:])
    left, top = (int(v) for v in fields["Position"].split()[0].split(","))
    width, height = (int(v) for v in fields["Geometry"].split("x"))
    return left, top, width, height


def scaled(length, dpi):
    """A 96-DPI length at dpi, rounded as the program rounds."""
    return (length * dpi + 48) // 96


class HighDpiRuns(unittest.TestCase):
    """The prefix's LogPixels set to a DPI: the window on the X display is that much larger,
    and clicks at the scaled places (the terms box, then Install) install the product."""

    # 96-DPI centres of the terms box and of Install, from the window's layout.
    TERMS_BOX = (395, 240)
    INSTALL = (496, 208)
    MAIN_SIZE = (595, 360)
    FORM_SIZE = (499, 134)

    def setUp(self):
        self.m = MACHINE
        self.m.reset()
        self.addCleanup(self.set_dpi, 96)

    def set_dpi(self, dpi):
        self.m.wine(["reg", "add", "HKCU\\Control Panel\\Desktop", "/v", "LogPixels", "/t",
                     "REG_DWORD", "/d", str(dpi), "/f"])

    def click(self, window, point, dpi):
        xdotool("mousemove", str(window[0] + scaled(point[0], dpi)),
                str(window[1] + scaled(point[1], dpi)), "click", "1")
        time.sleep(0.5)

    def shoot(self, window, name):
        """The window as the display shows it, a small PNG (KS_SCREENSHOT_DIR keeps a copy)."""
        folder = os.path.join(self.m.work, "looks", "dpi")
        os.makedirs(folder, exist_ok=True)
        path = os.path.join(folder, name + ".png")
        left, top, width, height = window
        # Shot once painted: no large black area left (a few tries).
        for _ in range(10):
            time.sleep(1)
            if not faults(capture_display(path + ".ppm"),
                          [("main", left, top, left + width, top + height)]):
                break
        capture_display("png8:" + path, "-crop", "%dx%d+%d+%d" % (width, height, left, top),
                        "+repage", "-colors", "256", "-strip")
        if os.environ.get("KS_SCREENSHOT_DIR"):
            shutil.copyfile(path, os.path.join(os.environ["KS_SCREENSHOT_DIR"], name + ".png"))

    def install_by_mouse(self, dpi):
        self.set_dpi(dpi)
        self.m.release()
        measured = {}
        folder = os.path.join(self.m.work, "looks", "dpi%d" % dpi)
        shutil.rmtree(folder, ignore_errors=True)
        os.makedirs(folder)

        def play():
            # kdrive lists the windows at each look and waits for the .seen file.
            start = os.path.join(folder, "start")
            question = os.path.join(folder, "question")
            try:
                for _ in range(600):
                    if os.path.exists(start + ".txt"):
                        break
                    time.sleep(0.1)
                main = measured["main"] = mapped_window("keltra setup")
                self.shoot(main, "main-%d" % (dpi * 100 // 96))
                self.click(main, self.TERMS_BOX, dpi)
                self.click(main, self.INSTALL, dpi)
                open(start + ".seen", "w").close()
                for _ in range(1200):
                    if os.path.exists(question + ".txt"):
                        break
                    time.sleep(0.1)
                measured["form"] = mapped_window("keltrasetup")
            finally:
                for base in (start, question):
                    open(base + ".seen", "w").close()

        player = threading.Thread(target=play, daemon=True)
        player.start()
        look = lambda name: "look:" + harness.to_windows(os.path.join(folder, name))
        # A whole installation under a loaded machine's Wine: more time than a look needs.
        run = self.m.run_setup(steps=["ready", look("start"), "form@240000", look("question"),
                                      "no"], timeout=300)
        player.join(30)
        self.assertFalse(run.timed_out, run.events)
        self.assertEqual([e for e in run.events if e[1] in ("missing", "unexpected")], [])
        # Only the mouse pressed Install: the driver never did.
        self.assertNotIn("pressed", [e[1] for e in run.events])
        self.assertTrue(os.path.exists(os.path.join(self.m.install_folder, "keltra.exe")))
        for name, size in (("main", self.MAIN_SIZE), ("form", self.FORM_SIZE)):
            self.assertIn(name, measured)
            width, height = measured[name][2:]
            self.assertEqual((width, height), (scaled(size[0], dpi), scaled(size[1], dpi)),
                             "%s window at %d DPI" % (name, dpi))

    def test_at_100_percent(self):
        self.install_by_mouse(96)

    def test_at_150_percent(self):
        self.install_by_mouse(144)

    def test_at_200_percent(self):
        self.install_by_mouse(192)


def start_display(framebuffer_folder):
    os.makedirs(framebuffer_folder, exist_ok=True)
    for number in range(150, 200):
        if os.path.exists("/tmp/.X11-unix/X%d" % number) or \
                os.path.exists("/tmp/.X%d-lock" % number):
            continue
        # Large enough for the window at 200%.
        server = subprocess.Popen(["Xvfb", ":%d" % number, "-screen", "0", "1600x900x24",
                                   "-fbdir", framebuffer_folder, "-nolisten", "tcp"],
                                  stdout=subprocess.DEVNULL,
                                  stderr=subprocess.DEVNULL)
        for _ in range(50):
            if os.path.exists("/tmp/.X11-unix/X%d" % number):
                return server, ":%d" % number
            if server.poll() is not None:
                break
            time.sleep(0.1)
        server.kill()
    raise RuntimeError("no Xvfb display could be started")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bin", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("-k", dest="patterns", action="append", default=[])
    args = parser.parse_args()
    global MACHINE, DISPLAY, FRAMEBUFFER
    framebuffer_folder = os.path.join(args.work, "framebuffer")
    xvfb, DISPLAY = start_display(framebuffer_folder)
    FRAMEBUFFER = os.path.join(framebuffer_folder, "Xvfb_screen0")
    # Every Wine process of this run draws on this display.
    os.environ["DISPLAY"] = DISPLAY
    result = None
    try:
        MACHINE = harness.Machine(args.bin, args.work)
        try:
            loader = unittest.TestLoader()
            if args.patterns:
                loader.testNamePatterns = ["*%s*" % p for p in args.patterns]
            suite = unittest.TestSuite([loader.loadTestsFromTestCase(ScreenRuns),
                                        loader.loadTestsFromTestCase(HighDpiRuns)])
            result = unittest.TextTestRunner(verbosity=2).run(suite)
        finally:
            MACHINE.close()
    finally:
        xvfb.terminate()
        xvfb.wait(10)
    return 0 if result and result.wasSuccessful() else 1


if __name__ == "__main__":
    sys.exit(main())
