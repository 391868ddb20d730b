// SPDX-License-Identifier: GPL-3.0-or-later
#include "project/IniFile.h"

#include "common/AtomicFile.h"
#include "common/DazoError.h"
#include "common/Encoding.h"
#include "signal/uconst.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <utility>

namespace dazo {
namespace {

constexpr std::size_t kMaxValueLength = 2047;
constexpr std::size_t kMaxCachedFiles = 16;
constexpr std::size_t kNone = static_cast<std::size_t>(-1);

[[noreturn]] void FailWrite(const std::string& fileName)
{
    FailWith(kCannotWrite, fileName);
}

struct KeyLine {
    std::string_view key;
    std::string_view value;
};

// Key and value of a line "key=value"; nothing for comments and other lines.
std::optional<KeyLine> ParseKeyLine(std::string_view line)
{
    const auto trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() == ';')
        return std::nullopt;
    const auto at = trimmed.find('=');
    if (at == std::string_view::npos)
        return std::nullopt;
    const auto key = Trim(trimmed.substr(0, at));
    if (key.empty())
        return std::nullopt;
    return KeyLine{key, Trim(trimmed.substr(at + 1))};
}

// Name of a section header "[name]"; nothing for any other line.
std::optional<std::string_view> ParseSectionHeader(std::string_view line)
{
    const auto trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() != '[')
        return std::nullopt;
    const auto close = trimmed.find(']');
    if (close == std::string_view::npos)
        return std::nullopt;
    return Trim(trimmed.substr(1, close - 1));
}

std::string ValueAsRead(std::string_view value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'')
        && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return std::string(value.substr(0, kMaxValueLength));
}

// Whether the texts can stand in the file without changing its structure.
bool Representable(std::string_view section, std::string_view key, std::string_view value)
{
    const auto hasLineBreak = [](std::string_view s) { return s.find_first_of("\r\n") != s.npos; };
    return !hasLineBreak(section) && !hasLineBreak(key) && !hasLineBreak(value)
        && section.find(']') == section.npos && Trim(section) == section
        && !key.empty() && Trim(key) == key && key.find('=') == key.npos
        && key.front() != ';' && key.front() != '[';
}

struct Section {
    std::string header;                                // the "[name]" line as it stands
    std::string lowerName;
    std::vector<std::string> lines;                    // up to the next header
    std::unordered_map<std::string, std::size_t> keys; // lower-cased key -> its first line
    std::size_t lastKeyLine = kNone;

    void Reindex()
    {
        keys.clear();
        lastKeyLine = kNone;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (const auto keyLine = ParseKeyLine(lines[i])) {
                keys.try_emplace(AsciiLower(keyLine->key), i);
                lastKeyLine = i;
            }
        }
    }

    std::size_t LineOf(std::string_view key) const
    {
        const auto it = keys.find(AsciiLower(key));
        return it == keys.end() ? kNone : it->second;
    }

    // After the last key line, so trailing comments and blank lines stay at
    // the end; without keys, before the trailing blank lines.
    void AppendKey(std::string_view key, std::string line)
    {
        std::size_t at = lastKeyLine + 1;
        if (lastKeyLine == kNone) {
            at = lines.size();
            while (at > 0 && Trim(lines[at - 1]).empty())
                --at;
        }
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
        keys.try_emplace(AsciiLower(key), at); // keys all stand before at, so no index moves
        lastKeyLine = at;
    }
};

struct ParsedFile {
    std::vector<std::string> preamble; // lines before the first section
    std::vector<Section> sections;
    std::unordered_map<std::string, std::size_t> index; // lower-cased name -> first such section

    void Reindex()
    {
        index.clear();
        for (std::size_t i = 0; i < sections.size(); ++i)
            index.try_emplace(sections[i].lowerName, i);
    }

    const Section* Find(std::string_view name) const
    {
        const auto it = index.find(AsciiLower(name));
        return it == index.end() ? nullptr : &sections[it->second];
    }

