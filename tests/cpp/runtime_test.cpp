// Starts the real runtime from the built layout and exercises the delegates of the exchange
// host and the object host with stand-in callbacks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "host/delegate_table.h"
#include "host/exchange_host.h"
#include "host/host_bridge.h"
#include "host/object_host.h"

namespace morvax::host {
namespace {

// Stand-ins for the Python builders: "objects" are strings kept here for the whole run.
std::deque<std::u16string> g_built;
std::vector<std::pair<std::u16string, std::u16string>> g_reported;

extern "C" void* BuildString(const char16_t* units, int32_t count) {
  g_built.emplace_back(units, units + count);
  return &g_built.back();
}

extern "C" void ReportException(void* first, void* second) {
  auto text = [](void* p) { return p ? *static_cast<std::u16string*>(p) : u"<null>"; };
  g_reported.emplace_back(text(first), text(second));
}

// Stand-ins for a pending Python error and the reference table: the "text object" is a
// string kept here, and dropping a reference records which object was dropped.
struct TextView {  // the layout of interop/unicode_view.h's UnicodeView
  int32_t length;
  int32_t kind;
  const void* data;
};
const std::u16string g_errorText = u"ValueError: bad\n";
std::vector<const void*> g_dropped;

extern "C" int32_t CatchAndClearError(const void** text, TextView* view) {
  *text = &g_errorText;
  *view = {static_cast<int32_t>(g_errorText.size()), 2, g_errorText.data()};
  return 0;
}
extern "C" void* NewNoneReference() { return nullptr; }
extern "C" void AddReference(void*) {}
extern "C" void DropReference(void* object) { g_dropped.push_back(object); }
struct ReferenceTable {
  void* (*newNone)();
  void (*add)(void*);
  void (*drop)(void*);
} g_references = {NewNoneReference, AddReference, DropReference};

// The diagnostics entry points of the interop assembly.
struct Diagnostics {
  int32_t (*liveHandleCount)();
  uint32_t (*newProbe)(int32_t hash, const char16_t* text, int32_t length);
  void (*throwWith)(const char16_t* text, int32_t length);
  int32_t (*echo)(int32_t);
  void* (*takePythonError)();
  int32_t (*heldPythonTextCount)();
};

class RuntimeTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    setenv("NETCORE_WRAPPER_NETCORE_DIR_morvax", MORVAX_RUNTIME_ROOT, 1);
    setenv("NETCORE_WRAPPER_ASSEMBLY_DIR_morvax", MORVAX_ASSEMBLY_ROOT, 1);
    HostBridge& bridge = HostBridge::Acquire();
    ASSERT_TRUE(bridge.domainInitialized());
    ExchangeHost& exchange = ExchangeHost::Instance();
    ASSERT_TRUE(exchange.Bind(kInteropAssembly)) << exchange.errorText();
    exchange.Register(ExchangeHost::kSetExceptionCallback, reinterpret_cast<void*>(&ReportException));
    exchange.Register(ExchangeHost::kSetPyStrBuilderCallback, reinterpret_cast<void*>(&BuildString));
    exchange.Register(ExchangeHost::kSetU16StrBuilderCallback, reinterpret_cast<void*>(&BuildString));
    exchange.Register(ExchangeHost::kSetCatchAndClearErrorCallback, reinterpret_cast<void*>(&CatchAndClearError));
    exchange.Register(ExchangeHost::kSetPyObjApiCallbacks, &g_references);
    exchange.InitServices();

    static const char* const kEntries[] = {"LiveHandleCount", "NewProbe",           "Throw", "Echo",
                                           "TakePythonError", "HeldPythonTextCount"};
    std::string error;
    for (size_t i = 0; i < sizeof kEntries / sizeof kEntries[0]; ++i) {
      ASSERT_TRUE(BindEntry(kInteropAssembly, "Morvax.WrpGen.Interop.Diagnostics", kEntries[i],
                            reinterpret_cast<void**>(&diagnostics) + i, error))
          << error;
    }
  }
  void SetUp() override { g_reported.clear(); }

  static inline Diagnostics diagnostics{};
};

