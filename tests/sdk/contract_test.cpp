// include/veltrin.h held to the library's C++ side and to the export list:
// every record field, interface identifier, result code, slot and export.
// The C mirror is written by hand for C hosts; this is what keeps it true.
#define VELTRIN_DECLARE_EXPORTS
#include "veltrin.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

#include "common/com_ref.h"
#include "common/interfaces.h"
#include "common/records.h"
#include "common/version.h"
#include "filter/filter_base.h"
#include "plugin/exports.h"

namespace veltrin::test {
namespace {

// ---- records: every field at the same offset with the same size ----------

#define SAME_FIELD(record, field)                                                \
  static_assert(offsetof(::record, field) == offsetof(veltrin::record, field) && \
                    sizeof(::record::field) == sizeof(veltrin::record::field),   \
                #record "." #field)
#define SAME_SIZE(record) static_assert(sizeof(::record) == sizeof(veltrin::record), #record)

SAME_SIZE(TOneDebugResult);
SAME_FIELD(TOneDebugResult, Condition);
SAME_FIELD(TOneDebugResult, Value);
SAME_FIELD(TOneDebugResult, Failed);

SAME_SIZE(TDebugResult);
SAME_FIELD(TDebugResult, FilterName);
SAME_FIELD(TDebugResult, DebugLines);
SAME_FIELD(TDebugResult, AuxText);
SAME_FIELD(TDebugResult, ErrCount);
SAME_FIELD(TDebugResult, SupErrCount);
SAME_FIELD(TDebugResult, Verdict);
SAME_FIELD(TDebugResult, CanErrText);

SAME_SIZE(TLotteryInfo);
SAME_FIELD(TLotteryInfo, Reserved0);
SAME_FIELD(TLotteryInfo, Text);
SAME_FIELD(TLotteryInfo, DigitCount);
SAME_FIELD(TLotteryInfo, Reserved3);
SAME_FIELD(TLotteryInfo, Reserved4);
SAME_FIELD(TLotteryInfo, ExtraDigitCount);
SAME_FIELD(TLotteryInfo, Reserved6);
SAME_FIELD(TLotteryInfo, Reserved7);
SAME_FIELD(TLotteryInfo, Reserved8);

SAME_SIZE(TBatFltSet);
SAME_FIELD(TBatFltSet, BetTexts);
SAME_FIELD(TBatFltSet, Bets);
SAME_FIELD(TBatFltSet, Reserved);
SAME_FIELD(TBatFltSet, KeepShare);
SAME_FIELD(TBatFltSet, Text1);
SAME_FIELD(TBatFltSet, Text2);

static_assert(sizeof(::VeltrinGuid) == sizeof(VGuid));
#undef SAME_FIELD
#undef SAME_SIZE

// ---- result codes ----------------------------------------------------------

static_assert(VELTRIN_S_OK == kS_OK);
static_assert(VELTRIN_E_NOTIMPL == kE_NOTIMPL);
static_assert(VELTRIN_E_NOINTERFACE == kE_NOINTERFACE);
static_assert(VELTRIN_E_POINTER == kE_POINTER);
static_assert(VELTRIN_E_FAIL == kE_FAIL);
static_assert(VELTRIN_E_INVALIDARG == kE_INVALIDARG);
static_assert(VELTRIN_VERDICT_KEEP == kVerdictKeep);
static_assert(VELTRIN_VERDICT_REMOVE == kVerdictRemove);
static_assert(VELTRIN_BET_INVALID == kBetInvalid);

TEST(Contract, SucceededAgreesOnEveryCode) {
  for (int32_t status : {VELTRIN_S_OK, int32_t(1), VELTRIN_E_NOTIMPL, VELTRIN_E_NOINTERFACE,
                         VELTRIN_E_POINTER, VELTRIN_E_FAIL, VELTRIN_E_INVALIDARG})
    EXPECT_EQ(VELTRIN_SUCCEEDED(status), Succeeded(status)) << status;
}

// ---- interface identifiers -------------------------------------------------

TEST(Contract, InterfaceIdsAreTheLibrarys) {
  const struct {
    const char* name;
    const ::VeltrinGuid& c;
    const VGuid& cpp;
  } ids[] = {
      {"IUnknown", VELTRIN_IID_IUnknown, IidOf<IVUnknown>},
      {"ICallWrapper", VELTRIN_IID_ICallWrapper, IidOf<ICallWrapper>},
      {"IScoreCallback", VELTRIN_IID_IScoreCallback, IidOf<IScoreCallback>},
      {"IStringList", VELTRIN_IID_IStringList, IidOf<IStringList>},
  };
  for (const auto& id : ids) EXPECT_EQ(std::memcmp(&id.c, &id.cpp, sizeof(VGuid)), 0) << id.name;
  // The plug-in's own extension is not the host's list.
  const VGuid& editable = IidOf<IEditableStringList>;
  EXPECT_FALSE(editable == IidOf<IStringList>);
}

// ---- slots -----------------------------------------------------------------
// A C++ object answers each slot by recording the slot's number; calling it
// through the C table must reach the slot of the same name.

int g_slot = -1;

struct CallWrapperProbe : ICallWrapper {
  int32_t VELTRIN_API QueryInterface(const VGuid*, void**) override { return g_slot = 0; }
  uint32_t VELTRIN_API AddRef() override { return uint32_t(g_slot = 1); }
  uint32_t VELTRIN_API Release() override { return uint32_t(g_slot = 2); }
  int32_t VELTRIN_API ShowToleranceAide(TFilter*, const char*, int32_t) override {
    return g_slot = 3;
  }
  int32_t VELTRIN_API GetBatchAideData(TBatFltSet*, TBatFltSet*) override { return g_slot = 4; }
  int32_t VELTRIN_API Reserved3() override { return g_slot = 5; }
  int32_t VELTRIN_API ShowHistoryFilter(IScoreCallback*, const char*, const char*) override {
    return g_slot = 6;
  }
  int32_t VELTRIN_API Reserved5() override { return g_slot = 7; }
  int32_t VELTRIN_API SelectDrawNumber(const char**) override { return g_slot = 8; }
  int32_t VELTRIN_API Reserved7() override { return g_slot = 9; }
  int32_t VELTRIN_API GetLotteryInfo(TLotteryInfo*) override { return g_slot = 10; }
  int32_t VELTRIN_API Reserved9() override { return g_slot = 11; }
  int32_t VELTRIN_API Reserved10() override { return g_slot = 12; }
  int32_t VELTRIN_API Reserved11() override { return g_slot = 13; }
  int32_t VELTRIN_API GetPairScoreTable(char**) override { return g_slot = 14; }
};

struct ScoreCallbackProbe : IScoreCallback {
  int32_t VELTRIN_API QueryInterface(const VGuid*, void**) override { return g_slot = 0; }
  uint32_t VELTRIN_API AddRef() override { return uint32_t(g_slot = 1); }
  uint32_t VELTRIN_API Release() override { return uint32_t(g_slot = 2); }
  int32_t VELTRIN_API ScoreBet(const char*, int32_t*) override { return g_slot = 3; }
};

struct StringListProbe : IStringList {
  int32_t VELTRIN_API QueryInterface(const VGuid*, void**) override { return g_slot = 0; }
  uint32_t VELTRIN_API AddRef() override { return uint32_t(g_slot = 1); }
  uint32_t VELTRIN_API Release() override { return uint32_t(g_slot = 2); }
  int32_t VELTRIN_API Count(int32_t*) override { return g_slot = 3; }
  int32_t VELTRIN_API Get(int32_t, const char**) override { return g_slot = 4; }
  int32_t VELTRIN_API Add(const char*) override { return g_slot = 5; }
};

// The filter's slots are TFilter's first virtual functions: the C table and
// the host's TFilterSlots must reach them in that order.
struct FilterProbe final : TFilter {
  int32_t VELTRIN_API CountFailed(const char*) noexcept override { return g_slot = 0; }
  int32_t VELTRIN_API DebugConditions(const char*, bool, TDebugResult*) noexcept override {
    return g_slot = 1;
  }
  bool VELTRIN_API ShowSettings() noexcept override { return (g_slot = 2) != 0; }
  bool VELTRIN_API Check() noexcept override { return (g_slot = 3) != 0; }
  bool VELTRIN_API Prepare() noexcept override { return (g_slot = 4) != 0; }
  int32_t VELTRIN_API RawCount(const char*) noexcept override { return g_slot = 5; }
  int32_t VELTRIN_API BatchAide(IStringList*, TBatFltSet*) noexcept override { return g_slot = 6; }
  TFilter* VELTRIN_API Create() noexcept override {
    g_slot = 7;
    return nullptr;
  }
  void VELTRIN_API Free() noexcept override { g_slot = 8; }
};

// The C table of a C++ object: its first word.
template <class Table, class Object>
const Table& TableOf(Object& object) {
  return **reinterpret_cast<const Table* const*>(&object);
}

#define SLOT(name, expected, ...)                                     \
  {                                                                   \
#name, expected, [](void* self) {                                   \
     g_slot = -1;                                                       \
     table(self).name(static_cast<This*>(self), ##__VA_ARGS__);         \
     return g_slot;                                                     \
   } \
  }

struct SlotCase {
  const char* name;
  int expected;
  int (*call)(void* self);
};

void ExpectSlots(void* self, const std::vector<SlotCase>& cases, size_t tableSize) {
  EXPECT_EQ(tableSize, cases.size() * sizeof(void*)) << "the C table has other slots";
  for (const SlotCase& c : cases) EXPECT_EQ(c.call(self), c.expected) << c.name;
}

TEST(Contract, CallWrapperSlotsInOrder) {
  using This = ::ICallWrapper;
  static auto table = [](void* self) -> const ICallWrapperVtbl& {
    return TableOf<ICallWrapperVtbl>(*static_cast<CallWrapperProbe*>(self));
  };
  CallWrapperProbe probe;
  ExpectSlots(
      &probe,
      {SLOT(QueryInterface, 0, nullptr, nullptr), SLOT(AddRef, 1), SLOT(Release, 2),
       SLOT(ShowToleranceAide, 3, nullptr, nullptr, 0), SLOT(GetBatchAideData, 4, nullptr, nullptr),
       SLOT(Reserved3, 5), SLOT(ShowHistoryFilter, 6, nullptr, nullptr, nullptr),
       SLOT(Reserved5, 7), SLOT(SelectDrawNumber, 8, nullptr), SLOT(Reserved7, 9),
       SLOT(GetLotteryInfo, 10, nullptr), SLOT(Reserved9, 11), SLOT(Reserved10, 12),
       SLOT(Reserved11, 13), SLOT(GetPairScoreTable, 14, nullptr)},
      sizeof(ICallWrapperVtbl));
}

TEST(Contract, ScoreCallbackAndStringListSlotsInOrder) {
  {
    using This = ::IScoreCallback;
    static auto table = [](void* self) -> const IScoreCallbackVtbl& {
      return TableOf<IScoreCallbackVtbl>(*static_cast<ScoreCallbackProbe*>(self));
    };
    ScoreCallbackProbe probe;
    ExpectSlots(&probe,
                {SLOT(QueryInterface, 0, nullptr, nullptr), SLOT(AddRef, 1), SLOT(Release, 2),
                 SLOT(ScoreBet, 3, nullptr, nullptr)},
                sizeof(IScoreCallbackVtbl));
  }
  {
    using This = ::IStringList;
    static auto table = [](void* self) -> const IStringListVtbl& {
      return TableOf<IStringListVtbl>(*static_cast<StringListProbe*>(self));
    };
    StringListProbe probe;
    ExpectSlots(&probe,
                {SLOT(QueryInterface, 0, nullptr, nullptr), SLOT(AddRef, 1), SLOT(Release, 2),
                 SLOT(Count, 3, nullptr), SLOT(Get, 4, 0, nullptr), SLOT(Add, 5, nullptr)},
                sizeof(IStringListVtbl));
  }
}

TEST(Contract, FilterSlotsInOrderForCAndCppHosts) {
  FilterProbe probe;
  TFilter* filter = &probe;  // what the library hands a host
  {
    using This = ::VeltrinFilter;
    static auto table = [](void* self) -> const VeltrinFilterVtbl& {
      return TableOf<VeltrinFilterVtbl>(*static_cast<TFilter*>(self));
    };
    ExpectSlots(filter,
                {SLOT(CountFailed, 0, ""), SLOT(DebugConditions, 1, "", false, nullptr),
                 SLOT(ShowSettings, 2), SLOT(Check, 3), SLOT(Prepare, 4), SLOT(RawCount, 5, ""),
                 SLOT(BatchAide, 6, nullptr, nullptr), SLOT(Create, 7), SLOT(Free, 8)},
                sizeof(VeltrinFilterVtbl));
  }
  {
    using This = void;
    static auto table = [](void* self) -> const TFilterSlots& {
      return TableOf<TFilterSlots>(*static_cast<TFilter*>(self));
    };
    ExpectSlots(filter,
                {SLOT(CountFailed, 0, ""), SLOT(DebugConditions, 1, "", false, nullptr),
                 SLOT(ShowSettings, 2), SLOT(Check, 3), SLOT(Prepare, 4), SLOT(RawCount, 5, ""),
                 SLOT(BatchAide, 6, nullptr, nullptr), SLOT(Create, 7), SLOT(Free, 8)},
                sizeof(TFilterSlots));
  }
}
#undef SLOT

// ---- exports -----------------------------------------------------------------

// A signature with every pointer to a record or interface as void*: the C
// and C++ sides name those types apart, and only their shape must agree.
template <class T>
struct Canon {
  using type = T;
};
template <class T>
struct Canon<T*> {
  using type = std::conditional_t<std::is_class_v<T>, void*, T*>;
};
template <class F>
struct CanonFn;
template <class R, class... A>
struct CanonFn<R (*)(A...)> {
  using type = typename Canon<R>::type (*)(typename Canon<A>::type...);
};
template <class F, class G>
inline constexpr bool kSameShape =
    std::is_same_v<typename CanonFn<F>::type, typename CanonFn<G>::type>;

// Each export the list holds is declared by the header with its signature.
#define VELTRIN_HEADER_DECLARES(name, kind, bytes, result, params) \
  static_assert(kSameShape<decltype(&::name), PFN_##name>,         \
                #name ": include/veltrin.h declares it otherwise");
VELTRIN_EXPORT_LIST(VELTRIN_HEADER_DECLARES)
#undef VELTRIN_HEADER_DECLARES

// The header's function types are those of its declarations.
static_assert(std::is_same_v<VeltrinSetIIWrapperFn, decltype(&::SetIIWrapper)>);
static_assert(std::is_same_v<VeltrinGetFilterNameFn, decltype(&::GetFilterName)>);
static_assert(std::is_same_v<VeltrinGetVersionFn, decltype(&::GetVersion)>);
static_assert(std::is_same_v<VeltrinGetAuthorFn, decltype(&::GetAuthor)>);
static_assert(std::is_same_v<VeltrinGetFilterStrFn, decltype(&::GetFilterStr)>);
static_assert(std::is_same_v<VeltrinSetFilterStrFn, decltype(&::SetFilterStr)>);
static_assert(std::is_same_v<VeltrinSzcPrepareFn, decltype(&::SzcPrepare)>);
static_assert(std::is_same_v<VeltrinSzcExecuteFn, decltype(&::SzcExecute)>);
static_assert(std::is_same_v<VeltrinSzcFltDebugFn, decltype(&::SzcFltDebug)>);
static_assert(std::is_same_v<VeltrinSzcOpenFn, decltype(&::SzcOpen)>);
static_assert(std::is_same_v<VeltrinCreateFilterFn, decltype(&::VeltrinCreateFilter)>);
static_assert(std::is_same_v<::PFN_VeltrinExplain, decltype(&::VeltrinExplain)>);

std::string SourceFile(const char* relative) {
  std::ifstream in(std::string(VELTRIN_SOURCE_DIR) + "/" + relative, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// What a header block names with `pattern`'s first group, in order.
std::vector<std::string> Names(const std::string& text, const std::regex& pattern) {
  std::vector<std::string> names;
  for (std::sregex_iterator it(text.begin(), text.end(), pattern), end; it != end; ++it)
    names.push_back((*it)[1]);
  return names;
}

TEST(Contract, HeaderNamesTheListsExportsAndNoOthers) {
  const std::string header = SourceFile("include/veltrin.h");
  ASSERT_FALSE(header.empty());
  std::vector<std::string> all, required;
  for (const TExportEntry& e : kExports) {
    all.push_back(e.Name);
    if (e.Kind == TExportKind::Required) required.push_back(e.Name);
  }
  // The declarations for hosts that link.
  const size_t from = header.find("#if defined(VELTRIN_DECLARE_EXPORTS)");
  const size_t to = header.find("#endif", from);
  ASSERT_NE(from, std::string::npos);
  EXPECT_EQ(Names(header.substr(from, to - from), std::regex(R"(VELTRIN_API (\w+)\()")), all);
  // The names a host resolves.
  const char* const names[] = VELTRIN_EXPORT_NAMES;
  EXPECT_EQ(std::vector<std::string>(std::begin(names), std::end(names)), required);
}

// ---- the version -------------------------------------------------------------

TEST(Contract, OneVersionEverywhere) {
  // The build takes project()'s version from the header.
  EXPECT_STREQ(VELTRIN_LIBRARY_VERSION, kVersionText);
  // The package's read-me takes its version from project() at build time.
  const std::string readme = SourceFile("packaging/README.txt");
  EXPECT_EQ(readme.rfind("Veltrin @PROJECT_VERSION@ ", 0), 0u)
      << "packaging/README.txt names a version of its own";
  EXPECT_EQ(readme.find(kVersionText), std::string::npos);
}

}  // namespace
}  // namespace veltrin::test
