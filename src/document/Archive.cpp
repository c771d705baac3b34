#include "document/Archive.h"

#include "document/NameEncoding.h"

#include <bit>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

const char* messageOf(ArchiveFailure failure)
{
    switch (failure) {
    case ArchiveFailure::EndOfFile: return "Unexpected end of file while reading %1.";
    case ArchiveFailure::BadClass: return "Unexpected object was found while reading %1.";
    case ArchiveFailure::BadSchema: return "%1 contains an unexpected object.";
    case ArchiveFailure::BadIndex:
    case ArchiveFailure::BadFormat: return "%1 has a bad format.";
    }
    return "%1 has a bad format.";
}

// A number as the messages show it: "nan", "-inf", "0.5", "1e+300".
std::string numberText(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

} // namespace

ArchiveError::ArchiveError(ArchiveFailure failure, const std::string& detail)
    : std::runtime_error(detail), failure_(failure)
{
}

std::string ArchiveError::userMessage(const std::string& fileName) const
{
    std::string text = messageOf(failure_);
    text.replace(text.find("%1"), 2, fileName);
    return text + " " + what();
}

// --- writer ---

void ArchiveWriter::writeRaw(const void* data, std::size_t size)
{
    const auto* p = static_cast<const std::uint8_t*>(data);
    bytes_.insert(bytes_.end(), p, p + size);
}

void ArchiveWriter::writeUInt16(std::uint16_t value)
{
    writeByte(static_cast<std::uint8_t>(value));
    writeByte(static_cast<std::uint8_t>(value >> 8));
}

void ArchiveWriter::writeUInt32(std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8) writeByte(static_cast<std::uint8_t>(value >> shift));
}

void ArchiveWriter::writeInt32(std::int32_t value) { writeUInt32(static_cast<std::uint32_t>(value)); }

void ArchiveWriter::writeDouble(double value)
{
    const auto bits = std::bit_cast<std::uint64_t>(value);
    for (int shift = 0; shift < 64; shift += 8) writeByte(static_cast<std::uint8_t>(bits >> shift));
}

void ArchiveWriter::writeVec3(const Vec3& v)
{
    writeDouble(v.x);
    writeDouble(v.y);
    writeDouble(v.z);
}

void ArchiveWriter::writeString(std::string_view text)
{
    const std::size_t n = text.size();
    if (n < kStringShortLimit) {
        writeByte(static_cast<std::uint8_t>(n));
    } else if (n < kStringWideMarker) {
        writeByte(kStringShortLimit);
        writeUInt16(static_cast<std::uint16_t>(n));
    } else {
        writeByte(kStringShortLimit);
        writeUInt16(kStringLongMarker);
        writeUInt32(static_cast<std::uint32_t>(n));
    }
    writeRaw(text.data(), n);
}

void ArchiveWriter::writeObjectTag(std::string_view className, std::uint16_t schema)
{
    for (std::size_t k = 0; k < classes_.size(); ++k) {
        if (classes_[k] != className) continue;
        // Only the class index is written; classes here are always among the
        // first indices, below the big-tag form.
        writeUInt16(static_cast<std::uint16_t>(kClassTag | classIndices_[k]));
        ++mapCount_;
        return;
    }
    writeUInt16(kNewClassTag);
    writeUInt16(schema);
    writeUInt16(static_cast<std::uint16_t>(className.size()));
    writeRaw(className.data(), className.size());
    classes_.emplace_back(className);
    classIndices_.push_back(mapCount_);
    mapCount_ += 2; // the class, then the object
}

// --- reader ---

void ArchiveReader::fail(ArchiveFailure failure, const std::string& what) const
{
    std::string detail = context_.empty() ? what : context_ + ": " + what;
    if (!detail.empty()) detail[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(detail[0])));
    throw ArchiveError(failure, detail + ".");
}

void ArchiveReader::need(std::size_t size) const
{
    if (size <= remaining()) return;
    fail(ArchiveFailure::EndOfFile, std::to_string(size) + " bytes needed at offset " + std::to_string(position_) +
                                        ", " + std::to_string(remaining()) + " left");
}

void ArchiveReader::readRaw(void* data, std::size_t size)
{
    need(size);
    if (size) std::memcpy(data, bytes_.data() + position_, size);
    position_ += size;
}

std::uint8_t ArchiveReader::readByte()
{
    need(1);
    return bytes_[position_++];
}

std::uint16_t ArchiveReader::readUInt16()
{
    need(2);
    const std::uint16_t v = static_cast<std::uint16_t>(bytes_[position_] | (bytes_[position_ + 1] << 8));
    position_ += 2;
    return v;
}

std::uint32_t ArchiveReader::readUInt32()
{
    need(4);
    std::uint32_t v = 0;
    for (int k = 3; k >= 0; --k) v = (v << 8) | bytes_[position_ + k];
    position_ += 4;
    return v;
}

std::int32_t ArchiveReader::readInt32() { return static_cast<std::int32_t>(readUInt32()); }

double ArchiveReader::readRawDouble()
{
    need(8);
    std::uint64_t bits = 0;
    for (int k = 7; k >= 0; --k) bits = (bits << 8) | bytes_[position_ + k];
    position_ += 8;
    return std::bit_cast<double>(bits);
}

double ArchiveReader::readDouble()
{
    const std::size_t start = position_;
    const double value = readRawDouble();
    const std::string what = "a number at offset " + std::to_string(start) + " is " + numberText(value);
    if (!std::isfinite(value)) fail(ArchiveFailure::BadFormat, what + ", not a finite number");
    if (std::fabs(value) > kLargestStoredNumber)
        fail(ArchiveFailure::BadFormat, what + ", beyond the largest magnitude " + numberText(kLargestStoredNumber));
    return value;
}