    Section* Find(std::string_view name)
    {
        return const_cast<Section*>(std::as_const(*this).Find(name));
    }

    const std::string* FindLine(std::string_view section, std::string_view key) const
    {
        const Section* s = Find(section);
        if (!s)
            return nullptr;
        const std::size_t line = s->LineOf(key);
        return line == kNone ? nullptr : &s->lines[line];
    }

    // Removes every section of that name; false when there was none.
    bool EraseSection(std::string_view name)
    {
        if (!Find(name))
            return false;
        const std::string lowerName = AsciiLower(name);
        std::erase_if(sections, [&](const Section& s) { return s.lowerName == lowerName; });
        Reindex();
        return true;
    }

    void AppendSection(std::string_view name, std::vector<std::string> lines)
    {
        Section& s = sections.emplace_back();
        s.header = "[" + std::string(name) + "]";
        s.lowerName = AsciiLower(name);
        s.lines = std::move(lines);
        s.Reindex();
        index.try_emplace(s.lowerName, sections.size() - 1);
    }
};

// CR LF, LF and a lone CR all end a line.
ParsedFile Parse(std::string_view content)
{
    ParsedFile file;
    std::vector<std::string>* target = &file.preamble;
    std::size_t pos = 0;
    while (pos < content.size()) {
        const auto end = std::min(content.find_first_of("\r\n", pos), content.size());
        const auto line = content.substr(pos, end - pos);
        pos = end + (content.compare(end, 2, "\r\n") == 0 ? 2 : 1);
        if (const auto name = ParseSectionHeader(line)) {
            Section& s = file.sections.emplace_back();
            s.header = line;
            s.lowerName = AsciiLower(*name);
            target = &s.lines;
        } else {
            target->emplace_back(line);
        }
    }
    for (Section& s : file.sections)
        s.Reindex();
    file.Reindex();
    return file;
}

std::string Serialize(const ParsedFile& file, std::size_t sizeHint)
{
    std::string out;
    out.reserve(sizeHint + 256);
    const auto put = [&out](const std::string& line) {
        out += line;
        out += "\r\n";
    };
    std::for_each(file.preamble.begin(), file.preamble.end(), put);
    for (const Section& s : file.sections) {
        put(s.header);
        std::for_each(s.lines.begin(), s.lines.end(), put);
    }
    return out;
}

// ---- the files on disk ------------------------------------------------------

struct Signature {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = -1;
    timespec modified{};

    Signature() = default;
    explicit Signature(const struct stat& st)
        : device(st.st_dev), inode(st.st_ino), size(st.st_size), modified(st.st_mtim) {}

    bool operator==(const Signature& o) const
    {
        return device == o.device && inode == o.inode && size == o.size
            && modified.tv_sec == o.modified.tv_sec && modified.tv_nsec == o.modified.tv_nsec;
    }
};

bool Earlier(const timespec& a, const timespec& b)
{
    return a.tv_sec < b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec < b.tv_nsec);
}

// The clock the kernel stamps file times from.
timespec CoarseNow()
{
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME_COARSE, &now);
    return now;
}

bool ReadWholeFile(const std::string& fileName, std::string& content, struct stat& st)
{
    const int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    if (ok) {
        content.clear();
        content.reserve(static_cast<std::size_t>(st.st_size));
        char buffer[65536];
        ssize_t got = 0;
        while ((got = ::read(fd, buffer, sizeof buffer)) > 0)
            content.append(buffer, static_cast<std::size_t>(got));
        ok = got == 0;
    }
    ::close(fd);
    return ok;
}

struct CachedFile {
    Signature signature;
    std::optional<mode_t> mode; // none for a file still to be created
    timespec checkedAt{};       // coarse time taken before the content was known to be current
    std::string content;
    ParsedFile parsed;
};

class FileCache {
public:
    std::mutex mutex;

