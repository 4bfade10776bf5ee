#!/usr/bin/env python3
"""scripts/check-layers on small trees: what it passes and what it refuses."""
import os
import subprocess
import sys
import tempfile
import unittest

CHECK = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'scripts', 'check-layers')


def run(files):
    """Writes {path under ptp/: includes} into a fresh tree and checks it."""
    with tempfile.TemporaryDirectory() as root:
        for rel, includes in files.items():
            path = os.path.join(root, 'ptp', rel)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, 'w') as f:
                f.write(''.join(f'#include "ptp/{i}"\n' for i in includes))
        done = subprocess.run([sys.executable, CHECK, root], capture_output=True, text=True)
        return done.returncode, done.stderr


class CheckLayers(unittest.TestCase):
    def test_includes_that_point_down_or_sideways_pass(self):
        code, err = run({
            'base/bytes.h': [],
            'link/link.cpp': ['base/bytes.h', 'link/link.h'],
            'link/link.h': [],
            'vendors/common/canvas.h': ['base/bytes.h'],
            'vendors/canon/canon_ops.cpp': ['vendors/canon/canon_ops.h', 'vendors/common/canvas.h', 'link/link.h'],
            'vendors/canon/canon_ops.h': [],
            'vendors/sony/sony_ops.h': [],
            # the glue that plugs the makers in may include every one of them
            'vendors/install.cpp': ['vendors/canon/canon_ops.h', 'vendors/sony/sony_ops.h'],
        })
        self.assertEqual(code, 0, err)

    def test_each_fault_is_named_with_its_line(self):
        cases = [
            ('an include a layer up', {'props/p.cpp': ['base/b.h', 'camera/c.h'], 'camera/c.h': [], 'base/b.h': []},
             'ptp/props/p.cpp:2: props includes ptp/camera/c.h from camera'),
            ('the library core reaching a maker', {'cache/c.cpp': ['vendors/canon/x.h'], 'vendors/canon/x.h': []},
             'ptp/cache/c.cpp:1: cache includes ptp/vendors/canon/x.h from vendors'),
            ('a maker reaching another', {'vendors/fuji/f.cpp': ['vendors/canon/x.h'], 'vendors/canon/x.h': []},
             "ptp/vendors/fuji/f.cpp:1: includes ptp/vendors/canon/x.h, another maker's"),
            ('shared vendor code reaching a maker', {'vendors/common/c.cpp': ['vendors/sony/s.h'], 'vendors/sony/s.h': []},
             "ptp/vendors/common/c.cpp:1: includes ptp/vendors/sony/s.h, another maker's"),
            ('a file outside the layers', {'loose.cpp': []}, 'ptp/loose.cpp: not in a layer folder'),
            ('an include of no layer', {'base/b.cpp': ['loose.h']}, 'ptp/base/b.cpp:1: includes ptp/loose.h, which is in no layer'),
        ]
        for what, files, fault in cases:
            with self.subTest(what):
                code, err = run(files)
                self.assertEqual(code, 1, what)
                self.assertIn(fault, err)


if __name__ == '__main__':
    unittest.main()
