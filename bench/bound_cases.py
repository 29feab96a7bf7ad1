"""The bound calls the benchmarks measure, each beside its floor: (name, bound statement,
floor statement). The statements use `probe` (a testing.ValueProbe), `doc` (a Document)
and `floor` (the _bench_floor module)."""

CASES = [
    ("no-argument method", "probe.zero()", "floor.no_arguments()"),
    ("int property get", "probe.int_32_value", "floor.int_result()"),
    ("str property get (20 chars)", "probe.name_20", "floor.str_result()"),
    ("property set (int)", "probe.int_32_value = 5", "floor.one_argument(5)"),
    ("3-overload method, third matches", "probe.echo(2.5)", "floor.parsed_arguments(2.5)"),
    ("wrapper creation and release", "doc.first_section", "floor.new_object()"),
]
