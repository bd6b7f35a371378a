// The place in a batch an error refers to, for the message.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace orva::tsql {

// " (line N: text from there on)", blanks collapsed and cut to a readable
// length; "" when pos is npos.
std::string ErrorContext(std::string_view sql, std::size_t pos);

}  // namespace orva::tsql
