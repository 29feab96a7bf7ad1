// coreclrwrap_test.cpp: the wrapper library and the interop assembly together,
// in a real runtime.  The test dlopens the built wrapper from the runtime
// directory, starts CoreCLR with the interop assembly, resolves the
// [UnmanagedCallersOnly] entry points and drives them with fake native
// callbacks standing in for the extension module's.
//
// CoreCLR starts once per process, so one global environment starts it and
// shuts it down (and checks the wrapper's state after shutdown) at the end.
// Run as:
//   coreclrwrap_test --runtime-dir=<runtime dir> --assemblies=<assembly root>
//                    [--omitted=<entry point the assembly was built without>]
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "coreclrwrap.h"

namespace {

// ---------------------------------------------------------------------------
// Command line.

struct Options {
  std::string runtime_dir;
  std::string assembly_root;
  std::string omitted;
};
Options g_options;

// ---------------------------------------------------------------------------
// The wrapper library, as the extension module sees it.

struct WrapperApi {
  void* handle = nullptr;
  coreclr_wrap_load_fn load = nullptr;
  coreclr_wrap_initialize_fn initialize = nullptr;
  coreclr_wrap_create_delegate_fn create_delegate = nullptr;
  coreclr_wrap_shutdown_fn shutdown = nullptr;
  coreclr_wrap_is_domain_initialized_fn is_domain_initialized = nullptr;
  coreclr_wrap_last_error_fn last_error = nullptr;

  // Opens the wrapper and resolves every export; false if anything is missing.
  bool open(const std::string& path) {
    handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) { return false; }
    load = reinterpret_cast<coreclr_wrap_load_fn>(dlsym(handle, "coreclr_wrap_load"));
    initialize = reinterpret_cast<coreclr_wrap_initialize_fn>(dlsym(handle, "coreclr_wrap_initialize"));
    create_delegate = reinterpret_cast<coreclr_wrap_create_delegate_fn>(dlsym(handle, "coreclr_wrap_create_delegate"));
    shutdown = reinterpret_cast<coreclr_wrap_shutdown_fn>(dlsym(handle, "coreclr_wrap_shutdown"));
    is_domain_initialized =
        reinterpret_cast<coreclr_wrap_is_domain_initialized_fn>(dlsym(handle, "coreclr_wrap_is_domain_initialized"));
    last_error = reinterpret_cast<coreclr_wrap_last_error_fn>(dlsym(handle, "coreclr_wrap_last_error"));
    return load && initialize && create_delegate && shutdown && is_domain_initialized && last_error;
  }
};

// ---------------------------------------------------------------------------
// Fake native objects and callbacks.  A "Python string" is a heap FakeStr; the
// live count shows whether ownership was handed on as the contract says.

struct FakeStr {
  explicit FakeStr(std::u16string t) : text(std::move(t)) { ++live; }
  FakeStr(const FakeStr&) = delete;
  FakeStr& operator=(const FakeStr&) = delete;
  ~FakeStr() { --live; }
  std::u16string text;
  static inline int live = 0;
};

// Takes ownership of a string produced by a builder (null stays null).
std::optional<std::u16string> adopt(intptr_t p) {
  std::unique_ptr<FakeStr> s(reinterpret_cast<FakeStr*>(p));
  if (!s) { return std::nullopt; }
  return s->text;
}

struct Reported {
  std::optional<std::u16string> type;
  std::optional<std::u16string> message;
};
std::vector<Reported> g_reports;
bool g_builder_fails = false;

intptr_t build_str(const char16_t* units, int32_t count) {
  if (g_builder_fails) { return 0; }
  // Ownership passes to the receiver, as with a Python new reference.
  return reinterpret_cast<intptr_t>(std::make_unique<FakeStr>(std::u16string(units, count)).release());
}

void on_exception(intptr_t first, intptr_t second) { g_reports.push_back({adopt(first), adopt(second)}); }

struct UnicodeView {
  int32_t length;
  int32_t kind;
  const void* data;
};
struct KindHandle {
  int32_t kind;
  uint32_t handle;
};

// What the fake catch-and-clear callback hands over next.
struct PendingError {
  bool pending = false;
  UnicodeView view{};
};
PendingError g_pending;
FakeStr g_error_text_object(u"held by .NET");

int32_t catch_and_clear(intptr_t* out_text, UnicodeView* out_view) {
  if (!g_pending.pending) { return -1; }
  g_pending.pending = false;
  // The object stays the test's: the .NET side only keeps the pointer.
  *out_text = reinterpret_cast<intptr_t>(&g_error_text_object);
  *out_view = g_pending.view;
  return 0;
}

// ---------------------------------------------------------------------------
// The entry points, by native shape.

using SetPtrFn = void (*)(void*);
using HandleFn = void (*)(uint32_t);
using VoidFn = void (*)();

