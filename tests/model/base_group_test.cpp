#include <gtest/gtest.h>

#include "model/base_group.h"

namespace orva {
namespace {

std::shared_ptr<Recordset> OneRow(int id) {
    return std::make_shared<Recordset>(std::vector<std::string>{"FItemID"},
                                       std::vector<Variant>{Variant(id)});
}

TEST(BaseGroup, KeepsTheNewestHundredAndIgnoresKnownKeys) {
    BaseGroup group;
    for (int i = 1; i <= 100; ++i) group.Add(OneRow(i), "k" + std::to_string(i));
    EXPECT_EQ(group.Count(), 100);
    EXPECT_TRUE(group.Contains("k1"));

    group.Add(OneRow(101), "k101");  // the 101st drops the first
    EXPECT_EQ(group.Count(), 100);
    EXPECT_FALSE(group.Contains("k1"));
    EXPECT_TRUE(group.Contains("k2"));
    EXPECT_TRUE(group.Contains("K101"));

    BaseGroup small;
    small.Add(OneRow(1), "Cust");
    small.Add(OneRow(2), "CUST");  // same key in another case: nothing changes
    EXPECT_EQ(small.Count(), 1);
}

TEST(BaseGroup, ItemExitInNeverServesAStoredSet) {
    BaseGroup group;
    group.Add(OneRow(1), "t_Item 1");
    ASSERT_TRUE(group.Contains("t_Item 1"));
    EXPECT_EQ(group.ItemExitIn("t_Item 1"), nullptr);
    EXPECT_EQ(group.ItemExitIn("missing"), nullptr);
}

}  // namespace
}  // namespace orva
