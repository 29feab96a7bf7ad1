"""The drawing value types as Python code sees them."""
import copy
import math
import pickle

import pytest

import sibling_support  # noqa: F401
from morvax.pydrawing import Color, Point, PointF, Rectangle, RectangleF, Size, SizeF


class TestColor:
    def test_components(self):
        c = Color(a=10, r=20, g=30, b=40)
        assert (c.a, c.r, c.g, c.b) == (10, 20, 30, 40)
        assert c.to_argb() == 0x0A141E28
        assert Color(r=1) == Color(255, 1, 0, 0)  # alpha defaults to opaque
        assert repr(c) == "Color(a=10, r=20, g=30, b=40)"

    @pytest.mark.parametrize("kwargs", [{"a": 256}, {"r": -1}, {"b": 1000}])
    def test_component_range(self, kwargs):
        with pytest.raises(ValueError, match="0..255"):
            Color(**kwargs)

    def test_from_argb_forms(self):
        assert Color.from_argb(0xFF112233) == Color(255, 0x11, 0x22, 0x33)
        # Signed, as .NET's ToArgb gives it, and unsigned, as written in hex.
        assert Color.from_argb(-1) == Color.from_argb(0xFFFFFFFF) == Color.white
        assert Color.from_argb(1, 2, 3) == Color(255, 1, 2, 3)
        assert Color.from_argb(4, 1, 2, 3) == Color(4, 1, 2, 3)
        assert Color.from_argb(-1).to_argb() == 0xFFFFFFFF

    @pytest.mark.parametrize("args, error", [
        ((2**32,), OverflowError), ((-2**31 - 1,), OverflowError), ((1.5,), TypeError),
        ((1, 2), TypeError), ((), TypeError), ((1, 2, 300), ValueError),
    ])
    def test_from_argb_rejects(self, args, error):
        with pytest.raises(error):
            Color.from_argb(*args)

    def test_empty_is_not_transparent_black(self):
        black0 = Color.from_argb(0)
        assert Color.empty.is_empty and not black0.is_empty
        assert Color.empty.to_argb() == black0.to_argb() == 0
        assert Color.empty != black0
        assert len({Color.empty, black0, Color.from_argb(0)}) == 2
        assert repr(Color.empty) == "Color.empty"

    def test_named_constants(self):
        assert Color.red.to_argb() == 0xFFFF0000
        assert Color.black.to_argb() == 0xFF000000
        assert Color.white.to_argb() == 0xFFFFFFFF
        assert Color.transparent.to_argb() == 0x00FFFFFF

    def test_immutable(self):
        with pytest.raises(AttributeError):
            Color.red.r = 0
        with pytest.raises(TypeError):
            Color.red = Color.black
        assert Color.red.to_argb() == 0xFFFF0000


class TestShapes:
    def test_construction(self):
        assert Point() == Point(0, 0)
        r = Rectangle(1, 2, height=4, width=3)
        assert (r.x, r.y, r.width, r.height) == (1, 2, 3, 4)
        s = SizeF(width=1, height=2.5)
        assert (s.width, s.height) == (1.0, 2.5) and isinstance(s.width, float)
        assert repr(r) == "Rectangle(x=1, y=2, width=3, height=4)"
        assert repr(PointF(0.1, -2)) == "PointF(x=0.1, y=-2.0)"
        assert repr(Size(-5, 7)) == "Size(width=-5, height=7)"

    @pytest.mark.parametrize("factory, args, error", [
        (Point, (1.5, 2), TypeError),
        (Point, ("1", 2), TypeError),
        (Size, (2**31, 0), OverflowError),
        (Rectangle, (1, 2, 3, 4, 5), TypeError),
        (PointF, ("x", 0), TypeError),
        (Point, (), None),
    ])
    def test_argument_checks(self, factory, args, error):
        if error is None:
            factory(*args)
            with pytest.raises(TypeError):
                factory(z=1)
        else:
            with pytest.raises(error):
                factory(*args)

    def test_equality_and_hash(self):
        assert Point(1, 2) == Point(1, 2) and Point(1, 2) != Point(2, 1)
        assert hash(Point(1, 2)) == hash(Point(1, 2))
        assert Point(1, 2) != PointF(1, 2)        # different types never compare equal
        assert Point(1, 2) != Size(1, 2)
        assert PointF(0.0, 1) == PointF(-0.0, 1)  # equal values must hash alike
        assert hash(PointF(0.0, 1)) == hash(PointF(-0.0, 1))
        assert {Rectangle(1, 2, 3, 4): "r"}[Rectangle(1, 2, 3, 4)] == "r"

    def test_nan_hash_is_stable(self):
        p = RectangleF(math.nan, 0, 0, 0)
        assert p != RectangleF(math.nan, 0, 0, 0)
        assert hash(p) == hash(p)
        assert {p: 1}[p] == 1  # the same object can still be found

    def test_float_fields_are_float32(self):
        assert PointF(16777217, 0).x == 16777216.0
        assert PointF(1e39, 0).x == math.inf

    def test_immutable(self):
        with pytest.raises(AttributeError):
            Point(1, 2).x = 3
        with pytest.raises(TypeError):
            class Sub(Point):
                pass


@pytest.mark.parametrize("value", [
    Point(1, -2), SizeF(0.1, math.inf), RectangleF(1.5, 2, 3, 4), Rectangle(-1, 0, 2**31 - 1, 3),
    Color.red, Color(0, 1, 2, 3), Color.empty])
def test_values_copy_and_pickle(value):
    assert pickle.loads(pickle.dumps(value)) == value
    assert copy.deepcopy(value) == value
    assert type(copy.copy(value)) is type(value)
