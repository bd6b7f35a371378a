#include "host/db/postgres/scram_verifier.h"

#include <cstdlib>
#include <optional>
#include <string>

#include "host/base/sha256.h"

namespace orva {
namespace {

std::string Unhex(const std::string& hex) {
    std::string out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        out += static_cast<char>(std::strtol(hex.substr(i, 2).c_str(), nullptr, 16));
    return out;
}

std::string Sha256(std::string_view bytes) {
    return Unhex(Sha256Hex(bytes));
}

std::string Hmac(std::string key, std::string_view message) {
    constexpr std::size_t kBlock = 64;
    if (key.size() > kBlock)
        key = Sha256(key);
    key.resize(kBlock, '\0');
    std::string inner(kBlock, '\0'), outer(kBlock, '\0');
    for (std::size_t i = 0; i < kBlock; ++i) {
        inner[i] = static_cast<char>(key[i] ^ 0x36);
        outer[i] = static_cast<char>(key[i] ^ 0x5c);
    }
    return Sha256(outer + Sha256(inner.append(message)));
}

std::optional<std::string> Base64Decode(std::string_view text) {
    static const std::string_view kAlphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    unsigned buffer = 0;
    int bits = 0;
    for (char c : text) {
        if (c == '=')
            break;
        const std::size_t v = kAlphabet.find(c);
        if (v == std::string_view::npos)
            return std::nullopt;
        buffer = (buffer << 6) | static_cast<unsigned>(v);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out += static_cast<char>((buffer >> bits) & 0xff);
        }
    }
    return out;
}

// PBKDF2 with HMAC-SHA-256, one block: the salted password of SCRAM.
std::string SaltedPassword(std::string_view password, const std::string& salt, long iterations) {
    std::string u = Hmac(std::string(password), salt + std::string("\0\0\0\1", 4));
    std::string result = u;
    for (long i = 1; i < iterations; ++i) {
        u = Hmac(std::string(password), u);
        for (std::size_t k = 0; k < result.size(); ++k) result[k] ^= u[k];
    }
    return result;
}

}  // namespace

bool ScramVerifierMatches(std::string_view verifier, std::string_view password) {
    constexpr std::string_view kPrefix = "SCRAM-SHA-256$";
    if (verifier.substr(0, kPrefix.size()) != kPrefix)
        return false;
    for (char c : password) {
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7e)
            return false;
    }
    const std::string_view rest = verifier.substr(kPrefix.size());
    const std::size_t colon = rest.find(':');
    const std::size_t dollar = rest.find('$');
    const std::size_t keys = rest.find(':', dollar);
    if (colon == std::string_view::npos || dollar == std::string_view::npos || colon > dollar ||
        keys == std::string_view::npos)
        return false;
    const long iterations = std::strtol(std::string(rest.substr(0, colon)).c_str(), nullptr, 10);
    const auto salt = Base64Decode(rest.substr(colon + 1, dollar - colon - 1));
    const auto storedKey = Base64Decode(rest.substr(dollar + 1, keys - dollar - 1));
    if (iterations <= 0 || iterations > 1000000 || !salt || !storedKey)
        return false;
    const std::string clientKey = Hmac(SaltedPassword(password, *salt, iterations), "Client Key");
    return Sha256(clientKey) == *storedKey;
}

}  // namespace orva