TEST_F(RuntimeTest, RuntimeIsMappedAndRuns) {
  EXPECT_TRUE(HostBridge::Acquire().loadedHere());
  EXPECT_EQ(diagnostics.echo(41), 41);
  EXPECT_EQ(diagnostics.echo(-7), -7);
}

TEST_F(RuntimeTest, HandlesAreOwnedAndReleasedOnce) {
  ExchangeHost& exchange = ExchangeHost::Instance();
  int32_t before = diagnostics.liveHandleCount();
  uint32_t handle = diagnostics.newProbe(-1, u"probe", 5);
  ASSERT_NE(handle, 0u);
  EXPECT_EQ(diagnostics.liveHandleCount(), before + 1);

  auto typeName = static_cast<std::u16string*>(exchange.GetTypeName(handle));
  ASSERT_NE(typeName, nullptr);
  EXPECT_EQ(*typeName, u"Morvax.WrpGen.Interop.Probe");

  exchange.FreeInstance(handle);
  EXPECT_EQ(diagnostics.liveHandleCount(), before);
  EXPECT_TRUE(g_reported.empty());

  // A second release is reported as a .NET exception, not undefined behaviour.
  exchange.FreeInstance(handle);
  ASSERT_EQ(g_reported.size(), 1u);
  EXPECT_EQ(diagnostics.liveHandleCount(), before);
  exchange.FreeInstance(0);  // null is nothing to release
  EXPECT_EQ(g_reported.size(), 1u);
}

// The message the table gives for a handle that is not live, as the exception callback gets it.
std::u16string NotLive(uint32_t handle, const char* why) {
  char text[64];
  std::snprintf(text, sizeof text, "handle 0x%08X %s", handle, why);
  return std::u16string(text, text + std::strlen(text));
}

TEST_F(RuntimeTest, StaleAndForeignHandlesAreRefusedWhileTheirSlotLivesOn) {
  ExchangeHost& exchange = ExchangeHost::Instance();
  const ObjectHost& objects = ObjectHost::Instance();
  int32_t before = diagnostics.liveHandleCount();
  uint32_t first = diagnostics.newProbe(1, u"a", 1);
  exchange.FreeInstance(first);
  // The freed slot is the next one taken, under a new generation.
  uint32_t second = diagnostics.newProbe(2, u"b", 1);
  ASSERT_EQ(second & 0xFFFFFFu, first & 0xFFFFFFu);
  ASSERT_NE(second, first);
  g_reported.clear();

  EXPECT_EQ(exchange.GetTypeName(first), nullptr);
  exchange.FreeInstance(first);  // must not free the slot's new occupant
  const uint32_t foreign[] = {0x00FFFFFEu, 0x01000000u, (second & 0xFF000000u) | 0x00FFFFu};
  for (uint32_t handle : foreign) exchange.FreeInstance(handle);
  ASSERT_EQ(g_reported.size(), 5u);
  EXPECT_EQ(g_reported[0].second, NotLive(first, "was already freed"));
  EXPECT_EQ(g_reported[1].first, u"System.InvalidOperationException");
  EXPECT_EQ(g_reported[1].second, NotLive(first, "was already freed"));
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(g_reported[2 + i].first, u"System.ArgumentException");
    EXPECT_EQ(g_reported[2 + i].second.rfind(NotLive(foreign[i], "was never issued"), 0), 0u);
  }
  EXPECT_EQ(objects.GetHashOfObj(second), 2);
  EXPECT_EQ(diagnostics.liveHandleCount(), before + 1);
  exchange.FreeInstance(second);
  EXPECT_EQ(diagnostics.liveHandleCount(), before);
}

