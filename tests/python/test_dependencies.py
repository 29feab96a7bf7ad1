"""The version check of the sibling modules, with fake siblings placed ahead on the path."""
import pathlib
import textwrap

import pytest

from conftest import chain_lines, import_velto

TESTS = pathlib.Path(__file__).resolve().parent

DRAWING_CAPSULES = ["Color", "Size", "RectangleF", "Rectangle", "SizeF", "PointF", "Point"]
REFLECTION_CAPSULES = ["Type", "Object", "Enum"]

GOOD = "make(24, 5, 3, 0, '24.5.3.0')"
LOW_THRESHOLD = "make(24, 0, 0, 0, '24.0.0.0')"


def fake_sibling(name, version=GOOD, threshold=LOW_THRESHOLD, capsules=None, body=""):
    """Source of a fake morvax.<name>; None leaves the attribute out."""
    if capsules is None:
        capsules = {"pygc": ["morvax.pygc._C_APIF"],
                    "pydrawing": [f"morvax.pydrawing._C_APITV1_{c}" for c in DRAWING_CAPSULES],
                    "pyreflection": [f"morvax.pyreflection._C_APIT_{c}" for c in REFLECTION_CAPSULES]}[name]
    lines = [f"import sys; sys.path.insert(0, {str(TESTS)!r})",
             "from fake_capsules import capsule",
             "from _sibling_versions import make, make_misnamed", body]
    if version is not None:
        lines.append(f"VERSION = {version}")
    if threshold is not None:
        lines.append(f"_BACKWARD_COMPATIBILITY_THRESHOLD = {threshold}")
    for full in capsules:
        lines.append(f"{full.rsplit('.', 1)[1]} = capsule({full!r})")
    return "\n".join(lines) + "\n"


def import_with_fake(tmp_path, name, source, after=""):
    (tmp_path / f"{name}.py").write_text(source)
    prelude = f"morvax.__path__.insert(0, {str(tmp_path)!r})"
    return import_velto(prelude=prelude, after=after)


def load_failure(code):
    return f"ImportError: One or more errors occurred while loading the module 'morvax.velto' ({code})"


def cannot_import(name):
    return f"ImportError: Unable to import module dependencies. Cannot import the morvax.{name} module. "


def test_boundary_versions_are_accepted(built, tmp_path):
    source = fake_sibling("pygc", version=GOOD, threshold=GOOD)
    result = import_with_fake(tmp_path, "pygc", source, after="import morvax.pygc as g; print(g.VERSION)")
    assert "IMPORT OK" in result.stdout, result.stdout + result.stderr
    assert "24.5.3.0" in result.stdout


REJECTIONS = [
    pytest.param("pygc", dict(version="make(24, 5, 2, 9, '24.5.2.9')"), -1008,
                 "The morvax.pygc module found has a version ('24.5.2.9') that is lower than the referenced "
                 "version of that module ('24.5.3.0').", id="version-lower"),
    pytest.param("pygc", dict(threshold="make(24, 5, 3, 1, '24.5.3.1')"), -1008,
                 "The installed version of the module ('24.5.3.0') is not compatible with the referenced vesion "
                 "of the module ('24.5.3.0'). The installed version of the module is not compatible with the "
                 "module versions < '24.5.3.1'. Update dendend module 'morvax.velto' to a latest version.",
                 id="threshold-above"),
    pytest.param("pygc", dict(version=None), -1008,
                 "The morvax.pygc module found does not have 'VERSION' attribute to check version compatibility.",
                 id="no-version"),
    pytest.param("pygc", dict(threshold=None), -1008,
                 "The morvax.pygc module found does not have 'BACKWARD_COMPATIBILITY_THRESHOLD' attribute to check "
                 "version compatibility.", id="no-threshold"),
    pytest.param("pygc", dict(version="(24, 5, 3, 0)"), -1008, "that is not a version value", id="version-tuple"),
    pytest.param("pygc", dict(threshold="'24.0.0.0'"), -1008, "that is not a version value", id="threshold-str"),
    pytest.param("pygc", dict(version="make_misnamed(24, 5, 3, 0, '24.5.3.0')"), -1008,
                 "that is not a version value", id="same-size-other-type"),
    pytest.param("pydrawing", dict(version="make(1, 0, 0, 0, '1.0.0.0')"), -1009,
                 "that is lower than the referenced version", id="drawing-lower"),
    pytest.param("pyreflection", dict(threshold="make(99, 0, 0, 0, '99.0.0.0')"), -1009,
                 "not compatible with the module versions < '99.0.0.0'", id="reflection-threshold"),
]


@pytest.mark.parametrize("name,attributes,code,message", REJECTIONS)
def test_rejected_sibling_fails_the_import_cleanly(built, tmp_path, name, attributes, code, message):
    result = import_with_fake(tmp_path, name, fake_sibling(name, **attributes))
    chain = chain_lines(result)
    assert chain[:1] == [load_failure(code)], result.stdout + result.stderr
    assert chain[1].startswith(cannot_import(name)) and message in chain[1], chain
    assert result.returncode == 0


def test_a_sibling_that_fails_to_import_is_the_cause(built, tmp_path):
    result = import_with_fake(tmp_path, "pyreflection", "raise ZeroDivisionError('inside the sibling')\n")
    chain = chain_lines(result)
    assert chain == [
        load_failure(-1009),
        cannot_import("pyreflection") + "The module not found or errors occurred while initializing it.",
        "ZeroDivisionError: inside the sibling",
    ]


def test_missing_gc_capsule_is_chained_under_the_capsule_error(built, tmp_path):
    result = import_with_fake(tmp_path, "pygc", fake_sibling("pygc", capsules=[]))
    chain = chain_lines(result)
    assert chain[:2] == [load_failure(-1008), "ImportError: can't import capsule 'morvax.pygc._C_APIF'"], chain
    assert chain[2].startswith("AttributeError")


def test_missing_drawing_capsule_stops_the_capsule_imports_there(built, tmp_path):
    names = [f"morvax.pydrawing._C_APITV1_{c}" for c in DRAWING_CAPSULES if c != "PointF"]
    result = import_with_fake(tmp_path, "pydrawing", fake_sibling("pydrawing", capsules=names))
    chain = chain_lines(result)
    assert chain[:2] == [load_failure(-1009), "ImportError: can't import capsule 'morvax.pydrawing._C_APITV1_PointF'"]


def test_a_failed_start_fails_the_same_way_again(built, tmp_path):
    source = fake_sibling("pygc", version="make(24, 5, 2, 9, '24.5.2.9')")
    again = "try:\n    import morvax.velto\nexcept ImportError as e:\n    _show_chain(e)\n"
    result = import_with_fake(tmp_path, "pygc", source, after=again)
    chain = chain_lines(result)
    assert len(chain) == 4 and chain[:2] == chain[2:], chain
