// SPDX-License-Identifier: GPL-3.0-or-later
// Profile files: any bytes read as some sections and keys, without a crash;
// a value written reads back as written (blanks around it and one pair of
// quotes dropped, cut to 2047 bytes), every other value stays as it was, and a
// refused write says so and leaves the file's bytes alone.

#include "FuzzSupport.h"
#include "common/Encoding.h"
#include "project/IniFile.h"
#include "signal/uconst.h"

#include <fstream>
#include <iterator>
#include <map>
#include <vector>

using namespace dazo;

namespace {

std::vector<std::string_view> Lines(std::string_view text)
{
    std::vector<std::string_view> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t end = std::min(text.find_first_of("\r\n", pos), text.size());
        lines.push_back(text.substr(pos, end - pos));
        pos = end + 1;
    }
    return lines;
}

struct Names {
    std::vector<std::string> sections;
    std::vector<std::pair<std::string, std::string>> keys; // section, key
    std::vector<std::string> values;                      // raw line texts, used as values to write
};

// The names the input seems to use; only a guide to what to ask for.
Names Scan(std::string_view text)
{
    Names names;
    std::string section;
    for (const std::string_view line : Lines(text)) {
        names.values.emplace_back(line);
        const std::string_view t = Trim(line);
        if (!t.empty() && t.front() == '[' && t.find(']') != t.npos) {
            section = std::string(Trim(t.substr(1, t.find(']') - 1)));
            names.sections.push_back(section);
        } else if (const auto at = t.find('='); at != t.npos && !t.empty() && t.front() != ';') {
            names.keys.emplace_back(section, std::string(Trim(t.substr(0, at))));
        }
    }
    return names;
}

std::string ReadBytes(const std::string& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::string AsReadBack(std::string_view written)
{
    std::string_view v = Trim(written);
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
    return std::string(v.substr(0, 2047));
}

// Every section's values, by lower-cased section name.
std::map<std::string, std::vector<std::string>> Snapshot(const IniFile& ini, const Names& names)
{
    std::map<std::string, std::vector<std::string>> all;
    for (const std::string& section : names.sections)
        all[AsciiLower(section)] = ini.ReadSectionValues(section);
    return all;
}

void CheckReading(const IniFile& ini, const Names& names)
{
    for (const std::string& section : names.sections) {
        const std::vector<std::string> keys = ini.ReadSection(section);
        const std::vector<std::string> values = ini.ReadSectionValues(section);
        fuzz::Require(keys.size() == values.size(), "keys and values of a section disagree");
        fuzz::Require(ini.SectionExists(section), "a section that is there is not found");
        for (std::size_t i = 0; i < keys.size(); ++i) {
            fuzz::Require(values[i].compare(0, keys[i].size() + 1, keys[i] + "=") == 0, "value line without its key");
            fuzz::Require(ini.ValueExists(section, keys[i]), "a key that is there is not found");
            fuzz::Require(ini.ReadString(section, keys[i]).size() <= 2047, "value longer than 2047 bytes");
        }
    }
}

void WriteAndReadBack(IniFile& ini, const Names& names, const std::string& section, const std::string& key,
                      const std::string& value)
{
    const auto before = Snapshot(ini, names);
    const std::string bytesBefore = ReadBytes(ini.FileName());
    try {
        ini.WriteString(section, key, value);
    } catch (const DazoError& e) {
        fuzz::Require(std::string(e.what()) == "In " + ini.FileName() + " kann nicht geschrieben werden",
                      "refused write with another message");
        fuzz::Require(ReadBytes(ini.FileName()) == bytesBefore, "refused write changed the file");
        return;
    }
    fuzz::Require(ini.ReadString(section, key) == AsReadBack(value), "value read back differs from the one written");
    const auto after = Snapshot(ini, names);
    for (const auto& [name, values] : before) {
        if (name == AsciiLower(section))
            continue;
        fuzz::Require(after.at(name) == values, "write changed another section");
    }
    // In the written section only the written key may have changed.
    const auto it = before.find(AsciiLower(section));
    if (it == before.end())
        return;
    const std::vector<std::string> now = ini.ReadSectionValues(section);
    std::size_t changed = 0;
    for (std::size_t i = 0; i < std::max(now.size(), it->second.size()); ++i)
        changed += i >= now.size() || i >= it->second.size() || now[i] != it->second[i];
    fuzz::Require(changed <= 1, "write changed other keys of its section");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    IniFile ini(fuzz::WriteScratch("input.npj", text));
    const Names names = Scan(text);
    CheckReading(ini, names);

    // Values to write: the input's own lines, shifted by one, and a few that
    // the profile file cannot hold or must quote.
    std::vector<std::string> values = names.values;
    values.insert(values.end(), {"", "  padded  ", "\"quoted\"", "line\r\nbreak"});
    std::size_t next = 1;
    const auto value = [&] { return values[next++ % values.size()]; };
    for (std::size_t i = 0; i < names.keys.size() && i < 8; ++i)
        WriteAndReadBack(ini, names, names.keys[i].first, names.keys[i].second, value());
    const std::string firstSection = names.sections.empty() ? "S" : names.sections.front();
    WriteAndReadBack(ini, names, firstSection, "NeuerSchluessel", value());
    WriteAndReadBack(ini, names, "Neu", "k", value());

    if (!names.keys.empty()) {
        const auto& [section, key] = names.keys.front();
        ini.DeleteKey(section, key);
        fuzz::Require(!ini.ValueExists(section, key), "deleted key still there");
    }
    ini.EraseSection(firstSection);
    fuzz::Require(!ini.SectionExists(firstSection), "erased section still there");
    return 0;
}