struct Interop {
  // ExchangeHost
  intptr_t (*GetTypeName)(uint32_t) = nullptr;
  SetPtrFn SetExceptionCallback = nullptr;
  SetPtrFn SetCatchAndClearErrorCallback = nullptr;
  SetPtrFn SetU16StrBuilderCallback = nullptr;
  SetPtrFn SetPyStrBuilderCallback = nullptr;
  SetPtrFn SetPyUnraisableStrBuilderCallback = nullptr;
  SetPtrFn SetPyBytesBuilderCallback = nullptr;
  SetPtrFn SetPyObjApiCallbacks = nullptr;
  SetPtrFn SetPyStaticCallbacks = nullptr;
  SetPtrFn SetPyGenericCallbacks = nullptr;
  VoidFn FreePendingArgs = nullptr;
  HandleFn FreeInstance = nullptr;
  VoidFn InitServices = nullptr;
  uint32_t (*BoxStcTarget)(uint32_t) = nullptr;
  // ObjectHost
  int32_t (*ToStringOfObj)(uint32_t, intptr_t*) = nullptr;
  int32_t (*ToStringOfStc)(uint32_t, intptr_t*) = nullptr;
  int32_t (*GetHashOfObj)(uint32_t) = nullptr;
  int32_t (*GetHashOfStc)(uint32_t) = nullptr;
  uint8_t (*IsEqualsOfObj)(uint32_t, KindHandle*) = nullptr;
  uint8_t (*IsEqualsOfStc)(uint32_t, KindHandle*) = nullptr;
  uint8_t (*IsTypeOf)(uint32_t, uint32_t) = nullptr;
  intptr_t (*ObjGetTypeName)(uint32_t) = nullptr;
  int32_t (*GetObjType)(uint32_t, uint32_t*) = nullptr;
  int32_t (*GetStcType)(uint32_t, uint32_t*) = nullptr;
  HandleFn Dispose = nullptr;
  // Diagnostics
  int32_t (*LiveHandleCount)() = nullptr;
  uint32_t (*NewProbe)(int32_t, const char16_t*, int32_t) = nullptr;
  void (*Throw)(const char16_t*, int32_t) = nullptr;
  int32_t (*Echo)(int32_t) = nullptr;
  HandleFn Nop = nullptr;
  intptr_t (*TakePythonError)() = nullptr;
  int32_t (*HeldPythonTextCount)() = nullptr;
};

constexpr const char kAssembly[] = "WrpInterop.Morvax.Velto";
constexpr const char kExchangeHost[] = "Morvax.WrpGen.Interop.ExchangeHost";
constexpr const char kObjectHost[] = "Morvax.WrpGen.Interop.ObjectHost";
constexpr const char kDiagnostics[] = "Morvax.WrpGen.Interop.Diagnostics";

WrapperApi g_wrapper;
Interop g_interop;
bool g_ready = false;

struct Binding {
  const char* type;
  const char* method;
  void* slot;  // points at a member of g_interop
};

template <typename Fn>
Binding bind(const char* type, const char* method, Fn* member) {
  return {type, method, reinterpret_cast<void*>(member)};
}

std::vector<Binding> all_bindings() {
  Interop& i = g_interop;
  const char* X = kExchangeHost;
  const char* O = kObjectHost;
  const char* D = kDiagnostics;
  return {
      bind(X, "GetTypeName", &i.GetTypeName),
      bind(X, "SetExceptionCallback", &i.SetExceptionCallback),
      bind(X, "SetCatchAndClearErrorCallback", &i.SetCatchAndClearErrorCallback),
      bind(X, "SetU16StrBuilderCallback", &i.SetU16StrBuilderCallback),
      bind(X, "SetPyStrBuilderCallback", &i.SetPyStrBuilderCallback),
      bind(X, "SetPyUnraisableStrBuilderCallback", &i.SetPyUnraisableStrBuilderCallback),
      bind(X, "SetPyBytesBuilderCallback", &i.SetPyBytesBuilderCallback),
      bind(X, "SetPyObjApiCallbacks", &i.SetPyObjApiCallbacks),
      bind(X, "SetPyStaticCallbacks", &i.SetPyStaticCallbacks),
      bind(X, "SetPyGenericCallbacks", &i.SetPyGenericCallbacks),
      bind(X, "FreePendingArgs", &i.FreePendingArgs),
      bind(X, "FreeInstance", &i.FreeInstance),
      bind(X, "InitServices", &i.InitServices),
      bind(X, "BoxStcTarget", &i.BoxStcTarget),
      bind(O, "ToStringOfObj", &i.ToStringOfObj),
      bind(O, "ToStringOfStc", &i.ToStringOfStc),
      bind(O, "GetHashOfObj", &i.GetHashOfObj),
      bind(O, "GetHashOfStc", &i.GetHashOfStc),
      bind(O, "IsEqualsOfObj", &i.IsEqualsOfObj),
      bind(O, "IsEqualsOfStc", &i.IsEqualsOfStc),
      bind(O, "IsTypeOf", &i.IsTypeOf),
      bind(O, "GetTypeName", &i.ObjGetTypeName),
      bind(O, "GetObjType", &i.GetObjType),
      bind(O, "GetStcType", &i.GetStcType),
      bind(O, "Dispose", &i.Dispose),
      bind(D, "LiveHandleCount", &i.LiveHandleCount),
      bind(D, "NewProbe", &i.NewProbe),
      bind(D, "Throw", &i.Throw),
      bind(D, "Echo", &i.Echo),
      bind(D, "Nop", &i.Nop),
      bind(D, "TakePythonError", &i.TakePythonError),
      bind(D, "HeldPythonTextCount", &i.HeldPythonTextCount),
  };
}

