#pragma once
// Reading docker's JSON output with simdjson: documents parsed into a reused
// tape and the few values the parsers want taken out as Qt values. Every
// accessor is tolerant (a missing or mistyped value reads as "", 0 or an
// empty object), and a key given twice reads as its last value.

#include <QByteArray>
#include <QString>

#include <simdjson.h>

#include <climits>
#include <cmath>
#include <optional>
#include <string_view>

namespace stowage::json {

using Element = simdjson::dom::element;

inline QString toQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// An object of a parsed document, or none (a value that was not an object).
class Object {
public:
    Object() = default;
    explicit Object(Element element)
    {
        simdjson::dom::object object;
        if (element.get(object) == simdjson::SUCCESS)
            object_ = object;
    }

    bool isObject() const { return object_.has_value(); }

    std::optional<Element> value(std::string_view key) const
    {
        std::optional<Element> found;
        if (object_) {
            for (const simdjson::dom::key_value_pair field : *object_) {
                if (field.key == key)
                    found = field.value;
            }
        }
        return found;
    }

    // "" when missing or not a string.
    QString string(std::string_view key) const { return string(key, QString()); }
    QString string(std::string_view key, const QString& fallback) const
    {
        std::string_view text;
        const auto v = value(key);
        return v && v->get(text) == simdjson::SUCCESS ? toQString(text) : fallback;
    }

    // The value as an int when it is a string of one or a number that is a whole int; else 0.
    int integer(std::string_view key) const
    {
        const auto v = value(key);
        if (!v)
            return 0;
        std::string_view text;
        if (v->get(text) == simdjson::SUCCESS)
            return toQString(text).toInt();
        double number = 0;
        if (v->is_int64())
            number = double(int64_t(*v));
        else if (v->is_uint64())
            number = double(uint64_t(*v));
        else if (v->get(number) != simdjson::SUCCESS)
            return 0;
        return number >= INT_MIN && number <= INT_MAX && std::trunc(number) == number ? int(number) : 0;
    }

    Object object(std::string_view key) const
    {
        const auto v = value(key);
        return v ? Object(*v) : Object();
    }

private:
    std::optional<simdjson::dom::object> object_;
};

// The UTF-8 of a text followed by the padding simdjson may read past the end
// of a document; any line of it can be parsed in place.
struct PaddedText {
    explicit PaddedText(const QString& text)
        : bytes(text.toUtf8())
        , size(bytes.size())
    {
        bytes.append(qsizetype(simdjson::SIMDJSON_PADDING), ' ');
    }

    QByteArray bytes;
    qsizetype size;  // of the text, without the padding
};

// Parses one JSON document at a time into a tape it keeps between documents;
// what a parse returns stays valid until the next one.
class Reader {
public:
    // The document in bytes [from, from + length) of `text`.
    std::optional<Element> parse(const PaddedText& text, qsizetype from, qsizetype length)
    {
        Element root;
        if (parser_.parse(text.bytes.constData() + from, size_t(length), false).get(root) != simdjson::SUCCESS)
            return std::nullopt;
        return root;
    }
    std::optional<Element> parse(const QString& text)
    {
        const PaddedText padded(text);
        return parse(padded, 0, padded.size);
    }

private:
    simdjson::dom::parser parser_;
};

}  // namespace stowage::json
