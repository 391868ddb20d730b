// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/TextPipeline.h"

#include "common/DazoError.h"
#include "reports/LineFiles.h"

#include <algorithm>

namespace dazo {
namespace {

// Letter case folded for ASCII and the accented letters of Windows-1252.
unsigned char FoldCase(char c)
{
    const auto code = static_cast<unsigned char>(c);
    if ((code >= 'A' && code <= 'Z') || (code >= 0xC0 && code <= 0xDE && code != 0xD7))
        return static_cast<unsigned char>(code + 0x20);
    return code;
}

bool SameName(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return FoldCase(x) == FoldCase(y); });
}

} // namespace

void TTextPipeline::DeclareField(std::string name, int position, TFieldType type, int length)
{
    fields_.push_back({std::move(name), position, type, length, false});
}

void TTextPipeline::DefineField(std::string name, int position, int length)
{
    fields_.push_back({std::move(name), position, TFieldType::String, length, true});
}

void TTextPipeline::ClearDefinedFields()
{
    std::erase_if(fields_, [](const TPipelineField& field) { return field.Defined; });
}

void TTextPipeline::Open()
{
    records_ = ReadLines(FileName);
    recordIndex_ = 0;
    active_ = true;
    SplitCurrent();
}

void TTextPipeline::Close()
{
    records_.clear();
    current_.clear();
    recordIndex_ = 0;
    active_ = false;
}

bool TTextPipeline::Eof() const
{
    return recordIndex_ >= records_.size();
}

void TTextPipeline::Next()
{
    if (Eof())
        return;
    ++recordIndex_;
    SplitCurrent();
}

void TTextPipeline::SplitCurrent()
{
    current_.clear();
    if (Eof())
        return;
    const std::string& record = records_[recordIndex_];
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = record.find(Delimiter, start);
        current_.emplace_back(record, start, end == std::string::npos ? std::string::npos : end - start);
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
}

const TPipelineField& TTextPipeline::Field(int index) const
{
    if (index < 0 || index >= FieldCount())
        FailWith("Listenindex überschreitet das Maximum (%s)", std::to_string(index));
    return fields_[static_cast<std::size_t>(index)];
}

std::string TTextPipeline::FieldText(int index) const
{
    const int column = Field(index).Position;
    if (column < 0 || static_cast<std::size_t>(column) >= current_.size())
        return {};
    return current_[static_cast<std::size_t>(column)];
}

int TTextPipeline::IndexOf(std::string_view name) const
{
    for (int i = 0; i < FieldCount(); ++i)
        if (SameName(fields_[static_cast<std::size_t>(i)].Name, name))
            return i;
    return -1;
}

int TTextPipeline::FieldPosition(std::string_view name) const
{
    const int index = IndexOf(name);
    return index < 0 ? -1 : fields_[static_cast<std::size_t>(index)].Position;
}

std::string TTextPipeline::Value(std::string_view name) const
{
    const int index = IndexOf(name);
    if (index < 0)
        FailWith("Feld %s nicht gefunden", std::string(name));
    return FieldText(index);
}

} // namespace dazo