TEST_F(RuntimeTest, AQueuedBatchFreesEveryHandleButTheDoubledOne) {
  ExchangeHost& exchange = ExchangeHost::Instance();
  const ObjectHost& objects = ObjectHost::Instance();
  int32_t before = diagnostics.liveHandleCount();
  std::vector<uint32_t> handles;
  for (int i = 0; i < 63; ++i) handles.push_back(diagnostics.newProbe(i, u"q", 1));
  for (uint32_t handle : handles) exchange.Release(handle);
  EXPECT_EQ(diagnostics.liveHandleCount(), before);  // queued counts as released
  g_reported.clear();
  exchange.Release(handles[5]);  // the 64th entry fills the queue: the batch is freed now
  ASSERT_EQ(g_reported.size(), 1u);
  EXPECT_EQ(g_reported[0].second, NotLive(handles[5], "was already freed"));
  EXPECT_EQ(diagnostics.liveHandleCount(), before);
  // Every freed slot is taken again exactly once: no slot went on the free list twice.
  std::vector<uint32_t> again;
  for (int i = 0; i < 64; ++i) again.push_back(diagnostics.newProbe(1000 + i, u"r", 1));
  std::vector<uint32_t> slots;
  for (uint32_t handle : again) slots.push_back(handle & 0xFFFFFFu);
  std::sort(slots.begin(), slots.end());
  EXPECT_EQ(std::adjacent_find(slots.begin(), slots.end()), slots.end());
  for (int i = 0; i < 64; ++i) EXPECT_EQ(objects.GetHashOfObj(again[i]), 1000 + i);
  for (uint32_t handle : again) exchange.FreeInstance(handle);
  EXPECT_EQ(diagnostics.liveHandleCount(), before);
}

TEST_F(RuntimeTest, ObjectHostAnswersForAProbe) {
  const ObjectHost& objects = ObjectHost::Instance();
  ASSERT_FALSE(objects.failed()) << objects.errorText();
  uint32_t a = diagnostics.newProbe(1234, u"text\u00e9", 5);
  uint32_t b = diagnostics.newProbe(1234, u"text\u00e9", 5);
  EXPECT_EQ(objects.GetHashOfObj(a), 1234);
  EXPECT_TRUE(objects.IsEqualsOfObj(a, KindHandle{0, b}));
  EXPECT_FALSE(objects.IsEqualsOfObj(a, KindHandle{0, 0}));
  void* text = nullptr;
  ASSERT_EQ(objects.ToStringOfObj(a, &text), 1);
  EXPECT_EQ(*static_cast<std::u16string*>(text), u"text\u00e9");
  uint32_t type = 0;
  EXPECT_EQ(objects.GetObjType(a, &type), 1);
  EXPECT_NE(type, 0u);
  ExchangeHost::Instance().FreeInstance(type);
  ExchangeHost::Instance().FreeInstance(a);
  ExchangeHost::Instance().FreeInstance(b);
  EXPECT_TRUE(g_reported.empty());
}

TEST_F(RuntimeTest, ExceptionsArriveThroughTheCallbackWithTypeAndMessage) {
  diagnostics.throwWith(u"bad thing", 9);
  ASSERT_EQ(g_reported.size(), 1u);
  EXPECT_EQ(g_reported[0].first, u"System.InvalidOperationException");
  EXPECT_EQ(g_reported[0].second, u"bad thing");
}

TEST_F(RuntimeTest, PythonErrorTextsAreReleasedOnceRead) {
  int32_t before = diagnostics.heldPythonTextCount();
  g_dropped.clear();
  for (int i = 0; i < 100; ++i) {
    auto text = static_cast<std::u16string*>(diagnostics.takePythonError());
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(*text, g_errorText);
  }
  EXPECT_EQ(diagnostics.heldPythonTextCount(), before);
  ASSERT_EQ(g_dropped.size(), 100u);
  for (const void* object : g_dropped) EXPECT_EQ(object, &g_errorText);
  EXPECT_TRUE(g_reported.empty());
}

TEST_F(RuntimeTest, MissingEntryPointNamesClassAssemblyAndEntry) {
  void* slot = nullptr;
  std::string error;
  EXPECT_FALSE(BindEntry(kInteropAssembly, "Morvax.WrpGen.Interop.ExchangeHost", "NoSuchEntry", &slot, error));
  EXPECT_EQ(error.rfind("While initializing the host for the 'Morvax.WrpGen.Interop.ExchangeHost "
                        "(Assembly=WrpInterop.Morvax.Velto)' type, an error occurred - Method 'NoSuchEntry' "
                        "not found (error=",
                        0),
            0u)
      << error;
  EXPECT_EQ(error.back(), ')');
}

}  // namespace
}  // namespace morvax::host
