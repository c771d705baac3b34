#pragma once

#include "geometry/Vec3.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// The binary archive of ".mwk" documents and library entries: little-endian
// scalars, fixed text buffers, counted strings and the object protocol that
// tags each serialised object with its class.

// Why a read failed. Each kind has its own user message (ArchiveError::userMessage).
enum class ArchiveFailure {
    EndOfFile, // a read past the last byte
    BadClass,  // an unknown or unexpected class name
    BadSchema, // a class with another schema number
    BadIndex,  // an object or class index beyond those read so far
    BadFormat, // a count or value outside what the data model can hold
};

class ArchiveError : public std::runtime_error {
public:
    ArchiveError(ArchiveFailure failure, const std::string& detail);

    ArchiveFailure failure() const { return failure_; }
    // One line for the user: the standard message for the failure with the
    // file name put in, followed by the detail.
    std::string userMessage(const std::string& fileName) const;

private:
    ArchiveFailure failure_;
};

// Counted-string prefixes.
inline constexpr std::uint8_t kStringShortLimit = 0xFF; // lengths below it take one byte
inline constexpr std::uint16_t kStringWideMarker = 0xFFFE;
inline constexpr std::uint16_t kStringLongMarker = 0xFFFF;

// Object tags.
inline constexpr std::uint16_t kNewClassTag = 0xFFFF;
inline constexpr std::uint16_t kClassTag = 0x8000;
inline constexpr std::uint16_t kBigObjectTag = 0x7FFF;
inline constexpr std::uint32_t kBigClassTag = 0x80000000u;
// No number a document holds is larger than this: scene units are tens, and
// anything near the range of a double only turns into infinities later.
inline constexpr double kLargestStoredNumber = 1.0e9;
// Class names of this many bytes or more are refused.
inline constexpr std::size_t kMaxClassNameBytes = 64;

class ArchiveWriter {
public:
    void writeInt32(std::int32_t value);
    void writeUInt16(std::uint16_t value);
    void writeUInt32(std::uint32_t value);
    void writeDouble(double value);
    void writeBool(bool value) { writeByte(value ? 1 : 0); }
    void writeByte(std::uint8_t value) { bytes_.push_back(value); }
    void writeVec3(const Vec3& v);
    // A fixed text buffer written whole, terminator and trailing bytes included.
    template <std::size_t N>
    void writeFixed(const char (&buffer)[N])
    {
        writeRaw(buffer, N);
    }
    void writeRaw(const void* data, std::size_t size);
    // Length prefix (1, 3 or 7 bytes) and the characters without a terminator.
    void writeString(std::string_view text);
    // Tag in front of an object: the class name with its schema the first time
    // the class appears, its class index afterwards.
    void writeObjectTag(std::string_view className, std::uint16_t schema);

    const std::vector<std::uint8_t>& bytes() const { return bytes_; }
    std::vector<std::uint8_t> release() { return std::move(bytes_); }

private:
    std::vector<std::uint8_t> bytes_;
    std::vector<std::string> classes_; // classes written, by first appearance
    std::vector<std::uint32_t> classIndices_;
    std::uint32_t mapCount_ = 1; // index 0 stands for no object
};

class ArchiveReader {
public:
    explicit ArchiveReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::size_t remaining() const { return bytes_.size() - position_; }
    std::size_t position() const { return position_; }
    // What is being read, named in error details ("surface 3", "group 2", ...).
    void setContext(std::string context) { context_ = std::move(context); }

    std::int32_t readInt32();
    std::uint16_t readUInt16();
    std::uint32_t readUInt32();
    // Refuses a value that is not finite or beyond kLargestStoredNumber.
    double readDouble();
    // Refuses a value that is not finite or outside [low, high].
    double readDoubleInRange(std::string_view what, double low, double high);
    bool readBool() { return readByte() != 0; }
    std::uint8_t readByte();
    Vec3 readVec3();
    template <std::size_t N>
    void readFixed(char (&buffer)[N])
    {
        readRaw(buffer, N);
    }
    void readRaw(void* data, std::size_t size);
    // A counted string; the UTF-16 form is converted to the code page's
    // single bytes ('?' for a character it lacks).
    std::string readString();

    // A count of items of at least minBytesEach bytes each: refused when it is
    // negative, above maxCount, or more than the bytes left can hold.
    std::int32_t readCount(std::string_view what, std::int32_t maxCount, std::size_t minBytesEach);
    // Refuses a value outside [low, high] with a bad-format error.
    std::int32_t readInt32InRange(std::string_view what, std::int32_t low, std::int32_t high);

    // Reads the tag of the next object, which must be a new object of the
    // given class and schema; anything else is a bad-class, bad-schema,
    // bad-index or bad-format error.
    void readObjectTag(std::string_view className, std::uint16_t schema);

    [[noreturn]] void fail(ArchiveFailure failure, const std::string& what) const;

private:
    void need(std::size_t size) const;
    double readRawDouble();
    std::uint32_t readStringLength();

    std::span<const std::uint8_t> bytes_;
    std::size_t position_ = 0;
    std::string context_;
    // Index -> class name for class entries, empty for object entries; index 0 is no object.
    std::vector<std::string> map_{std::string()};
};