    // The entry holding the file's current content; nullptr when the file is
    // missing or cannot be read (exists tells which).
    CachedFile* Current(const std::string& fileName, bool& exists)
    {
        const timespec now = CoarseNow();
        struct stat st{};
        exists = ::stat(fileName.c_str(), &st) == 0;
        if (!exists) {
            files_.erase(fileName);
            return nullptr;
        }
        auto it = files_.find(fileName);
        // A change within the same clock tick as our last look can keep size and
        // time stamp; such an entry is confirmed by the file's bytes instead.
        if (it != files_.end() && it->second.signature == Signature(st)
            && Earlier(it->second.signature.modified, it->second.checkedAt))
            return &it->second;

        std::string content;
        if (!ReadWholeFile(fileName, content, st)) {
            files_.erase(fileName);
            return nullptr;
        }
        if (it == files_.end())
            it = Emplace(fileName);
        CachedFile& file = it->second;
        if (file.content != content) {
            file.parsed = Parse(content);
            file.content = std::move(content);
        }
        file.signature = Signature(st);
        file.mode = st.st_mode & 07777;
        file.checkedAt = now;
        return &file;
    }

    CachedFile& ForNewFile(const std::string& fileName) { return Emplace(fileName)->second; }

    void Forget(const std::string& fileName) { files_.erase(fileName); }

private:
    std::unordered_map<std::string, CachedFile>::iterator Emplace(const std::string& fileName)
    {
        if (files_.size() >= kMaxCachedFiles)
            files_.clear();
        return files_.insert_or_assign(fileName, CachedFile{}).first;
    }

    std::unordered_map<std::string, CachedFile> files_;
};

FileCache& TheCache()
{
    static FileCache cache;
    return cache;
}

template <class Read>
auto ReadFile(const std::string& fileName, Read read)
{
    static const ParsedFile empty;
    FileCache& cache = TheCache();
    std::lock_guard lock(cache.mutex);
    bool exists = false;
    const CachedFile* file = cache.Current(fileName, exists);
    return read(file ? file->parsed : empty);
}

// change(ParsedFile&) edits the parsed file and says whether it changed
// anything; only then is the file written.
template <class Change>
void ChangeFile(const std::string& fileName, bool createMissing, Change change)
{
    FileCache& cache = TheCache();
    std::lock_guard lock(cache.mutex);
    bool exists = false;
    CachedFile* file = cache.Current(fileName, exists);
    if (!file) {
        if (exists) // never overwrite what could not be read
            FailWrite(fileName);
        if (!createMissing)
            return;
        file = &cache.ForNewFile(fileName);
    }
    try {
        if (!change(file->parsed))
            return;
        if (exists && ::access(fileName.c_str(), W_OK) != 0)
            FailWrite(fileName);
        const timespec startedAt = CoarseNow();
        std::string content = Serialize(file->parsed, file->content.size());
        file->signature = Signature(ReplaceFileContent(fileName, content, kCannotWrite, file->mode));
        file->content = std::move(content);
        file->checkedAt = startedAt;
    } catch (...) {
        cache.Forget(fileName); // the parsed copy may hold the failed change
        throw;
    }
}

} // namespace

IniFile::IniFile(std::string fileName) : fileName_(std::move(fileName)) {}

const std::string& IniFile::FileName() const
{
    return fileName_;
}

