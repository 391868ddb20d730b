// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/JsonText.h"

#include "common/DazoError.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace dazo {

JsonValue JsonValue::Boolean(bool value)
{
    JsonValue v;
    v.type_ = Type::Bool;
    v.bool_ = value;
    return v;
}

JsonValue JsonValue::Number(double value)
{
    JsonValue v;
    v.type_ = Type::Number;
    v.number_ = value;
    return v;
}

JsonValue JsonValue::String(std::string utf8)
{
    JsonValue v;
    v.type_ = Type::String;
    v.string_ = std::move(utf8);
    return v;
}

JsonValue JsonValue::Array()
{
    JsonValue v;
    v.type_ = Type::Array;
    return v;
}

JsonValue JsonValue::Object()
{
    JsonValue v;
    v.type_ = Type::Object;
    return v;
}

void JsonValue::Expect(Type type) const
{
    if (type_ != type)
        Fail("falsches Datenformat");
}

bool JsonValue::AsBool() const
{
    Expect(Type::Bool);
    return bool_;
}

double JsonValue::AsNumber() const
{
    Expect(Type::Number);
    return number_;
}

const std::string& JsonValue::AsString() const
{
    Expect(Type::String);
    return string_;
}

const std::vector<JsonValue>& JsonValue::Items() const
{
    Expect(Type::Array);
    return items_;
}

const std::vector<JsonValue::Member>& JsonValue::Members() const
{
    Expect(Type::Object);
    return members_;
}

const JsonValue* JsonValue::Find(std::string_view key) const
{
    Expect(Type::Object);
    for (const auto& [name, value] : members_)
        if (name == key)
            return &value;
    return nullptr;
}

JsonValue& JsonValue::Add(JsonValue item)
{
    Expect(Type::Array);
    items_.push_back(std::move(item));
    return items_.back();
}

JsonValue& JsonValue::Set(std::string key, JsonValue value)
{
    Expect(Type::Object);
    members_.emplace_back(std::move(key), std::move(value));
    return members_.back().second;
}

namespace {

class JsonReader {
public:
    JsonReader(std::string_view text, int maxDepth)
        : text_(text)
        , maxDepth_(maxDepth)
    {
        if (text_.substr(0, 3) == "\xEF\xBB\xBF")
            pos_ = 3;
    }

    JsonValue ReadDocument()
    {
        JsonValue value = ReadValue(0);
        SkipBlanks();
        if (pos_ != text_.size())
            Error();
        return value;
    }

private:
    [[noreturn]] void Error() const
    {
        int line = 1;
        for (std::size_t i = 0; i < pos_ && i < text_.size(); ++i)
            line += text_[i] == '\n' ? 1 : 0;
        FailWith("ungültiger JSON-Text in Zeile %s", std::to_string(line));
    }

    void SkipBlanks()
    {
        while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\n' || text_[pos_] == '\r'))
            ++pos_;
    }

    char Peek() const { return pos_ < text_.size() ? text_[pos_] : '\0'; }

    void ExpectChar(char c)
    {
        SkipBlanks();
        if (Peek() != c)
            Error();
        ++pos_;
    }

    void ExpectWord(std::string_view word)
    {
        if (text_.substr(pos_, word.size()) != word)
            Error();
        pos_ += word.size();
    }

    JsonValue ReadValue(int depth)
    {
        if (depth > maxDepth_)
            Error();
        SkipBlanks();
        switch (Peek()) {
        case '{': return ReadObject(depth);
        case '[': return ReadArray(depth);
        case '"': return JsonValue::String(ReadString());
        case 't': ExpectWord("true"); return JsonValue::Boolean(true);
        case 'f': ExpectWord("false"); return JsonValue::Boolean(false);
        case 'n': ExpectWord("null"); return JsonValue();
        default: return JsonValue::Number(ReadNumber());
        }
    }

    JsonValue ReadObject(int depth)
    {
        JsonValue object = JsonValue::Object();
        ++pos_;
        SkipBlanks();
        if (Peek() == '}') {
            ++pos_;
            return object;
        }
        for (;;) {
            SkipBlanks();
            if (Peek() != '"')
                Error();
            std::string key = ReadString();
            ExpectChar(':');
            object.Set(std::move(key), ReadValue(depth + 1));
            SkipBlanks();
            if (Peek() == '}') {
                ++pos_;
                return object;
            }
            ExpectChar(',');
        }
    }

    JsonValue ReadArray(int depth)
    {
        JsonValue array = JsonValue::Array();
        ++pos_;
        SkipBlanks();
        if (Peek() == ']') {
            ++pos_;
            return array;
        }
        for (;;) {
            array.Add(ReadValue(depth + 1));
            SkipBlanks();
            if (Peek() == ']') {
                ++pos_;
                return array;
            }
            ExpectChar(',');
        }
    }

