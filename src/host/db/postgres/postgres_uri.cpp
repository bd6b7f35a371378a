#include "host/db/postgres/postgres_uri.h"

#include "host/base/text_util.h"

namespace orva {

bool IsPostgresUri(std::string_view s) {
    s = Trim(s);
    return StartsWithNoCase(s, "postgresql://") || StartsWithNoCase(s, "postgres://");
}

std::string MaskPassword(std::string_view uri) {
    std::string out(Trim(uri));
    const std::size_t scheme = out.find("://");
    if (scheme != std::string::npos) {
        const std::size_t start = scheme + 3;
        std::size_t end = out.find_first_of("/?", start);
        if (end == std::string::npos)
            end = out.size();
        // The user part ends at the last '@' before the path.
        const std::size_t at = out.rfind('@', end);
        if (at != std::string::npos && at >= start) {
            const std::size_t colon = out.find(':', start);
            if (colon != std::string::npos && colon < at)
                out.replace(colon + 1, at - colon - 1, "***");
        }
    }
    // password=... among the parameters after '?'.
    const std::size_t query = out.find('?');
    if (query != std::string::npos) {
        std::size_t p = query + 1;
        while (p < out.size()) {
            std::size_t amp = out.find('&', p);
            if (amp == std::string::npos)
                amp = out.size();
            if (StartsWithNoCase(std::string_view(out).substr(p, amp - p), "password=")) {
                out.replace(p + 9, amp - p - 9, "***");
                amp = p + 9 + 3;
            }
            p = amp + 1;
        }
    }
    return out;
}

}  // namespace orva
