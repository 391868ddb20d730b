// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A small JSON reader and writer for the report templates. Strings are kept
// as the file's UTF-8 bytes; the caller converts at its edge. The reader
// bounds nesting and size, so a damaged or hostile file ends in a DazoError,
// never in a stack overflow.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace dazo {

class JsonValue {
public:
    enum class Type { Null, Bool, Number, String, Array, Object };
    using Member = std::pair<std::string, JsonValue>;

    JsonValue() = default;
    static JsonValue Boolean(bool value);
    static JsonValue Number(double value);
    static JsonValue String(std::string utf8);
    static JsonValue Array();
    static JsonValue Object();

    Type GetType() const { return type_; }
    bool IsNull() const { return type_ == Type::Null; }

    // Each throws "falsches Datenformat" for a value of another type.
    bool AsBool() const;
    double AsNumber() const;
    const std::string& AsString() const;
    const std::vector<JsonValue>& Items() const;
    const std::vector<Member>& Members() const;

    // The member of an object (nullptr when missing; the first of equal keys).
    const JsonValue* Find(std::string_view key) const;

    // Appends to an array / an object.
    JsonValue& Add(JsonValue item);
    JsonValue& Set(std::string key, JsonValue value);

private:
    void Expect(Type type) const;

    Type type_ = Type::Null;
    bool bool_ = false;
    double number_ = 0;
    std::string string_;
    std::vector<JsonValue> items_;
    std::vector<Member> members_;
};

inline constexpr int kJsonMaxDepth = 64;

// Parses one JSON value (a UTF-8 byte-order mark is skipped). Syntax errors,
// nesting deeper than maxDepth and numbers out of range throw a DazoError
// naming the line.
JsonValue ReadJson(std::string_view text, int maxDepth = kJsonMaxDepth);

// Indented JSON text, one member or item per line, ending with a line break.
std::string WriteJson(const JsonValue& value);

} // namespace dazo