// ---------------------------------------------------------------------------
// Start-up and shutdown of the one runtime of this process.

class RuntimeEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    const std::string wrapper = g_options.runtime_dir + "/morvax.embed.coreclrwrap.so";
    ASSERT_TRUE(g_wrapper.open(wrapper)) << wrapper << ": " << dlerror();
    const std::string coreclr = g_options.runtime_dir + "/libcoreclr.so";
    ASSERT_NE(g_wrapper.load(coreclr.c_str()), 0) << g_wrapper.last_error();

    const std::string paths = g_options.assembly_root + "/interop/:" + g_options.runtime_dir + "/";
    // The list is left empty on purpose: the wrapper fills it from the runtime directory.
    const char* keys[] = {"TRUSTED_PLATFORM_ASSEMBLIES", "APP_PATHS", "APP_NI_PATHS", "NATIVE_DLL_SEARCH_DIRECTORIES",
                          "AppDomainCompatSwitch"};
    const char* values[] = {"", paths.c_str(), paths.c_str(), paths.c_str(), "UseLatestBehaviorWhenTFMNotSpecified"};
    int32_t rc = g_wrapper.initialize("/usr/bin/python3", "MorvaxCLRHostDomain", 5, keys, values);
    ASSERT_EQ(rc, 0) << g_wrapper.last_error();

    for (const Binding& b : all_bindings()) {
      int32_t status = g_wrapper.create_delegate(kAssembly, b.type, b.method, reinterpret_cast<void**>(b.slot));
      if (g_options.omitted == b.method) {
        continue;  // checked by OmittedEntryPoint
      }
      ASSERT_EQ(status, 0) << b.type << "." << b.method << ": " << g_wrapper.last_error();
      ASSERT_NE(*reinterpret_cast<void**>(b.slot), nullptr) << b.method;
    }
    g_interop.SetPyStrBuilderCallback(reinterpret_cast<void*>(&build_str));
    g_interop.SetU16StrBuilderCallback(reinterpret_cast<void*>(&build_str));
    g_interop.SetExceptionCallback(reinterpret_cast<void*>(&on_exception));
    g_interop.SetCatchAndClearErrorCallback(reinterpret_cast<void*>(&catch_and_clear));
    g_interop.InitServices();
    g_ready = true;
  }

  // After shutdown the wrapper must refuse everything with its own codes
  // rather than call into a runtime that is gone.
  void TearDown() override {
    if (!g_ready) { return; }
    EXPECT_EQ(g_wrapper.shutdown(), 0) << g_wrapper.last_error();
    EXPECT_EQ(g_wrapper.is_domain_initialized(), 0);
    void* slot = reinterpret_cast<void*>(1);
    EXPECT_EQ(g_wrapper.create_delegate(kAssembly, kDiagnostics, "Echo", &slot), COREWRAP_E_NO_DOMAIN);
    EXPECT_EQ(slot, nullptr);
    EXPECT_EQ(g_wrapper.shutdown(), COREWRAP_E_NO_DOMAIN);
    EXPECT_EQ(g_wrapper.initialize("/usr/bin/python3", "again", 0, nullptr, nullptr), COREWRAP_E_SHUT_DOWN);
    EXPECT_NE(std::strlen(g_wrapper.last_error()), 0u);
  }
};

