#!/usr/bin/env python3
"""The include check's own cases: on small trees written for the purpose, it
passes includes that go down, and fails an include that goes up, a loop of
units, and an include of another binary's folder."""
import contextlib
import importlib.util
import io
import os
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
loader_spec = importlib.util.spec_from_file_location("check_includes",
                                                     os.path.join(HERE, "check-includes.py"))
check = importlib.util.module_from_spec(loader_spec)
loader_spec.loader.exec_module(check)


def run_on(files):
    """Writes files (path: included paths) into a new tree and checks it."""
    with tempfile.TemporaryDirectory() as root:
        for path, includes in files.items():
            os.makedirs(os.path.join(root, os.path.dirname(path)), exist_ok=True)
            with open(os.path.join(root, path), "w", encoding="utf-8") as source:
                source.writelines(f'#include "{target}"\n' for target in includes)
        printed = io.StringIO()
        with contextlib.redirect_stdout(printed):
            status = check.main(root)
        return status, printed.getvalue()


class IncludeRule(unittest.TestCase):
    def test_cases(self):
        cases = [
            ("down only", {"player/app/main.cpp": ["player/tray/menu.h", "player/core/heap.h"],
                           "player/tray/menu.h": ["player/core/heap.h"],
                           "player/core/heap.h": []},
             0, "player/app: player/core, player/tray"),
            ("up", {"player/core/heap.cpp": ["player/playlist/list.h"],
                    "player/playlist/list.h": []},
             1, "player/core includes player/playlist, which stands above it"),
            ("loop", {"player/tray/a.h": ["player/tray/b.h"],
                      "player/tray/b.h": ["player/tray/a.h"]},
             1, "include loop: player/tray/a -> player/tray/b -> player/tray/a"),
            ("engine up", {"engine/records/state.h": ["engine/streams/streams.h"],
                           "engine/streams/streams.h": ["engine/records/state.h"]},
             1, "engine/records includes engine/streams, which stands above it"),
            ("module reaches into the player",
             {"extension/window/main_window.cpp": ["player/core/heap.h"],
              "player/core/heap.h": []},
             1, "extension/window/main_window.cpp includes player/core/heap.h, of another binary"),
            ("loop in shared", {"shared/media/a.h": ["media/b.h"],
                                "shared/media/b.h": ["media/a.h"]},
             1, "include loop: shared/media/a -> shared/media/b -> shared/media/a"),
        ]
        cwd = os.getcwd()
        try:
            for name, files, status, line in cases:
                with self.subTest(name):
                    got_status, printed = run_on(files)
                    self.assertEqual(got_status, status, printed)
                    self.assertIn(line, printed.splitlines())
        finally:
            os.chdir(cwd)


if __name__ == "__main__":
    unittest.main()
