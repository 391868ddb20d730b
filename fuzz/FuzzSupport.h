// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What every harness needs: the readers take file names, so each input goes
// into a file of this process's own, and a broken property ends the run with
// a message libFuzzer reports as a crash.

#include "common/DazoError.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace dazo::fuzz {

// A directory for this process alone, under TMPDIR (scripts/fuzz points it to
// a directory of the run on tmpfs and removes that afterwards: libFuzzer does
// not always end through exit), else on tmpfs where there is one (the profile
// layer syncs every write to disk).
inline const std::filesystem::path& ScratchDirectory()
{
    static const std::filesystem::path dir = [] {
        const char* tmpdir = std::getenv("TMPDIR");
        const std::filesystem::path base = tmpdir && *tmpdir ? std::filesystem::path(tmpdir)
                                         : std::filesystem::is_directory("/dev/shm")
                                         ? std::filesystem::path("/dev/shm")
                                         : std::filesystem::temp_directory_path();
        std::filesystem::path made = base / ("dazo-fuzz-" + std::to_string(::getpid()));
        std::filesystem::remove_all(made);
        std::filesystem::create_directories(made);
        std::atexit([] { std::filesystem::remove_all(ScratchDirectory()); });
        return made;
    }();
    return dir;
}

inline std::string ScratchFile(const std::string& name)
{
    return (ScratchDirectory() / name).string();
}

// Replaces the file's content with the bytes; returns its name.
inline std::string WriteScratch(const std::string& name, std::string_view bytes)
{
    const std::string path = ScratchFile(name);
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path;
}

[[noreturn]] inline void Broken(const char* property)
{
    std::fprintf(stderr, "property broken: %s\n", property);
    std::abort();
}

inline void Require(bool holds, const char* property)
{
    if (!holds)
        Broken(property);
}

// A refused input must say why: a non-empty message.
inline void RequireMessage(const DazoError& e)
{
    Require(*e.what() != '\0', "error without a message");
}

} // namespace dazo::fuzz
