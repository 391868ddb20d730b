// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/ResultsFiles.h"

#include "analysis/ResultCache.h"

#include "common/DazoError.h"
#include "common/FloatChecks.h"
#include "common/Paths.h"
#include "project/CommaText.h"
#include "project/IniFile.h"
#include "project/uMessPunkt.h"
#include "reports/LineFiles.h"
#include "reports/TextPipeline.h"
#include "signal/uconst.h"

#include <algorithm>
#include <charconv>
#include <unordered_map>

namespace dazo {
namespace {

constexpr int kFirstBand = 1;
constexpr int kLastBand = 10;
// The RT record kinds the results show as EDT, RT20, RT30 and RTxx.
constexpr std::array<int, 4> kResultKinds = {0, 3, 5, 6};

std::vector<std::string> SplitAt(std::string_view text, char delimiter)
{
    std::vector<std::string> fields;
    for (;;) {
        const auto end = text.find(delimiter);
        fields.emplace_back(text.substr(0, end));
        if (end == std::string_view::npos)
            return fields;
        text.remove_prefix(end + 1);
    }
}

std::string JoinWith(const std::vector<std::string>& fields, std::string_view delimiter)
{
    std::string text;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            text += delimiter;
        text += fields[i];
    }
    return text;
}

// A text made fit for one field of a delimited record: the delimiter and line
// breaks would split the record, so each becomes a blank (CR LF one blank).
std::string OneLineField(std::string_view text, char delimiter)
{
    std::string field;
    field.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        field += (c == delimiter || c == '\r' || c == '\n') ? ' ' : c;
    }
    return field;
}

const std::string& FieldAt(const std::vector<std::string>& fields, std::size_t index)
{
    if (index >= fields.size())
        FailWith("Listenindex überschreitet das Maximum (%s)", std::to_string(index));
    return fields[index];
}

} // namespace

std::string GeneralFloatText(double x, const FormatSettings& format)
{
    std::string text = FloatToText(x);
    std::replace(text.begin(), text.end(), '.', format.decimalSeparator);
    return text;
}

