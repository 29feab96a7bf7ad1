"""The installed package: finding the .NET runtime, and what the build backend packs."""
import base64
import hashlib
import importlib.util
import os
import subprocess
import sys
import sysconfig
import zipfile

import pytest

from conftest import PACKAGE_ROOT, REPO

BACKEND = REPO / "tools" / "wheel" / "morvax_wheel.py"
VARIABLES = ("NETCORE_WRAPPER_NETCORE_DIR_morvax", "NETCORE_WRAPPER_ASSEMBLY_DIR_morvax",
             "NETCORE_WRAPPER_FRAMEWORK_DIR_morvax")


def framework(root, version, usable=True):
    folder = root / "shared" / "Microsoft.NETCore.App" / version
    folder.mkdir(parents=True)
    if usable:
        (folder / "libcoreclr.so").touch()
    return str(folder)


@pytest.fixture
def package(monkeypatch, tmp_path):
    """morvax/__init__.py with no .NET install anywhere it looks, unless a test makes one."""
    import morvax
    monkeypatch.setattr(morvax, "_STANDARD_ROOTS", (str(tmp_path / "std"),))
    monkeypatch.delenv("DOTNET_ROOT", raising=False)
    monkeypatch.setenv("PATH", str(tmp_path / "bin"))
    return morvax


def test_framework_search_order_and_version_choice(package, tmp_path, monkeypatch):
    framework(tmp_path / "std", "10.0.2")
    assert package.find_framework().endswith("10.0.2")
    # The dotnet on PATH wins over the standard folders, through its link.
    on_path = tmp_path / "sdk"
    framework(on_path, "10.0.3")
    (on_path / "dotnet").touch()
    (tmp_path / "bin").mkdir()
    (tmp_path / "bin" / "dotnet").symlink_to(on_path / "dotnet")
    assert package.find_framework().endswith("10.0.3")
    # DOTNET_ROOT wins over both; the newest 10.x with a runtime in it is taken, 9.x and 11.x never.
    root = tmp_path / "root"
    for version in ("9.0.9", "10.0.9", "10.0.10-rc.1", "11.0.0"):
        framework(root, version)
    framework(root, "10.0.10", usable=False)
    monkeypatch.setenv("DOTNET_ROOT", str(root))
    assert package.find_framework() == str(root / "shared" / "Microsoft.NETCore.App" / "10.0.10-rc.1")
    framework(root, "10.0.11")
    assert package.find_framework().endswith("10.0.11")


def test_without_a_runtime_the_error_names_every_place_and_the_remedy(package, tmp_path, monkeypatch):
    monkeypatch.setenv("DOTNET_ROOT", str(tmp_path / "nowhere"))
    with pytest.raises(ImportError) as raised:
        package.find_framework()
    message = str(raised.value)
    assert str(tmp_path / "nowhere" / "shared" / "Microsoft.NETCore.App") + " (DOTNET_ROOT)" in message
    assert str(tmp_path / "std" / "shared" / "Microsoft.NETCore.App") in message
    assert "dotnet-runtime-10.0" in message and "DOTNET_ROOT" in message


def installed_copy(tmp_path):
    """The package as pip lays it out, without the extension: only its start-up logic runs."""
    site = tmp_path / "site"
    (site / "morvax" / "_runtime" / "netcore10.0").mkdir(parents=True)
    (site / "morvax" / "_assemblies" / "velto").mkdir(parents=True)
    (site / "morvax" / "__init__.py").write_bytes((PACKAGE_ROOT / "morvax" / "__init__.py").read_bytes())
    return site


def import_installed(site, env):
    full = {k: v for k, v in os.environ.items() if k not in VARIABLES and k != "PYTHONPATH"}
    full.update(env, PYTHONPATH=str(site))
    code = "import os, morvax\nfor v in %r: print(v, os.environ.get(v))" % (VARIABLES,)
    result = subprocess.run([sys.executable, "-c", code], env=full, capture_output=True, text=True, timeout=60)
    return result, dict(line.split(" ", 1) for line in result.stdout.splitlines())


def test_installed_package_points_the_host_at_itself_and_the_found_framework(tmp_path):
    site = installed_copy(tmp_path)
    found = framework(tmp_path / "dotnet", "10.0.5")
    _, seen = import_installed(site, {"DOTNET_ROOT": str(tmp_path / "dotnet")})
    assert seen == {"NETCORE_WRAPPER_NETCORE_DIR_morvax": str(site / "morvax" / "_runtime"),
                    "NETCORE_WRAPPER_ASSEMBLY_DIR_morvax": str(site / "morvax" / "_assemblies"),
                    "NETCORE_WRAPPER_FRAMEWORK_DIR_morvax": found}


