// Reads and writes the test's company database through a connection of its
// own, beside the module's shared one: how a test arranges its data and
// checks what the module wrote. A fixture mixes it in and names the file.
#pragma once

#include <cstdint>
#include <string>

namespace orva::test {

class CompanyQueries {
  public:
    virtual ~CompanyQueries() = default;

    // The first field of the first row as text: "" when there is no row,
    // "NULL" for a Null.
    std::string Scalar(const std::string& sql) const;
    long Count(const std::string& sql) const;
    void Exec(const std::string& sql) const;
    // FItemID of a customer or an item by code.
    std::int32_t CustomerID(const std::string& number) const;
    std::int32_t ItemID(const std::string& number) const;
    // Stores an entry of the pair in the item's base unit and currency 1,
    // effective 2024-01-01 to 2100-01-01 (with the pair's header row when it
    // has none); returns its FEntryID.
    std::int32_t AddEntry(std::int32_t cust, std::int32_t item, double price, int used = 0,
                          double endQty = 100) const;

  protected:
    virtual std::string CompanyPath() const = 0;
};

}  // namespace orva::test