    unsigned ReadHex4()
    {
        if (pos_ + 4 > text_.size())
            Error();
        unsigned code = 0;
        const auto [end, error] = std::from_chars(text_.data() + pos_, text_.data() + pos_ + 4, code, 16);
        if (error != std::errc() || end != text_.data() + pos_ + 4)
            Error();
        pos_ += 4;
        return code;
    }

    static void AppendUtf8(std::string& out, std::uint32_t code)
    {
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (code >> 18));
            out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }

    std::uint32_t ReadEscapedCodePoint()
    {
        const unsigned high = ReadHex4();
        if (high >= 0xDC00 && high <= 0xDFFF)
            Error();
        if (high < 0xD800 || high > 0xDBFF)
            return high;
        if (text_.substr(pos_, 2) != "\\u")
            Error();
        pos_ += 2;
        const unsigned low = ReadHex4();
        if (low < 0xDC00 || low > 0xDFFF)
            Error();
        return 0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00);
    }

    std::string ReadString()
    {
        ++pos_; // the opening quote
        std::string out;
        for (;;) {
            if (pos_ >= text_.size())
                Error();
            const char c = text_[pos_++];
            if (c == '"')
                return out;
            if (static_cast<unsigned char>(c) < 0x20)
                Error();
            if (c != '\\') {
                out += c;
                continue;
            }
            if (pos_ >= text_.size())
                Error();
            switch (text_[pos_++]) {
            case '"': out += '"'; break;
            case '\\': out += '\\'; break;
            case '/': out += '/'; break;
            case 'b': out += '\b'; break;
            case 'f': out += '\f'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'u': AppendUtf8(out, ReadEscapedCodePoint()); break;
            default: Error();
            }
        }
    }

    double ReadNumber()
    {
        // JSON's own grammar: -?(0|[1-9][0-9]*)(.[0-9]+)?([eE][+-]?[0-9]+)?
        const std::size_t start = pos_;
        const auto digits = [&] {
            const std::size_t from = pos_;
            while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9')
                ++pos_;
            return pos_ - from;
        };
        if (Peek() == '-')
            ++pos_;
        if (Peek() == '0')
            ++pos_;
        else if (digits() == 0)
            Error();
        if (Peek() == '.') {
            ++pos_;
            if (digits() == 0)
                Error();
        }
        if (Peek() == 'e' || Peek() == 'E') {
            ++pos_;
            if (Peek() == '+' || Peek() == '-')
                ++pos_;
            if (digits() == 0)
                Error();
        }
        double value = 0;
        const auto [end, error] = std::from_chars(text_.data() + start, text_.data() + pos_, value);
        if (error != std::errc() || end != text_.data() + pos_ || !std::isfinite(value))
            Error();
        return value;
    }

    std::string_view text_;
    int maxDepth_;
    std::size_t pos_ = 0;
};

void WriteString(std::string& out, const std::string& text)
{
    out += '"';
    for (const char c : text) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                constexpr char kHex[] = "0123456789abcdef";
                out += "\\u00";
                out += kHex[(c >> 4) & 0xF];
                out += kHex[c & 0xF];
            } else {
                out += c;
            }
        }
    }
    out += '"';
}

void WriteValue(std::string& out, const JsonValue& value, int indent)
{
    const auto newLine = [&](int level) {
        out += '\n';
        out.append(static_cast<std::size_t>(level) * 2, ' ');
    };
    switch (value.GetType()) {
    case JsonValue::Type::Null: out += "null"; break;
    case JsonValue::Type::Bool: out += value.AsBool() ? "true" : "false"; break;
    case JsonValue::Type::Number: {
        if (!std::isfinite(value.AsNumber()))
            Fail("Ungültige Gleitkommaoperation");
        char buffer[32];
        const auto end = std::to_chars(buffer, buffer + sizeof buffer, value.AsNumber()).ptr;
        out.append(buffer, end);
        break;
    }
    case JsonValue::Type::String: WriteString(out, value.AsString()); break;
    case JsonValue::Type::Array: {
        const auto& items = value.Items();
        out += '[';
        for (std::size_t i = 0; i < items.size(); ++i) {
            out += i == 0 ? "" : ",";
            newLine(indent + 1);
            WriteValue(out, items[i], indent + 1);
        }
        if (!items.empty())
            newLine(indent);
        out += ']';
        break;
    }
    case JsonValue::Type::Object: {
        const auto& members = value.Members();
        out += '{';
        for (std::size_t i = 0; i < members.size(); ++i) {
            out += i == 0 ? "" : ",";
            newLine(indent + 1);
            WriteString(out, members[i].first);
            out += ": ";
            WriteValue(out, members[i].second, indent + 1);
        }
        if (!members.empty())
            newLine(indent);
        out += '}';
        break;
    }
    }
}

} // namespace

JsonValue ReadJson(std::string_view text, int maxDepth)
{
    return JsonReader(text, maxDepth).ReadDocument();
}

std::string WriteJson(const JsonValue& value)
{
    std::string out;
    WriteValue(out, value, 0);
    out += '\n';
    return out;
}

} // namespace dazo
