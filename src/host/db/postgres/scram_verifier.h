// Whether a stored SCRAM-SHA-256 verifier ("SCRAM-SHA-256$<iterations>:
// <salt>$<StoredKey>:<ServerKey>", as the server keeps a password) was made
// from a given password, so that setting the same password again can be
// left out. The verifier's salt is random: two verifiers of one password
// differ, and only recomputing the key from the salt tells.
#pragma once

#include <string_view>

namespace orva {

// False for a verifier of another form (md5, plain text) and for a password
// that is not plain ASCII (the client library normalises those before
// hashing; setting them again is then the safe answer).
bool ScramVerifierMatches(std::string_view verifier, std::string_view password);

}  // namespace orva