bool IniFile::FileExists() const
{
    struct stat st{};
    return ::stat(fileName_.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string IniFile::ReadString(std::string_view section, std::string_view key, std::string_view def) const
{
    return ReadFile(fileName_, [&](const ParsedFile& file) {
        const std::string* line = file.FindLine(section, key);
        return line ? ValueAsRead(ParseKeyLine(*line)->value) : std::string(def);
    });
}

int IniFile::ReadInteger(std::string_view section, std::string_view key, int def) const
{
    return ParseInteger(ReadString(section, key)).value_or(def);
}

namespace {

// Sets one key in the parsed file; false when the value stands there already.
bool SetValue(ParsedFile& file, std::string_view section, std::string_view key, std::string_view value)
{
    Section* s = file.Find(section);
    if (!s) {
        file.AppendSection(section, {std::string(key) + '=' + std::string(value)});
        return true;
    }
    const std::size_t at = s->LineOf(key);
    if (at == kNone) {
        s->AppendKey(key, std::string(key) + '=' + std::string(value));
        return true;
    }
    // The key keeps its spelling in the file.
    std::string line = std::string(ParseKeyLine(s->lines[at])->key) + '=' + std::string(value);
    if (line == s->lines[at])
        return false;
    s->lines[at] = std::move(line);
    return true;
}

} // namespace

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value)
{
    if (!Representable(section, key, value))
        FailWrite(fileName_);
    ChangeFile(fileName_, true, [&](ParsedFile& file) { return SetValue(file, section, key, value); });
}

void IniFile::WriteStrings(std::string_view section, const std::vector<KeyValue>& values)
{
    for (const KeyValue& pair : values)
        if (!Representable(section, pair.key, pair.value))
            FailWrite(fileName_);
    ChangeFile(fileName_, true, [&](ParsedFile& file) {
        bool changed = false;
        for (const KeyValue& pair : values)
            changed = SetValue(file, section, pair.key, pair.value) || changed;
        return changed;
    });
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, int value)
{
    WriteString(section, key, std::to_string(value));
}

std::vector<std::string> IniFile::ReadSection(std::string_view section) const
{
    return ReadFile(fileName_, [&](const ParsedFile& file) {
        std::vector<std::string> keys;
        if (const Section* s = file.Find(section))
            for (const std::string& line : s->lines)
                if (const auto keyLine = ParseKeyLine(line))
                    keys.emplace_back(keyLine->key);
        return keys;
    });
}

std::vector<std::string> IniFile::ReadSectionValues(std::string_view section) const
{
    return ReadFile(fileName_, [&](const ParsedFile& file) {
        std::vector<std::string> values;
        if (const Section* s = file.Find(section))
            for (const std::string& line : s->lines)
                if (const auto keyLine = ParseKeyLine(line))
                    values.push_back(std::string(keyLine->key) + '=' + ValueAsRead(keyLine->value));
        return values;
    });
}

bool IniFile::SectionExists(std::string_view section) const
{
    return ReadFile(fileName_, [&](const ParsedFile& file) { return file.Find(section) != nullptr; });
}

bool IniFile::ValueExists(std::string_view section, std::string_view key) const
{
    return ReadFile(fileName_, [&](const ParsedFile& file) { return file.FindLine(section, key) != nullptr; });
}

void IniFile::EraseSection(std::string_view section)
{
    ChangeFile(fileName_, false, [&](ParsedFile& file) { return file.EraseSection(section); });
}

void IniFile::DeleteKey(std::string_view section, std::string_view key)
{
    ChangeFile(fileName_, false, [&](ParsedFile& file) {
        Section* s = file.Find(section);
        if (!s || s->LineOf(key) == kNone)
            return false;
        const std::string lowerKey = AsciiLower(key);
        std::erase_if(s->lines, [&](const std::string& line) {
            const auto keyLine = ParseKeyLine(line);
            return keyLine && AsciiLower(keyLine->key) == lowerKey;
        });
        s->Reindex();
        return true;
    });
}

void IniFile::ReplaceSection(std::string_view section, const std::vector<KeyValue>& values)
{
    std::vector<std::string> lines;
    for (const KeyValue& kv : values) {
        if (!Representable(section, kv.key, kv.value))
            FailWrite(fileName_);
        lines.push_back(kv.key + '=' + kv.value);
    }
    ChangeFile(fileName_, !lines.empty(), [&](ParsedFile& file) {
        const bool erased = file.EraseSection(section);
        if (lines.empty())
            return erased;
        file.AppendSection(section, std::move(lines));
        return true;
    });
}

} // namespace dazo