// Base of every test that calls into .NET: starts each test with no reports
// pending and checks that nothing reported was left unread.
class InteropTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!g_ready) { GTEST_SKIP() << "the runtime did not start"; }
    if (!g_options.omitted.empty()) { GTEST_SKIP() << "the full assembly is tested in the run without --omitted"; }
    g_reports.clear();
    g_builder_fails = false;
    live_strings_ = FakeStr::live;
  }
  void TearDown() override {
    if (IsSkipped()) { return; }
    EXPECT_TRUE(g_reports.empty()) << g_reports.size() << " unexpected report(s), first: "
                                   << describe(g_reports.empty() ? Reported{} : g_reports[0]);
    EXPECT_EQ(FakeStr::live, live_strings_) << "a built string was leaked or freed twice";
    g_reports.clear();
  }

  static std::string describe(const Reported& r) {
    auto narrow = [](const std::optional<std::u16string>& s) {
      return s ? std::string(s->begin(), s->end()) : std::string("<null>");
    };
    return narrow(r.type) + ": " + narrow(r.message);
  }

  // The single report since the last call, as type name and message.
  static Reported take_report() {
    EXPECT_EQ(g_reports.size(), 1u);
    if (g_reports.empty()) { return {}; }
    Reported r = g_reports.front();
    g_reports.clear();
    return r;
  }

  static uint32_t probe(int32_t hash, const std::u16string& text) {
    return g_interop.NewProbe(hash, text.data(), static_cast<int32_t>(text.size()));
  }

  static std::optional<std::u16string> text_of(uint32_t handle) {
    intptr_t s = 0;
    if (g_interop.ToStringOfObj(handle, &s) != 1) {
      EXPECT_EQ(s, 0);
      return std::nullopt;
    }
    return adopt(s);
  }

  int live_strings_ = 0;
};

// ---------------------------------------------------------------------------
// The wrapper's own state machine, in the debug variant: a separate library
// with separate state, so it can be driven through the failure paths that
// come before a successful start.

class UnstartedWrapper : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    const std::string path = g_options.runtime_dir + "/morvax.embed.coreclrwrap.debug.so";
    opened_ = debug_.open(path);
  }
  void SetUp() override { ASSERT_TRUE(opened_) << "cannot open the debug wrapper"; }
  static inline WrapperApi debug_;
  static inline bool opened_ = false;
};

TEST_F(UnstartedWrapper, RefusesEverythingBeforeLoad) {
  EXPECT_EQ(debug_.is_domain_initialized(), 0);
  EXPECT_EQ(debug_.initialize("x", "d", 0, nullptr, nullptr), COREWRAP_E_NOT_LOADED);
  void* slot = reinterpret_cast<void*>(1);
  EXPECT_EQ(debug_.create_delegate(kAssembly, kDiagnostics, "Echo", &slot), COREWRAP_E_NO_DOMAIN);
  EXPECT_EQ(slot, nullptr) << "a failed request must not leave a stale pointer behind";
  EXPECT_EQ(debug_.shutdown(), COREWRAP_E_NO_DOMAIN);
}

TEST_F(UnstartedWrapper, LoadFailuresSayWhy) {
  EXPECT_EQ(debug_.load(nullptr), 0);
  EXPECT_EQ(debug_.load(""), 0);
  EXPECT_EQ(debug_.load("/nonexistent/libcoreclr.so"), 0);
  EXPECT_NE(std::strstr(debug_.last_error(), "/nonexistent/libcoreclr.so"), nullptr) << debug_.last_error();
  // A real shared library without the hosting entry points.
  EXPECT_EQ(debug_.load("libm.so.6"), 0);
  EXPECT_NE(std::strstr(debug_.last_error(), "coreclr_initialize"), nullptr) << debug_.last_error();
  EXPECT_EQ(debug_.initialize("x", "d", 0, nullptr, nullptr), COREWRAP_E_NOT_LOADED);
}

TEST_F(UnstartedWrapper, BadInitializeArgumentsLeaveItLoaded) {
  const std::string coreclr = g_options.runtime_dir + "/libcoreclr.so";
  ASSERT_NE(debug_.load(coreclr.c_str()), 0) << debug_.last_error();
  EXPECT_NE(debug_.load(coreclr.c_str()), 0) << "loading the same path again is harmless";
  EXPECT_EQ(debug_.load("/elsewhere/libcoreclr.so"), 0) << "a second runtime must be refused";
  EXPECT_NE(std::strstr(debug_.last_error(), "already loaded"), nullptr) << debug_.last_error();

  const char* keys[] = {"APP_PATHS", nullptr};
  const char* values[] = {"/a/", "/b/"};
  EXPECT_EQ(debug_.initialize("x", "d", -1, keys, values), COREWRAP_E_INVALID_ARGUMENT);
  EXPECT_EQ(debug_.initialize("x", "d", 2, keys, values), COREWRAP_E_INVALID_ARGUMENT);
  EXPECT_EQ(debug_.initialize("x", "d", 1, nullptr, values), COREWRAP_E_INVALID_ARGUMENT);
  EXPECT_EQ(debug_.initialize(nullptr, "d", 1, keys, values), COREWRAP_E_INVALID_ARGUMENT);
  EXPECT_EQ(debug_.initialize("x", nullptr, 1, keys, values), COREWRAP_E_INVALID_ARGUMENT);
  EXPECT_EQ(debug_.is_domain_initialized(), 0);
  EXPECT_STRNE(debug_.last_error(), "");
}

// ---------------------------------------------------------------------------
// The running wrapper.

