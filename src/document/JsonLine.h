#pragma once

// One JSON object per line, written and read without building a tree: the
// writer appends members to a line, the reader walks a line's members in
// whatever order they come. Numbers are written in their shortest form that
// reads back to the same double bit for bit; a number that is not finite is
// written as null and reads back as NaN.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

// What is wrong with a line, in a few words ("a number was expected").
class JsonLineError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class JsonLineWriter {
public:
    JsonLineWriter();
    JsonLineWriter& Field(std::string_view key, double value);
    JsonLineWriter& Field(std::string_view key, std::int64_t value);
    JsonLineWriter& Field(std::string_view key, bool value);
    // UTF-8 text; any byte that is not part of valid UTF-8 is written as '?'.
    JsonLineWriter& Field(std::string_view key, std::string_view text);
    JsonLineWriter& Field(std::string_view key, const char* text) { return Field(key, std::string_view(text)); }
    JsonLineWriter& Field(std::string_view key, const double* values, std::size_t count);
    JsonLineWriter& BeginObject(std::string_view key);
    JsonLineWriter& EndObject();
    // Closes the line's object and appends it, with its newline, to out.
    void AppendTo(std::string& out);

private:
    void key(std::string_view key);
    void number(double value);
    std::string line_;
    bool first_ = true;
};

// Reads one line. Every call throws JsonLineError when the text is not what
// it asks for.
class JsonLineReader {
public:
    explicit JsonLineReader(std::string_view line) : text_(line) {}
    // The line (or a member's value) must be an object; then NextKey walks it.
    void BeginObject();
    // The key of the next member, or false at the end of the current object.
    bool NextKey(std::string& key);
    double Number();
    bool Boolean();
    std::string String();
    // An array of at most `most` numbers; returns how many it held.
    std::size_t Numbers(double* values, std::size_t most);
    // Nothing but blanks may follow the line's object.
    void Finish();

private:
    void skipBlanks();
    char peek();
    void expect(char c);
    bool literal(std::string_view word);
    void appendEscape(std::string& out);
    std::string_view text_;
    std::size_t at_ = 0;
    int depth_ = 0;
    bool firstMember_ = true;
};