double ArchiveReader::readDoubleInRange(std::string_view what, double low, double high)
{
    const double value = readRawDouble();
    if (!std::isfinite(value))
        fail(ArchiveFailure::BadFormat, std::string(what) + " is " + numberText(value) + ", not a finite number");
    if (value < low || value > high)
        fail(ArchiveFailure::BadFormat, std::string(what) + " " + numberText(value) + " is outside " +
                                            numberText(low) + " to " + numberText(high));
    return value;
}

Vec3 ArchiveReader::readVec3()
{
    Vec3 v;
    v.x = readDouble();
    v.y = readDouble();
    v.z = readDouble();
    return v;
}

std::uint32_t ArchiveReader::readStringLength()
{
    const std::uint8_t b = readByte();
    if (b < kStringShortLimit) return b;
    const std::uint16_t w = readUInt16();
    if (w == kStringLongMarker) return readUInt32();
    if (w == kStringWideMarker) fail(ArchiveFailure::BadFormat, "a text has two UTF-16 markers");
    return w;
}

std::string ArchiveReader::readString()
{
    const std::size_t start = position_;
    bool wide = false;
    std::uint32_t length = 0;
    const std::uint8_t b = readByte();
    if (b < kStringShortLimit) {
        length = b;
    } else {
        const std::uint16_t w = readUInt16();
        if (w == kStringWideMarker) {
            wide = true;
            length = readStringLength();
        } else {
            length = w == kStringLongMarker ? readUInt32() : w;
        }
    }
    const std::size_t bytes = wide ? 2 * static_cast<std::size_t>(length) : length;
    if (bytes > remaining())
        fail(ArchiveFailure::EndOfFile, "a text of " + std::to_string(length) + " characters at offset " +
                                            std::to_string(start) + " runs past the end of the file");
    std::string text(length, '\0');
    if (!wide) {
        readRaw(text.data(), length);
        return text;
    }
    for (std::uint32_t k = 0; k < length; ++k) {
        const std::uint16_t unit = readUInt16();
        text[k] = NameByteFromUtf16(static_cast<char16_t>(unit));
    }
    return text;
}

std::int32_t ArchiveReader::readCount(std::string_view what, std::int32_t maxCount, std::size_t minBytesEach)
{
    const std::int32_t count = readInt32();
    if (count < 0) fail(ArchiveFailure::BadFormat, std::string(what) + " is negative (" + std::to_string(count) + ")");
    if (count > maxCount)
        fail(ArchiveFailure::BadFormat, std::string(what) + " " + std::to_string(count) + " exceeds the limit of " +
                                            std::to_string(maxCount));
    if (static_cast<std::size_t>(count) > remaining() / minBytesEach)
        fail(ArchiveFailure::BadFormat, std::string(what) + " " + std::to_string(count) +
                                            " is more than the remaining " + std::to_string(remaining()) +
                                            " bytes can hold");
    return count;
}

std::int32_t ArchiveReader::readInt32InRange(std::string_view what, std::int32_t low, std::int32_t high)
{
    const std::int32_t value = readInt32();
    if (value < low || value > high)
        fail(ArchiveFailure::BadFormat, std::string(what) + " " + std::to_string(value) + " is outside " +
                                            std::to_string(low) + " to " + std::to_string(high));
    return value;
}

void ArchiveReader::readObjectTag(std::string_view className, std::uint16_t schema)
{
    const std::size_t start = position_;
    const std::uint16_t tag = readUInt16();
    if (tag == kNewClassTag) {
        const std::uint16_t storedSchema = readUInt16();
        const std::uint16_t nameLength = readUInt16();
        if (nameLength >= kMaxClassNameBytes)
            fail(ArchiveFailure::BadClass, "a class name of " + std::to_string(nameLength) + " bytes");
        std::string name(nameLength, '\0');
        readRaw(name.data(), nameLength);
        if (name != className) fail(ArchiveFailure::BadClass, "class \"" + name + "\" where \"" +
                                                                  std::string(className) + "\" was expected");
        if (storedSchema != schema)
            fail(ArchiveFailure::BadSchema, "class \"" + name + "\" has schema " + std::to_string(storedSchema) +
                                                ", expected " + std::to_string(schema));
        map_.push_back(name);
        map_.emplace_back();
        return;
    }
    std::uint32_t index = 0;
    bool classTag = false;
    if (tag == kBigObjectTag) {
        const std::uint32_t big = readUInt32();
        classTag = (big & kBigClassTag) != 0;
        index = big & ~kBigClassTag;
    } else {
        classTag = (tag & kClassTag) != 0;
        index = tag & ~kClassTag;
    }
    const std::string at = " at offset " + std::to_string(start);
    if (index >= map_.size())
        fail(ArchiveFailure::BadIndex, "index " + std::to_string(index) + at + " is beyond the " +
                                           std::to_string(map_.size() - 1) + " objects read so far");
    if (!classTag) {
        // Every object of a document is distinct: neither a missing object
        // nor a second reference to an earlier one is accepted.
        fail(ArchiveFailure::BadFormat, index == 0 ? "a missing object" + at
                                                   : "a repeated reference to object " + std::to_string(index) + at);
    }
    if (map_[index].empty())
        fail(ArchiveFailure::BadIndex, "index " + std::to_string(index) + at + " names an object, not a class");
    if (map_[index] != className)
        fail(ArchiveFailure::BadClass, "class \"" + map_[index] + "\" where \"" + std::string(className) +
                                           "\" was expected");
    map_.emplace_back();
}
