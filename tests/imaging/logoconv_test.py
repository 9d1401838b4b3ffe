#!/usr/bin/env python3
"""logoconv from the command line: exit codes, one-line reasons, --info, and a
destination left untouched by every failure.
    logoconv_test.py LOGOCONV [RUNNER...]    (RUNNER: e.g. the Wine launcher)
"""
import os
import struct
import subprocess
import sys
import tempfile
import unittest

COMMAND = sys.argv[2:] + [sys.argv[1]] if len(sys.argv) > 2 else sys.argv[1:2]


def bmp8(width, height, colors_important=0, index=lambda x, y: (x + 2 * y) % 256):
    """An 8-bit BI_RGB bitmap, bottom-up, with a 256-entry grey table."""
    stride = (width + 3) & ~3
    rows = b"".join(bytes(index(x, y) for x in range(width)).ljust(stride, b"\0")
                    for y in reversed(range(height)))
    table = b"".join(bytes((i, i, i, 0)) for i in range(256))
    offset = 14 + 40 + len(table)
    header = struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, len(rows), 0, 0, 256,
                       colors_important)
    return header + info + table + rows


def run(*arguments):
    env = dict(os.environ, LC_ALL="C.UTF-8")
    return subprocess.run(COMMAND + list(arguments), capture_output=True, timeout=60, env=env)


def info(path):
    result = run("--info", path)
    fields = dict(line.split(": ", 1) for line in result.stdout.decode().splitlines() if ": " in line)
    return result.returncode, fields


class LogoconvTest(unittest.TestCase):
    def setUp(self):
        self._folder = tempfile.TemporaryDirectory(prefix="quillane-logoconv-")
        self.addCleanup(self._folder.cleanup)
        self._old = os.getcwd()
        os.chdir(self._folder.name)  # relative names: the same under Wine and natively
        self.addCleanup(os.chdir, self._old)

    def write(self, name, data):
        with open(name, "wb") as f:
            f.write(data)

    def read(self, name):
        with open(name, "rb") as f:
            return f.read()

    def test_converts_a_picture_into_a_logo(self):
        for source, destination in (("photo.bmp", "logo.sys"), ("ñandú é.bmp", "логотип.sys")):
            with self.subTest(source=source):
                self.write(source, bmp8(64, 48))
                result = run(source, destination)
                self.assertEqual(result.returncode, 0, result.stderr)
                logo = self.read(destination)
                self.assertEqual(len(logo), 1078 + 128000)
                self.assertEqual(struct.unpack_from("<iiHHI", logo, 18), (320, 400, 1, 8, 0))
                code, fields = info(destination)
                self.assertEqual(code, 0)
                self.assertEqual((fields["width"], fields["height"], fields["bits"]), ("320", "400", "8"))
                self.assertEqual((fields["image status"], fields["animated"]), ("2", "no"))

    def test_info_describes_an_animated_logo_and_conversion_keeps_it(self):
        self.write("anim.bmp", bmp8(320, 400, colors_important=16))
        code, fields = info("anim.bmp")
        self.assertEqual(code, 0)
        self.assertEqual((fields["compression"], fields["animated"], fields["animated range"]),
                         ("none", "yes", "16-255"))
        self.assertEqual(run("anim.bmp", "out.sys").returncode, 0)
        self.assertEqual(info("out.sys")[1]["animated range"], "16-255")

    def test_failures_give_one_line_and_leave_the_destination_alone(self):
        self.write("damaged.bmp", bmp8(64, 48)[:200])
        self.write("noise.bmp", b"not a picture at all")
        previous = bmp8(320, 400)
        cases = (("damaged.bmp", "kept.sys", True),
                 ("noise.bmp", "kept.sys", True),
                 ("missing.bmp", "kept.sys", True),
                 ("missing.bmp", "new.sys", False),
                 ("damaged.bmp", os.path.join("no such folder", "x.sys"), False))
        for source, destination, exists in cases:
            with self.subTest(source=source, destination=destination):
                if exists:
                    self.write(destination, previous)
                result = run(source, destination)
                self.assertEqual(result.returncode, 1)
                lines = result.stderr.decode().strip().splitlines()
                self.assertEqual(len(lines), 1, lines)
                self.assertTrue(lines[0].startswith("logoconv: "), lines)
                if exists:
                    self.assertEqual(self.read(destination), previous)
                else:
                    self.assertFalse(os.path.exists(destination))
        self.assertEqual(sorted(os.listdir(".")), ["damaged.bmp", "kept.sys", "noise.bmp"])

    def test_usage_and_info_errors(self):
        for arguments in ((), ("one",), ("a", "b", "c"), ("--info",)):
            with self.subTest(arguments=arguments):
                result = run(*arguments)
                self.assertEqual(result.returncode, 2)
                self.assertIn("usage: logoconv", result.stderr.decode())
        result = run("--info", "missing.bmp")
        self.assertEqual(result.returncode, 1)
        self.assertIn("image status: 0", result.stdout.decode())
        self.assertIn("does not exist", result.stderr.decode())


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
