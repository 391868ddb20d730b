// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/AtomicFile.h"

#include "common/DazoError.h"

#include <fcntl.h>
#include <unistd.h>

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
    return written;
}

} // namespace dazo