def test_the_hosts_own_variables_win(tmp_path):
    site = installed_copy(tmp_path)
    chosen = {"NETCORE_WRAPPER_NETCORE_DIR_morvax": "/mine/rt", "NETCORE_WRAPPER_ASSEMBLY_DIR_morvax": "/mine/asm",
              "DOTNET_ROOT": str(tmp_path / "none")}
    result, seen = import_installed(site, chosen)
    assert result.returncode == 0, result.stderr  # no search, so no error without a runtime
    assert seen["NETCORE_WRAPPER_NETCORE_DIR_morvax"] == "/mine/rt"
    assert seen["NETCORE_WRAPPER_ASSEMBLY_DIR_morvax"] == "/mine/asm"
    assert seen["NETCORE_WRAPPER_FRAMEWORK_DIR_morvax"] == "None"


@pytest.fixture
def backend():
    spec = importlib.util.spec_from_file_location("morvax_wheel", BACKEND)
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    return module


def fake_build(root):
    """A build tree shaped as the distribution build leaves it."""
    suffix = sysconfig.get_config_var("EXT_SUFFIX")
    package = root / "python" / "morvax"
    (package / "velto" / "__pycache__").mkdir(parents=True)
    for name in ("__init__.py", "py.typed", "velto" + suffix, "pygc" + suffix, "velto/__init__.pyi",
                 "velto/__pycache__/x.pyc"):
        (package / name).write_text(name)
    runtime = root / "runtime" / "netcore10.0"
    runtime.mkdir(parents=True)
    (runtime / "morvax.embed.coreclrwrap.so").write_text("wrapper")
    (runtime / "morvax.embed.coreclrwrap.debug.so").write_text("debug wrapper")
    (runtime / "libcoreclr.so").symlink_to(root / "runtime")  # the framework's files are links
    for name in ("velto/Morvax.Velto.dll", "velto/Morvax.Velto.xml", "velto/Morvax.Velto.pdb",
                 "velto/Dependency.dll", "interop/WrpInterop.Morvax.Velto.dll"):
        (root / "assemblies" / name).parent.mkdir(parents=True, exist_ok=True)
        (root / "assemblies" / name).write_text(name)
    return root


def test_wheel_holds_the_package_wrapper_and_assemblies_only(backend, tmp_path):
    build = fake_build(tmp_path / "build")
    name = backend.write_wheel(str(tmp_path / "dist"), backend.package_files(str(build)))
    assert name == f"morvax_velto-{backend.version()}-{backend.wheel_tag()}.whl"
    suffix = sysconfig.get_config_var("EXT_SUFFIX")
    with zipfile.ZipFile(tmp_path / "dist" / name) as wheel:
        names = set(wheel.namelist())
        info = f"morvax_velto-{backend.version()}.dist-info/"
        assert names == {"morvax/__init__.py", "morvax/py.typed", "morvax/velto" + suffix, "morvax/pygc" + suffix,
                         "morvax/velto/__init__.pyi", "morvax/_runtime/netcore10.0/morvax.embed.coreclrwrap.so",
                         "morvax/_assemblies/velto/Morvax.Velto.dll", "morvax/_assemblies/velto/Dependency.dll",
                         "morvax/_assemblies/interop/WrpInterop.Morvax.Velto.dll",
                         info + "METADATA", info + "WHEEL", info + "top_level.txt", info + "RECORD"}
        # Every file's RECORD line holds its digest and size, as pip checks them.
        for line in wheel.read(info + "RECORD").decode().splitlines():
            path, digest, size = line.split(",")
            if path == info + "RECORD":
                continue
            data = wheel.read(path)
            expected = base64.urlsafe_b64encode(hashlib.sha256(data).digest()).rstrip(b"=").decode()
            assert (digest, int(size)) == ("sha256=" + expected, len(data)), path
        assert f"Tag: {backend.wheel_tag()}" in wheel.read(info + "WHEEL").decode()


def test_backend_refuses_a_build_for_another_interpreter_or_with_tests(backend, tmp_path):
    build = fake_build(tmp_path / "build")
    (build / "python" / "morvax" / ("velto" + sysconfig.get_config_var("EXT_SUFFIX"))).unlink()
    with pytest.raises(RuntimeError, match="another interpreter"):
        backend.package_files(str(build))
    (build / "CMakeCache.txt").write_text("MORVAX_BUILD_TESTS:BOOL=ON\n")
    with pytest.raises(RuntimeError, match="build directory of its own"):
        backend.run_build(str(build))
