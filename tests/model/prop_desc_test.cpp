#include <gtest/gtest.h>

#include <vector>

#include "orvasaleprice/com_error.h"
#include "orvasaleprice/prop_desc.h"

namespace orva {
namespace {

// Adds a descriptor whose fields are all told apart by `n`.
std::shared_ptr<t_PropDesc> AddNumbered(PropDesc& col, int n, std::string_view key) {
    return col.Add(1, 100 + n, 200, 10 + n, 5, "FCol" + std::to_string(n),
                   "名称" + std::to_string(n), static_cast<std::int16_t>(n), 1000 + n,
                   "v" + std::to_string(n), static_cast<std::int16_t>(n % 7), key);
}

TEST(PropDesc, ItemByPositionAndCaseInsensitiveKeyIsTheSameObject) {
    PropDesc col;
    AddNumbered(col, 1, "FCustID");
    auto second = AddNumbered(col, 2, "FItemID");
    AddNumbered(col, 3, "FUnitID");
    EXPECT_EQ(col.Count(), 3);
    EXPECT_EQ(col.Item(2), second);
    EXPECT_EQ(col.Item("FItemID"), second);
    EXPECT_EQ(col.Item("fitemid"), second);

    for (int bad : {0, -1, 4, 1000}) EXPECT_EQ(col.Item(bad), nullptr) << bad;
    EXPECT_EQ(col.Item("FNote"), nullptr);
    EXPECT_EQ(col.Item(""), nullptr);
}

TEST(PropDesc, EntryWithoutKeyIsReachedByPositionOnly) {
    PropDesc col;
    AddNumbered(col, 1, "FCustID");
    auto unkeyed = AddNumbered(col, 2, "");
    auto unkeyed2 = AddNumbered(col, 3, "");  // two entries without a key do not collide
    ASSERT_NE(unkeyed, nullptr);
    ASSERT_NE(unkeyed2, nullptr);
    EXPECT_EQ(col.Count(), 3);
    EXPECT_EQ(col.Item(2), unkeyed);
    EXPECT_EQ(col.Item(""), nullptr);
    EXPECT_EQ(col.Item("FCol2"), nullptr);  // neither the column nor the name is a key
}

TEST(PropDesc, RemoveByPositionKeyOrEverything) {
    PropDesc col;
    for (int i = 1; i <= 5; ++i) AddNumbered(col, i, "k" + std::to_string(i));
    col.Remove("K2");
    col.Remove(1);  // was k1
    EXPECT_EQ(col.Count(), 3);
    std::vector<std::string> order;
    for (const auto& d : col) order.push_back(d->m_SqlColName);
    EXPECT_EQ(order, (std::vector<std::string>{"FCol3", "FCol4", "FCol5"}));
    EXPECT_EQ(col.Item("k3"), col.Item(1));

    // A removed key is free again.
    EXPECT_NE(AddNumbered(col, 2, "k2"), nullptr);

    EXPECT_THROW(col.Remove("k1"), ComError);
    EXPECT_THROW(col.Remove(0), ComError);
    EXPECT_THROW(col.Remove(col.Count() + 1), ComError);
    EXPECT_EQ(col.Count(), 4);

    col.Remove(-1);
    EXPECT_EQ(col.Count(), 0);
    EXPECT_EQ(col.begin(), col.end());
    col.Remove(-1);  // on an empty collection too
    EXPECT_EQ(col.Count(), 0);
    EXPECT_EQ(col.Item("k3"), nullptr);
}

}  // namespace
}  // namespace orva
