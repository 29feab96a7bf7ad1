"""The in-repository build backend: builds the wheel with CMake and the .NET SDK.

pip (`pip wheel .`, `pip install .`) calls build_wheel through pyproject.toml. Only the
standard library is used, since no Python package index is reachable. The build runs in
a build directory of its own (Release, without the test probe and without tests), which
is reused when it already exists; MORVAX_WHEEL_BUILD_DIR chooses another one.

The wheel holds the package as the build lays it out (extension and sibling modules,
__init__.py, stubs, py.typed), the release runtime wrapper under morvax/_runtime/ and the
assemblies with their NuGet dependencies under morvax/_assemblies/; not the .NET runtime,
which the package finds where .NET installs it.
"""
import base64
import hashlib
import os
import re
import subprocess
import sys
import sysconfig
import zipfile

SOURCE = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
NAME = "morvax_velto"
WRAPPER = "morvax.embed.coreclrwrap.so"
# Assembly folders that only the tests use, and files the runtime never reads.
SKIPPED_ASSEMBLY_SUFFIXES = (".pdb", ".xml")


def get_requires_for_build_wheel(config_settings=None):
    return []


def get_requires_for_build_sdist(config_settings=None):
    return []


def version():
    """The library's version, the one version of the whole package."""
    with open(os.path.join(SOURCE, "dotnet", "Morvax.Velto", "Morvax.Velto.csproj"), encoding="utf-8") as project:
        found = re.search(r"<Version>([0-9][0-9.]*)</Version>", project.read())
    if not found:
        raise RuntimeError("no <Version> in dotnet/Morvax.Velto/Morvax.Velto.csproj")
    return found.group(1)


def wheel_tag():
    """cp311-cp311-linux_x86_64 for the interpreter that builds (the one the extension is for)."""
    interpreter = f"cp{sys.version_info.major}{sys.version_info.minor}"
    platform = sysconfig.get_platform().replace("-", "_").replace(".", "_")
    return f"{interpreter}-{interpreter}-{platform}"


def build_directory(config_settings):
    chosen = (config_settings or {}).get("build-dir") or os.environ.get("MORVAX_WHEEL_BUILD_DIR")
    return os.path.abspath(chosen or os.path.join(SOURCE, "build-wheel"))


def run_build(build):
    """Configures and builds the distribution build; output goes to stderr so pip shows it on failure."""
    cache = os.path.join(build, "CMakeCache.txt")
    if os.path.isfile(cache):
        with open(cache, encoding="utf-8") as settings:
            if "MORVAX_BUILD_TESTS:BOOL=ON" in settings.read():
                raise RuntimeError(f"{build} is a build with tests; a wheel needs a build directory of its own")
    def run(*command):
        print("+", " ".join(command), file=sys.stderr, flush=True)
        subprocess.run(command, check=True, stdout=sys.stderr)
    run("cmake", "-S", SOURCE, "-B", build, "-DCMAKE_BUILD_TYPE=Release",
        "-DMORVAX_TEST_PROBE=OFF", "-DMORVAX_BUILD_TESTS=OFF")
    run("cmake", "--build", build, "-j", str(os.cpu_count() or 1))


def package_files(build):
    """(path in the wheel, file on disk) for everything the wheel holds."""
    package = os.path.join(build, "python", "morvax")
    suffix = sysconfig.get_config_var("EXT_SUFFIX")
    if not os.path.isfile(os.path.join(package, "velto" + suffix)):
        raise RuntimeError(f"{package} holds no velto{suffix}: the build is for another interpreter "
                           f"than {sys.executable}")
    files = []
    for folder, directories, names in os.walk(package):
        directories[:] = sorted(d for d in directories if d != "__pycache__")
        for name in sorted(names):
            path = os.path.join(folder, name)
            files.append(("morvax/" + os.path.relpath(path, package), path))
    # Only the release wrapper: the runtime directory's other entries link to the framework.
    files.append((f"morvax/_runtime/netcore10.0/{WRAPPER}", os.path.join(build, "runtime", "netcore10.0", WRAPPER)))
    assemblies = os.path.join(build, "assemblies")
    for folder, directories, names in os.walk(assemblies):
        directories.sort()
        for name in sorted(names):
            if name.endswith(SKIPPED_ASSEMBLY_SUFFIXES):
                continue
            path = os.path.join(folder, name)
            files.append(("morvax/_assemblies/" + os.path.relpath(path, assemblies), path))
    return files


def metadata():
    return (f"Metadata-Version: 2.1\nName: morvax-velto\nVersion: {version()}\n"
            "Summary: A .NET document library, usable from Python as ordinary Python types\n"
            "Requires-Python: >=3.11\n")


def record_line(path, data):
    digest = base64.urlsafe_b64encode(hashlib.sha256(data).digest()).rstrip(b"=").decode()
    return f"{path},sha256={digest},{len(data)}"


def write_wheel(wheel_directory, files):
    tag = wheel_tag()
    dist_info = f"{NAME}-{version()}.dist-info"
    wheel_name = f"{NAME}-{version()}-{tag}.whl"
    generated = {
        f"{dist_info}/METADATA": metadata().encode(),
        f"{dist_info}/WHEEL": (f"Wheel-Version: 1.0\nGenerator: morvax_wheel\nRoot-Is-Purelib: false\n"
                               f"Tag: {tag}\n").encode(),
        f"{dist_info}/top_level.txt": b"morvax\n",
    }
    records = []
    os.makedirs(wheel_directory, exist_ok=True)
    with zipfile.ZipFile(os.path.join(wheel_directory, wheel_name), "w", zipfile.ZIP_DEFLATED) as wheel:
        for arcname, path in files:
            with open(path, "rb") as source:
                data = source.read()
            info = zipfile.ZipInfo(arcname, date_time=(2020, 1, 1, 0, 0, 0))
            info.external_attr = (0o755 if os.access(path, os.X_OK) else 0o644) << 16
            info.compress_type = zipfile.ZIP_DEFLATED
            wheel.writestr(info, data)
            records.append(record_line(arcname, data))
        for arcname, data in generated.items():
            wheel.writestr(arcname, data)
            records.append(record_line(arcname, data))
        records.append(f"{dist_info}/RECORD,,")
        wheel.writestr(f"{dist_info}/RECORD", "\n".join(records) + "\n")
    return wheel_name


def build_wheel(wheel_directory, config_settings=None, metadata_directory=None):
    build = build_directory(config_settings)
    run_build(build)
    return write_wheel(wheel_directory, package_files(build))
