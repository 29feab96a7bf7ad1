"""Hostile input in bulk: every public member of twenty core classes with hostile values, and
a few hundred seeded mutants of a saved .docx. Each runs in its own process with a timeout,
so that a crash or a hang fails the test instead of the test run; the scripts print every
unexpected outcome with what caused it.
"""
import os
import pathlib
import subprocess
import sys

import pytest

from conftest import PACKAGE_ROOT, TEST_SUPPORT

HOSTILE = pathlib.Path(__file__).parent / "hostile"

pytestmark = pytest.mark.usefixtures("built")


def run(script, *arguments, cwd, timeout=120):
    env = dict(os.environ, PYTHONPATH=f"{PACKAGE_ROOT}:{TEST_SUPPORT}")  # keeps a sanitizer's preload
    result = subprocess.run([sys.executable, str(HOSTILE / script), *map(str, arguments)], cwd=cwd, env=env,
                            capture_output=True, text=True, errors="replace", timeout=timeout)
    unexpected = [line for line in result.stdout.splitlines() if line.startswith("UNEXPECTED")]
    # On a crash or a hang the last lines of stderr name the member or seed and the stacks.
    assert result.returncode == 0 and not unexpected, (
        f"exit {result.returncode}\n" + "\n".join(unexpected) + "\n" + result.stderr[-3000:])
    return result.stdout


def test_every_member_of_core_classes_survives_hostile_values(tmp_path):
    # The working directory is the test's own: a member that writes a file writes it there.
    output = run("fuzz_members.py", cwd=tmp_path)
    assert "UNEXPECTED 0" in output


def test_mutated_documents_load_or_are_refused_in_time(tmp_path):
    output = run("mutate_documents.py", tmp_path, 0, 400, cwd=tmp_path)
    assert "MUTANTS 400" in output and "UNEXPECTED 0" in output
