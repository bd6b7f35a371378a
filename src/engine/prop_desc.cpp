#include "orvasaleprice/prop_desc.h"

#include "host/base/text_util.h"
#include "host/host_ui.h"
#include "orvasaleprice/com_error.h"
#include "session/module_context.h"
#include "session/res_text.h"

namespace orva {
namespace {

// Tells the user that a descriptor's key is already taken.
void ShowDuplicateKey() {
    auto dialog = ModuleContext::InForce().Ui().CreateMessageDialog();
    dialog->Title(GetResText("提示"));
    dialog->Headline(GetResText("试图添加一个重复的数据！"));
    dialog->AddDetail(GetResText("请重新输入数据."));
    dialog->Show(MessageDialog::kNotice, "", -1);
}

}  // namespace

std::shared_ptr<t_PropDesc> PropDesc::Add(std::int16_t m_Behavior, std::int32_t m_Actualsize,
                                          std::int16_t m_ActualType, std::int16_t m_Precision,
                                          std::int16_t m_DataType, std::string m_SqlColName,
                                          std::string m_Name, std::int16_t m_PropID,
                                          std::int32_t m_Search, std::string m_Value,
                                          std::int16_t m_Scale, std::string_view sKey) {
    std::string key = ToLowerAscii(sKey);
    if (!key.empty() && IndexOfKey(key) >= 0) {
        ShowDuplicateKey();
        return nullptr;
    }
    auto desc = std::make_shared<t_PropDesc>();
    desc->m_PropID = m_PropID;
    desc->m_Name = std::move(m_Name);
    desc->m_SqlColName = std::move(m_SqlColName);
    desc->m_DataType = m_DataType;
    desc->m_Precision = m_Precision;
    desc->m_ActualType = m_ActualType;
    desc->m_Actualsize = m_Actualsize;
    desc->m_Behavior = m_Behavior;
    desc->m_Search = m_Search;
    desc->m_Value = std::move(m_Value);
    desc->m_Scale = m_Scale;
    items_.push_back(desc);
    keys_.push_back(std::move(key));
    return desc;
}

std::shared_ptr<t_PropDesc> PropDesc::Item(std::int32_t position) const {
    if (position < 1 || position > Count())
        return nullptr;
    return items_[static_cast<std::size_t>(position - 1)];
}

std::shared_ptr<t_PropDesc> PropDesc::Item(std::string_view key) const {
    auto i = IndexOfKey(ToLowerAscii(key));
    return i < 0 ? nullptr : items_[static_cast<std::size_t>(i)];
}

void PropDesc::Remove(std::int32_t position) {
    if (position == -1) {
        items_.clear();
        keys_.clear();
        return;
    }
    if (position < 1 || position > Count()) {
        throw ComError(ComError::kGeneric, "No descriptor at position " + std::to_string(position) +
                                               " (count " + std::to_string(Count()) + ")");
    }
    items_.erase(items_.begin() + (position - 1));
    keys_.erase(keys_.begin() + (position - 1));
}

void PropDesc::Remove(std::string_view key) {
    auto i = IndexOfKey(ToLowerAscii(key));
    if (i < 0)
        throw ComError(ComError::kGeneric,
                       "No descriptor under the key '" + std::string(key) + "'");
    items_.erase(items_.begin() + i);
    keys_.erase(keys_.begin() + i);
}

std::ptrdiff_t PropDesc::IndexOfKey(std::string_view foldedKey) const {
    if (foldedKey.empty())
        return -1;
    for (std::size_t i = 0; i < keys_.size(); ++i) {
        if (keys_[i] == foldedKey)
            return static_cast<std::ptrdiff_t>(i);
    }
    return -1;
}

}  // namespace orva
