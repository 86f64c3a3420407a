"""The machinery of the end-to-end runs: a Wine prefix of their own, a package server on
127.0.0.1, the setup program re-pointed at it, the driver that plays the user, and a probe of
what the machine looks like afterwards."""

import importlib.machinery
import os
import shutil
import socket
import subprocess
import threading
import time

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
WINE_RUN = os.path.join(ROOT, "scripts", "wine-run")


def load_module(name, path):
    return importlib.machinery.SourceFileLoader(name, path).load_module()


mkrelease = load_module("mkrelease", os.path.join(ROOT, "tools", "mkrelease"))
listnames = load_module("listnames", os.path.join(ROOT, "tools", "listnames.py"))
LISTS = listnames.load()
loopback = load_module("loopback_server", os.path.join(ROOT, "tests", "servers",
                                                       "loopback_server.py"))

PRODUCT_FILES = ["keltra.exe", "readme.txt", "keltra.ico", "kagent.exe"]
CATALOGUE = "/packages/Keltra.ini"
PRODUCT_PACKAGE = "/packages/Keltra.zip"
SETUP_PACKAGE = "/packages/KELTRASETUP.zip"


def to_windows(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


class RequestLog:
    """The server's request log, kept in memory: "METHOD TARGET" per request."""

    def __init__(self):
        self.lines = []

    def write(self, text):
        self.lines.extend(line for line in text.splitlines() if line)

    def flush(self):
        pass

    def count(self, method, target):
        return sum(1 for line in self.lines if line == "%s %s" % (method, target))


class Hold:
    """A body the server stops sending after its first bytes, until the test releases it."""

    FIRST_BYTES = 64 * 1024

    def __init__(self):
        self.reached = threading.Event()
        self.release = threading.Event()


class Handler(loopback.Handler):
    """The test server's handler: after answering a path in server.last, the server stops
    listening, so that every later request finds nobody there; a path in server.held is
    held mid-body; the first GET of a path in server.cut_first is cut."""

    def parse(self):
        answer = super().parse()
        if self.path in self.server.held:
            answer.stall = Hold.FIRST_BYTES
        if self.path in self.server.cut_first:
            answer.cut = self.server.cut_first[self.path]
            answer.first = 1
        return answer

    def stall(self):
        hold = self.server.held.get(self.path)
        if hold is None:
            return super().stall()
        hold.reached.set()
        hold.release.wait(120)

    def answer(self, send_body):
        self.server.timeline.append((time.monotonic(), "begin", self.command, self.path))
        try:
            self.answer_request(send_body)
        finally:
            self.server.timeline.append((time.monotonic(), "end", self.command, self.path))

    def answer_request(self, send_body):
        if self.path in self.server.last:
            self.close_connection = True
            super().answer(send_body)
            self.wfile.flush()
            self.server.socket.close()
            return
        super().answer(send_body)


class PackageServer:
    def __init__(self, root):
        self.server = loopback.Server(("127.0.0.1", 0), Handler)
        self.server.root = root
        self.server.verbose = False
        self.server.request_log = RequestLog()
        self.server.log_lock = threading.Lock()
        self.server.last = set()
        self.server.held = {}  # path: Hold
        self.server.cut_first = {}  # path: bytes the first GET of it sends before the cut
        self.server.timeline = []  # (monotonic time, "begin" or "end", method, path)
        self.thread = threading.Thread(target=self.server.serve_forever, daemon=True)
        self.thread.start()

    @property
    def port(self):
        return self.server.server_address[1]

    @property
    def log(self):
        return self.server.request_log

    def reset(self):
        self.server.request_log.lines.clear()
        self.server.last = set()
        self.server.held = {}
        self.server.cut_first = {}
        self.server.timeline = []

    def stop(self):
        self.server.shutdown()
        self.server.server_close()


def free_port():
    """A port nothing listens on (bound, then released)."""
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class Run:
    """One finished run of the setup program."""

    def __init__(self, exit_code, events, seconds, timed_out):
        self.exit_code = exit_code
        self.events = events  # (seconds since start, fields...)
        self.seconds = seconds
        self.timed_out = timed_out

    def forms(self, kind="form"):
        return [e for e in self.events if e[1] == kind]


class State:
    """What the probe saw: windows, processes, the running atom, the records."""

    def __init__(self, lines):
        self.windows = []
        self.processes = []
        self.controls = {}
        self.atom = False
        self.record = None
        self.user_key = False
        for line in lines:
            fields = line.rstrip("\n").split("\t")
            kind = fields[0]
            if kind == "window":
                self.windows.append({"class": fields[1], "visible": fields[2] == "visible",
                                     "path": fields[3], "title": fields[4] if len(fields) > 4
                                     else ""})
            elif kind == "control":
                self.controls[fields[1]] = fields[2] == "enabled"
            elif kind == "process":
                self.processes.append((fields[1].lower(), fields[2]))
            elif kind == "atom":
                self.atom = fields[2] == "1"
            elif kind == "record":
                self.record = self.record or {}
                self.record[fields[1]] = fields[2]
            elif kind == "userkey":
                self.user_key = True

    def running(self, exe):
        return [path for name, path in self.processes if name == exe.lower()]

    def window(self, class_name, visible=None):
        return [w for w in self.windows if w["class"] == class_name and
                (visible is None or w["visible"] == visible)]


class Machine:
    """The Wine prefix, the server and the programs of one e2e session."""

    def __init__(self, bin_dir, work):
        self.bin = os.path.abspath(bin_dir)
        self.work = os.path.abspath(work)
        self.prefix = os.path.join(self.work, "wine")
        self.drive_c = os.path.join(self.prefix, "drive_c")
        self.www = os.path.join(self.work, "www")
        self.env = dict(os.environ, KS_WINEPREFIX=self.prefix, WINEDEBUG="-all")
        os.makedirs(self.work, exist_ok=True)
        self.server = PackageServer(self.www)
        self.setup_dir = os.path.join(self.work, "setup")
        self.setup_exe = os.path.join(self.setup_dir, "keltrasetup.exe")
        self.programs = os.path.join(self.work, "programs")
        shutil.rmtree(self.programs, ignore_errors=True)
        os.makedirs(self.programs)
        self.wine(["cmd", "/c", "echo", "ready"], timeout=300)
        # Xvfb has no window manager: Wine would wait two seconds for one on every hidden
        # window. Unmanaged windows need none.
        self.wine(["reg", "add", "HKCU\\Software\\Wine\\X11 Driver", "/v", "Managed", "/d",
                   "N", "/f"])
        self.pointed = self.repoint(self.server.port)
        # The vendor's catalogue key, another key, and a copy of the program holding the
        # vendor's public key.
        self.keys = os.path.join(self.work, "keys")
        os.makedirs(self.keys, exist_ok=True)
        self.vendor_key = self.make_key("vendor")
        self.other_key = self.make_key("other")
        self.keyed = self.with_key(self.pointed, mkrelease.public_key_text(self.vendor_key))

    # Wine ------------------------------------------------------------------------------

    def wine(self, args, timeout=60, capture=True):
        return subprocess.run([WINE_RUN] + args, env=self.env, timeout=timeout,
                              stdout=subprocess.PIPE if capture else subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL, text=True, errors="replace")

    def tool(self, name):
        return os.path.join(self.bin, name)

    def repoint(self, port):
        """A copy of the built setup program whose server base is this session's server."""
        target = os.path.join(self.programs, "keltrasetup-%d.exe" % port)
        shutil.copyfile(self.tool("keltrasetup.exe"), target)
        result = self.wine([self.tool("listtool.exe"), "set", to_windows(target), "library",
                            str(LISTS.lib["ServerBase"].index), "http://127.0.0.1:%d/" % port])
        if result.returncode != 0:
            raise RuntimeError("listtool set failed: %s" % result.stdout)
        return target

    def make_key(self, name):
        path = os.path.join(self.keys, name + ".pem")
        subprocess.run(["openssl", "ecparam", "-name", "prime256v1", "-genkey", "-noout",
                        "-out", path], check=True)
        return path

    def with_key(self, program, key_text):
        """A copy of program whose library holds key_text as the catalogue key."""
        target = os.path.splitext(program)[0] + "-keyed.exe"
        shutil.copyfile(program, target)
        result = self.wine([self.tool("listtool.exe"), "set", to_windows(target), "library",
                            str(LISTS.lib["CataloguePublicKey"].index), key_text])
        if result.returncode != 0:
            raise RuntimeError("listtool set failed: %s" % result.stdout)
        return target

    # Paths -----------------------------------------------------------------------------

    def c(self, *parts):
        return os.path.join(self.drive_c, *parts)

    def from_windows(self, path):
        """The host path of a C: drive path of the prefix."""
        drive, _, rest = path.partition(":\\")
        if drive.upper() != "C":
            raise ValueError("not a C: drive path: %s" % path)
        return self.c(*[part for part in rest.split("\\") if part])

    @property
    def folders(self):
        """The standard folders as the build under test sees them (a 64-bit program gets
        another Program Files than a 32-bit one), asked once from the driver."""
        if not hasattr(self, "_folders"):
            lines = self.wine([self.tool("kdrive.exe"), "folders"]).stdout.splitlines()
            self._folders = {fields[1]: fields[2] for fields in
                             (line.split("\t") for line in lines) if fields[0] == "folder"}
        return self._folders

    def windows_folder(self, kind, *parts):
        return "\\".join([self.folders[kind]] + list(parts))

    @property
    def windows_install_folder(self):
        return self.windows_folder("ProgramFiles", "Keltra")

    @property
    def windows_data_folder(self):
        return self.windows_folder("CommonDocuments", "Keltra")

    @property
    def install_folder(self):
        return self.from_windows(self.windows_install_folder)

    @property
    def data_folder(self):
        return self.from_windows(self.windows_data_folder)

    @property
    def desktop_link(self):
        return self.from_windows(self.windows_folder("CommonDesktop", "Keltra.lnk"))

    @property
    def menu_folder(self):
        return self.from_windows(self.windows_folder("CommonPrograms", "Keltra"))

    @property
    def temp(self):
        users = self.c("users")
        for name in sorted(os.listdir(users)):
            candidate = os.path.join(users, name, "Temp")
            if name != "Public" and os.path.isdir(candidate):
                return candidate
        raise RuntimeError("no temporary folder in the prefix")

    def setup_log(self):
        """The setup log of the runs so far ("" when there is none)."""
        path = os.path.join(self.temp, LISTS.lib["LogFile"].text)
        if not os.path.exists(path):
            return ""
        with open(path, encoding="latin-1") as f:
            return f.read()

    def work_folders(self):
        return sorted(name for name in os.listdir(self.temp) if name.startswith("kst"))

    # State -----------------------------------------------------------------------------

    def set_environment(self, name, value):
        """A user environment variable of the prefix, seen by programs started afterwards."""
        self.wine(["reg", "add", "HKCU\\Environment", "/v", name, "/d", value, "/f"])


    def reset(self, setup_exe=None):
        """A machine without the product, a fresh server tree and a fresh setup folder."""
        self.wine([self.tool("kdrive.exe"), "reset"])
        for path in (self.install_folder, self.data_folder, self.menu_folder, self.setup_dir,
                     self.www, self.c("Packages"), self.c("silent data"),
                     os.path.join(self.work, "given dir")):
            shutil.rmtree(path, ignore_errors=True)
        if os.path.exists(self.desktop_link):
            os.remove(self.desktop_link)
        for name in self.work_folders():
            shutil.rmtree(os.path.join(self.temp, name), ignore_errors=True)
        for name in (LISTS.lib["LogFile"].text, LISTS.lib["LogFile"].text + ".old"):
            if os.path.exists(os.path.join(self.temp, name)):
                os.remove(os.path.join(self.temp, name))
        os.makedirs(self.setup_dir)
        shutil.copyfile(setup_exe or self.pointed, self.setup_exe)
        self.server.reset()

    def release(self, **options):
        # The setup package carries a setup program that talks to this session's server too.
        options.setdefault("setup_exe", self.pointed)
        return mkrelease.build_release(self.www, self.bin, **options)

    def preinstall(self):
        """Installs the product the way a finished setup leaves it: the agent run on the
        unpacked package with a settings file, then the per-user key the product keeps."""
        paths = self.release()
        stage = os.path.join(self.work, "stage")
        shutil.rmtree(stage, ignore_errors=True)
        os.makedirs(stage)
        package = os.path.join(stage, "Keltra.zip")
        shutil.copyfile(paths["product"], package)
        import zipfile
        with zipfile.ZipFile(package) as archive:
            archive.extractall(stage)
        with zipfile.ZipFile(os.path.join(stage, "agent.zip")) as archive:
            archive.extractall(stage)
        with open(os.path.join(stage, "Keltra.ini"), "w", newline="\r\n") as f:
            f.write("[Keltra]\nAppFolder=%s\\\nPubData=%s\\\nDesktopIcon=%s\\\nAppMenu=%s\\\n"
                    "AllUser=1\n" % (self.windows_install_folder, self.windows_data_folder,
                                      self.windows_folder("CommonDesktop"),
                                      self.windows_folder("CommonPrograms", "Keltra")))
        result = self.wine([to_windows(os.path.join(stage, "kagent.exe")),
                            "INSTALL:" + to_windows(package), "x"])
        if result.returncode != 0 or not os.path.exists(os.path.join(self.install_folder,
                                                                     "keltra.exe")):
            raise RuntimeError("preinstall failed (agent exit %d)" % result.returncode)
        self.wine([self.tool("kdrive.exe"), "userkey"])
        shutil.rmtree(stage, ignore_errors=True)

    def start_product(self, exe=None):
        """Starts the product (or a stand-in) and waits until its window is there."""
        program = exe or os.path.join(self.install_folder, "keltra.exe")
        process = subprocess.Popen([WINE_RUN, program], env=self.env,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for _ in range(100):
            if self.probe().window("TKeltraMainWindow"):
                return process
            time.sleep(0.2)
        raise RuntimeError("the product window did not appear")

    def probe(self):
        return State(self.wine([self.tool("kdrive.exe"), "probe"]).stdout.splitlines())

    # Runs ------------------------------------------------------------------------------

    def run_setup(self, args=(), steps=(), timeout=90, exe=None, successor=False):
        """Runs the setup program with the driver answering `steps`; returns a Run. With
        `successor`, the run lasts until the setup program it handed over to has ended too."""
        stop_file = os.path.join(self.work, "driver.stop")
        if os.path.exists(stop_file):
            os.remove(stop_file)
        events = []
        start = time.monotonic()
        driver = subprocess.Popen([WINE_RUN, self.tool("kdrive.exe"), "answer",
                                   to_windows(stop_file)] + list(steps),
                                  env=self.env, stdout=subprocess.PIPE,
                                  stderr=subprocess.DEVNULL, text=True, errors="replace")

        def read_events():
            for line in driver.stdout:
                events.append((time.monotonic() - start,) + tuple(line.rstrip("\n").split("\t")))

        reader = threading.Thread(target=read_events, daemon=True)
        reader.start()
        setup = subprocess.Popen([WINE_RUN, exe or self.setup_exe] + list(args), env=self.env,
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        timed_out = False
        try:
            exit_code = setup.wait(timeout)
        except subprocess.TimeoutExpired:
            timed_out = True
            exit_code = None
        if successor and not timed_out:
            timed_out = self.wait_for_setup_end(max(1, timeout - (time.monotonic() - start))) \
                is None
        seconds = time.monotonic() - start
        if timed_out:
            # Ends the stuck Windows processes; the wine-run process follows.
            self.wine([self.tool("kdrive.exe"), "reset"])
            try:
                setup.wait(20)
            except subprocess.TimeoutExpired:
                setup.kill()
        open(stop_file, "w").close()
        try:
            driver.wait(20)
        except subprocess.TimeoutExpired:
            driver.kill()
        reader.join(5)
        return Run(exit_code, events, seconds, timed_out)

    def wait_for_setup_end(self, timeout=60):
        """Waits until no setup process is left (a successor the run started, say)."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            state = self.probe()
            if not state.running("keltrasetup.exe"):
                return state
            time.sleep(0.5)
        return None

    def close(self):
        self.server.stop()
        self.wine([self.tool("kdrive.exe"), "reset"])
        # The wineserver of this session's own prefix, which wine-run started for it.
        subprocess.run(["wineserver", "-k"], env=dict(os.environ, WINEPREFIX=self.prefix),
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)
