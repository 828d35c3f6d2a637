#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""tools/lint on a small tree: every kind of fault is reported with its file and line, and
a tree that keeps the rules passes."""
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
LINT = os.path.join(ROOT, "tools", "lint")


def write(root, path, text):
    full = os.path.join(root, path)
    os.makedirs(os.path.dirname(full), exist_ok=True)
    with open(full, "w", encoding="utf-8") as f:
        f.write(text)


class LintTest(unittest.TestCase):
    def setUp(self):
        self.root = tempfile.mkdtemp()
        shutil.copy(os.path.join(ROOT, ".clang-format"), self.root)
        # What the rules allow.
        write(self.root, "src/fetch/Fetch.cpp", '#include "fetch/Fetch.h"\n\n#include "store/Store.h"\n')
        write(self.root, "src/platform/Net.cpp", "#include <curl/curl.h>\n#include <libxml/tree.h>\n")
        write(self.root, "src/ui/Window.cpp", '#include <QWidget>\n\n#include "app/App.h"\n')
        write(self.root, "src/store/Store.cpp", '#include "store/private/Inner.h"\n')
        write(self.root, "tests/store/StoreTest.cpp", '#include "store/private/Inner.h"\n')
        write(self.root, "tests/app/AppTest.cpp", '#include "ui/Window.h"\n')
        write(self.root, "src/main.cpp", '#include <QApplication>\n\n#include "ui/Window.h"\n')

    def tearDown(self):
        shutil.rmtree(self.root)

    def lint(self, *options):
        return subprocess.run([sys.executable, LINT, "--root", self.root, *options],
                              capture_output=True, text=True)

    def test_a_tree_that_keeps_the_rules_passes(self):
        result = self.lint()
        self.assertEqual(result.stdout, "")
        self.assertEqual(result.returncode, 0)

    def test_each_fault_is_reported_with_file_and_line(self):
        cases = [
            ("src/store/Up.cpp", '#include "store/Store.h"\n#include "fetch/Fetch.h"\n',
             "src/store/Up.cpp:2: src/store/ is below src/fetch/"),
            ("src/ui/Cli.cpp", '#include "cli/Command.h"\n', "src/ui/Cli.cpp:1: src/ui/ does not use src/cli/"),
            ("src/text/Qt.cpp", "#include <QString>\n", "src/text/Qt.cpp:1: Qt is used only in"),
            ("src/fetch/Curl.cpp", "#include <curl/curl.h>\n", "src/fetch/Curl.cpp:1: libcurl is used only in"),
            ("src/formats/Xml.cpp", "\n#include <libxml/parser.h>\n", "src/formats/Xml.cpp:2: libxml2 is used only in"),
            ("src/text/Iconv.cpp", "#include <iconv.h>\n", "src/text/Iconv.cpp:1: iconv is used only in"),
            ("src/search/Re.cpp", "#include <pcre2.h>\n", "src/search/Re.cpp:1: PCRE2 is used only in"),
            ("src/app/Inner.cpp", '#include "store/private/Inner.h"\n',
             "src/app/Inner.cpp:1: store/private/Inner.h is private to src/store/"),
        ]
        for path, text, expected in cases:
            with self.subTest(path=path):
                write(self.root, path, text)
                result = self.lint("--no-format")
                os.remove(os.path.join(self.root, path))
                self.assertEqual(result.returncode, 1)
                self.assertEqual(len(result.stdout.splitlines()), 1, result.stdout)
                self.assertTrue(result.stdout.startswith(expected), result.stdout)

    def test_a_file_clang_format_would_change_fails(self):
        write(self.root, "src/text/Messy.cpp", "int  Messy( ){return 1;}\n")
        result = self.lint()
        self.assertEqual(result.returncode, 1)
        self.assertIn("src/text/Messy.cpp:1: not as clang-format writes it", result.stdout)
        self.assertEqual(self.lint("--no-format").returncode, 0)


if __name__ == "__main__":
    unittest.main()
