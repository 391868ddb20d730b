// SPDX-License-Identifier: GPL-3.0-or-later
// The report's text sources: any file reads as records of fields; any lines
// average or are refused with a message; any DATA section becomes one record
// with one field per entry.

#include "FuzzSupport.h"
#include "common/FormatSettings.h"
#include "project/IniFile.h"
#include "reports/LineFiles.h"
#include "reports/ResultsFiles.h"
#include "reports/TextPipeline.h"
#include "signal/uconst.h"

#include <algorithm>

using namespace dazo;

namespace {

std::size_t ReadLinesBytes(const std::string& file)
{
    std::size_t bytes = 0;
    for (const std::string& line : ReadLines(file))
        bytes += line.size();
    return bytes;
}

void ReadThrough(const std::string& file, char delimiter)
{
    TTextPipeline pipe;
    pipe.FileName = file;
    pipe.Delimiter = delimiter;
    for (int column = 0; column < 16; ++column)
        pipe.DeclareField("F" + std::to_string(column), column, TFieldType::String, 30);
    pipe.Open();
    fuzz::Require(pipe.Eof() || pipe.FieldText(3) == pipe.Value("f3"), "field by name and by index differ");
    std::size_t records = 0;
    std::size_t bytes = 0;
    for (; !pipe.Eof(); pipe.Next(), ++records)
        for (int i = 0; i < pipe.FieldCount(); ++i)
            bytes += pipe.FieldText(i).size();
    fuzz::Require(bytes <= ReadLinesBytes(file), "fields hold more than the file");
    fuzz::Require(records == ReadLines(file).size(), "not one record per line");
}

void Average(const std::string& file, char decimalSeparator)
{
    std::vector<std::string> lines = ReadLines(file);
    const std::size_t inputLines = lines.size();
    try {
        FormatSettings format;
        format.decimalSeparator = decimalSeparator;
        AverageBandLines(lines, format);
    } catch (const DazoError& e) {
        fuzz::RequireMessage(e);
        return;
    }
    long long merged = 0;
    for (const std::string& line : lines)
        merged += TextToInteger(line.substr(0, line.find(';')));
    fuzz::Require(merged == static_cast<long long>(inputLines), "averaged lines do not count every input line");
}

void BindData(const std::string& file)
{
    TTextPipeline pipe;
    BindDataSection(file, pipe);
    const std::vector<std::string> entries = IniFile(file).ReadSectionValues("DATA");
    fuzz::Require(pipe.FieldCount() == static_cast<int>(entries.size()), "not one field per entry");
    pipe.Open();
    fuzz::Require(pipe.Eof() == entries.empty(), "not one record for the entries");
    for (int i = 0; i < pipe.FieldCount(); ++i) {
        std::string expected = SplitKeyValue(entries[static_cast<std::size_t>(i)], '=').value;
        std::replace(expected.begin(), expected.end(), '\t', ' ');
        fuzz::Require(pipe.FieldText(i) == expected, "entry changed on its way into the record");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string file = fuzz::WriteScratch("input.npj", {reinterpret_cast<const char*>(data), size});
    ReadThrough(file, ';');
    ReadThrough(file, '\t');
    Average(file, '.');
    Average(file, ',');
    BindData(file);
    return 0;
}