class RunningWrapper : public InteropTest {};

TEST_F(RunningWrapper, SecondInitializeIsRefused) {
  EXPECT_NE(g_wrapper.is_domain_initialized(), 0);
  EXPECT_EQ(g_wrapper.initialize("/usr/bin/python3", "other", 0, nullptr, nullptr), COREWRAP_E_ALREADY_INITIALIZED);
  EXPECT_NE(g_wrapper.is_domain_initialized(), 0) << "the refused call must not end the domain";
  EXPECT_EQ(g_interop.Echo(41), 41);
}

TEST_F(RunningWrapper, UnknownNamesGiveTheRuntimesStatus) {
  struct Case {
    const char* assembly;
    const char* type;
    const char* method;
  } cases[] = {
      {kAssembly, kDiagnostics, "NoSuchMethod"},
      {kAssembly, "Morvax.WrpGen.Interop.NoSuchType", "Echo"},
      {"No.Such.Assembly", kDiagnostics, "Echo"},
  };
  for (const Case& c : cases) {
    void* slot = reinterpret_cast<void*>(1);
    int32_t status = g_wrapper.create_delegate(c.assembly, c.type, c.method, &slot);
    EXPECT_NE(status, 0) << c.type << "." << c.method;
    EXPECT_EQ(slot, nullptr) << c.type << "." << c.method;
    EXPECT_NE(std::strstr(g_wrapper.last_error(), c.method), nullptr) << g_wrapper.last_error();
  }
  void* slot = nullptr;
  EXPECT_EQ(g_wrapper.create_delegate(kAssembly, kDiagnostics, nullptr, &slot), COREWRAP_E_INVALID_ARGUMENT);
  EXPECT_EQ(g_wrapper.create_delegate(kAssembly, kDiagnostics, "Echo", nullptr), COREWRAP_E_INVALID_ARGUMENT);
  EXPECT_EQ(g_interop.Echo(-7), -7) << "failed requests must leave the runtime usable";
}

// ---------------------------------------------------------------------------
// Handles.

class Handles : public InteropTest {};

TEST_F(Handles, ProbeLivesUntilFreed) {
  int32_t before = g_interop.LiveHandleCount();
  uint32_t h = probe(INT_MIN, u"min");
  ASSERT_NE(h, 0u);
  EXPECT_EQ(g_interop.LiveHandleCount(), before + 1);
  EXPECT_EQ(g_interop.GetHashOfObj(h), INT_MIN);
  EXPECT_EQ(g_interop.GetHashOfStc(h), INT_MIN);
  g_interop.FreeInstance(h);
  EXPECT_EQ(g_interop.LiveHandleCount(), before);
}

TEST_F(Handles, DoubleFreeIsReportedNotFatal) {
  int32_t before = g_interop.LiveHandleCount();
  uint32_t h = probe(1, u"once");
  g_interop.FreeInstance(h);
  ASSERT_TRUE(g_reports.empty());
  g_interop.FreeInstance(h);
  Reported r = take_report();
  EXPECT_EQ(r.type, u"System.InvalidOperationException");
  ASSERT_TRUE(r.message);
  EXPECT_NE(r.message->find(u"already freed"), std::u16string::npos) << describe(r);
  EXPECT_EQ(g_interop.LiveHandleCount(), before) << "a refused free must not change the count";
}

TEST_F(Handles, NeverIssuedHandlesAreReported) {
  for (uint32_t bogus : {0x00FFFFFFu, 0x01000000u, 0xFFFFFFFFu}) {
    EXPECT_EQ(g_interop.GetHashOfObj(bogus), 0);
    Reported r = take_report();
    EXPECT_EQ(r.type, u"System.ArgumentException") << std::hex << bogus;
    g_interop.FreeInstance(bogus);
    take_report();
  }
}

TEST_F(Handles, StaleHandleNeverReachesTheSlotsNextObject) {
  uint32_t stale = probe(111, u"old");
  g_interop.FreeInstance(stale);
  // Allocate until the freed slot is handed out again.
  std::vector<uint32_t> handles;
  uint32_t reused = 0;
  for (int i = 0; i < 100000 && reused == 0; ++i) {
    uint32_t h = probe(222, u"new");
    handles.push_back(h);
    if ((h & 0x00FFFFFFu) == (stale & 0x00FFFFFFu)) { reused = h; }
  }
  ASSERT_NE(reused, 0u) << "the freed slot was never reused";
  EXPECT_NE(reused, stale);
  EXPECT_EQ(g_interop.GetHashOfObj(reused), 222);
  EXPECT_EQ(g_interop.GetHashOfObj(stale), 0);
  EXPECT_EQ(take_report().type, u"System.InvalidOperationException");
  g_interop.FreeInstance(stale);
  take_report();
  EXPECT_EQ(g_interop.GetHashOfObj(reused), 222) << "the stale free must not free the new object";
  for (uint32_t h : handles) { g_interop.FreeInstance(h); }
}

