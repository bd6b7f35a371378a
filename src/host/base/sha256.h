// SHA-256 of a byte string, as lower-case hexadecimal: the digest that seals
// the rows of the price history into a chain.
#pragma once

#include <string>
#include <string_view>

namespace orva {

std::string Sha256Hex(std::string_view bytes);

}  // namespace orva
