#include "document/JsonLine.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace {

constexpr int kMaxDepth = 8;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Length of the valid UTF-8 sequence starting at text[k], or 0 when it is not one.
std::size_t utf8Length(std::string_view text, std::size_t k)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(k);
    if (lead < 0x80) return 1;
    const std::size_t n = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 && lead < 0xE0 ? 2 : 0;
    if (n == 0 || k + n > text.size()) return 0;
    for (std::size_t i = 1; i < n; ++i)
        if ((byte(k + i) & 0xC0) != 0x80) return 0;
    // Overlong forms, surrogates and code points above U+10FFFF.
    if (n == 3 && ((lead == 0xE0 && byte(k + 1) < 0xA0) || (lead == 0xED && byte(k + 1) >= 0xA0))) return 0;
    if (n == 4 && ((lead == 0xF0 && byte(k + 1) < 0x90) || (lead == 0xF4 && byte(k + 1) >= 0x90))) return 0;
    return n;
}

void appendUtf8(std::string& out, std::uint32_t code)
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

void appendQuoted(std::string& out, std::string_view text)
{
    static constexpr char kHex[] = "0123456789abcdef";
    out += '"';
    for (std::size_t k = 0; k < text.size();) {
        const char c = text[k];
        const std::size_t n = utf8Length(text, k);
        if (n == 0) {
            out += '?';
            ++k;
            continue;
        }
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            out += "\\u00";
            out += kHex[(c >> 4) & 0xF];
            out += kHex[c & 0xF];
        } else {
            out.append(text, k, n);
        }
        k += n;
    }
    out += '"';
}

} // namespace

// --- writer ---

JsonLineWriter::JsonLineWriter() : line_("{") {}

void JsonLineWriter::key(std::string_view key)
{
    if (!first_) line_ += ',';
    first_ = false;
    appendQuoted(line_, key);
    line_ += ':';
}

void JsonLineWriter::number(double value)
{
    if (!std::isfinite(value)) {
        line_ += "null";
        return;
    }
    char buffer[32];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value);
    line_.append(buffer, written.ptr);
}

JsonLineWriter& JsonLineWriter::Field(std::string_view k, double value)
{
    key(k);
    number(value);
    return *this;
}

JsonLineWriter& JsonLineWriter::Field(std::string_view k, std::int64_t value)
{
    key(k);
    line_ += std::to_string(value);
    return *this;
}

JsonLineWriter& JsonLineWriter::Field(std::string_view k, bool value)
{
    key(k);
    line_ += value ? "true" : "false";
    return *this;
}

JsonLineWriter& JsonLineWriter::Field(std::string_view k, std::string_view text)
{
    key(k);
    appendQuoted(line_, text);
    return *this;
}

JsonLineWriter& JsonLineWriter::Field(std::string_view k, const double* values, std::size_t count)
{
    key(k);
    line_ += '[';
    for (std::size_t i = 0; i < count; ++i) {
        if (i) line_ += ',';
        number(values[i]);
    }
    line_ += ']';
    return *this;
}

JsonLineWriter& JsonLineWriter::BeginObject(std::string_view k)
{
    key(k);
    line_ += '{';
    first_ = true;
    return *this;
}

JsonLineWriter& JsonLineWriter::EndObject()
{
    line_ += '}';
    first_ = false;
    return *this;
}

void JsonLineWriter::AppendTo(std::string& out)
{
    out += line_;
    out += "}\n";
}

// --- reader ---

void JsonLineReader::skipBlanks()
{
    while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t' || text_[at_] == '\r')) ++at_;
}

char JsonLineReader::peek()
{
    skipBlanks();
    if (at_ == text_.size()) throw JsonLineError("the line ends too soon");
    return text_[at_];
}

void JsonLineReader::expect(char c)
{
    if (peek() != c) throw JsonLineError(std::string("'") + c + "' was expected");
    ++at_;
}

bool JsonLineReader::literal(std::string_view word)
{
    skipBlanks();
    if (text_.substr(at_, word.size()) != word) return false;
    at_ += word.size();
    return true;
}

void JsonLineReader::BeginObject()
{
    expect('{');
    if (++depth_ > kMaxDepth) throw JsonLineError("objects are nested too deeply");
    firstMember_ = true;
}

