// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/AtomicFile.h"

#include "common/DazoError.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <filesystem>
#include <mutex>
#include <unordered_set>

namespace dazo {
namespace {

bool WriteAll(int fd, std::string_view content)
{
    while (!content.empty()) {
        const ssize_t put = ::write(fd, content.data(), content.size());
        if (put <= 0)
            return false;
        content.remove_prefix(static_cast<std::size_t>(put));
    }
    return true;
}

// Whether "<pid>" names a process that no longer runs.
bool IsDeadProcess(std::string_view pidText)
{
    pid_t pid = 0;
    const auto [end, error] = std::from_chars(pidText.data(), pidText.data() + pidText.size(), pid);
    return error == std::errc() && end == pidText.data() + pidText.size() && pid > 0 && ::kill(pid, 0) != 0
        && errno == ESRCH;
}

// A writer killed between creating its temp file and renaming it leaves
// "<file>.tmp<pid>" behind. The first replacement of a file in a process
// removes those of writers no longer running.
void RemoveOrphanedTempFiles(const std::string& fileName)
{
    static std::mutex mutex;
    static std::unordered_set<std::string> cleaned;
    {
        std::lock_guard lock(mutex);
        if (!cleaned.insert(fileName).second)
            return;
    }
    namespace fs = std::filesystem;
    const fs::path path(fileName);
    const std::string prefix = path.filename().string() + ".tmp";
    std::error_code error;
    fs::directory_iterator entry(path.has_parent_path() ? path.parent_path() : fs::path("."), error);
    for (; !error && entry != fs::directory_iterator(); entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        if (name.size() > prefix.size() && name.compare(0, prefix.size(), prefix) == 0
            && IsDeadProcess(std::string_view(name).substr(prefix.size()))) {
            std::error_code ignored; // another process may have removed it first
            fs::remove(entry->path(), ignored);
        }
    }
}

} // namespace

struct stat ReplaceFileContent(const std::string& fileName, std::string_view content, const char* uncreatable,
                               std::optional<mode_t> mode)
{
    const std::string temp = fileName + ".tmp" + std::to_string(::getpid());
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        FailWith(uncreatable, fileName);
    struct stat written{};
    bool ok = WriteAll(fd, content) && (!mode || ::fchmod(fd, *mode) == 0) && ::fdatasync(fd) == 0
           && ::fstat(fd, &written) == 0;
    ok = ::close(fd) == 0 && ok;
    if (!ok || ::rename(temp.c_str(), fileName.c_str()) != 0) {
        ::unlink(temp.c_str());
        FailWith(kCannotWrite, fileName);
    }
    RemoveOrphanedTempFiles(fileName);
    return written;
}

} // namespace dazo
