// The cost of one call through an exchange-host delegate against a plain native call of the
// same shape, and the time to start the runtime. Prints the ratios after the table.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "host/delegate_table.h"
#include "host/exchange_host.h"
#include "host/host_bridge.h"

namespace {

using morvax::host::ExchangeHost;

// The floor: a native function of the same shape as FreeInstance, never inlined.
extern "C" __attribute__((noinline)) void PlainRelease(uint32_t handle) {
  benchmark::DoNotOptimize(handle);
  asm volatile("" ::: "memory");
}

void (*volatile g_plainRelease)(uint32_t) = &PlainRelease;
int32_t (*g_echo)(int32_t) = nullptr;
void (*g_nop)(uint32_t) = nullptr;

void BM_PlainNativeCall(benchmark::State& state) {
  for (auto _ : state) g_plainRelease(0);
}
BENCHMARK(BM_PlainNativeCall);

// FreeInstance(0): the exchange host's cheapest real entry point (null releases nothing).
void BM_ExchangeHostFreeInstanceNull(benchmark::State& state) {
  const ExchangeHost& exchange = ExchangeHost::Instance();
  for (auto _ : state) exchange.FreeInstance(0);
}
BENCHMARK(BM_ExchangeHostFreeInstanceNull);

// An empty [UnmanagedCallersOnly] method of the same shape: CoreCLR's own transition cost.
void BM_EmptyManagedEntry(benchmark::State& state) {
  for (auto _ : state) g_nop(0);
}
BENCHMARK(BM_EmptyManagedEntry);

void BM_ManagedEcho(benchmark::State& state) {
  int32_t x = 1;
  for (auto _ : state) benchmark::DoNotOptimize(x = g_echo(x));
}
BENCHMARK(BM_ManagedEcho);

// Keeps the mean time per iteration of each run for the ratio lines.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const auto& run : runs) times_[run.benchmark_name()] = run.GetAdjustedRealTime();
  }
  double time(const std::string& name) const { return times_.at(name); }

 private:
  std::map<std::string, double> times_;
};

}  // namespace

int main(int argc, char** argv) {
  setenv("NETCORE_WRAPPER_NETCORE_DIR_morvax", MORVAX_RUNTIME_ROOT, 0);
  setenv("NETCORE_WRAPPER_ASSEMBLY_DIR_morvax", MORVAX_ASSEMBLY_ROOT, 0);
  auto start = std::chrono::steady_clock::now();
  morvax::host::HostBridge::Acquire();
  auto started = std::chrono::steady_clock::now();
  if (!ExchangeHost::Instance().Bind(morvax::host::kInteropAssembly)) {
    std::fprintf(stderr, "%s\n", ExchangeHost::Instance().errorText().c_str());
    return 1;
  }
  auto bound = std::chrono::steady_clock::now();
  std::string error;
  if (!morvax::host::BindEntry(morvax::host::kInteropAssembly, "Morvax.WrpGen.Interop.Diagnostics", "Echo",
                               reinterpret_cast<void**>(&g_echo), error) ||
      !morvax::host::BindEntry(morvax::host::kInteropAssembly, "Morvax.WrpGen.Interop.Diagnostics", "Nop",
                               reinterpret_cast<void**>(&g_nop), error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }

  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);

  auto ms = [](auto a, auto b) { return std::chrono::duration<double, std::milli>(b - a).count(); };
  double plain = reporter.time("BM_PlainNativeCall");
  double exchange = reporter.time("BM_ExchangeHostFreeInstanceNull");
  double empty = reporter.time("BM_EmptyManagedEntry");
  std::printf("\nruntime start (HostBridge::Acquire): %.1f ms; exchange host bind (15 delegates): %.1f ms\n",
              ms(start, started), ms(started, bound));
  std::printf("delegate call / plain native call: %.2fx (%.2f ns vs %.2f ns)\n", exchange / plain, exchange, plain);
  std::printf("delegate call / (plain call + empty managed transition): %.2fx (transition %.2f ns)\n",
              exchange / (plain + empty), empty);
  benchmark::Shutdown();
  return 0;
}
