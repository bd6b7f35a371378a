// The record store: values read back where they were written across block
// boundaries whatever the expected count, a failing row leaves nothing
// behind, and kept blocks are reused without old values showing through.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "host/base/record_store.h"
#include "orvasaleprice/recordset.h"

namespace orva {
namespace {

// Row r, column c: a number, a text long enough to live on the heap, Null.
Variant Value(std::size_t r, std::size_t c) {
    switch (c % 3) {
        case 0:
            return Variant(static_cast<std::int64_t>(r * 10 + c));
        case 1:
            return Variant("a text longer than the short buffer #" + std::to_string(r));
        default:
            return Variant();
    }
}

TEST(RecordStore, ValuesReadBackAcrossBlocksWhateverTheExpectedCount) {
    struct Case {
        std::size_t rows;
        std::size_t expected;
    };
    for (const Case& c : {Case{0, 0}, Case{1, 0}, Case{16, 0}, Case{17, 0}, Case{1000, 2},
                          Case{5000, 5000}, Case{5000, 4096}, Case{3, 100000}}) {
        SCOPED_TRACE(std::to_string(c.rows) + " rows, " + std::to_string(c.expected) + " expected");
        RecordStore store(4, c.expected);
        for (std::size_t r = 0; r < c.rows; ++r)
            store.AppendRow([r](std::size_t col) { return Value(r, col); });
        ASSERT_EQ(store.Rows(), c.rows);
        for (std::size_t r = 0; r < c.rows; ++r) {
            for (std::size_t col = 0; col < 4; ++col)
                ASSERT_EQ(store.At(r, col), Value(r, col)) << r << "," << col;
        }
        // Moved into a record set, filtered and read by position.
        Recordset rs({"N", "T", "E", "M"}, std::move(store));
        EXPECT_EQ(rs.RecordCount(), static_cast<long>(c.rows));
        if (c.rows > 1) {
            rs.Filter("N=" + std::to_string((c.rows - 1) * 10));
            ASSERT_EQ(rs.RecordCount(), 1);
            EXPECT_EQ(rs.Fields("T").Value(), Value(c.rows - 1, 1));
        }
    }
}

TEST(RecordStore, ARowThatFailsIsNotAddedAndBlocksAreReusedClean) {
    RecordStore store(3, 0);
    for (std::size_t r = 0; r < 40; ++r)
        store.AppendRow([r](std::size_t c) { return Value(r, c); });
    EXPECT_THROW(store.AppendRow([](std::size_t c) -> Variant {
        if (c == 2)
            throw std::runtime_error("read failed");
        return Value(99, c);
    }),
                 std::runtime_error);
    EXPECT_EQ(store.Rows(), 40u);
    store.AppendRow([](std::size_t c) { return Value(40, c); });
    EXPECT_EQ(store.At(40, 1), Value(40, 1));

    // Large blocks go back to be kept and come out again for the next store
    // of that size: the new store holds only what it was given.
    for (int round = 0; round < 3; ++round) {
        RecordStore big(20, 50000);
        for (std::size_t r = 0; r < 50000; r += 1) {
            big.AppendRow([r, round](std::size_t c) {
                return c == 0 ? Variant(static_cast<std::int64_t>(r + round)) : Variant();
            });
        }
        EXPECT_EQ(big.At(49999, 0).ToInteger(), 49999 + round);
        EXPECT_TRUE(big.At(12345, 7).IsNull());
        RecordStore moved = std::move(big);
        EXPECT_EQ(moved.Rows(), 50000u);
        EXPECT_EQ(big.Rows(), 0u);
    }

    // A store without columns counts its rows.
    RecordStore none(0, 0);
    none.AppendRow([](std::size_t) { return Variant(); });
    EXPECT_EQ(none.Rows(), 1u);
}

}  // namespace
}  // namespace orva
