// Work done as a user who is not root, as a clerk opening a company file is.
// File modes bind such a user only: root may write a file of mode 444 in a
// folder of mode 555. Tests that run as root drop to the user nobody (as the
// throwaway PostgreSQL server runs); tests run by anyone else stay that user.
//
//   std::string seen = test::RunUnprivileged([&] { return Count(path); });
//   Spawn(test::UnprivilegedCommand({program, path}));
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace orva::test {

inline constexpr const char* kUnprivilegedUser = "nobody";

// Runs `body` in a child process of this test program, as the unprivileged
// user when this process is root, and returns what it returned; an
// exception it throws gives "exception: " and its text. `meanwhile` runs in
// this process while the child runs (to act between the child's steps).
// Throws std::runtime_error when the child cannot start or dies.
std::string RunUnprivileged(const std::function<std::string()>& body,
                            const std::function<void()>& meanwhile = {});

// The command line that runs `command` as the unprivileged user: through
// runuser when this process is root, else the command itself.
std::vector<std::string> UnprivilegedCommand(std::vector<std::string> command);

// Why the unprivileged user cannot read the path (every folder on the way
// must let them through), or "" when they can. A checkout in a folder that
// only root may enter leaves the build's programs and catalogues out of
// their reach: tests whose child needs them skip, saying so.
std::string UnprivilegedCannotReach(const std::string& path);

}  // namespace orva::test
