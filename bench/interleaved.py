"""Timing a measured statement against its floor on a shared, busy machine.

Every round times each floor and its bound statement one right after the other, so that a
busy moment of the machine falls on both rather than on one side of a ratio. The reported
time is the minimum over the rounds (the run least disturbed); the spread, how far the
median round lies above that minimum, shows how noisy the run was.
"""
import statistics
import timeit


def timings(pairs, globals, rounds=7, number=1, per=1):
    """For each statement of the (bound, floor) pairs, the ns per unit of every round: each
    timing runs the statement `number` times and is divided by number * per (per: the items
    one run of the statement walks)."""
    timers = {s: timeit.Timer(s, globals=globals) for pair in pairs for s in pair}
    seen = {s: [] for s in timers}
    for _ in range(rounds):
        for bound, base in pairs:
            for statement in (base, bound):
                seen[statement].append(timers[statement].timeit(number) / (number * per) * 1e9)
    return seen


def spread(values):
    """How far the median lies above the minimum, in percent: the noise of the run."""
    return (statistics.median(values) / min(values) - 1) * 100


def warm_up(statements, globals, number=1, passes=3):
    """Runs each statement a few times: .NET compiles hot methods again, optimised, a little
    after their first calls (tiered compilation); the benchmarks measure the steady state."""
    import time

    for _ in range(passes):
        for statement in statements:
            timeit.timeit(statement, number=number, globals=globals)
        time.sleep(0.3)


def row(name, seen, bound, base, target=None, width=44):
    """One printed line: bound and floor minimums, their ratio, both spreads, the target's verdict."""
    b, f = min(seen[bound]), min(seen[base])
    mark = "" if target is None else f"<= {target:.1f}x " + ("ok" if b / f <= target else "MISSED")
    return f"{name:{width}} {b:9.1f} {f:9.1f} {b / f:6.2f} {spread(seen[bound]):5.1f}%/{spread(seen[base]):5.1f}%  {mark}"


def header(first="case (per item)", width=44, bound="bound ns", base="floor ns"):
    return f"{first:{width}} {bound:>9} {base:>9} {'ratio':>6} {'spread':>13}  target"
