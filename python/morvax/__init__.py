"""The morvax package: morvax.velto and the sibling modules it builds on.

When the package sits in a built tree (build/python/morvax), the runtime and the .NET
assemblies lie beside it in build/runtime and build/assemblies; point the runtime host at
them unless the user has chosen other locations.
"""
import os as _os

_here = _os.path.dirname(_os.path.abspath(__file__))
_tree = _os.path.dirname(_os.path.dirname(_here))

for _variable, _folder in (
    ("NETCORE_WRAPPER_NETCORE_DIR_morvax", "runtime"),
    ("NETCORE_WRAPPER_ASSEMBLY_DIR_morvax", "assemblies"),
):
    _path = _os.path.join(_tree, _folder)
    if not _os.environ.get(_variable) and _os.path.isdir(_path):
        _os.environ[_variable] = _path

del _os, _here, _tree, _variable, _folder, _path
