#include "support/unprivileged.h"

#include <grp.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

namespace orva::test {
namespace {

// Becomes the unprivileged user; false when that fails.
bool DropRoot() {
    const passwd* user = ::getpwnam(kUnprivilegedUser);
    return user && ::setgroups(0, nullptr) == 0 && ::setgid(user->pw_gid) == 0 &&
           ::setuid(user->pw_uid) == 0;
}

void WriteAll(int fd, const std::string& text) {
    for (std::size_t done = 0; done < text.size();) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n <= 0 && errno != EINTR)
            return;
        if (n > 0)
            done += static_cast<std::size_t>(n);
    }
}

}  // namespace

std::string RunUnprivileged(const std::function<std::string()>& body,
                            const std::function<void()>& meanwhile) {
    int fds[2];
    if (::pipe(fds) != 0)
        throw std::runtime_error("RunUnprivileged: no pipe");
    const pid_t pid = ::fork();
    if (pid < 0)
        throw std::runtime_error("RunUnprivileged: cannot fork");
    if (pid == 0) {
        ::close(fds[0]);
        std::string out;
        if (::geteuid() == 0 && !DropRoot()) {
            out = "exception: cannot become the user " + std::string(kUnprivilegedUser);
        } else {
            try {
                out = body();
            } catch (const std::exception& e) {
                out = std::string("exception: ") + e.what();
            }
        }
        WriteAll(fds[1], out);
        // No destructors or exit handlers of the test program run twice.
        ::_exit(0);
    }
    ::close(fds[1]);
    if (meanwhile)
        meanwhile();
    std::string out;
    char buf[4096];
    for (;;) {
        const ssize_t n = ::read(fds[0], buf, sizeof buf);
        if (n > 0)
            out.append(buf, static_cast<std::size_t>(n));
        else if (n == 0 || errno != EINTR)
            break;
    }
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error("RunUnprivileged: the child died; it said: " + out);
    return out;
}

std::vector<std::string> UnprivilegedCommand(std::vector<std::string> command) {
    if (::geteuid() != 0)
        return command;
    command.insert(command.begin(), {"runuser", "-u", kUnprivilegedUser, "--"});
    return command;
}

std::string UnprivilegedCannotReach(const std::string& path) {
    return RunUnprivileged([&]() -> std::string {
        if (::access(path.c_str(), R_OK) == 0)
            return {};
        return "the user " + std::string(kUnprivilegedUser) + " cannot reach " + path;
    });
}

}  // namespace orva::test
