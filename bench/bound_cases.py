"""The bound calls the benchmarks measure, each beside its floor: (name, bound statement,
floor statement). The statements use `probe` (a testing.ValueProbe), `doc` (a Document),
`floor` (the _bench_floor module), `moment` (a naive datetime), `TEXT` (a SaveFormat
member) and `warnings` (a WarningInfoCollection)."""

CASES = [
    ("no-argument method", "probe.zero()", "floor.no_arguments()"),
    ("int property get", "probe.int_32_value", "floor.int_result()"),
    ("str property get (20 chars)", "probe.name_20", "floor.str_result()"),
    ("property set (int)", "probe.int_32_value = 5", "floor.one_argument(5)"),
    ("3-overload method, third matches", "probe.echo(2.5)", "floor.parsed_arguments(2.5)"),
    ("wrapper creation and release", "doc.first_section", "floor.new_object()"),
]

# Enumerations, dates and a callback property (an interface value), against the int
# property of the same probe.
AGAINST_INT = [
    ("enum result (property get)", "probe.format", "probe.int_32_value"),
    ("enum argument (property set)", "probe.format = TEXT", "probe.int_32_value = 5"),
    ("datetime round trip (set + get)", "probe.when = moment; probe.when", "probe.int_32_value = 5; probe.int_32_value"),
    ("callback property set", "doc.warning_callback = warnings", "probe.int_32_value = 5"),
    ("callback property get", "doc.warning_callback", "probe.int_32_value"),
]
