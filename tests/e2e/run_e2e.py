#!/usr/bin/env python3
"""Whole runs of keltrasetup.exe under Wine against a package server on 127.0.0.1: every
kind of run the command line selects and the failures around them. Each test looks at the
files, the registry, the processes and the windows afterwards.

    run_e2e.py --bin BUILD/bin --work BUILD/e2e [-k NAME]
"""

import argparse
import os
import shutil
import sys
import time
import unittest
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import CATALOGUE, PRODUCT_FILES, PRODUCT_PACKAGE, SETUP_PACKAGE  # noqa: E402

MACHINE = None
SETUP_CLASS = "TFrmInstall"
PRODUCT_CLASS = "TKeltraMainWindow"


class SetupRuns(unittest.TestCase):
    maxDiff = None

    def setUp(self):
        self.m = MACHINE
        self.m.reset()

    # Checks shared by the tests --------------------------------------------------------

    def assertEnded(self, run):
        self.assertFalse(run.timed_out, "the setup program did not end: %s" % (run.events,))

    def assertInstalled(self, state, data_folder=None):
        for name in PRODUCT_FILES:
            self.assertTrue(os.path.isfile(os.path.join(self.m.install_folder, name)), name)
        self.assertIsNotNone(state.record, "no machine-wide record")
        self.assertEqual(state.record["AppFolder"], self.m.windows_install_folder + "\\")
        self.assertEqual(state.record["PubData"], data_folder or self.m.windows_data_folder + "\\")
        self.assertEqual(state.record["AllUser"], "1")
        self.assertTrue(os.path.isfile(self.m.desktop_link))
        self.assertTrue(os.path.isfile(os.path.join(self.m.menu_folder, "Keltra.lnk")))

    def assertNothingInstalled(self, state):
        self.assertFalse(os.path.exists(os.path.join(self.m.install_folder, "keltra.exe")))
        self.assertIsNone(state.record)

    def assertProductRunning(self, state, running=True):
        # A product started without waiting may still be on its way up.
        for _ in range(40):
            if not running or (state.window(PRODUCT_CLASS, visible=True) and state.atom):
                break
            time.sleep(0.25)
            state = self.m.probe()
        self.assertEqual(bool(state.window(PRODUCT_CLASS, visible=True)), running)
        self.assertEqual(state.atom, running)
        self.assertEqual(bool(state.running("keltra.exe")), running)

    def assertNoSetupLeft(self, state):
        self.assertEqual(state.running("keltrasetup.exe"), [])
        self.assertEqual(state.window(SETUP_CLASS), [])

    def assertForms(self, run, expected, note=None):
        """expected: (buttons, pressed) per form, in order; nothing unexpected."""
        seen = [(e[2], e[4]) for e in run.forms()]
        self.assertEqual(seen, expected, note)
        self.assertEqual(run.forms("unexpected") + run.forms("unexpected-errorbox") +
                         run.forms("missing"), [])

    # First installation ----------------------------------------------------------------

    def test_first_installation_through_the_window(self):
        self.m.release()
        run = self.m.run_setup(steps=["install", "yes"])
        self.assertEnded(run)
        self.assertEqual(run.exit_code, 0)
        self.assertForms(run, [("2", "Yes")])
        state = self.m.probe()
        self.assertInstalled(state)
        self.assertProductRunning(state)
        self.assertNoSetupLeft(state)
        self.assertEqual(self.m.work_folders(), [], "work folder left behind")
        log = self.m.server.log
        self.assertEqual(log.count("GET", CATALOGUE), 1)
        self.assertEqual(log.count("GET", PRODUCT_PACKAGE), 1)
        self.assertEqual(log.count("GET", SETUP_PACKAGE), 0)
        # Without a catalogue key no signature is asked for.
        self.assertEqual(self.m.server.log.count("GET", CATALOGUE + ".sig"), 0)
        # A downloaded package does not go into the cache.
        self.assertFalse(os.path.exists(os.path.join(self.m.data_folder, "Packages",
                                                     "Keltra.zip")))

    def test_cut_download_is_resumed_in_the_same_run(self):
        paths = self.m.release()
        cut = os.path.getsize(paths["product"]) * 3 // 10
        self.m.server.server.cut_first[PRODUCT_PACKAGE] = cut
        run = self.m.run_setup(steps=["install", "no"])
        self.assertEnded(run)
        self.assertInstalled(self.m.probe())
        log = self.m.server.log
        self.assertEqual(log.count("GET", PRODUCT_PACKAGE), 1)
        self.assertEqual(log.count("GET", "%s range=bytes=%d-" % (PRODUCT_PACKAGE, cut)), 1,
                         log.lines)
        cache = os.path.join(self.m.data_folder, "Packages")
        left = os.listdir(cache) if os.path.isdir(cache) else []
        self.assertEqual(left, [], "the partial file goes once the package is complete")

    def test_lzma_package_installs(self):
        paths = self.m.release(method="lzma")
        with zipfile.ZipFile(paths["product"]) as package:
            self.assertEqual({i.compress_type for i in package.infolist()}, {zipfile.ZIP_LZMA})
        run = self.m.run_setup(steps=["install", "no"])
        self.assertEnded(run)
        self.assertForms(run, [("2", "No")])
        state = self.m.probe()
        self.assertInstalled(state)
        self.assertEqual(self.m.work_folders(), [])

    def test_silent_pair_without_installed_product_shows_the_window(self):
        self.m.release()
        run = self.m.run_setup(args=["INSTALL", "DATA:C:\\silent data"],
                               steps=["install", "no"])
        self.assertEnded(run)
        self.assertForms(run, [("2", "No")])
        state = self.m.probe()
        # Installed from the window, with the default data folder; the product not started.
        self.assertInstalled(state)
        self.assertProductRunning(state, False)
        self.assertEqual(self.m.work_folders(), [])

    def test_local_package_beside_the_program_is_not_downloaded(self):
        paths = self.m.release()
        local = os.path.join(self.m.setup_dir, "Package")
        os.makedirs(local)
        shutil.copyfile(paths["product"], os.path.join(local, "Keltra.zip"))
        run = self.m.run_setup(steps=["install", "no"])
        self.assertEnded(run)
        state = self.m.probe()
        self.assertInstalled(state)
        self.assertEqual(self.m.server.log.count("GET", CATALOGUE), 1)
        self.assertEqual(self.m.server.log.count("GET", PRODUCT_PACKAGE), 0)

    def test_package_path_with_blank_is_passed_quoted(self):
        # A temporary folder with a blank puts one into the package path the agent gets.
        temp = self.m.c("temp with blank")
        os.makedirs(temp, exist_ok=True)
        self.addCleanup(shutil.rmtree, temp, True)
        for name in ("TMP", "TEMP"):
            self.m.set_environment(name, "C:\\temp with blank")
            self.addCleanup(self.m.set_environment, name, "C:\\users\\%s\\Temp" %
                            os.path.basename(os.path.dirname(self.m.temp)))
        # An agent that leaves no marker keeps the work folder there to look at.
        self.m.release(agent=self.m.tool("kagent_nomarker.exe"))
        run = self.m.run_setup(steps=["install", "close@30000"])
        self.assertEnded(run)
        self.assertForms(run, [])
        folders = [n for n in os.listdir(temp) if n.startswith("kst")]
        self.assertEqual(len(folders), 1)
        self.assertIn("Keltra.ini", os.listdir(os.path.join(temp, folders[0])))
        # The agent found its settings beside the package: it got the whole path.
        state = self.m.probe()
        self.assertTrue(os.path.isfile(os.path.join(self.m.install_folder, "keltra.exe")))
        self.assertIsNotNone(state.record)

    def test_catalogue_file_name_cannot_leave_the_work_folder(self):
        paths = self.m.release()
        with open(paths["catalogue"]) as f:
            text = f.read()
        with open(paths["catalogue"], "w", newline="") as f:
            f.write(text.replace("zip=Keltra.zip", "zip=..\\..\\Keltra.zip"))
        run = self.m.run_setup(steps=["install", "no"])
        self.assertEnded(run)
        state = self.m.probe()
        self.assertInstalled(state)
        users = os.path.dirname(os.path.dirname(self.m.temp))
        self.assertFalse(os.path.exists(os.path.join(users, "Keltra.zip")))
        self.assertFalse(os.path.exists(os.path.join(os.path.dirname(self.m.temp),
                                                     "Keltra.zip")))

    # Installed product -----------------------------------------------------------------

    def test_reinstall_answered_no_changes_nothing(self):
        self.m.preinstall()
        before = os.path.getmtime(os.path.join(self.m.install_folder, "keltra.exe"))
        run = self.m.run_setup(steps=["no"])
        self.assertEnded(run)
        self.assertForms(run, [("2", "No")])
        state = self.m.probe()
        self.assertInstalled(state)
        self.assertTrue(state.user_key)
        self.assertEqual(os.path.getmtime(os.path.join(self.m.install_folder, "keltra.exe")),
                         before)
        self.assertEqual(self.m.server.log.count("GET", PRODUCT_PACKAGE), 0)
        self.assertEqual(self.m.work_folders(), [])
        self.assertNoSetupLeft(state)

    def test_reinstall_closes_the_running_product_and_user_declines_to_start_it(self):
        self.m.preinstall()
        self.m.start_product()
        run = self.m.run_setup(steps=["yes", "no"])
        self.assertEnded(run)
        self.assertForms(run, [("2", "Yes"), ("2", "No")])
        state = self.m.probe()
        self.assertInstalled(state)
        self.assertProductRunning(state, False)
        self.assertFalse(state.user_key, "per-user key not removed")
        self.assertEqual(self.m.work_folders(), [])
        self.assertEqual(self.m.server.log.count("GET", PRODUCT_PACKAGE), 1)
        self.assertNoSetupLeft(state)

    def test_product_ignoring_the_close_request_ends_the_run(self):
        self.m.preinstall()
        self.m.start_product(self.m.tool("keltra_stubborn.exe"))
        run = self.m.run_setup(steps=["yes", "ok"])
        self.assertEnded(run)
        self.assertForms(run, [("2", "Yes"), ("1", "Ok")])
        asked, refused = run.forms()[0][0], run.forms()[1][0]
        self.assertGreater(refused - asked, 4.5, "message 29 came before the five-second wait")
        state = self.m.probe()
        self.assertTrue(state.running("keltra_stubborn.exe"))
        self.assertEqual(self.m.server.log.count("GET", PRODUCT_PACKAGE), 0)
        self.assertEqual(self.m.work_folders(), [])
        self.assertNoSetupLeft(state)

    def test_silent_reinstall_with_data_folder(self):
        self.m.preinstall()
        run = self.m.run_setup(args=["INSTALL", "DATA:C:\\silent data"])
        self.assertEnded(run)
        self.assertForms(run, [])
        state = self.m.probe()
        self.assertInstalled(state, data_folder="C:\\silent data\\")
        self.assertTrue(os.path.isdir(self.m.c("silent data")))
        self.assertProductRunning(state)
        self.assertFalse(state.user_key)
        left = self.m.work_folders()
        self.assertEqual(left, [], [os.listdir(os.path.join(self.m.temp, f)) for f in left])
        self.assertNoSetupLeft(state)

    def test_silent_word_without_second_argument_asks_as_usual(self):
        self.m.preinstall()
        run = self.m.run_setup(args=["INSTALL"], steps=["yes", "yes"])
        self.assertEnded(run)
        self.assertForms(run, [("2", "Yes"), ("2", "Yes")])
        state = self.m.probe()
        self.assertInstalled(state)
        self.assertProductRunning(state)
        self.assertEqual(self.m.work_folders(), [])

    def test_cached_package_is_used_without_download(self):
        self.m.preinstall()
        paths = self.m.release()
        cache = os.path.join(self.m.data_folder, "Packages")
        os.makedirs(cache, exist_ok=True)
        shutil.copyfile(paths["product"], os.path.join(cache, "Keltra.zip"))
        run = self.m.run_setup(steps=["yes", "yes"])
        self.assertEnded(run)
        self.assertForms(run, [("2", "Yes"), ("2", "Yes")])
        state = self.m.probe()
        self.assertInstalled(state)
        self.assertProductRunning(state)
        self.assertEqual(self.m.server.log.count("GET", CATALOGUE), 1)
        self.assertEqual(self.m.server.log.count("GET", PRODUCT_PACKAGE), 0)

    def test_given_package_with_blank_in_its_path(self):
        self.m.preinstall()
        paths = self.m.release()
        given = os.path.join(self.m.work, "given dir")
        os.makedirs(given)
        shutil.copyfile(paths["product"], os.path.join(given, "Keltra.zip"))
        with open(os.path.join(given, "keep.txt"), "w") as f:
            f.write("the user's own file")
        os.remove(os.path.join(self.m.install_folder, "readme.txt"))
        run = self.m.run_setup(args=["PACKAGE:" + harness.to_windows(
            os.path.join(given, "Keltra.zip"))])
        self.assertEnded(run)
        self.assertForms(run, [])
        state = self.m.probe()
        self.assertInstalled(state)
        self.assertProductRunning(state)
        # Only what the run put beside the package goes; the user's files stay.
        self.assertEqual(sorted(os.listdir(given)), ["Keltra.zip", "keep.txt"])
        self.assertEqual(self.m.server.log.count("GET", PRODUCT_PACKAGE), 0)
        self.assertNoSetupLeft(state)

    def test_removal_run_without_update_check(self):
        self.m.preinstall()
        run = self.m.run_setup(args=["REMOVE"])
        self.assertEnded(run)
        self.assertForms(run, [])
        state = self.m.probe()
        self.assertIsNone(state.record)
        self.assertFalse(state.user_key)
        for name in ("keltra.exe", "readme.txt", "keltra.ico"):
            self.assertFalse(os.path.exists(os.path.join(self.m.install_folder, name)), name)
        self.assertFalse(os.path.exists(self.m.desktop_link))
        self.assertEqual(self.m.server.log.lines, [], "a removal run asked the server")
        self.assertNoSetupLeft(state)

    # Failures --------------------------------------------------------------------------

    def test_unreachable_catalogue_ends_with_message(self):
        self.m.reset(setup_exe=self.m.repoint(harness.free_port()))
        self.m.release()
        run = self.m.run_setup(steps=["ok"])
        self.assertEnded(run)
        self.assertForms(run, [("1", "Ok")], (run.exit_code, run.events))
        state = self.m.probe()
        self.assertNothingInstalled(state)
        self.assertNoSetupLeft(state)
        self.assertEqual(self.m.work_folders(), [])
        # The run's cause is in the setup log, after the start with the run decided.
        log = self.m.setup_log()
        self.assertRegex(log, r"started, arguments \[\], installed in \"\": first installation")
        self.assertRegex(log, r"catalogue http://127\.0\.0\.1:\d+/packages/Keltra\.ini could "
                              r"not be fetched")
        self.assertIn("catalogue: Internet Error ", log)

    def test_failed_download_keeps_the_window_open(self):
        # A server of its own that goes away once it has given out the catalogue.
        server = harness.PackageServer(self.m.www)
        self.addCleanup(server.stop)
        server.server.last = {CATALOGUE}
        self.m.reset(setup_exe=self.m.repoint(server.port))
        self.m.release()
        run = self.m.run_setup(steps=["install", "ok", "close"])
        self.assertEnded(run)
        self.assertForms(run, [("1", "Ok")])
        self.assertIn(("pressed", "&Close"), [e[1:3] for e in run.events])
        state = self.m.probe()
        self.assertNothingInstalled(state)
        # The work folder stays, without a package in it.
        folders = self.m.work_folders()
        self.assertEqual(len(folders), 1)
        self.assertEqual(os.listdir(os.path.join(self.m.temp, folders[0])), [],
                         server.log.lines)

    def test_damaged_package_is_not_installed(self):
        paths = self.m.release()
        with open(paths["product"], "r+b") as f:
            f.seek(0)
            f.write(b"\0" * 64)  # the first member's header and data are gone
        run = self.m.run_setup(steps=["install", "ok", "close"])
        self.assertEnded(run)
        self.assertForms(run, [("1", "Ok")])
        state = self.m.probe()
        self.assertNothingInstalled(state)
        self.assertFalse(state.running("kagent.exe"))
        self.assertEqual(len(self.m.work_folders()), 1)

    def test_missing_agent_ends_silently(self):
        self.m.release(inner_archive=False)
        run = self.m.run_setup(steps=["install", "close@20000"])
        self.assertEnded(run)
        self.assertForms(run, [])
        state = self.m.probe()
        self.assertNothingInstalled(state)
        folders = self.m.work_folders()
        self.assertEqual(len(folders), 1)
        self.assertIn("keltra.exe", os.listdir(os.path.join(self.m.temp, folders[0])))

    def test_agent_without_marker_is_a_failed_installation(self):
        self.m.release(agent=self.m.tool("kagent_nomarker.exe"))
        run = self.m.run_setup(steps=["install", "close@30000"])
        self.assertEnded(run)
        self.assertForms(run, [])
        state = self.m.probe()
        # The agent placed the product, but without its marker nothing counts as done.
        self.assertTrue(os.path.isfile(os.path.join(self.m.install_folder, "keltra.exe")))
        self.assertProductRunning(state, False)
        self.assertEqual(len(self.m.work_folders()), 1)

    # Package integrity -----------------------------------------------------------------

    # (run, where the changed package lies, the catalogue's sha256, installed). The changed
    # byte still unpacks: only the digest can tell.
    CHANGED_PACKAGE_RUNS = [
        ("beside the program", "beside", "digest", False),
        ("in the cache: deleted and downloaded again", "cache", "digest", True),
        ("on the server", "server", "digest", False),
        ("on the server, old catalogue", "server", None, True),
        ("unchanged, malformed digest", "unchanged", "malformed", False),
    ]

    def change_one_byte(self, path):
        with open(path, "r+b") as f:
            f.seek(10)  # the first member's modification time
            byte = f.read(1)[0]
            f.seek(10)
            f.write(bytes([byte ^ 1]))

    def test_changed_product_package_from_each_source(self):
        for name, source, digest, installed in self.CHANGED_PACKAGE_RUNS:
            with self.subTest(name):
                self.m.reset()
                if source == "cache":
                    self.m.preinstall()
                paths = self.m.release(sha256=digest is not None)
                if digest == "malformed":
                    with open(paths["catalogue"], "rb") as f:
                        text = f.read().replace(b"sha256=", b"sha256=0")
                    with open(paths["catalogue"], "wb") as f:
                        f.write(text)
                changed = {"beside": os.path.join(self.m.setup_dir, "Package", "Keltra.zip"),
                           "cache": os.path.join(self.m.data_folder, "Packages", "Keltra.zip"),
                           "server": paths["product"]}.get(source)
                if changed and changed != paths["product"]:
                    os.makedirs(os.path.dirname(changed), exist_ok=True)
                    shutil.copyfile(paths["product"], changed)
                if changed:
                    self.change_one_byte(changed)
                first = "yes" if source == "cache" else "install"
                steps = [first, "no"] if installed else [first, "ok", "close"]
                run = self.m.run_setup(steps=steps)
                self.assertEnded(run)
                state = self.m.probe()
                if installed:
                    self.assertInstalled(state)
                    self.assertEqual(self.m.work_folders(), [])
                else:
                    self.assertForms(run, [("1", "Ok")])
                    self.assertIn("Keltra.zip has SHA-256" if digest == "digest" else
                                  "is no digest", self.m.setup_log())
                    self.assertNothingInstalled(state)
                    self.assertFalse(state.running("kagent.exe"))
                    folders = self.m.work_folders()
                    self.assertEqual(len(folders), 1)
                    self.assertEqual(os.listdir(os.path.join(self.m.temp, folders[0])), [],
                                     "the package that did not match stays")
                if source == "cache":
                    self.assertEqual(self.m.server.log.count("GET", PRODUCT_PACKAGE), 1)
                    self.assertFalse(os.path.exists(changed), "the changed copy stays cached")

    def test_changed_setup_package_is_deleted_and_the_running_setup_installs(self):
        paths = self.m.release(setup_version="1.0.0.1")
        self.change_one_byte(paths["setup"])
        run = self.m.run_setup(steps=["ok", "install", "no"])
        self.assertEnded(run)
        self.assertForms(run, [("1", "Ok"), ("2", "No")])
        self.assertIn("KELTRASETUP.zip has SHA-256", self.m.setup_log())
        installer = [e for e in run.events if e[1] == "pressed"]
        self.assertEqual(installer[0][3].lower(), harness.to_windows(self.m.setup_exe).lower())
        self.assertInstalled(self.m.probe())
        self.assertEqual(self.m.work_folders(), [], "the changed setup package stays")

    # Signed catalogue ------------------------------------------------------------------

    def test_signed_catalogue_lets_the_setup_install_and_update(self):
        self.m.reset(setup_exe=self.m.keyed)
        # The offered setup holds the key too, so it accepts the catalogue after the hand-over.
        self.m.release(setup_version="1.0.0.1", setup_exe=self.m.keyed,
                       sign_key=self.m.vendor_key)
        run = self.m.run_setup(steps=["install", "no"], successor=True)
        self.assertEnded(run)
        self.assertForms(run, [("2", "No")])
        installer = [e for e in run.events if e[1] == "pressed" and e[2] == "install"]
        self.assertIn("\\Temp\\kst", installer[0][3], "the window was not the new setup's")
        self.assertInstalled(self.m.wait_for_setup_end())
        self.assertEqual(self.m.server.log.count("GET", SETUP_PACKAGE), 1)
        self.assertEqual(self.m.server.log.count("GET", CATALOGUE + ".sig"), 2)

    # (run, how the catalogue is served): each counts as a catalogue never received.
    UNTRUSTED_CATALOGUE_RUNS = [
        ("changed after signing", "changed", "has a signature that does not verify"),
        ("signed with another key", "other key", "has a signature that does not verify"),
        ("without a signature", "unsigned", "has no signature"),
    ]

    def test_catalogue_without_a_good_signature_ends_the_run_as_unreachable(self):
        for name, served, logged in self.UNTRUSTED_CATALOGUE_RUNS:
            with self.subTest(name):
                self.m.reset(setup_exe=self.m.keyed)
                key = {"changed": self.m.vendor_key, "other key": self.m.other_key}.get(served)
                paths = self.m.release(setup_version="1.0.0.1", sign_key=key)
                if served == "changed":
                    with open(paths["catalogue"], "ab") as f:
                        f.write(b"; one more line\r\n")
                run = self.m.run_setup(steps=["ok"])
                self.assertEnded(run)
                self.assertForms(run, [("1", "Ok")])
                self.assertNothingInstalled(self.m.probe())
                self.assertEqual(self.m.server.log.count("GET", SETUP_PACKAGE), 0)
                self.assertEqual(self.m.server.log.count("GET", PRODUCT_PACKAGE), 0)
                self.assertIn("/packages/Keltra.ini " + logged, self.m.setup_log())

    # Setup updates ---------------------------------------------------------------------

    def test_newer_setup_is_downloaded_and_takes_over(self):
        self.m.release(setup_version="1.0.0.1")
        run = self.m.run_setup(steps=["install", "yes"], successor=True)
        self.assertEnded(run)
        self.assertForms(run, [("2", "Yes")])
        installer = [e for e in run.events if e[1] == "pressed" and e[2] == "install"]
        self.assertEqual(len(installer), 1)
        self.assertIn("\\Temp\\kst", installer[0][3], "the window was not the new setup's")
        state = self.m.wait_for_setup_end()
        self.assertIsNotNone(state, "the new setup did not end")
        self.assertInstalled(state)
        self.assertProductRunning(state)
        self.assertEqual(self.m.server.log.count("GET", SETUP_PACKAGE), 1)
        # Without a data folder there is no cache, and never one at the drive root.
        self.assertFalse(os.path.exists(self.m.c("Packages")))

    def test_newer_setup_is_cached_and_gets_the_same_arguments(self):
        self.m.preinstall()
        self.m.release(setup_version="1.0.0.1")
        run = self.m.run_setup(args=["INSTALL", "DATA:C:\\silent data"], successor=True)
        self.assertEnded(run)
        self.assertForms(run, [])
        state = self.m.wait_for_setup_end()
        self.assertIsNotNone(state, "the new setup did not end")
        # The successor ran silently with the blank-holding second argument intact.
        self.assertInstalled(state, data_folder="C:\\silent data\\")
        self.assertProductRunning(state)
        self.assertTrue(os.path.isfile(os.path.join(self.m.data_folder, "Packages",
                                                    "KELTRASETUP.zip")))
        self.assertEqual(self.m.server.log.count("GET", SETUP_PACKAGE), 1)

    def test_cached_setup_package_is_not_downloaded_again(self):
        self.m.preinstall()
        paths = self.m.release(setup_version="1.0.0.1")
        cache = os.path.join(self.m.data_folder, "Packages")
        os.makedirs(cache, exist_ok=True)
        shutil.copyfile(paths["setup"], os.path.join(cache, "KELTRASETUP.zip"))
        run = self.m.run_setup(steps=["yes", "no"], successor=True)
        self.assertEnded(run)
        self.assertForms(run, [("2", "Yes"), ("2", "No")])
        state = self.m.wait_for_setup_end()
        self.assertIsNotNone(state)
        self.assertInstalled(state)
        self.assertEqual(self.m.server.log.count("GET", SETUP_PACKAGE), 0)
        self.assertEqual(self.m.server.log.count("GET", CATALOGUE), 2)
        # Both questions came from the successor, unpacked into a fresh work folder.
        for form in run.forms():
            self.assertIn("\\Temp\\kst", form[5])

    def test_cached_setup_of_another_version_is_fetched_again(self):
        # Setup packages always carry the same name: a cached older one must not start
        # itself over and over once a newer one is offered.
        self.m.preinstall()
        older = self.m.release(setup_version="1.0.0.1")
        cache = os.path.join(self.m.data_folder, "Packages")
        os.makedirs(cache, exist_ok=True)
        shutil.copyfile(older["setup"], os.path.join(cache, "KELTRASETUP.zip"))
        paths = self.m.release(setup_version="1.0.0.2")
        run = self.m.run_setup(steps=["yes", "no"], successor=True)
        self.assertEnded(run)
        self.assertForms(run, [("2", "Yes"), ("2", "No")])
        state = self.m.wait_for_setup_end()
        self.assertIsNotNone(state)
        self.assertInstalled(state)
        self.assertEqual(self.m.server.log.count("GET", SETUP_PACKAGE), 1)
        with open(os.path.join(cache, "KELTRASETUP.zip"), "rb") as cached, \
                open(paths["setup"], "rb") as offered:
            self.assertEqual(cached.read(), offered.read(), "the cache keeps the offered one")

    def test_setup_update_that_cannot_be_fetched_leaves_the_running_setup(self):
        paths = self.m.release(setup_version="1.0.0.1")
        os.remove(paths["setup"])
        run = self.m.run_setup(steps=["install", "no"])
        self.assertEnded(run)
        installer = [e for e in run.events if e[1] == "pressed"]
        self.assertEqual(len(installer), 1)
        self.assertEqual(installer[0][3].lower(),
                         harness.to_windows(self.m.setup_exe).lower())
        state = self.m.probe()
        self.assertInstalled(state)
        self.assertEqual(self.m.server.log.count("GET", SETUP_PACKAGE), 1)

    def test_removal_without_installed_agent_reports_and_keeps_the_record(self):
        self.m.preinstall()
        os.remove(os.path.join(self.m.install_folder, "kagent.exe"))
        run = self.m.run_setup(args=["REMOVE"], steps=["errorbox", "close"])
        self.assertEnded(run)
        boxes = run.forms("errorbox")
        self.assertEqual(len(boxes), 1)
        self.assertIn("System Error.  Code: 2.", boxes[0][2])
        state = self.m.probe()
        self.assertIsNotNone(state.record)
        self.assertTrue(state.user_key)
        self.assertTrue(os.path.isfile(os.path.join(self.m.install_folder, "keltra.exe")))
        self.assertEqual(self.m.server.log.lines, [])


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bin", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("-k", dest="patterns", action="append", default=[])
    args = parser.parse_args()
    global MACHINE
    started = time.monotonic()
    MACHINE = harness.Machine(args.bin, args.work)
    try:
        loader = unittest.TestLoader()
        if args.patterns:
            loader.testNamePatterns = ["*%s*" % p for p in args.patterns]
        suite = loader.loadTestsFromTestCase(SetupRuns)
        result = unittest.TextTestRunner(verbosity=2).run(suite)
    finally:
        MACHINE.close()
    print("e2e: %.0f s" % (time.monotonic() - started))
    return 0 if result.wasSuccessful() else 1


if __name__ == "__main__":
    sys.exit(main())
