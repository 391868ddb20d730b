// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// dazo-eval run as a program (DAZO_EVAL_EXE, set by the build).

#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace dazo::test {

struct ProgramRun {
    int exitCode;
    std::string output; // stdout and stderr
};

inline ProgramRun RunEval(const std::string& arguments)
{
    // Appended piece by piece: g++ 12 mistakes the chained operator+ for an
    // out-of-bounds copy here (-Warray-bounds).
    std::string command = DAZO_EVAL_EXE;
    command.append(" ").append(arguments).append(" 2>&1");
    std::FILE* pipe = ::popen(command.c_str(), "r");
    ProgramRun run{-1, {}};
    if (!pipe)
        return run;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        run.output.append(buffer, n);
    const int status = ::pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

} // namespace dazo::test