TEST_F(Handles, ZeroIsNull) {
  int32_t before = g_interop.LiveHandleCount();
  g_interop.FreeInstance(0);
  g_interop.Dispose(0);
  EXPECT_TRUE(g_reports.empty()) << "freeing or disposing null is a no-op";
  EXPECT_EQ(g_interop.LiveHandleCount(), before);

  // Members of null are an error, reported with the neutral result.
  EXPECT_EQ(g_interop.GetHashOfObj(0), 0);
  EXPECT_EQ(take_report().type, u"System.NullReferenceException");
  intptr_t s = 1;
  EXPECT_EQ(g_interop.ToStringOfObj(0, &s), 0);
  EXPECT_EQ(s, 0);
  take_report();
  EXPECT_EQ(g_interop.GetTypeName(0), 0);
  take_report();
  EXPECT_EQ(g_interop.BoxStcTarget(0), 0u);
  take_report();
  EXPECT_EQ(g_interop.LiveHandleCount(), before);
}

TEST_F(Handles, BoxOfReferenceTypeSharesTheObject) {
  int32_t before = g_interop.LiveHandleCount();
  uint32_t h = probe(5, u"shared");
  uint32_t boxed = g_interop.BoxStcTarget(h);
  ASSERT_NE(boxed, 0u);
  EXPECT_NE(boxed, h) << "the box is a handle of its own";
  KindHandle other{0, h};
  EXPECT_EQ(g_interop.IsEqualsOfStc(boxed, &other), 1);
  g_interop.FreeInstance(h);
  EXPECT_EQ(g_interop.GetHashOfStc(boxed), 5) << "freeing one handle keeps the other alive";
  g_interop.FreeInstance(boxed);
  EXPECT_EQ(g_interop.LiveHandleCount(), before);
}

// ---------------------------------------------------------------------------
// Object members.

class ObjectMembers : public InteropTest {};

TEST_F(ObjectMembers, ToStringCarriesEveryUtf16Unit) {
  // Astral characters are surrogate pairs, and a lone surrogate must pass unchanged.
  const std::u16string texts[] = {u"", u"plain", u"\u00e9t\u00e9 \U0001F600", std::u16string(1, u'\xD800'),
                                  std::u16string(u"nul\0inside", 10)};
  for (const std::u16string& text : texts) {
    uint32_t h = probe(0, text);
    EXPECT_EQ(text_of(h), text);
    intptr_t s = 0;
    EXPECT_EQ(g_interop.ToStringOfStc(h, &s), 1);
    EXPECT_EQ(adopt(s), text);
    g_interop.FreeInstance(h);
  }
}

TEST_F(ObjectMembers, ToStringFailuresGiveZero) {
  // ToString returning null is not an error: 0 and nothing reported.
  uint32_t null_text = g_interop.NewProbe(0, nullptr, 0);
  ASSERT_NE(null_text, 0u);
  EXPECT_EQ(text_of(null_text), std::nullopt);

  // A builder that fails (it leaves its own Python error) gives 0 too.
  uint32_t h = probe(0, u"text");
  g_builder_fails = true;
  EXPECT_EQ(text_of(h), std::nullopt);
  g_builder_fails = false;
  EXPECT_TRUE(g_reports.empty());

  EXPECT_EQ(g_interop.ToStringOfObj(h, nullptr), 0);
  EXPECT_EQ(take_report().type, u"System.ArgumentNullException");
  g_interop.FreeInstance(h);
  g_interop.FreeInstance(null_text);
}

TEST_F(ObjectMembers, EqualityFollowsObjectEquals) {
  uint32_t a = probe(7, u"x");
  uint32_t same = probe(7, u"x");
  uint32_t other_hash = probe(8, u"x");
  uint32_t other_text = probe(7, u"y");
  KindHandle k{0, same};
  EXPECT_EQ(g_interop.IsEqualsOfObj(a, &k), 1);
  k.handle = other_hash;
  EXPECT_EQ(g_interop.IsEqualsOfObj(a, &k), 0);
  k.handle = other_text;
  EXPECT_EQ(g_interop.IsEqualsOfObj(a, &k), 0);
  k.handle = 0;
  EXPECT_EQ(g_interop.IsEqualsOfObj(a, &k), 0);
  EXPECT_EQ(g_interop.IsEqualsOfObj(0, &k), 1) << "null equals null";
  k.handle = a;
  EXPECT_EQ(g_interop.IsEqualsOfStc(0, &k), 0);
  EXPECT_TRUE(g_reports.empty());

  EXPECT_EQ(g_interop.IsEqualsOfObj(a, nullptr), 0);
  EXPECT_EQ(take_report().type, u"System.ArgumentNullException");
  for (uint32_t h : {a, same, other_hash, other_text}) { g_interop.FreeInstance(h); }
}

