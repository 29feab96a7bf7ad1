"""A short demonstration: start the .NET runtime inside Python through morvax.velto."""
import morvax.velto as mv

print("morvax.velto", mv.VERSION, "(compatible back to", str(mv._BACKWARD_COMPATIBILITY_THRESHOLD) + ")")
with open("/proc/self/maps") as maps:
    runtime = sorted({line.split()[-1] for line in maps if line.rstrip().endswith("libcoreclr.so")})
print(".NET runtime loaded in this process:", ", ".join(runtime) or "no")
