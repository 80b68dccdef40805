#pragma once

#include "ecr/files/JsonReader.h"

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

// ecrctl's JSON read back with the program's own strict reader, into a shape
// convenient for tests: a failure to parse throws, and a missing member
// throws rather than reading as empty.
struct Json {
    enum class Kind { Null, Bool, Number, String, Array, Object, Decimal } kind = Kind::Null;
    bool boolean = false;
    long long number = 0;
    std::string text;
    std::vector<Json> items;
    std::map<std::string, Json> members;

    const Json& operator[](const std::string& key) const
    {
        const auto found = members.find(key);
        if (kind != Kind::Object || found == members.end())
            throw std::runtime_error("no member " + key);
        return found->second;
    }
    bool Has(const std::string& key) const { return members.count(key) != 0; }

    static Json Parse(const std::string& document)
    {
        JsonValue value;
        std::string error;
        JsonReader::Limits limits;
        limits.decimals = true;  // ecrd echoes amounts as written; ecrctl writes none
        if (!JsonReader::Parse(document, value, error, limits))
            throw std::runtime_error(error);
        return From(value);
    }

private:
    static Json From(const JsonValue& value)
    {
        Json json;
        json.kind = static_cast<Kind>(value.GetKind());
        json.boolean = value.AsBool();
        json.number = value.AsNumber();
        json.text = value.AsString();
        for (const JsonValue& item : value.Items())
            json.items.push_back(From(item));
        for (const auto& [key, member] : value.Members())
            json.members.emplace(key, From(member));
        return json;
    }
};
