// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Paths.h"

#include "common/Encoding.h"


namespace dazo {
namespace {

std::size_t NameStart(std::string_view path)
{
    const auto slash = path.find_last_of("/\\");
    return slash == std::string_view::npos ? 0 : slash + 1;
}

std::size_t ExtensionStart(std::string_view path)
{
    const auto dot = path.rfind('.');
    if (dot == std::string_view::npos || dot < NameStart(path))
        return path.size();
    return dot;
}

} // namespace

std::string BareFileName(std::string_view path)
{
    return std::string(path.substr(NameStart(path)));
}

std::string DirectoryOf(std::string_view path)
{
    const std::size_t start = NameStart(path);
    if (start <= 1)
        return std::string(path.substr(0, start)); // "" or the root "/"
    return std::string(path.substr(0, start - 1));
}

std::string ExtensionLower(std::string_view path)
{
    return AsciiLower(path.substr(ExtensionStart(path)));
}

std::string ChangeExtension(std::string_view path, std::string_view extension)
{
    return std::string(path.substr(0, ExtensionStart(path))) + std::string(extension);
}

std::string JoinPath(std::string_view directory, std::string_view name)
{
    if (directory.empty())
        return std::string(name);
    std::string joined(directory);
    if (joined.back() != '/')
        joined += '/';
    return joined + std::string(name);
}

} // namespace dazo
