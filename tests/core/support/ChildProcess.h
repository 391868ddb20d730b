// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Runs a piece of a test in a child process of its own: for limits that must
// not touch the test program (file size, address space, mount namespace) and
// for inputs that might crash.

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <exception>
#include <functional>
#include <string>

namespace dazo::test {

inline constexpr const char* kChildCrashed = "(abgestürzt)";

// body's text (at most 4 KB; an escaping exception gives its what()), or
// kChildCrashed when the child died.
inline std::string InChild(const std::function<std::string()>& body)
{
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return "(keine Pipe)";
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(pipeEnds[0]);
        std::string result;
        try {
            result = body();
        } catch (const std::exception& e) {
            result = e.what();
        }
        const ssize_t put = ::write(pipeEnds[1], result.data(), std::min<std::size_t>(result.size(), 4096));
        ::_exit(put < 0 ? 1 : 0);
    }
    ::close(pipeEnds[1]);
    std::string result;
    char buffer[4096];
    for (ssize_t got; (got = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
        result.append(buffer, static_cast<std::size_t>(got));
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? result : kChildCrashed;
}

} // namespace dazo::test
