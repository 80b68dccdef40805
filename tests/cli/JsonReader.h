#pragma once

#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

// A strict reader for the JSON that ecrctl prints, written apart from the
// writer so that a test reads the document back as any client would.
struct Json {
    enum class Kind { Null, Bool, Number, String, Array, Object } kind = Kind::Null;
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
        std::size_t at = 0;
        Json value = ParseValue(document, at);
        SkipSpace(document, at);
        if (at != document.size())
            throw std::runtime_error("trailing text after the document");
        return value;
    }

private:
    static void SkipSpace(const std::string& s, std::size_t& at)
    {
        while (at < s.size() && (s[at] == ' ' || s[at] == '\n' || s[at] == '\r' || s[at] == '\t'))
            ++at;
    }

    static void Expect(const std::string& s, std::size_t& at, const std::string& word)
    {
        if (s.compare(at, word.size(), word) != 0)
            throw std::runtime_error("expected " + word + " at " + std::to_string(at));
        at += word.size();
    }

    static std::string ParseString(const std::string& s, std::size_t& at)
    {
        Expect(s, at, "\"");
        std::string out;
        while (true) {
            if (at >= s.size())
                throw std::runtime_error("unterminated string");
            const unsigned char c = static_cast<unsigned char>(s[at++]);
            if (c == '"')
                return out;
            if (c < 0x20)
                throw std::runtime_error("raw control character in a string");
            if (c != '\\') {
                out += static_cast<char>(c);
                continue;
            }
            const char e = s.at(at++);
            switch (e) {
            case '"': out += '"'; break;
            case '\\': out += '\\'; break;
            case '/': out += '/'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'b': out += '\b'; break;
            case 'f': out += '\f'; break;
            case 'u': {
                const unsigned code = std::stoul(s.substr(at, 4), nullptr, 16);
                at += 4;
                if (code >= 0x80)
                    throw std::runtime_error("this reader only takes \\u escapes below 0x80");
                out += static_cast<char>(code);
                break;
            }
            default: throw std::runtime_error("bad escape");
            }
        }
    }

    static Json ParseValue(const std::string& s, std::size_t& at)
    {
        SkipSpace(s, at);
        Json value;
        if (at >= s.size())
            throw std::runtime_error("unexpected end");
        const char c = s[at];
        if (c == '{') {
            value.kind = Kind::Object;
            ++at;
            SkipSpace(s, at);
            if (s.at(at) == '}') {
                ++at;
                return value;
            }
            while (true) {
                SkipSpace(s, at);
                const std::string key = ParseString(s, at);
                SkipSpace(s, at);
                Expect(s, at, ":");
                if (!value.members.emplace(key, ParseValue(s, at)).second)
                    throw std::runtime_error("duplicate key " + key);
                SkipSpace(s, at);
                if (s.at(at) == ',') {
                    ++at;
                    continue;
                }
                Expect(s, at, "}");
                return value;
            }
        }
        if (c == '[') {
            value.kind = Kind::Array;
            ++at;
            SkipSpace(s, at);
            if (s.at(at) == ']') {
                ++at;
                return value;
            }
            while (true) {
                value.items.push_back(ParseValue(s, at));
                SkipSpace(s, at);
                if (s.at(at) == ',') {
                    ++at;
                    continue;
                }
                Expect(s, at, "]");
                return value;
            }
        }
        if (c == '"') {
            value.kind = Kind::String;
            value.text = ParseString(s, at);
            return value;
        }
        if (s.compare(at, 4, "true") == 0 || s.compare(at, 5, "false") == 0) {
            value.kind = Kind::Bool;
            value.boolean = s[at] == 't';
            at += value.boolean ? 4 : 5;
            return value;
        }
        if (s.compare(at, 4, "null") == 0) {
            at += 4;
            return value;
        }
        std::size_t used = 0;
        value.kind = Kind::Number;
        value.number = std::stoll(s.substr(at), &used);
        at += used;
        return value;
    }
};
