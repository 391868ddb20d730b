// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A named text data source of the reports: one record per line of a delimited
// file (";" or TAB), read field by field. Fields are declared with the report
// or defined at run time by the code that writes the file.

#include <string>
#include <string_view>
#include <vector>

namespace dazo {

enum class TFieldType { String, Integer, Double };

struct TPipelineField {
    std::string Name;
    int Position = 0; // column of the record
    TFieldType Type = TFieldType::String;
    int Length = 0;
    bool Defined = false; // defined at run time
};

class TTextPipeline {
public:
    std::string FileName;
    char Delimiter = ';';

    // A field of the report's own layout.
    void DeclareField(std::string name, int position, TFieldType type, int length);
    // A string field defined at run time by the code that writes the file.
    void DefineField(std::string name, int position, int length);
    // Drops the fields defined at run time, so that a re-bound pipeline has only
    // the fields of its current file.
    void ClearDefinedFields();

    // Reads the whole file; a missing file throws "Datei <file> kann nicht
    // geöffnet werden".
    void Open();
    void Close();
    bool Active() const { return active_; }
    bool Eof() const;
    void Next();

    int FieldCount() const { return static_cast<int>(fields_.size()); }
    const TPipelineField& Field(int index) const;
    // Text of a field in the current record; empty past the record's end, at
    // the end of the data or while closed.
    std::string FieldText(int index) const;

    // Field names match without regard to letter case.
    int FieldPosition(std::string_view name) const; // -1 for no such field
    // Unknown names throw "Feld <name> nicht gefunden".
    std::string Value(std::string_view name) const;

private:
    int IndexOf(std::string_view name) const;

    std::vector<TPipelineField> fields_;
    std::vector<std::string> records_;
    std::vector<std::string> current_; // the current record split into columns
    std::size_t recordIndex_ = 0;
    bool active_ = false;

    void SplitCurrent();
};

} // namespace dazo