TEST_F(ObjectMembers, TypeNamesAndTypeHandles) {
  uint32_t h = probe(0, u"typed");
  EXPECT_EQ(adopt(g_interop.GetTypeName(h)), u"Morvax.WrpGen.Interop.Probe");
  EXPECT_EQ(adopt(g_interop.ObjGetTypeName(h)), u"Morvax.WrpGen.Interop.Probe");

  uint32_t type = 0;
  ASSERT_EQ(g_interop.GetObjType(h, &type), 1);
  ASSERT_NE(type, 0u);
  uint32_t type2 = 0;
  ASSERT_EQ(g_interop.GetStcType(h, &type2), 1);
  EXPECT_NE(type2, type) << "every call gives a new handle";
  KindHandle k{0, type2};
  EXPECT_EQ(g_interop.IsEqualsOfObj(type, &k), 1) << "both handles hold the same System.Type";
  EXPECT_EQ(adopt(g_interop.GetTypeName(type)), u"System.RuntimeType");

  EXPECT_EQ(g_interop.IsTypeOf(h, type), 1);
  EXPECT_EQ(g_interop.IsTypeOf(type, type), 0) << "a Type object is not a Probe";
  EXPECT_EQ(g_interop.IsTypeOf(0, type), 0) << "null is an instance of nothing";
  EXPECT_TRUE(g_reports.empty());

  // The second handle must hold a System.Type.
  EXPECT_EQ(g_interop.IsTypeOf(h, h), 0);
  EXPECT_EQ(take_report().type, u"System.ArgumentException");
  EXPECT_EQ(g_interop.IsTypeOf(h, 0), 0);
  EXPECT_EQ(take_report().type, u"System.ArgumentException");
  EXPECT_EQ(g_interop.GetObjType(h, nullptr), 0);
  EXPECT_EQ(take_report().type, u"System.ArgumentNullException");
  uint32_t none = 99;
  EXPECT_EQ(g_interop.GetObjType(0, &none), 0);
  EXPECT_EQ(none, 0u);
  take_report();

  for (uint32_t x : {h, type, type2}) { g_interop.FreeInstance(x); }
}

TEST_F(ObjectMembers, DisposeOfPlainObjectDoesNothing) {
  uint32_t h = probe(3, u"plain");
  g_interop.Dispose(h);
  EXPECT_EQ(g_interop.GetHashOfObj(h), 3) << "Dispose does not free the handle";
  g_interop.FreeInstance(h);
  g_interop.Dispose(h);
  EXPECT_EQ(take_report().type, u"System.InvalidOperationException");
}

// ---------------------------------------------------------------------------
// Error reporting, both directions.

class Errors : public InteropTest {};

TEST_F(Errors, ThrowIsReportedWithTypeAndMessage) {
  const std::u16string message = u"bad \u00fcmlaut \U0001F4A5";
  g_interop.Throw(message.data(), static_cast<int32_t>(message.size()));
  Reported r = take_report();
  EXPECT_EQ(r.type, u"System.InvalidOperationException");
  EXPECT_EQ(r.message, message);

  g_interop.Throw(nullptr, 3);  // null text with a length is itself bad input
  EXPECT_EQ(take_report().type, u"System.ArgumentNullException");
  EXPECT_EQ(g_interop.NewProbe(0, u"x", -1), 0u);
  EXPECT_EQ(take_report().type, u"System.ArgumentOutOfRangeException");
}

TEST_F(Errors, FailingBuilderPassesNullsOn) {
  g_builder_fails = true;
  g_interop.Throw(u"lost", 4);
  g_builder_fails = false;
  Reported r = take_report();
  EXPECT_EQ(r.type, std::nullopt);
  EXPECT_EQ(r.message, std::nullopt);
}

TEST_F(Errors, WithoutCallbackTheExceptionGoesToStderr) {
  // .NET duplicates fd 2 the first time it writes to stderr, so this must be
  // the first test whose .NET side writes there; the capture file then stays
  // .NET's stderr for the rest of the run.
  char path[] = "/tmp/coreclrwrap-stderr-XXXXXX";
  int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  fflush(stderr);
  int saved = dup(2);
  dup2(fd, 2);
  g_interop.SetExceptionCallback(nullptr);
  g_interop.Throw(u"to stderr", 9);
  g_interop.SetExceptionCallback(reinterpret_cast<void*>(&on_exception));
  dup2(saved, 2);
  close(saved);

  std::string captured;
  char buf[4096];
  ssize_t n;
  lseek(fd, 0, SEEK_SET);
  while ((n = read(fd, buf, sizeof buf)) > 0) { captured.append(buf, static_cast<size_t>(n)); }
  close(fd);
  unlink(path);
  EXPECT_NE(captured.find("System.InvalidOperationException: to stderr"), std::string::npos) << captured;
  EXPECT_TRUE(g_reports.empty());
  EXPECT_EQ(g_interop.Echo(1), 1);
}

