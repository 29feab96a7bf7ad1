"""The include-direction check of velto/: the real tree passes, and an upward include or a
folder outside the layers stops it with the offending file named."""
import subprocess
import sys

from conftest import REPO

CHECK = REPO / "tools" / "check-layers.py"


def run_check(root):
    return subprocess.run([sys.executable, str(CHECK), str(root)], capture_output=True, text=True, timeout=60)


def test_the_runtime_includes_downward_only():
    result = run_check(REPO / "velto")
    assert result.returncode == 0, result.stderr


def test_upward_includes_and_unknown_folders_are_refused(tmp_path):
    (tmp_path / "common").mkdir()
    (tmp_path / "host").mkdir()
    (tmp_path / "extras").mkdir()
    (tmp_path / "host" / "ok.cpp").write_text('#include "common/x.h"\n#include "host/y.h"\n#include <Python.h>\n')
    (tmp_path / "common" / "bad.h").write_text('#pragma once\n#  include "interop/z.h"\n')
    (tmp_path / "extras" / "stray.cpp").write_text("")
    result = run_check(tmp_path)
    assert result.returncode == 1
    assert "bad.h: common/ includes interop/" in result.stderr
    assert "stray.cpp: folder 'extras' is not a layer" in result.stderr
    assert "ok.cpp" not in result.stderr
