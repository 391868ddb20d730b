// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MetafileWalker.h"

#include <algorithm>

namespace dazo::test {
namespace {

enum Kind { Pen = 1, Brush = 2, Font = 3, OtherObject = 4 };

std::string At(std::size_t offset)
{
    return " at byte " + std::to_string(offset);
}

} // namespace

void ObjectTable::Create(std::size_t slot, int kind, std::vector<std::string>& faults)
{
    if (slot >= kinds_.size())
        kinds_.resize(slot + 1, 0);
    if (kinds_[slot] != 0)
        faults.push_back("object created into occupied slot " + std::to_string(slot));
    kinds_[slot] = kind;
}

void ObjectTable::Select(std::size_t slot, std::vector<std::string>& faults)
{
    if (slot >= kinds_.size() || kinds_[slot] == 0) {
        faults.push_back("select of a deleted or unknown object in slot " + std::to_string(slot));
        return;
    }
    selected_[static_cast<std::size_t>(kinds_[slot])] = slot;
}

void ObjectTable::Delete(std::size_t slot, std::vector<std::string>& faults)
{
    if (slot >= kinds_.size() || kinds_[slot] == 0) {
        faults.push_back("delete of a free slot " + std::to_string(slot));
        return;
    }
    if (IsSelected(slot))
        faults.push_back("delete of a selected object in slot " + std::to_string(slot));
    kinds_[slot] = 0;
}

void ObjectTable::Restore(std::vector<std::string>& faults)
{
    if (saved_.empty()) {
        faults.push_back("RestoreDC without SaveDC");
        return;
    }
    selected_ = saved_.back();
    saved_.pop_back();
}

std::size_t ObjectTable::LowestFree() const
{
    return static_cast<std::size_t>(std::find(kinds_.begin(), kinds_.end(), 0) - kinds_.begin());
}

bool ObjectTable::IsSelected(std::size_t slot) const
{
    const auto holds
        = [slot](const std::vector<std::size_t>& s) { return std::find(s.begin(), s.end(), slot) != s.end(); };
    return holds(selected_) || std::any_of(saved_.begin(), saved_.end(), holds);
}

EmfWalk WalkEmf(const QByteArray& bytes)
{
    EmfWalk walk {MetafileBytes(bytes), {}, {}, 0, {}, {}};
    const MetafileBytes& f = walk.file;
    auto& faults = walk.faults;
    if (f.Size() < 108) {
        faults.push_back("shorter than an EMF header");
        return walk;
    }
    if (f.U32(0) != 1)
        faults.push_back("first record is not EMR_HEADER");
    if (f.U32(40) != 0x464D4520)
        faults.push_back("no \" EMF\" signature at offset 40");
    for (int i = 0; i < 4; ++i) {
        walk.bounds[i] = f.I32(8 + 4 * static_cast<std::size_t>(i));
        walk.frame[i] = f.I32(24 + 4 * static_cast<std::size_t>(i));
    }
    if (f.U32(48) != f.Size())
        faults.push_back("nBytes " + std::to_string(f.U32(48)) + " but file has " + std::to_string(f.Size()));
    walk.handleCount = f.U16(56);

    ObjectTable objects;
    objects.Create(0, OtherObject, faults); // index 0 is reserved
    for (std::size_t at = 0; at < f.Size();) {
        const std::uint32_t type = f.U32(at);
        const std::uint32_t size = f.U32(at + 4);
        if (size < 8 || size % 4 != 0 || at + size > f.Size()) {
            faults.push_back("bad record size " + std::to_string(size) + At(at));
            break;
        }
        walk.records.push_back({type, at, size});
        const std::uint32_t handle = f.U32(at + 8);
        switch (type) {
        case 38: // EMR_CREATEPEN
        case 95: // EMR_EXTCREATEPEN
            objects.Create(handle, Pen, faults);
            break;
        case 39: objects.Create(handle, Brush, faults); break; // EMR_CREATEBRUSHINDIRECT
        case 82: objects.Create(handle, Font, faults); break; // EMR_EXTCREATEFONTINDIRECTW
        case 37: // EMR_SELECTOBJECT
            if ((handle & 0x80000000U) == 0)
                objects.Select(handle, faults);
            break;
        case 40: objects.Delete(handle, faults); break; // EMR_DELETEOBJECT
        case 33: objects.Save(); break; // EMR_SAVEDC
        case 34: // EMR_RESTOREDC
            if (f.I32(at + 8) != -1)
                faults.push_back("RestoreDC not relative -1" + At(at));
            objects.Restore(faults);
            break;
        default: break;
        }
        at += size;
    }
    if (walk.records.size() != f.U32(52))
        faults.push_back(
            "nRecords " + std::to_string(f.U32(52)) + " but " + std::to_string(walk.records.size()) + " records");
    if (walk.records.empty() || walk.records.back().type != 14) {
        faults.push_back("last record is not EMR_EOF");
    } else {
        const MetaRecord& eof = walk.records.back();
        if (eof.size != 20 || f.U32(eof.offset + 16) != eof.size)
            faults.push_back("EMR_EOF size fields wrong");
    }
    if (objects.SlotsUsed() > walk.handleCount)
        faults.push_back("nHandles " + std::to_string(walk.handleCount) + " too small");
    if (objects.SaveDepth() != 0)
        faults.push_back("SaveDC left unrestored");
    return walk;
}

WmfWalk WalkWmf(const QByteArray& bytes)
{
    WmfWalk walk {MetafileBytes(bytes), {}, {}, {}, 0, 0};
    const MetafileBytes& f = walk.file;
    auto& faults = walk.faults;
    constexpr std::size_t kPlaceable = 22;
    constexpr std::size_t kHeader = 18;
    if (f.Size() < kPlaceable + kHeader + 6) {
        faults.push_back("shorter than the headers");
        return walk;
    }
    if (f.U32(0) != 0x9AC6CDD7)
        faults.push_back("no placeable key");
    std::uint16_t checksum = 0;
    for (std::size_t i = 0; i < 10; ++i)
        checksum ^= f.U16(2 * i);
    if (checksum != f.U16(20))
        faults.push_back("placeable checksum wrong");
    for (int i = 0; i < 4; ++i)
        walk.box[i] = f.I16(6 + 2 * static_cast<std::size_t>(i));
    walk.inch = f.U16(14);
    if (f.U16(kPlaceable) != 1 || f.U16(kPlaceable + 2) != 9 || f.U16(kPlaceable + 4) != 0x0300)
        faults.push_back("METAHEADER type, size or version wrong");
    if (2 * static_cast<std::size_t>(f.U32(kPlaceable + 6)) + kPlaceable != f.Size())
        faults.push_back("mtSize " + std::to_string(f.U32(kPlaceable + 6)) + " words does not match the file");
    walk.objectCount = f.U16(kPlaceable + 10);
    if (f.U16(kPlaceable + 16) != 0)
        faults.push_back("mtNoParameters not 0");

    ObjectTable objects;
    std::size_t largest = 0;
    for (std::size_t at = kPlaceable + kHeader; at < f.Size();) {
        const std::uint32_t words = f.U32(at);
        const std::uint16_t function = f.U16(at + 4);
        if (words < 3 || at + 2 * static_cast<std::size_t>(words) > f.Size()) {
            faults.push_back("bad record size " + std::to_string(words) + At(at));
            break;
        }
        walk.records.push_back({function, at, 2 * static_cast<std::size_t>(words)});
        largest = std::max<std::size_t>(largest, words);
        switch (function) {
        case 0x02FA: objects.Create(objects.LowestFree(), Pen, faults); break;
        case 0x02FC: objects.Create(objects.LowestFree(), Brush, faults); break;
        case 0x02FB: objects.Create(objects.LowestFree(), Font, faults); break;
        case 0x00F7: // palette
        case 0x01F9: // pattern brush
        case 0x0142: // DIB pattern brush
        case 0x06FF: // region
            objects.Create(objects.LowestFree(), OtherObject, faults);
            break;
        case 0x012D: objects.Select(f.U16(at + 6), faults); break;
        case 0x01F0: objects.Delete(f.U16(at + 6), faults); break;
        case 0x001E: objects.Save(); break;
        case 0x0127:
            if (f.I16(at + 6) != -1)
                faults.push_back("META_RESTOREDC not relative -1" + At(at));
            objects.Restore(faults);
            break;
        default: break;
        }
        at += 2 * static_cast<std::size_t>(words);
        if (function == 0 && at != f.Size())
            faults.push_back("data after META_EOF");
    }
    if (walk.records.empty() || walk.records.back().type != 0 || walk.records.back().size != 6)
        faults.push_back("last record is not a 3-word META_EOF");
    if (largest != f.U32(kPlaceable + 12))
        faults.push_back(
            "mtMaxRecord " + std::to_string(f.U32(kPlaceable + 12)) + " but largest record " + std::to_string(largest));
    if (objects.SlotsUsed() > walk.objectCount)
        faults.push_back("mtNoObjects " + std::to_string(walk.objectCount) + " too small");
    if (objects.SaveDepth() != 0)
        faults.push_back("SaveDC left unrestored");
    return walk;
}

} // namespace dazo::test
