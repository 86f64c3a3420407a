#!/usr/bin/env python3
"""The release tool: catalogue sizes and versions, package contents, version patching."""

import configparser
import hashlib
import importlib.machinery
import os
import struct
import sys
import tempfile
import unittest
import zipfile

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
mkrelease = importlib.machinery.SourceFileLoader(
    "mkrelease", os.path.join(ROOT, "tools", "mkrelease")).load_module()


def fake_program(version=(1, 0, 0, 0), marker=b"program"):
    """Bytes that carry a fixed file version block the way a version resource does."""
    ms = (version[0] << 16) | version[1]
    ls = (version[2] << 16) | version[3]
    return (b"MZ" + marker + b"\0" * 30 + struct.pack("<I", 0xFEEF04BD) + struct.pack("<I", 0x10000)
            + struct.pack("<IIII", ms, ls, ms, ls) + b"\0" * 20)


class ReleaseTree(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.bin = os.path.join(self.folder.name, "bin")
        self.out = os.path.join(self.folder.name, "www")
        os.makedirs(self.bin)
        for name, data in (("keltrasetup.exe", fake_program((1, 2, 3, 4), b"setup")),
                           ("keltra.exe", b"MZ product"), ("kagent.exe", b"MZ agent")):
            with open(os.path.join(self.bin, name), "wb") as f:
                f.write(data)

    def tearDown(self):
        self.folder.cleanup()

    def catalogue(self, paths):
        parser = configparser.ConfigParser()
        parser.read(paths["catalogue"])
        return parser

    def test_catalogue_holds_exact_sizes_and_versions(self):
        paths = mkrelease.build_release(self.out, self.bin, product_version="2.0.0.7")
        self.assertEqual(paths["catalogue"], os.path.join(self.out, "packages", "Keltra.ini"))
        catalogue = self.catalogue(paths)
        self.assertEqual(catalogue["KELTRASETUP"]["zip"], "KELTRASETUP.zip")
        self.assertEqual(catalogue["KELTRASETUP"]["version"], "1.2.3.4")
        self.assertEqual(int(catalogue["KELTRASETUP"]["size"]), os.path.getsize(paths["setup"]))
        self.assertEqual(catalogue["Keltra"]["zip"], "Keltra.zip")
        self.assertEqual(catalogue["Keltra"]["version"], "2.0.0.7")
        self.assertEqual(int(catalogue["Keltra"]["size"]), os.path.getsize(paths["product"]))
        for section, package in (("KELTRASETUP", "setup"), ("Keltra", "product")):
            with open(paths[package], "rb") as f:
                self.assertEqual(catalogue[section]["sha256"], hashlib.sha256(f.read()).hexdigest())
        paths = mkrelease.build_release(self.out, self.bin, sha256=False)
        self.assertNotIn("sha256", self.catalogue(paths)["Keltra"])

    def test_product_package_carries_the_agent_in_its_inner_archive(self):
        paths = mkrelease.build_release(self.out, self.bin)
        with zipfile.ZipFile(paths["product"]) as package:
            names = package.namelist()
            self.assertIn("keltra.exe", names)
            self.assertIn("readme.txt", names)
            self.assertNotIn("kagent.exe", names)
            with zipfile.ZipFile(package.open("agent.zip")) as inner:
                self.assertEqual(inner.namelist(), ["kagent.exe"])
                self.assertEqual(inner.read("kagent.exe"), b"MZ agent")

    def test_package_without_inner_archive_and_with_payload(self):
        paths = mkrelease.build_release(self.out, self.bin, inner_archive=False,
                                        payload_size=100000)
        with zipfile.ZipFile(paths["product"]) as package:
            self.assertNotIn("agent.zip", package.namelist())
            self.assertEqual(package.getinfo("keltra.dat").file_size, 100000)
        self.assertGreater(os.path.getsize(paths["product"]), 100000)

    def test_method_compresses_every_member_of_both_packages_and_the_inner_archive(self):
        for name, compression in mkrelease.METHODS.items():
            with self.subTest(method=name):
                paths = mkrelease.build_release(self.out, self.bin, payload_size=1000,
                                                method=name)
                for package_path in (paths["product"], paths["setup"]):
                    with zipfile.ZipFile(package_path) as package:
                        self.assertEqual({i.compress_type for i in package.infolist()},
                                         {compression})
                        if "agent.zip" in package.namelist():
                            with zipfile.ZipFile(package.open("agent.zip")) as inner:
                                self.assertEqual(inner.infolist()[0].compress_type, compression)
                                self.assertEqual(inner.read("kagent.exe"), b"MZ agent")

    def test_offered_setup_version_is_written_into_the_packaged_program(self):
        paths = mkrelease.build_release(self.out, self.bin, setup_version="1.2.3.5")
        with zipfile.ZipFile(paths["setup"]) as package:
            self.assertEqual(package.namelist(), ["keltrasetup.exe"])
            program = package.read("keltrasetup.exe")
        self.assertEqual(mkrelease.fixed_file_version(program), "1.2.3.5")
        self.assertEqual(self.catalogue(paths)["KELTRASETUP"]["version"], "1.2.3.5")
        # The built program itself is left as it was.
        with open(os.path.join(self.bin, "keltrasetup.exe"), "rb") as f:
            self.assertEqual(mkrelease.fixed_file_version(f.read()), "1.2.3.4")

    def test_bad_versions_and_programs_without_version_are_refused(self):
        with self.assertRaises(ValueError):
            mkrelease.build_release(self.out, self.bin, setup_version="1.2.3")
        with self.assertRaises(ValueError):
            mkrelease.build_release(self.out, self.bin, product_version="1.2.x.4")
        # Each part is one byte to the setup program: 1.0.0.256 would read as 1.0.0.0.
        with self.assertRaises(ValueError):
            mkrelease.build_release(self.out, self.bin, setup_version="1.0.0.256")
        with self.assertRaises(ValueError):
            mkrelease.catalogue_text([("KELTRASETUP", "s.zip", "1.0.0.0", 1 << 31)])
        with open(os.path.join(self.bin, "keltrasetup.exe"), "wb") as f:
            f.write(b"MZ no version")
        with self.assertRaises(ValueError):
            mkrelease.build_release(self.out, self.bin, setup_version="1.0.0.1")

    def test_sizes_parse_with_units(self):
        self.assertEqual(mkrelease.parse_size("100M"), 100 << 20)
        self.assertEqual(mkrelease.parse_size("64k"), 64 << 10)
        self.assertEqual(mkrelease.parse_size("1000"), 1000)


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0]] + sys.argv[1:])
