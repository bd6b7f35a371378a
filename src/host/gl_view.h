// "VardaGLView.GLView": the host's base-data lookup dialogs. Each entry point
// opens a dialog and returns the lookup object: whether the user confirmed a
// row, and that row's properties. The default view hands each call to the
// current user interface (HostUi::Lookup); a host or a test may register
// another view under the ProgID.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "host/dictionary.h"

namespace orva {

// The lookup object a dialog returns.
class BaseDataLookup {
  public:
    BaseDataLookup(bool ok, std::shared_ptr<Dictionary> record)
        : ok_(ok), record_(std::move(record)) {}

    // True when the user confirmed a row.
    bool ReturnOK() const { return ok_; }
    // The chosen row's properties ("FName", "FCurrencyID", "Number", ...), or
    // none when nothing was chosen.
    std::shared_ptr<Dictionary> ReturnObject() const { return record_; }

  private:
    bool ok_;
    std::shared_ptr<Dictionary> record_;
};

using BaseDataLookupPtr = std::shared_ptr<BaseDataLookup>;

class GLView {
  public:
    static constexpr const char* kProgID = "VardaGLView.GLView";

    virtual ~GLView() = default;

    // Items, customers and the other record classes looked up alike.
    virtual BaseDataLookupPtr ItemLookUp(std::int32_t classID, const std::string& first,
                                         const std::string& second, const Dictionary& params) = 0;
    virtual BaseDataLookupPtr UnitLookup(std::int32_t number, const std::string& first) = 0;
    // Auxiliary data of a class.
    virtual BaseDataLookupPtr SubMesLookup(std::int32_t classID, const std::string& first) = 0;
    virtual BaseDataLookupPtr CurrencyLookup(const std::string& first) = 0;
    virtual BaseDataLookupPtr SettTypeLookup(const std::string& first) = 0;
    virtual BaseDataLookupPtr AccountLookup(const std::string& first) = 0;
};

// The default view: every lookup goes to CurrentUi().Lookup.
class UiGLView : public GLView {
  public:
    BaseDataLookupPtr ItemLookUp(std::int32_t classID, const std::string& first,
                                 const std::string& second, const Dictionary& params) override;
    BaseDataLookupPtr UnitLookup(std::int32_t number, const std::string& first) override;
    BaseDataLookupPtr SubMesLookup(std::int32_t classID, const std::string& first) override;
    BaseDataLookupPtr CurrencyLookup(const std::string& first) override;
    BaseDataLookupPtr SettTypeLookup(const std::string& first) override;
    BaseDataLookupPtr AccountLookup(const std::string& first) override;
};

}  // namespace orva
