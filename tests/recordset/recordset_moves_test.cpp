#include <gtest/gtest.h>

#include <functional>

#include "orvasaleprice/com_error.h"
#include "recordset/sample_sets.h"
#include "support/com_error_of.h"

namespace orva {
namespace {

using test::Ids;
using test::Numbered;

constexpr auto ErrorOf = test::ComErrorNumber;

long Id(const Recordset& rs) {
    return static_cast<long>(rs.Fields("FItemID").Value().ToInteger());
}

TEST(RecordsetMoves, EmptySetIsAtBothEndsAndRefusesEveryMove) {
    auto rs = Numbered(0);
    EXPECT_TRUE(rs->BOF());
    EXPECT_TRUE(rs->EOF_());
    EXPECT_EQ(rs->RecordCount(), 0);
    EXPECT_EQ(ErrorOf([&] { rs->MoveFirst(); }), ComError::kNoCurrentRecord);
    EXPECT_EQ(ErrorOf([&] { rs->MoveLast(); }), ComError::kNoCurrentRecord);
    EXPECT_EQ(ErrorOf([&] { rs->MoveNext(); }), ComError::kNoCurrentRecord);
    EXPECT_EQ(ErrorOf([&] { rs->MovePrevious(); }), ComError::kNoCurrentRecord);
    EXPECT_EQ(ErrorOf([&] { rs->Move(3); }), ComError::kNoCurrentRecord);
    EXPECT_EQ(ErrorOf([&] { rs->Fields("FName"); }), ComError::kNoCurrentRecord);
    EXPECT_EQ(ErrorOf([&] { rs->Delete(); }), ComError::kNoCurrentRecord);
    // A result without columns (a statement that returned no rows) behaves the same.
    Recordset none({}, std::vector<Variant>{});
    EXPECT_TRUE(none.EOF_());
    EXPECT_EQ(none.RecordCount(), 0);
}

TEST(RecordsetMoves, OneRowWalksToEofAndBack) {
    auto rs = Numbered(1);
    EXPECT_FALSE(rs->BOF());
    EXPECT_FALSE(rs->EOF_());
    EXPECT_EQ(Id(*rs), 1);
    rs->MoveNext();
    EXPECT_TRUE(rs->EOF_());
    EXPECT_FALSE(rs->BOF());
    EXPECT_EQ(ErrorOf([&] { rs->MoveNext(); }), ComError::kNoCurrentRecord);
    EXPECT_EQ(ErrorOf([&] { rs->Fields(0); }), ComError::kNoCurrentRecord);
    rs->MovePrevious();
    EXPECT_EQ(Id(*rs), 1);
    rs->MovePrevious();
    EXPECT_TRUE(rs->BOF());
    EXPECT_EQ(ErrorOf([&] { rs->MovePrevious(); }), ComError::kNoCurrentRecord);
    rs->MoveNext();
    EXPECT_EQ(Id(*rs), 1);
}

TEST(RecordsetMoves, ManyRowsMoveByCountAndStopAtTheEnds) {
    auto rs = Numbered(5);
    EXPECT_EQ(rs->RecordCount(), 5);
    rs->Move(2);
    EXPECT_EQ(Id(*rs), 3);
    rs->Move(-1);
    EXPECT_EQ(Id(*rs), 2);
    rs->Move(0);
    EXPECT_EQ(Id(*rs), 2);
    rs->MoveLast();
    EXPECT_EQ(Id(*rs), 5);
    rs->MoveFirst();
    EXPECT_EQ(Id(*rs), 1);
    rs->Move(100);  // past the end: EOF, not an error
    EXPECT_TRUE(rs->EOF_());
    EXPECT_EQ(rs->AbsolutePosition(), 5);
    EXPECT_EQ(ErrorOf([&] { rs->Move(1); }), ComError::kNoCurrentRecord);
    EXPECT_EQ(ErrorOf([&] { rs->Move(0); }), ComError::kNoCurrentRecord);
    rs->Move(-2);
    EXPECT_EQ(Id(*rs), 4);
    rs->Move(-100);  // before the start: BOF
    EXPECT_TRUE(rs->BOF());
    EXPECT_EQ(rs->AbsolutePosition(), -1);
    rs->Move(2);
    EXPECT_EQ(Id(*rs), 2);
    EXPECT_EQ(Ids(*rs), (std::vector<long>{1, 2, 3, 4, 5}));
}

TEST(RecordsetFields, ByNameIgnoringCaseAndByOrdinal) {
    auto rs = Numbered(2);
    rs->MoveLast();
    EXPECT_EQ(rs->Fields("fname").Value().ToText(), "Name 2");
    EXPECT_EQ(rs->Fields("FNAME").Name(), "FName");
    EXPECT_EQ(rs->Fields(0).Value().ToInteger(), 2);
    EXPECT_EQ(rs->Fields(3).Value().ToDouble(), 3.0);
    EXPECT_EQ(rs->FieldCount(), 5);
    EXPECT_EQ(rs->FieldName(4), "FQuoteTime");
    EXPECT_EQ(rs->ColumnIndex("fquotetime"), 4);
    EXPECT_EQ(rs->ColumnIndex("FNone"), -1);

    const auto missing = test::ComErrorOf([&] { rs->Fields("FMissing"); });
    ASSERT_TRUE(missing) << "an unknown field was read";
    EXPECT_EQ(missing->Number(), ComError::kItemNotFound);
    EXPECT_NE(missing->Description().find("FMissing"), std::string::npos);
    EXPECT_EQ(ErrorOf([&] { rs->Fields(5); }), ComError::kItemNotFound);
    EXPECT_EQ(ErrorOf([&] { rs->Fields(-1); }), ComError::kItemNotFound);
}

TEST(RecordsetFields, DuplicateNamesGiveTheFirstAndNullStaysNull) {
    Recordset rs({"FName", "FNote", "fname"}, {Variant("first"), Variant(), Variant("second")});
    EXPECT_EQ(rs.Fields("FNAME").Value().ToText(), "first");
    EXPECT_EQ(rs.Fields(2).Value().ToText(), "second");
    const Variant& note = rs.Fields("FNote").Value();
    EXPECT_TRUE(note.IsNull());
    EXPECT_EQ(note.type(), Variant::Type::Null);
    EXPECT_EQ(ErrorOf([&] { note.ToInteger(); }), ComError::kTypeMismatch);
}

TEST(RecordsetFields, CellsMustMakeWholeRows) {
    EXPECT_EQ(ErrorOf([] {
                  Recordset({"A", "B"}, {Variant(1), Variant(2), Variant(3)});
              }),
              ComError::kGeneric);
    EXPECT_EQ(ErrorOf([] { Recordset({}, {Variant(1)}); }), ComError::kGeneric);
}

TEST(RecordsetDelete, DeletedRowStaysCurrentUntilTheNextMove) {
    auto rs = Numbered(4);
    rs->Move(1);  // row 2
    rs->Delete();
    EXPECT_EQ(rs->RecordCount(), 3);
    EXPECT_FALSE(rs->EOF_());
    EXPECT_FALSE(rs->BOF());
    EXPECT_EQ(ErrorOf([&] { rs->Fields("FName"); }), ComError::kNoCurrentRecord);
    EXPECT_EQ(ErrorOf([&] { rs->Delete(); }), ComError::kNoCurrentRecord);
    rs->MoveNext();
    EXPECT_EQ(Id(*rs), 3);
    EXPECT_EQ(Ids(*rs), (std::vector<long>{1, 3, 4}));
}

TEST(RecordsetDelete, MovePreviousFromADeletedRowLandsBeforeIt) {
    auto rs = Numbered(4);
    rs->Move(2);  // row 3
    rs->Delete();
    rs->MovePrevious();
    EXPECT_EQ(Id(*rs), 2);

    rs->MoveFirst();
    rs->Delete();  // row 1: the next move goes forward to row 2
    EXPECT_FALSE(rs->BOF());
    rs->MoveNext();
    EXPECT_EQ(Id(*rs), 2);
}

TEST(RecordsetDelete, LastRowsAndMoveByCount) {
    auto rs = Numbered(3);
    rs->MoveLast();
    rs->Delete();
    EXPECT_FALSE(rs->EOF_());
    rs->MoveNext();
    EXPECT_TRUE(rs->EOF_());

    rs->MoveFirst();
    rs->Delete();  // row 1 of {1, 2}
    rs->Move(2);   // lands two rows on: past row 2, so at EOF
    EXPECT_TRUE(rs->EOF_());
    EXPECT_EQ(rs->RecordCount(), 1);

    rs->MoveFirst();
    rs->Delete();  // the only row left
    EXPECT_EQ(rs->RecordCount(), 0);
    EXPECT_FALSE(rs->EOF_());  // until the next move
    rs->MoveNext();
    EXPECT_TRUE(rs->EOF_());
    EXPECT_TRUE(rs->BOF());
    EXPECT_EQ(ErrorOf([&] { rs->MoveFirst(); }), ComError::kNoCurrentRecord);
}

TEST(RecordsetDelete, FilterAfterDeleteNeverShowsTheDeletedRow) {
    auto rs = Numbered(5);
    rs->Filter("FItemID=3");
    ASSERT_EQ(rs->RecordCount(), 1);
    rs->Delete();
    rs->Filter("");
    EXPECT_EQ(Ids(*rs), (std::vector<long>{1, 2, 4, 5}));
    rs->Filter("FItemID>=3");
    EXPECT_EQ(Ids(*rs), (std::vector<long>{4, 5}));
    rs->Filter("FItemID=3");
    EXPECT_TRUE(rs->EOF_());
    EXPECT_TRUE(rs->BOF());
}

TEST(RecordsetClose, EveryMemberFailsAfterClose) {
    auto rs = Numbered(2);
    rs->Close();
    EXPECT_FALSE(rs->IsOpen());
    EXPECT_EQ(ErrorOf([&] { rs->EOF_(); }), Recordset::kObjectClosed);
    EXPECT_EQ(ErrorOf([&] { rs->RecordCount(); }), Recordset::kObjectClosed);
    EXPECT_EQ(ErrorOf([&] { rs->Fields(0); }), Recordset::kObjectClosed);
    EXPECT_EQ(ErrorOf([&] { rs->MoveNext(); }), Recordset::kObjectClosed);
    EXPECT_EQ(ErrorOf([&] { rs->Filter("FItemID=1"); }), Recordset::kObjectClosed);
    EXPECT_EQ(ErrorOf([&] { rs->Close(); }), Recordset::kObjectClosed);
}

}  // namespace
}  // namespace orva
