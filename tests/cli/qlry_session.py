"""The one set-up of the qlry tests: a temporary folder with a home of its own, and qlry run as a process in
it. The tests run with the folder as the working directory, so relative paths land inside it."""

import os
import subprocess
import tempfile
import unittest

QLRY = os.environ.get("QLRY", "qlry")


class QlrySession(unittest.TestCase):
    PREFIX = "qlry-test-"
    EXTRA_ENV = {}

    def setUp(self):
        self.folder_object = tempfile.TemporaryDirectory(prefix=self.PREFIX)
        self.folder = self.folder_object.name
        self.home = os.path.join(self.folder, "home")
        os.makedirs(self.home)
        self.env = dict(os.environ, HOME=self.home, XDG_CONFIG_HOME=os.path.join(self.home, ".config"),
                        **self.EXTRA_ENV)

    def tearDown(self):
        self.folder_object.cleanup()

    def run_qlry(self, *args):
        return subprocess.run([QLRY, *args], capture_output=True, env=self.env, cwd=self.folder)

    def qlry(self, *args, expect=0):
        """qlry's standard output and error; the test fails unless it exits with `expect`."""
        result = self.run_qlry(*args)
        self.assertEqual(result.returncode, expect,
                         f"qlry {' '.join(args)}\nstdout: {result.stdout.decode(errors='replace')}\n"
                         f"stderr: {result.stderr.decode(errors='replace')}")
        return result.stdout.decode(), result.stderr.decode()