class PythonErrors : public InteropTest {
 protected:
  static std::optional<std::u16string> take(int32_t kind, int32_t length, const void* data) {
    g_pending.pending = true;
    g_pending.view = UnicodeView{length, kind, data};
    return adopt(g_interop.TakePythonError());
  }
};

TEST_F(PythonErrors, EveryStorageKindDecodes) {
  const uint8_t latin1[] = {'c', 'a', 'f', 0xE9, 0xFF};
  EXPECT_EQ(take(1, 5, latin1), u"caf\u00e9\u00ff");
  const char16_t ucs2[] = {u'\u20ac', u'x'};
  EXPECT_EQ(take(2, 2, ucs2), u"\u20acx");
  // UCS-4: an astral code point becomes a pair, a lone surrogate stays
  // itself, and an impossible value becomes U+FFFD.
  const uint32_t ucs4[] = {0x1F600, 0xDC80, 'a', 0x110000};
  EXPECT_EQ(take(4, 4, ucs4), std::u16string(u"\U0001F600") + char16_t(0xDC80) + u"a\uFFFD");
  EXPECT_EQ(take(1, 0, nullptr), u"");
}

TEST_F(PythonErrors, NoErrorOrNoTextGivesNull) {
  g_pending.pending = false;
  EXPECT_EQ(adopt(g_interop.TakePythonError()), std::nullopt);
  EXPECT_EQ(take(1, -1, nullptr), std::nullopt);
}

TEST_F(PythonErrors, UnreadableViewsBecomeAPlaceholder) {
  // The Python error is already cleared: a placeholder beats losing it.
  const uint8_t data[] = {'x'};
  std::optional<std::u16string> bad_kind = take(3, 1, data);
  ASSERT_TRUE(bad_kind);
  EXPECT_NE(bad_kind->find(u"kind 3"), std::u16string::npos);
  std::optional<std::u16string> null_data = take(2, 4, nullptr);
  ASSERT_TRUE(null_data);
  EXPECT_NE(null_data->find(u"unreadable"), std::u16string::npos);
  EXPECT_TRUE(take(1, -5, data));
}

TEST_F(PythonErrors, TextObjectsAreKeptByDotnet) {
  int32_t held = g_interop.HeldPythonTextCount();
  EXPECT_EQ(take(1, 1, "z"), u"z");
  EXPECT_EQ(g_interop.HeldPythonTextCount(), held + 1);
  g_pending.pending = false;
  g_interop.TakePythonError();
  EXPECT_EQ(g_interop.HeldPythonTextCount(), held + 1) << "nothing taken, nothing held";
}

// ---------------------------------------------------------------------------
// The assembly built without one entry point: the request for it fails with
// the runtime's status, and everything else still resolves and works.

TEST(OmittedEntryPoint, RequestFailsAndTheRestWorks) {
  if (g_options.omitted.empty()) { GTEST_SKIP() << "run with --omitted=<entry point>"; }
  ASSERT_TRUE(g_ready);
  void* slot = reinterpret_cast<void*>(1);
  int32_t status = g_wrapper.create_delegate(kAssembly, kExchangeHost, g_options.omitted.c_str(), &slot);
  EXPECT_NE(status, 0);
  EXPECT_EQ(slot, nullptr);
  std::printf("create_delegate(%s) without the entry point: status 0x%08X\n", g_options.omitted.c_str(),
              static_cast<unsigned>(status));
  EXPECT_EQ(g_interop.Echo(3), 3);
  uint32_t h = g_interop.NewProbe(9, u"still here", 10);
  EXPECT_EQ(g_interop.GetHashOfObj(h), 9);
  g_interop.FreeInstance(h);
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    auto value = [&](const char* prefix) { return arg.substr(std::strlen(prefix)); };
    if (arg.rfind("--runtime-dir=", 0) == 0) {
      g_options.runtime_dir = value("--runtime-dir=");
    } else if (arg.rfind("--assemblies=", 0) == 0) {
      g_options.assembly_root = value("--assemblies=");
    } else if (arg.rfind("--omitted=", 0) == 0) {
      g_options.omitted = value("--omitted=");
    } else {
      std::fprintf(stderr, "unknown argument %s\n", argv[i]);
      return 2;
    }
  }
  if (g_options.runtime_dir.empty() || g_options.assembly_root.empty()) {
    std::fprintf(stderr, "usage: %s --runtime-dir=DIR --assemblies=DIR [--omitted=NAME]\n", argv[0]);
    return 2;
  }
  // gtest takes ownership of the environment.
  ::testing::AddGlobalTestEnvironment(new RuntimeEnvironment);
  return RUN_ALL_TESTS();
}
