// SPDX-License-Identifier: MIT
// kiwano-snapper as a shortcut or a script runs it: most launches only hand a request ("--region",
// "--clipboard") to the running program and end. This front program does just that, with the C
// library alone, and so answers in about a millisecond where loading Qt and the rest costs
// fifteen. Anything else (the first start, files to open, --help, a mistake on the command line)
// goes to the program itself, kiwano-snapper-app, run in this process with the same arguments:
// it reads the command line the same way and does what it always did.
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <time.h>
#include <unistd.h>

namespace {

// The requests a running instance understands, in the order it carries them out (the program's
// own command line reads them in that order too).
constexpr const char *requestNames[] = {"region", "window", "screen", "last-region", "clipboard", "settings", "quit"};

// The requests of a command line made of request flags alone; false for anything else.
bool requestsOnly(int argc, char **argv, std::vector<std::string> *requests)
{
    bool given[std::size(requestNames)] = {};
    for (int i = 1; i < argc; ++i) {
        const char *argument = argv[i];
        if (std::strncmp(argument, "--", 2) != 0)
            return false;
        bool known = false;
        for (std::size_t r = 0; r < std::size(requestNames); ++r) {
            if (std::strcmp(argument + 2, requestNames[r]) == 0) {
                given[r] = known = true;
                break;
            }
        }
        if (!known)
            return false;
    }
    for (std::size_t r = 0; r < std::size(requestNames); ++r)
        if (given[r])
            requests->push_back(requestNames[r]);
    // A plain launch brings the running program's window forward.
    if (requests->empty())
        requests->push_back("show");
    return true;
}

long long nowMs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000LL + now.tv_nsec / 1000000;
}

// Hands the requests to the running instance as its socket expects them (NUL after each, an empty
// one to end) and waits up to three seconds for its answer that they are carried out, so that a
// script may type into the picker at once. False when no instance listens.
bool forward(const std::vector<std::string> &requests)
{
    const char *runtime = std::getenv("XDG_RUNTIME_DIR");
    if (!runtime || runtime[0] != '/')
        return false;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string path = std::string(runtime) + "/kiwano-snapper.socket";
    if (path.size() >= sizeof(address.sun_path))
        return false;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);

    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    if (::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof(address)) != 0) {
        ::close(fd);
        return false;
    }
    std::string message;
    for (const std::string &request : requests)
        message += request + '\0';
    message += '\0';
    for (std::size_t sent = 0; sent < message.size();) {
        const ssize_t n = ::send(fd, message.data() + sent, message.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ::close(fd);
            return false;
        }
        sent += std::size_t(n);
    }
    // The answer, or the instance closing the connection (quitting, or one from before answers):
    // either way the requests are there.
    const long long deadline = nowMs() + 3000;
    for (;;) {
        const long long left = deadline - nowMs();
        if (left <= 0)
            break;
        pollfd answer{fd, POLLIN, 0};
        const int ready = ::poll(&answer, 1, int(left));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            break;
        char byte = 0;
        const ssize_t n = ::recv(fd, &byte, 1, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0 || byte == '\n')
            break;
    }
    ::close(fd);
    return true;
}

// This program's own path; empty when it cannot be read.
std::string selfPath()
{
    char self[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", self, sizeof(self) - 1);
    return n > 0 ? std::string(self, size_t(n)) : std::string();
}

// The program itself: beside this one in a build, in the library folder when installed.
std::string programPath(const std::string &self)
{
    if (self.empty())
        return {};
    std::string folder(self);
    folder.erase(folder.rfind('/') + 1);
    for (const std::string &candidate : {folder + "kiwano-snapper-app",
                                         folder + KIWANO_LIBEXEC_FROM_BIN "/kiwano-snapper-app"}) {
        if (::access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return {};
}

} // namespace

int main(int argc, char **argv)
{
    std::vector<std::string> requests;
    if (requestsOnly(argc, argv, &requests) && forward(requests))
        return 0;

    const std::string self = selfPath();
    const std::string program = programPath(self);
    if (program.empty()) {
        std::fprintf(stderr, "kiwano-snapper: kiwano-snapper-app is missing beside this program "
                             "and in " KIWANO_LIBEXEC_FROM_BIN "\n");
        return 1;
    }
    // The program finds its own files beside itself; this path is the one to run again (the
    // autostart entry names it).
    ::setenv("KIWANO_SNAPPER_LAUNCHER", self.c_str(), 1);
    // The same arguments, the first included: the window system knows our windows by its name.
    ::execv(program.c_str(), argv);
    std::fprintf(stderr, "kiwano-snapper: cannot run %s: %s\n", program.c_str(), std::strerror(errno));
    return 1;
}
