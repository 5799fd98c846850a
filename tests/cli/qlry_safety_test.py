"""Runs qlry as a process against what a hostile user or a careless script does to a catalog: two writers
at once, links planted in the catalog folder, saves killed half-way, read-only files, files that declare
more than the program can use, and file names that are not UTF-8."""

import os
import resource
import signal
import stat
import subprocess
import unittest

from catalog_builder import catalog_bytes
from qlry_session import QLRY, QlrySession

READ_ONLY_MESSAGE = "読み取り専用のため、書き込めません。"


class QlrySafetyTest(QlrySession):
    PREFIX = "qlry-safety-"

    # File names here may be bytes, and some runs get limits set in the child: the session's runner with
    # those two additions.
    def run_qlry(self, *args, **options):
        return subprocess.run([QLRY, *args], capture_output=True, env=self.env, cwd=self.folder, **options)

    def qlry(self, *args, expect=0):
        result = self.run_qlry(*args)
        self.assertEqual(result.returncode, expect,
                         f"qlry {args}\nstdout: {result.stdout!r}\nstderr: {result.stderr.decode(errors='replace')}")
        return result.stdout, result.stderr.decode(errors="replace")

    def file(self, name, data=b"x"):
        path = os.path.join(self.folder, os.fsdecode(name))
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)
        return path

    def write_catalog(self, name, data):
        return self.file(os.path.join(name, name + ".qlry"), data)

    def big_catalog(self, name, items=300, use_shortcuts=0):
        paths = [self.file(f"files/f{i:04}.txt") for i in range(items)]
        rows = [("", "", "", path, ["v"]) for path in paths]
        return self.write_catalog(name, catalog_bytes([("A", [], 4)], rows, use_shortcuts=use_shortcuts))

    def snapshot(self, folder):
        return {name: (os.lstat(os.path.join(folder, name)).st_mtime_ns, os.lstat(os.path.join(folder, name)).st_size)
                for name in os.listdir(folder)}

    def testWriters(self):
        catalog = self.write_catalog("Shared", catalog_bytes([("A", [], 4)], []))
        added = []
        for round_number in range(20):
            paths = [self.file(f"files/a{round_number}.txt"), self.file(f"files/b{round_number}.txt")]
            writers = [subprocess.Popen([QLRY, "add", catalog, path], env=self.env, stdout=subprocess.PIPE,
                                        stderr=subprocess.PIPE) for path in paths]
            for writer, path in zip(writers, paths):
                _, err = writer.communicate()
                # Each writer keeps its item or says why it did not; a silent exit 0 that loses it fails.
                self.assertIn(writer.returncode, (0, 2), err.decode(errors="replace"))
                if writer.returncode == 0:
                    added.append(path)
                else:
                    self.assertIn("他のプログラムによって変更された", err.decode())
        listed = [line.split(b"\t")[1].decode() for line in self.qlry("list", catalog)[0].splitlines()]
        self.assertEqual(sorted(listed), sorted(added))
        self.assertEqual(len(added), 40)

    def testTemporaryFiles(self):
        # A link planted where the shortcut writer once put its temporary file points at a file of the
        # user's; adding an item must not write through it, nor through a planted shortcut name.
        victim = self.file("victim.txt", b"precious")
        catalog = self.write_catalog("Links", catalog_bytes([("A", [], 4)], [], use_shortcuts=1))
        folder = os.path.dirname(catalog)
        song = self.file("files/song.mp3")
        os.symlink(victim, os.path.join(folder, "song.lnk.part"))
        os.symlink(victim, os.path.join(folder, ".song.lnk.tmp"))
        self.qlry("add", catalog, song)
        with open(victim, "rb") as f:
            self.assertEqual(f.read(), b"precious")
        self.assertTrue(stat.S_ISREG(os.lstat(os.path.join(folder, "song.lnk")).st_mode))

        # A private catalog stays private while it is saved: a save killed half-way (the file size limit
        # stops it) leaves a temporary file with the catalog's mode 0600, never a readable copy.
        catalog = self.big_catalog("Private")
        folder = os.path.dirname(catalog)
        os.chmod(catalog, 0o600)
        limit = os.path.getsize(catalog) // 2
        killed = self.run_qlry("add", catalog, self.file("files/new.txt"),
                               preexec_fn=lambda: resource.setrlimit(resource.RLIMIT_FSIZE, (limit, limit)))
        self.assertEqual(killed.returncode, -signal.SIGXFSZ)
        left = [name for name in os.listdir(folder) if name.startswith(".Private.qlry.tmp-")]
        self.assertEqual(len(left), 1)
        self.assertEqual(stat.S_IMODE(os.stat(os.path.join(folder, left[0])).st_mode), 0o600)
        # The name cannot be guessed: it carries 64 random bits after the process id.
        self.assertRegex(left[0], r"^\.Private\.qlry\.tmp-\d+-[0-9a-f]{16}$")

        # The next save removes it, and what killed saves of older versions left, but nothing of a process
        # that still runs.
        dead = subprocess.Popen(["true"])
        dead.wait()
        old_style = self.file(f"Private/.Private.qlry.tmp{dead.pid}-0", b"old")
        alive = self.file(f"Private/.Private.qlry.tmp-{os.getpid()}-0123456789abcdef", b"in use")
        link_part = self.file(f"Private/.f0001.lnk.tmp-{dead.pid}-0123456789abcdef", b"half a link")
        self.qlry("add", catalog, self.file("files/new.txt"))
        names = os.listdir(folder)
        self.assertNotIn(left[0], names)
        self.assertNotIn(os.path.basename(old_style), names)
        self.assertNotIn(os.path.basename(link_part), names)
        self.assertIn(os.path.basename(alive), names)
        self.assertEqual(stat.S_IMODE(os.stat(catalog).st_mode), 0o600)

    def testReadOnlyCatalog(self):
        catalog = self.write_catalog("Frozen", catalog_bytes([("A", [], 4)], []))
        os.chmod(catalog, 0o444)
        with open(catalog, "rb") as f:
            before = f.read()
        _, err = self.qlry("add", catalog, self.file("files/a.txt"), expect=2)
        self.assertIn(READ_ONLY_MESSAGE, err)
        with open(catalog, "rb") as f:
            self.assertEqual(f.read(), before)
        self.assertEqual(stat.S_IMODE(os.stat(catalog).st_mode), 0o444)
        self.assertEqual(os.listdir(os.path.dirname(catalog)), ["Frozen.qlry"])

    def testReadingWritesNothing(self):
        # Items whose shortcuts are gone, and one whose file moved: a writer would remake and update the
        # shortcuts, a reader must leave the folder exactly as it is.
        catalog = self.big_catalog("Links", items=50, use_shortcuts=1)
        folder = os.path.dirname(catalog)
        before = self.snapshot(folder)
        out = os.path.join(self.folder, "out")
        os.makedirs(out)
        for args in (["list", catalog], ["list", catalog, "--json"], ["values", catalog, "A"], ["info", catalog],
                     ["check", catalog, "--files"], ["export", catalog, "--xml", os.path.join(out, "x.xml")],
                     ["export", catalog, "--csv", os.path.join(out, "x.csv")], ["export", catalog, "--html"]):
            self.qlry(*args)
            self.assertEqual(self.snapshot(folder), before, args)

        # A failed add (the disk is full for the catalog, not for the small shortcut files) leaves no shortcut
        # that no saved catalog names.
        limit = os.path.getsize(catalog) // 2
        new_files = [self.file(f"files/new{i}.txt") for i in range(5)]

        def full_disk():
            signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
            resource.setrlimit(resource.RLIMIT_FSIZE, (limit, limit))

        failed = self.run_qlry("add", catalog, *new_files, preexec_fn=full_disk, restore_signals=False)
        self.assertEqual(failed.returncode, 2, failed.stderr.decode(errors="replace"))
        self.assertIn("空き容量が不足しています", failed.stderr.decode())
        self.assertEqual(sorted(self.snapshot(folder)), sorted(before))

    def testLimits(self):
        # Sort keys and categories beyond what the program can use are refused at their count, with the field
        # and its offset; reading such a file stays small and quick.
        keys = self.write_catalog("Keys", catalog_bytes([("A", [], 4)], [], sort_keys=tuple(range(20000))))
        out, _ = self.qlry("check", keys, expect=1)
        self.assertIn(b"over limit at byte 51: sort keys: 20000, at most 15", out)
        categories = [(f"c{i}", [], 4) for i in range(20000)]
        many = self.write_catalog("Many", catalog_bytes(categories, [("", "", "", "/x", ["v"] * 20000)]))
        out, _ = self.qlry("check", many, expect=1)
        self.assertRegex(out, rb"over limit at byte \d+: categories: 20000, at most 10")
        eleven = self.write_catalog("Eleven", catalog_bytes([(f"c{i}", [], 4) for i in range(11)], []))
        self.qlry("check", eleven, expect=1)
        ten = self.write_catalog("Ten", catalog_bytes([(f"c{i}", [], 4) for i in range(10)], []))
        self.qlry("check", ten)
        # Memory: the peak of listing the small catalog of ten categories is the constant, and the big files
        # may add a small multiple of their size to it (they took gigabytes before).
        def peak_bytes(path, status):
            result = subprocess.run(["/usr/bin/time", "-f", "%M", QLRY, "list", path], capture_output=True,
                                    env=self.env)
            self.assertEqual(result.returncode, status)
            return 1024 * int(result.stderr.decode(errors="replace").strip().splitlines()[-1])

        constant = peak_bytes(ten, 0)
        for path in (keys, many):
            self.assertLess(peak_bytes(path, 1), constant + 10 * os.path.getsize(path))

    def testFileNames(self):
        # A Shift-JIS file name is bytes that are not UTF-8; it must come back byte for byte, through the
        # catalog file, with and without shortcuts.
        name = b"sjis\x82\xa0.txt"
        target = os.fsencode(self.file(name))
        for catalog_name, use_shortcuts in (("Plain", 0), ("Linked", 1)):
            catalog = os.fsencode(self.write_catalog(catalog_name, catalog_bytes([("A", [], 4)], [],
                                                                                 use_shortcuts=use_shortcuts)))
            self.qlry(b"add", catalog, target)
            out, _ = self.qlry(b"list", catalog)
            self.assertEqual(out.split(b"\t")[:2], [name, target])
            out, _ = self.qlry(b"check", catalog, b"--files")
            self.assertNotIn(b"missing", out)
            # Saved again by another change, still the same bytes.
            self.qlry(b"set", catalog, target, b"--set", b"A=x")
            out, _ = self.qlry(b"list", catalog)
            self.assertEqual(out.split(b"\t")[:2], [name, target])
            with open(catalog, "rb") as f:
                self.assertIn("\udc82\udca0".encode("utf-16-le", "surrogatepass"), f.read())


if __name__ == "__main__":
    unittest.main()
