"""The morvax package: morvax.velto and the sibling modules it builds on.

Before morvax.velto starts the .NET runtime, this tells the runtime host where things are,
unless the user has chosen other locations through the host's own variables:

- in a built tree (build/python/morvax), the runtime wrapper and the shared framework's
  files lie in build/runtime and the assemblies in build/assemblies;
- in an installed package, the wrapper and the assemblies lie in the package
  (_runtime/, _assemblies/), and the .NET 10 runtime is found where .NET installs it:
  DOTNET_ROOT, the `dotnet` on PATH, then the standard install folders.
"""
import os as _os

_RUNTIME_VARIABLE = "NETCORE_WRAPPER_NETCORE_DIR_morvax"
_ASSEMBLY_VARIABLE = "NETCORE_WRAPPER_ASSEMBLY_DIR_morvax"
_FRAMEWORK_VARIABLE = "NETCORE_WRAPPER_FRAMEWORK_DIR_morvax"
_RUNTIME_MAJOR = 10
_STANDARD_ROOTS = ("/usr/share/dotnet", "/usr/lib/dotnet", "/usr/local/share/dotnet", "/opt/dotnet",
                   "~/.dotnet")
_INSTALL_HINT = (f"Install the .NET {_RUNTIME_MAJOR} runtime (for example `apt-get install "
                 f"dotnet-runtime-{_RUNTIME_MAJOR}.0`, or Microsoft's dotnet-install script with "
                 f"`--runtime dotnet --channel {_RUNTIME_MAJOR}.0`), or set DOTNET_ROOT to the folder "
                 f"that holds it.")


def _version_key(name: str) -> "tuple[list[int], bool, str]":
    """Orders "10.0.3" after "10.0.2" and a release after its previews."""
    numbers, _, tag = name.partition("-")
    parts = [int(p) if p.isdigit() else -1 for p in numbers.split(".")]
    return parts, tag == "", tag


def _candidate_roots() -> "list[tuple[str, str]]":
    """The folders that may hold a .NET installation, in the order they are tried."""
    roots: "list[tuple[str, str]]" = []
    if _os.environ.get("DOTNET_ROOT"):
        roots.append(("DOTNET_ROOT", _os.environ["DOTNET_ROOT"]))
    for folder in _os.environ.get("PATH", "").split(_os.pathsep):
        executable = _os.path.join(folder, "dotnet")
        if folder and _os.path.isfile(executable):
            roots.append(("the dotnet on PATH", _os.path.dirname(_os.path.realpath(executable))))
            break
    roots.extend(("a standard install folder", _os.path.expanduser(r)) for r in _STANDARD_ROOTS)
    return roots


def find_framework() -> str:
    """The newest .NET 10 shared framework folder (the one holding libcoreclr.so).

    Raises ImportError naming every place looked at, and how to install a runtime.
    """
    looked = []
    for how, root in _candidate_roots():
        shared = _os.path.join(root, "shared", "Microsoft.NETCore.App")
        looked.append(f"{shared} ({how})")
        try:
            versions = [v for v in _os.listdir(shared) if v.split(".")[0] == str(_RUNTIME_MAJOR)]
        except OSError:
            continue
        for version in sorted(versions, key=_version_key, reverse=True):
            folder = _os.path.join(shared, version)
            if _os.path.isfile(_os.path.join(folder, "libcoreclr.so")):
                return folder
    raise ImportError(f"morvax.velto needs the .NET {_RUNTIME_MAJOR} runtime (Microsoft.NETCore.App "
                      f"{_RUNTIME_MAJOR}.x) and found none. Looked in:\n  " + "\n  ".join(looked) +
                      "\n" + _INSTALL_HINT)


def _point_host_at_locations() -> None:
    here = _os.path.dirname(_os.path.abspath(__file__))
    tree = _os.path.dirname(_os.path.dirname(here))
    built = (_os.path.join(tree, "runtime"), _os.path.join(tree, "assemblies"))
    installed = (_os.path.join(here, "_runtime"), _os.path.join(here, "_assemblies"))
    runtime_root, assembly_root = installed if _os.path.isdir(installed[0]) else built
    if not _os.environ.get(_ASSEMBLY_VARIABLE) and _os.path.isdir(assembly_root):
        _os.environ[_ASSEMBLY_VARIABLE] = assembly_root
    if _os.environ.get(_RUNTIME_VARIABLE) or not _os.path.isdir(runtime_root):
        return
    if runtime_root == installed[0] and not _os.environ.get(_FRAMEWORK_VARIABLE):
        # The package holds only the wrapper; the framework comes from the .NET install.
        _os.environ[_FRAMEWORK_VARIABLE] = find_framework()
    _os.environ[_RUNTIME_VARIABLE] = runtime_root


_point_host_at_locations()
