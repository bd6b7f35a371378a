#include "import/column_match.h"

#include <algorithm>

#include "host/base/text_util.h"
#include "host/catalogue_files.h"
#include "host/mo_catalog.h"
#include "session/res_text.h"

namespace orva::import {
namespace {

std::string Folded(std::string_view text) {
    std::string out(Trim(text));
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

}  // namespace

const std::vector<FieldCaption> kFieldCaptions = {
    {Field::kCustNumber, N_("客户代码")}, {Field::kCustName, N_("客户名称")},
    {Field::kItemNumber, N_("物料代码")}, {Field::kItemName, N_("物料名称")},
    {Field::kModel, N_("规格型号")},      {Field::kUnit, N_("计量单位")},
    {Field::kUnit, N_("单位")},           {Field::kStartQty, N_("销货量(从)")},
    {Field::kEndQty, N_("销货量(到)")},   {Field::kPrice, N_("报价")},
    {Field::kCurrency, N_("币别")},       {Field::kDiscount, N_("折扣率(%)")},
    {Field::kLeadTime, N_("提前期(天)")}, {Field::kLeadTime, N_("销货提前期")},
    {Field::kQuoteTime, N_("生效日期")},  {Field::kUsed, N_("审核状态")},
    {Field::kExpireDate, N_("失效日期")}, {Field::kNote, N_("备注")},
};

std::string Columns::Cell(const std::vector<std::string>& cells, Field f) const {
    const int i = (*this)[f];
    return i >= 0 && static_cast<std::size_t>(i) < cells.size() ? cells[static_cast<std::size_t>(i)]
                                                                : std::string();
}

Columns MatchColumns(const std::vector<std::string>& captions) {
    Columns columns;
    columns.index.fill(-1);
    const auto english = FindCatalogue(kResFileBaseName, "ENG");
    for (std::size_t i = 0; i < captions.size(); ++i) {
        const std::string header = Folded(captions[i]);
        if (header.empty())
            continue;
        for (const FieldCaption& fc : kFieldCaptions) {
            bool same = header == Folded(fc.caption) || header == Folded(GetResText(fc.caption));
            if (!same && english) {
                const std::string* text = english->Find(fc.caption);
                same = text && header == Folded(*text);
            }
            int& slot = columns.index[static_cast<std::size_t>(fc.field)];
            if (same && slot < 0) {
                slot = static_cast<int>(i);
                break;
            }
        }
    }
    return columns;
}

std::vector<std::string> TemplateCaptions() {
    std::vector<std::string> captions;
    std::vector<Field> seen;
    for (const FieldCaption& fc : kFieldCaptions) {
        if (std::find(seen.begin(), seen.end(), fc.field) != seen.end())
            continue;
        seen.push_back(fc.field);
        // Names, the model and the audit state are shown, never read.
        if (fc.field == Field::kCustName || fc.field == Field::kItemName ||
            fc.field == Field::kModel || fc.field == Field::kUsed)
            continue;
        captions.push_back(GetResText(fc.caption));
    }
    return captions;
}

}  // namespace orva::import
