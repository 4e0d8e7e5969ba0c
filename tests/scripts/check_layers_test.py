#!/usr/bin/env python3
"""scripts/check-layers on small trees of its own: a tree that keeps its layers passes; an upward
include, an include cycle between two folders of one layer and a file outside every folder fail
with the file and line named."""
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

SCRIPT = Path(__file__).resolve().parents[2] / "scripts" / "check-layers"

# The toolkit is split: its loaders sit above the rest of it.
LAYERS = """# top first
src/app
src/view src/other   # one layer, two folders
src/kit/loaders
src/base src/kit
"""

# A tree that keeps its layers: each file includes only its own layer and those below.
GOOD = {
    "src/app/main.cpp": '#include "view/view.h"\n#include "base/base.h"\n#include <vector>\n',
    "src/view/view.h": '#pragma once\n#include "kit/core/core.h"\n#include "other/other.h"\n',
    "src/other/other.h": "#pragma once\n",
    "src/kit/loaders/reader.cpp": '#include "kit/core/core.h"\n',
    "src/kit/core/core.h": '#pragma once\n#include "base/base.h"\n#include "missing/generated.h"\n',
    "src/base/base.h": '#pragma once\n#include "local.h"\n',
    "src/base/local.h": "#pragma once\n",
}


class CheckLayers(unittest.TestCase):
    def run_on(self, changes):
        with tempfile.TemporaryDirectory() as root:
            (Path(root) / "layers.txt").write_text(LAYERS)
            for name, text in {**GOOD, **changes}.items():
                path = Path(root) / name
                path.parent.mkdir(parents=True, exist_ok=True)
                path.write_text(text)
            done = subprocess.run([sys.executable, str(SCRIPT), "--root", root, "--layers",
                                   str(Path(root) / "layers.txt")], capture_output=True, text=True)
            return done.returncode, done.stderr

    def test_a_tree_that_keeps_its_layers_passes(self):
        code, errors = self.run_on({})
        self.assertEqual(code, 0, errors)

    def test_upward_includes_are_named_with_file_and_line(self):
        cases = [
            ("into a higher layer", {"src/base/base.h": '#pragma once\n\n#include "view/view.h"\n'},
             "src/base/base.h:3: includes src/view/view.h of src/view (layer 2), above src/base (layer 4)"),
            ("the longer entry wins", {"src/kit/core/core.h": '#pragma once\n#include "kit/loaders/reader.cpp"\n'},
             "src/kit/core/core.h:2: includes src/kit/loaders/reader.cpp of src/kit/loaders (layer 3), "
             "above src/kit (layer 4)"),
        ]
        for what, changes, message in cases:
            code, errors = self.run_on(changes)
            self.assertEqual(code, 1, what)
            self.assertIn(message, errors, what)

    def test_a_cycle_between_folders_of_one_layer_fails(self):
        code, errors = self.run_on({"src/other/other.h": '#pragma once\n#include "view/view.h"\n'})
        self.assertEqual(code, 1)
        self.assertIn("include cycle through the folders src/other, src/view: "
                      "src/other/other.h:2 -> src/view/view.h:3 -> src/other/other.h", errors)

    def test_a_cycle_within_one_folder_passes(self):
        code, errors = self.run_on({"src/base/local.h": '#pragma once\n#include "base/base.h"\n'})
        self.assertEqual(code, 0, errors)

    def test_a_file_outside_every_folder_fails(self):
        code, errors = self.run_on({"src/stray/stray.cpp": "int x;\n"})
        self.assertEqual(code, 1)
        self.assertIn("src/stray/stray.cpp:1: lies in no folder of layers.txt", errors)


if __name__ == "__main__":
    unittest.main()
