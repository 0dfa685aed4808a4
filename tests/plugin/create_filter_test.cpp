// VeltrinCreateFilter, the optional export beyond the ten: filter objects
// that a host drives through their slot table.
#include <gtest/gtest.h>

#include <string>

#include "common/texts.h"
#include "host/aides.h"
#include "tests/plugin/library.h"

namespace veltrin::test {
namespace {

class CreateFilterTest : public PluginTest {
 protected:
  TFilterObject* New() {
    auto create = api().VeltrinCreateFilter;
    EXPECT_NE(create, nullptr) << "VeltrinCreateFilter is not exported under its plain name";
    return create ? static_cast<TFilterObject*>(create()) : nullptr;
  }
};

TEST_F(CreateFilterTest, ObjectsTakeTheCurrentTextAndLiveApart) {
  const std::string no12 = std::string(kTxtModeStraight) + ":9=12:0-0";
  const std::string no34 = std::string(kTxtModeStraight) + ":9=34:0-0";
  api().SetFilterStr((no12 + ";" + no34).c_str());
  TFilterObject* a = New();
  ASSERT_NE(a, nullptr);
  // A later text of the library's is not the object's.
  api().SetFilterStr("not a condition");
  ASSERT_TRUE(a->Slots->Prepare(a));
  struct {
    const char* bet;
    int32_t failed;
  } cases[] = {{"12345", 2}, {"12000", 1}, {"00000", 0}, {"1a", -1}};
  for (const auto& c : cases) EXPECT_EQ(a->Slots->CountFailed(a, c.bet), c.failed) << c.bet;

  // The object's own Create slot gives another of the same class, unprepared.
  auto* b = static_cast<TFilterObject*>(a->Slots->Create(a));
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->Slots, a->Slots);
  b->Slots->Free(b);

  TFilterObject* c = New();
  ASSERT_NE(c, nullptr);
  EXPECT_FALSE(c->Slots->Prepare(c));  // "not a condition"
  c->Slots->Free(c);
  a->Slots->Free(a);
}

}  // namespace
}  // namespace veltrin::test
