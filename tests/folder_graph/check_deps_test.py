#!/usr/bin/env python3
"""scripts/check-deps run over small source trees written into a temporary folder.

Each case is a tree (file path -> its #include lines), the options, and what
the script must answer: the exit status and text its output must hold.
Usage: check_deps_test.py PATH/TO/check-deps
"""

import os
import subprocess
import sys
import tempfile
import unittest

SCRIPT = None

# The T-SQL layer's interpreter including the back-end interface, whose
# engines run the layer's statements.
HOST_TSQL_DB_CYCLE = {
    "src/host/tsql/interpreter.h": ['"host/db/backend.h"', '"host/tsql/runner.h"'],
    "src/host/tsql/runner.h": [],
    "src/host/db/backend.h": [],
    "src/host/db/sqlite/runner.cpp": ['"host/tsql/runner.h"', '"host/db/backend.h"'],
}

# (name, tree, options, exit status, texts the output holds, texts it must not hold)
CASES = [
    ("one way down is accepted and printed lowest first",
     {"src/low/a.h": [],
      "src/mid/b.h": ['"low/a.h"'],
      "src/top/c.cpp": ['"mid/b.h"', '"low/a.h"', "<vector>"]},
     [], 0, ["low          uses -", "mid          uses low", "top          uses low, mid",
             "3 folders, no cycle"], []),
    ("two folders that include each other",
     {"src/browse/launch.cpp": ['"editor/form.h"'],
      "src/editor/form.h": [],
      "src/editor/audit.cpp": ['"browse/audit.h"'],
      "src/browse/audit.h": []},
     [], 1, ["browse -> editor -> browse",
             "src/editor/audit.cpp includes src/browse/audit.h"], []),
    ("a cycle through three folders, one link from a subfolder",
     {"src/model/values.cpp": ['"text/res.h"'],
      "src/text/res.h": [],
      "src/text/sub/res.cpp": ['"entry/session.h"'],
      "src/entry/session.h": [],
      "src/entry/session.cpp": ['"model/values.h"'],
      "src/model/values.h": []},
     [], 1, ["entry -> model -> text -> entry"], []),
    ("public headers are one folder, and a cycle through them is found",
     {"include/pub/api.h": ['"host/impl.h"'],
      "src/host/impl.h": ['<pub/api.h>']},
     [], 1, ["host -> include -> host"], []),
    ("includes beside the file or outside the tree make no link",
     {"src/a/x.h": ['"y.h"', "<string>", '"missing/z.h"'],
      "src/a/y.h": [],
      "src/b/z.h": ['"../a/x.h"']},
     [], 0, ["b            uses a"], ["in a cycle"]),
    ("subfolders are one folder by default but their own at a finer depth",
     {"src/ui/views/grid.cpp": ['"ui/windows/main.h"'],
      "src/ui/views/grid.h": [],
      "src/ui/windows/main.h": [],
      "src/ui/windows/main.cpp": ['"ui/views/grid.h"']},
     [], 0, ["1 folders, no cycle"], []),
    ("the same tree at depth 2",
     {"src/ui/views/grid.cpp": ['"ui/windows/main.h"'],
      "src/ui/views/grid.h": [],
      "src/ui/windows/main.h": [],
      "src/ui/windows/main.cpp": ['"ui/views/grid.h"']},
     ["--depth", "2"], 1, ["ui/views -> ui/windows -> ui/views"], []),
    ("the Qt face's parts are split by default",
     {"src/qt/views/grid.cpp": ['"qt/windows/main.h"'],
      "src/qt/windows/main.cpp": ['"qt/views/grid.h"', '"host/tsql/lex.h"'],
      "src/qt/windows/main.h": [],
      "src/qt/views/grid.h": [],
      "src/host/tsql/lex.h": []},
     [], 1, ["qt/views -> qt/windows -> qt/views"], []),
    ("the host's parts are split by default: the T-SQL layer including a back end is named",
     HOST_TSQL_DB_CYCLE, [], 1,
     ["host/db -> host/tsql -> host/db",
      "src/host/tsql/interpreter.h includes src/host/db/backend.h"], []),
    ("the host as one folder on request",
     HOST_TSQL_DB_CYCLE, ["--split", "qt"], 0, ["host         uses -"], ["in a cycle"]),
    ("the files right in src/host are a part of their own",
     {"src/host/connection.cpp": ['"host/db/open.h"'],
      "src/host/db/open.h": [],
      "src/host/db/open.cpp": ['"host/text.h"'],
      "src/host/text.h": []},
     [], 1, ["host -> host/db -> host"], []),
    ("the engines are parts of the database layer, which may open them",
     {"src/host/db/open.cpp": ['"host/db/sqlite/backend.h"', '"host/tsql/run.h"'],
      "src/host/db/backend.h": [],
      "src/host/db/sqlite/backend.h": ['"host/db/backend.h"'],
      "src/host/tsql/run.h": []},
     [], 0, ["host/db      uses host/tsql", "2 folders, no cycle"], ["host/db/sqlite"]),
    ("no folder split on request",
     {"src/qt/views/grid.cpp": ['"qt/windows/main.h"'],
      "src/qt/windows/main.h": [],
      "src/qt/windows/main.cpp": ['"qt/views/grid.h"'],
      "src/qt/views/grid.h": []},
     ["--split", ""], 0, ["1 folders, no cycle"], []),
]


def write_tree(root, tree):
    for path, includes in tree.items():
        full = os.path.join(root, path)
        os.makedirs(os.path.dirname(full), exist_ok=True)
        with open(full, "w", encoding="utf-8") as f:
            f.write("#pragma once\n")
            for name in includes:
                f.write(f"#include {name}\n")


class CheckDepsTest(unittest.TestCase):
    def test_cases(self):
        for name, tree, options, status, present, absent in CASES:
            with self.subTest(name), tempfile.TemporaryDirectory() as root:
                write_tree(root, tree)
                run = subprocess.run([sys.executable, SCRIPT, "--root", root] + options,
                                     capture_output=True, text=True, check=False)
                output = run.stdout + run.stderr
                self.assertEqual(run.returncode, status, output)
                for text in present:
                    self.assertIn(text, output)
                for text in absent:
                    self.assertNotIn(text, output)

    def test_a_tree_without_src_is_a_usage_error(self):
        with tempfile.TemporaryDirectory() as root:
            run = subprocess.run([sys.executable, SCRIPT, "--root", root],
                                 capture_output=True, text=True, check=False)
            self.assertEqual(run.returncode, 2)
            self.assertIn("no src/ folder", run.stderr)


if __name__ == "__main__":
    SCRIPT = sys.argv.pop(1)
    unittest.main()
