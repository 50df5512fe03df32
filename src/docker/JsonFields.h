#pragma once
// Reading docker's JSON output with simdjson: documents parsed into a reused
// tape and the few values the parsers want taken out as Qt values. Every
// accessor is tolerant (a missing or mistyped value reads as "", 0 or an
// empty object), and a key given twice reads as its last value.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringEncoder>
#include <QStringView>

#include <simdjson.h>

#include <climits>
#include <cstring>
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

    // true only for a JSON true.
    bool boolean(std::string_view key) const
    {
        const auto v = value(key);
        bool flag = false;
        return v && v->get(flag) == simdjson::SUCCESS && flag;
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

// Parses one JSON document at a time into a tape it keeps between documents;
// what a parse returns stays valid until the next one. Each text is encoded
// to UTF-8 into one buffer kept between documents, followed by the padding
// simdjson may read past the end: a listing of thousands of lines is read a
// line at a time, never copied as a whole.
class Reader {
public:
    std::optional<Element> parse(QStringView text)
    {
        const bool ascii = QtPrivate::isAscii(text);
        const qsizetype room =
            (ascii ? text.size() : encoder_.requiredSpace(text.size())) + qsizetype(simdjson::SIMDJSON_PADDING);
        if (buffer_.size() < room)
            buffer_.resize(room);
        const char* end = ascii ? copyAscii(text) : encoder_.appendToBuffer(buffer_.data(), text);
        return parseBuffer(end);
    }

    // The same for text that is UTF-8 already: copied as it is, never decoded.
    std::optional<Element> parse(QByteArrayView utf8)
    {
        const qsizetype room = utf8.size() + qsizetype(simdjson::SIMDJSON_PADDING);
        if (buffer_.size() < room)
            buffer_.resize(room);
        char* out = buffer_.data();
        if (!utf8.isEmpty())
            std::memcpy(out, utf8.data(), size_t(utf8.size()));
        return parseBuffer(out + utf8.size());
    }

private:
    std::optional<Element> parseBuffer(const char* end)
    {
        Element root;
        const bool parsed =
            parser_.parse(buffer_.constData(), size_t(end - buffer_.constData()), false).get(root) == simdjson::SUCCESS;
        // The tape holds its own copy of every string: a large text's buffer
        // is given back at once rather than kept beside the tape.
        if (buffer_.size() > largeText)
            buffer_ = QByteArray();
        return parsed ? std::optional(root) : std::nullopt;
    }

    static constexpr qsizetype largeText = 1 << 20;

    // Docker's output is nearly all ASCII, which is its own UTF-8: copied
    // unit by unit, which the compiler vectorises.
    const char* copyAscii(QStringView text)
    {
        char* out = buffer_.data();
        const char16_t* in = text.utf16();
        for (qsizetype i = 0; i < text.size(); ++i)
            out[i] = char(in[i]);
        return out + text.size();
    }

    QStringEncoder encoder_{QStringEncoder::Utf8, QStringConverter::Flag::Stateless};
    QByteArray buffer_;
    simdjson::dom::parser parser_;
};

}  // namespace stowage::json