double GeneralFloatValue(std::string_view text, const FormatSettings& format)
{
    const auto fail = [&] { FailWith("'%s' ist kein gültiger Gleitkommawert", text); };
    const auto trimmed = Trim(text);
    // Only the user's separator counts; with "," a "." is no part of a number.
    std::string number;
    std::size_t pos = 0;
    if (pos < trimmed.size() && (trimmed[pos] == '+' || trimmed[pos] == '-'))
        number += trimmed[pos++] == '-' ? "-" : "";
    std::size_t digits = 0;
    bool separatorSeen = false;
    for (; pos < trimmed.size(); ++pos) {
        const char c = trimmed[pos];
        if (c >= '0' && c <= '9') {
            ++digits;
            number += c;
        } else if (c == format.decimalSeparator && !separatorSeen) {
            separatorSeen = true;
            number += '.';
        } else {
            break;
        }
    }
    if (digits == 0)
        fail();
    if (pos < trimmed.size() && (trimmed[pos] == 'e' || trimmed[pos] == 'E')) {
        number += 'e';
        ++pos;
        if (pos < trimmed.size() && (trimmed[pos] == '+' || trimmed[pos] == '-'))
            number += trimmed[pos++];
        std::size_t exponentDigits = 0;
        for (; pos < trimmed.size() && trimmed[pos] >= '0' && trimmed[pos] <= '9'; ++pos, ++exponentDigits)
            number += trimmed[pos];
        if (exponentDigits == 0)
            fail();
    }
    double value = 0;
    const auto [stop, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (pos != trimmed.size() || error != std::errc() || stop != number.data() + number.size())
        fail();
    return value;
}

void AppendBandLines(const std::string& projectFile, const std::string& measurementFileName,
                     std::vector<std::string>& lines, const FormatSettings& format)
{
    const IniFile project(projectFile);
    const std::string section = BareFileName(measurementFileName);
    const std::string name = OneLineField(section, ';');
    std::vector<std::string> bandLines;
    for (int band = kFirstBand; band <= kLastBand; ++band) {
        std::string values;
        for (const int kind : kResultKinds) {
            const auto record = SplitCommaText(project.ReadString(section, RTRecordKey(band, kind)));
            if (record.size() < 6)
                Fail("Fehler in Dateiaufbau");
            values += ';';
            values += record[5];
        }
        std::string clarity = project.ReadString(section, CRecordKey(band));
        std::replace(clarity.begin(), clarity.end(), ',', ';');
        values += ';';
        values += clarity;
        std::replace(values.begin(), values.end(), '.', format.decimalSeparator);
        bandLines.push_back(name + ";" + BandLabels[static_cast<std::size_t>(band - 1)] + values);
    }
    lines.insert(lines.end(), bandLines.begin(), bandLines.end());
}

void AverageBandLines(std::vector<std::string>& lines, const FormatSettings& format)
{
    std::vector<std::vector<std::string>> merged;
    // Band name -> its merged line, so that a file of many band names is read
    // in one pass rather than compared with every line merged so far.
    std::unordered_map<std::string, std::size_t> mergedByBand;
    for (const auto& line : lines) {
        auto fields = SplitAt(line, ';');
        const auto [same, isNew] = mergedByBand.try_emplace(FieldAt(fields, 1), merged.size());
        if (isNew) {
            fields[0] = std::to_string(1); // the count of lines merged so far
            merged.push_back(std::move(fields));
            continue;
        }
        auto& sum = merged[same->second];
        sum[0] = std::to_string(TextToInteger(Trim(sum[0])) + 1);
        for (std::size_t p = 2; p < sum.size(); ++p) {
            // Added as doubles: a sum beyond the double's range is then infinite
            // and refused, where an extended sum would have to be narrowed.
            const double total = GeneralFloatValue(sum[p], format) + GeneralFloatValue(FieldAt(fields, p), format);
            sum[p] = GeneralFloatText(static_cast<double>(CheckedFinite(total)), format);
        }
    }

    std::vector<std::string> averaged;
    averaged.reserve(merged.size());
    for (auto& fields : merged) {
        const int n = TextToInteger(Trim(fields[0]));
        for (std::size_t p = 2; p < fields.size(); ++p)
            fields[p] = GeneralFloatText(static_cast<double>(CheckedDivide(GeneralFloatValue(fields[p], format), n)), format);
        averaged.push_back(JoinWith(fields, ";"));
    }
    lines = std::move(averaged);
}

std::vector<std::pair<double, double>> OctaveBandValues(const std::vector<std::string>& lines, std::size_t field,
                                                        const FormatSettings& format)
{
    std::vector<std::pair<double, double>> values;
    for (const auto& line : lines) {
        const auto fields = SplitAt(line, ';');
        if (fields.size() < 2 || Trim(fields[1]) == BandLabels[0])
            continue;
        // Band names keep their "." whatever the decimal separator ("31.5").
        values.emplace_back(GeneralFloatValue(Trim(fields[1]), FormatSettings::English()),
                            GeneralFloatValue(FieldAt(fields, field), format));
    }
    return values;
}

void WritePointsFile(const std::string& projectFile, const std::string& targetFile, const FormatSettings& format)
{
    // The points as LoadMeasurementPoints reads them, line by line, so that the
    // file count comes from the line itself: a name may hold a blank or a comma.
    // The remark keeps its line breaks escaped, as memo values do in the data
    // files; the file names are listed for reading, ", " between them.
    std::vector<std::string> lines;
    for (const auto& pointLine : IniFile(projectFile).ReadSectionValues(kMeasurementsSection)) {
        TMessPunkt point;
        const auto files = ReadPointLine(point, pointLine);
        const std::vector<std::string> fields = {
            point.Id, point.Name, point.MicPos, point.MicRichtung,
            GeneralFloatText(point.MicAbBoden, format), GeneralFloatText(point.MicAbWand, format),
            point.Lautpos,
            GeneralFloatText(point.LautAbBoden, format), GeneralFloatText(point.LautAbWand, format),
            EscapeText(point.Note), point.nn1, point.nn2, std::to_string(files.size()), JoinWith(files, ", ")};
        std::vector<std::string> record;
        record.reserve(fields.size());
        for (const auto& field : fields)
            record.push_back(OneLineField(field, '\t'));
        lines.push_back(JoinWith(record, "\t"));
    }
    WriteLines(targetFile, lines);
}

void BindDataSection(const std::string& iniFileName, TTextPipeline& pipeline)
{
    const IniFile ini(iniFileName);
    if (!ini.FileExists())
        Fail("Datei nicht vorhanden");

    std::vector<std::string> names;
    std::vector<std::string> values;
    for (const auto& entry : ini.ReadSectionValues("DATA")) {
        const KeyValue keyValue = SplitKeyValue(entry, '=');
        names.push_back(keyValue.key.empty() ? std::string() : keyValue.key.substr(1));
        // Memo values stay in their escaped form, so they hold no line break; a
        // TAB in a value would still split the record and becomes a blank.
        values.push_back(OneLineField(keyValue.value, '\t'));
    }
    const std::string dataFile = ChangeExtension(iniFileName, ".$$$");
    WriteLines(dataFile, values.empty() ? std::vector<std::string>{} : std::vector<std::string>{JoinWith(values, "\t")});

    pipeline.ClearDefinedFields();
    for (std::size_t column = 0; column < names.size(); ++column)
        pipeline.DefineField(std::move(names[column]), static_cast<int>(column), 80);
    pipeline.Delimiter = '\t';
    pipeline.FileName = dataFile;
}

} // namespace dazo
