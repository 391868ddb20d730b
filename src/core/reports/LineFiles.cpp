// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/LineFiles.h"

#include "common/AtomicFile.h"
#include "common/DazoError.h"

#include <cstdio>
#include <fstream>
#include <iterator>

namespace dazo {

std::vector<std::string> ReadLines(const std::string& fileName)
{
    std::ifstream in(fileName, std::ios::binary);
    if (!in)
        FailWith("Datei %s kann nicht geöffnet werden", fileName);
    const std::string content{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};

    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t end = content.find('\n', start);
        if (end == std::string::npos)
            end = content.size();
        std::size_t lineEnd = end;
        if (lineEnd > start && content[lineEnd - 1] == '\r')
            --lineEnd;
        lines.emplace_back(content, start, lineEnd - start);
        start = end + 1;
    }
    return lines;
}

void WriteLines(const std::string& fileName, const std::vector<std::string>& lines)
{
    std::string content;
    for (const auto& line : lines) {
        content += line;
        content += "\r\n";
    }
    ReplaceFileContent(fileName, content, kCannotCreate);
}

void DeleteFileIfExists(const std::string& fileName)
{
    std::remove(fileName.c_str()); // a missing file is what the caller wants anyway
}

} // namespace dazo