bool JsonLineReader::NextKey(std::string& key)
{
    if (depth_ == 0) throw JsonLineError("no object is open");
    if (peek() == '}') {
        ++at_;
        --depth_;
        firstMember_ = false;
        return false;
    }
    if (!firstMember_) expect(',');
    firstMember_ = false;
    key = String();
    expect(':');
    return true;
}

double JsonLineReader::Number()
{
    if (literal("null")) return std::numeric_limits<double>::quiet_NaN();
    skipBlanks();
    // JSON's grammar: -?(0|[1-9][0-9]*)(.[0-9]+)?([eE][+-]?[0-9]+)?
    const std::size_t start = at_;
    std::size_t k = at_;
    const auto digits = [&] {
        const std::size_t from = k;
        while (k < text_.size() && isDigit(text_[k])) ++k;
        return k > from;
    };
    if (k < text_.size() && text_[k] == '-') ++k;
    const bool leadingZero = k < text_.size() && text_[k] == '0';
    bool ok = digits() && !(leadingZero && k - start > 1 + (text_[start] == '-' ? 1u : 0u));
    if (ok && k < text_.size() && text_[k] == '.') {
        ++k;
        ok = digits();
    }
    if (ok && k < text_.size() && (text_[k] == 'e' || text_[k] == 'E')) {
        ++k;
        if (k < text_.size() && (text_[k] == '+' || text_[k] == '-')) ++k;
        ok = digits();
    }
    double value = 0.0;
    if (!ok || std::from_chars(text_.data() + start, text_.data() + k, value).ptr != text_.data() + k ||
        !std::isfinite(value))
        throw JsonLineError("a number was expected");
    at_ = k;
    return value;
}

bool JsonLineReader::Boolean()
{
    if (literal("true")) return true;
    if (literal("false")) return false;
    throw JsonLineError("true or false was expected");
}

void JsonLineReader::appendEscape(std::string& out)
{
    const auto hex4 = [this] {
        std::uint32_t code = 0;
        if (at_ + 4 > text_.size() || std::from_chars(text_.data() + at_, text_.data() + at_ + 4, code, 16).ptr !=
                                          text_.data() + at_ + 4)
            throw JsonLineError("a \\u escape needs four hexadecimal digits");
        at_ += 4;
        return code;
    };
    if (at_ == text_.size()) throw JsonLineError("the line ends inside a text");
    const char c = text_[at_++];
    switch (c) {
    case '"': case '\\': case '/': out += c; return;
    case 'b': out += '\b'; return;
    case 'f': out += '\f'; return;
    case 'n': out += '\n'; return;
    case 'r': out += '\r'; return;
    case 't': out += '\t'; return;
    case 'u': break;
    default: throw JsonLineError(std::string("\\") + c + " is no escape");
    }
    std::uint32_t code = hex4();
    if (code >= 0xD800 && code < 0xDC00 && text_.substr(at_, 2) == "\\u") {
        at_ += 2;
        const std::uint32_t low = hex4();
        if (low < 0xDC00 || low >= 0xE000) throw JsonLineError("a surrogate pair is broken");
        code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
    } else if (code >= 0xD800 && code < 0xE000) {
        throw JsonLineError("a surrogate pair is broken");
    }
    appendUtf8(out, code);
}

std::string JsonLineReader::String()
{
    expect('"');
    std::string out;
    while (true) {
        if (at_ == text_.size()) throw JsonLineError("the line ends inside a text");
        const char c = text_[at_++];
        if (c == '"') return out;
        if (static_cast<unsigned char>(c) < 0x20) throw JsonLineError("a text holds a control character");
        if (c == '\\')
            appendEscape(out);
        else
            out += c;
    }
}

std::size_t JsonLineReader::Numbers(double* values, std::size_t most)
{
    expect('[');
    std::size_t count = 0;
    if (peek() == ']') {
        ++at_;
        return 0;
    }
    while (true) {
        if (count == most) throw JsonLineError("an array of at most " + std::to_string(most) + " numbers was expected");
        values[count++] = Number();
        if (peek() != ',') break;
        ++at_;
    }
    expect(']');
    return count;
}

void JsonLineReader::Finish()
{
    skipBlanks();
    if (depth_ != 0) throw JsonLineError("an object is not closed");
    if (at_ != text_.size()) throw JsonLineError("something follows the line's object");
}
