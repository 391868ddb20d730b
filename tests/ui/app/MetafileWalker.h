// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// An independent reader for the metafiles the tests produce: it walks the
// records by their own size fields, checks the file-level rules a player
// relies on and keeps each record's position for content checks. It shares
// no code with the writer.

#include <QByteArray>

#include <cstdint>
#include <string>
#include <vector>

namespace dazo::test {

struct MetaRecord {
    std::uint32_t type = 0; // EMF record type or WMF function
    std::size_t offset = 0; // of the record in the file
    std::size_t size = 0; // in bytes
};

class MetafileBytes {
public:
    explicit MetafileBytes(QByteArray bytes)
        : bytes_(std::move(bytes))
    {
    }
    std::size_t Size() const { return static_cast<std::size_t>(bytes_.size()); }
    std::uint16_t U16(std::size_t at) const
    {
        return at + 2 > Size() ? 0 : static_cast<std::uint16_t>(Byte(at) | Byte(at + 1) << 8);
    }
    std::int16_t I16(std::size_t at) const { return static_cast<std::int16_t>(U16(at)); }
    std::uint32_t U32(std::size_t at) const
    {
        return static_cast<std::uint32_t>(U16(at)) | static_cast<std::uint32_t>(U16(at + 2)) << 16;
    }
    std::int32_t I32(std::size_t at) const { return static_cast<std::int32_t>(U32(at)); }
    unsigned Byte(std::size_t at) const
    {
        return at < Size() ? static_cast<unsigned char>(bytes_[static_cast<qsizetype>(at)]) : 0;
    }

private:
    QByteArray bytes_;
};

// Object bookkeeping common to both formats: which slots hold an object,
// what each slot is, and which objects the device context (and its saved
// copies) has selected.
class ObjectTable {
public:
    void Create(std::size_t slot, int kind, std::vector<std::string>& faults);
    void Select(std::size_t slot, std::vector<std::string>& faults);
    void Delete(std::size_t slot, std::vector<std::string>& faults);
    void Save() { saved_.push_back(selected_); }
    void Restore(std::vector<std::string>& faults);
    std::size_t LowestFree() const;
    std::size_t SlotsUsed() const { return kinds_.size(); } // highest slot ever used + 1
    std::size_t SaveDepth() const { return saved_.size(); }

private:
    bool IsSelected(std::size_t slot) const;
    std::vector<int> kinds_; // 0 = free
    std::vector<std::size_t> selected_ = std::vector<std::size_t>(5, SIZE_MAX); // by kind
    std::vector<std::vector<std::size_t>> saved_;
};

struct EmfWalk {
    MetafileBytes file;
    std::vector<MetaRecord> records;
    std::vector<std::string> faults;
    std::size_t handleCount = 0;
    std::int32_t bounds[4] = {};
    std::int32_t frame[4] = {};
};

struct WmfWalk {
    MetafileBytes file;
    std::vector<MetaRecord> records; // after the two headers
    std::vector<std::string> faults;
    std::int16_t box[4] = {};
    std::uint16_t inch = 0;
    std::size_t objectCount = 0;
};

EmfWalk WalkEmf(const QByteArray& bytes);
WmfWalk WalkWmf(const QByteArray& bytes);

} // namespace dazo::test
