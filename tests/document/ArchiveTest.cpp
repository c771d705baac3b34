#include "document/Archive.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes bytesOf(std::initializer_list<int> values)
{
    Bytes b;
    for (int v : values) b.push_back(static_cast<std::uint8_t>(v));
    return b;
}

Bytes textBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

Bytes concat(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

ArchiveFailure failureOf(const Bytes& bytes, void (*read)(ArchiveReader&))
{
    ArchiveReader reader(bytes);
    try {
        read(reader);
    } catch (const ArchiveError& e) {
        return e.failure();
    }
    ADD_FAILURE() << "the read succeeded";
    return ArchiveFailure::BadFormat;
}

void readSurfaceTag(ArchiveReader& r) { r.readObjectTag("SurfaceSection", 1); }

} // namespace

// Fixed text is written whole, bytes after its end included, and read as it stands.
TEST(ArchiveScalars, AreLittleEndianInTheirStoredWidths)
{
    const char name[8] = {'a', 'b', 0, 'x', 'y', 0, 0, 'z'};
    ArchiveWriter w;
    w.writeInt32(-2);
    w.writeUInt16(0x8001);
    w.writeDouble(1.0);
    w.writeBool(true);
    w.writeBool(false);
    w.writeVec3({0.0, -2.0, 0.5});
    w.writeFixed(name);
    const Bytes expected = concat(bytesOf({0xFE, 0xFF, 0xFF, 0xFF, 0x01, 0x80, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F, 1, 0}),
                                  bytesOf({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0,
                                           0xE0, 0x3F, 'a', 'b', 0, 'x', 'y', 0, 0, 'z'}));
    EXPECT_EQ(w.bytes(), expected);

    ArchiveReader r(expected);
    EXPECT_EQ(r.readInt32(), -2);
    EXPECT_EQ(r.readUInt16(), 0x8001);
    EXPECT_EQ(r.readDouble(), 1.0);
    EXPECT_TRUE(r.readBool());
    EXPECT_FALSE(r.readBool());
    EXPECT_EQ(r.readVec3(), (Vec3{0.0, -2.0, 0.5}));
    char back[8];
    r.readFixed(back);
    EXPECT_EQ(std::string(back, 8), std::string(name, 8));
    EXPECT_EQ(r.remaining(), 0u);

    const Bytes nonZero = bytesOf({0x02, 0xFF}); // any non-zero byte reads as true
    ArchiveReader bools(nonZero);
    EXPECT_TRUE(bools.readBool());
    EXPECT_TRUE(bools.readBool());
}

TEST(ArchiveCountedString, PrefixGrowsWithTheLength)
{
    struct Case {
        std::size_t length;
        Bytes prefix;
    };
    const Case cases[] = {
        {0, bytesOf({0x00})},
        {4, bytesOf({0x04})},
        {254, bytesOf({0xFE})},
        {255, bytesOf({0xFF, 0xFF, 0x00})},
        {65533, bytesOf({0xFF, 0xFD, 0xFF})},
        {65534, bytesOf({0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00})},
        {70000, bytesOf({0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00})},
    };
    for (const Case& c : cases) {
        const std::string text(c.length, 'q');
        ArchiveWriter w;
        w.writeString(text);
        const Bytes& b = w.bytes();
        ASSERT_EQ(b.size(), c.prefix.size() + c.length) << c.length;
        EXPECT_EQ(Bytes(b.begin(), b.begin() + static_cast<long>(c.prefix.size())), c.prefix) << c.length;
        ArchiveReader r(b);
        EXPECT_EQ(r.readString(), text) << c.length;
        EXPECT_EQ(r.remaining(), 0u);
    }
}

TEST(ArchiveCountedString, Utf16FormIsConvertedToSingleBytes)
{
    // FF FE FF marks UTF-16; then a short prefix of 3 and the code units
    // 'M', 0xE9, U+20AC (the euro, 0x80 in the code page), U+0178 (0x9F),
    // U+0081 (an undefined byte, kept) and U+4E2D (which has no single-byte form).
    const Bytes b = bytesOf({0xFF, 0xFE, 0xFF, 0x06, 'M', 0x00, 0xE9, 0x00, 0xAC, 0x20, 0x78, 0x01, 0x81, 0x00,
                             0x2D, 0x4E});
    ArchiveReader r(b);
    EXPECT_EQ(r.readString(), std::string("M\xE9\x80\x9F\x81?"));
    EXPECT_EQ(r.remaining(), 0u);

    const Bytes longPrefix = concat(bytesOf({0xFF, 0xFE, 0xFF, 0xFF, 0x01, 0x01}), Bytes(2 * 257, 'k'));
    ArchiveReader r2(longPrefix);
    EXPECT_EQ(r2.readString().size(), 257u);
}

TEST(ArchiveCountedString, EndingInsideTheTextIsAnEndOfFileError)
{
    auto readString = [](ArchiveReader& r) { r.readString(); };
    EXPECT_EQ(failureOf(bytesOf({0x05, 'a', 'b'}), readString), ArchiveFailure::EndOfFile);
    EXPECT_EQ(failureOf(bytesOf({0xFF, 0x10}), readString), ArchiveFailure::EndOfFile);
    EXPECT_EQ(failureOf(bytesOf({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}), readString), ArchiveFailure::EndOfFile);
    EXPECT_EQ(failureOf(bytesOf({0xFF, 0xFE, 0xFF, 0x02, 'a', 0}), readString), ArchiveFailure::EndOfFile);
}

TEST(ArchiveObjectTag, FirstObjectNamesTheClassLaterOnesUseItsIndex)
{
    ArchiveWriter w;
    w.writeObjectTag("SurfaceSection", 1);
    w.writeObjectTag("SurfaceSection", 1);
    w.writeObjectTag("SurfaceSection", 1);
    const Bytes expected =
        concat(concat(bytesOf({0xFF, 0xFF, 0x01, 0x00, 0x0E, 0x00}), textBytes("SurfaceSection")),
               bytesOf({0x01, 0x80, 0x01, 0x80}));
    EXPECT_EQ(w.bytes(), expected);

    ArchiveReader r(expected);
    for (int k = 0; k < 3; ++k) EXPECT_NO_THROW(r.readObjectTag("SurfaceSection", 1));

    // The big tag form of a class index is read too.
    const Bytes big = concat(Bytes(expected.begin(), expected.end() - 4), bytesOf({0xFF, 0x7F, 0x01, 0x00, 0x00, 0x80}));
    ArchiveReader bigReader(big);
    bigReader.readObjectTag("SurfaceSection", 1);
    EXPECT_NO_THROW(bigReader.readObjectTag("SurfaceSection", 1));
}

TEST(ArchiveObjectTag, RefusesUnexpectedClassesSchemasAndIndices)
{
    const Bytes header = bytesOf({0xFF, 0xFF, 0x01, 0x00, 0x0E, 0x00});
    const Bytes first = concat(header, textBytes("SurfaceSection"));
    // Another class name, and a name of 64 bytes.
    EXPECT_EQ(failureOf(concat(header, textBytes("SurfaceSectioN")), readSurfaceTag), ArchiveFailure::BadClass);
    EXPECT_EQ(failureOf(concat(bytesOf({0xFF, 0xFF, 0x01, 0x00, 0x40, 0x00}), Bytes(64, 'S')), readSurfaceTag),
              ArchiveFailure::BadClass);
    // Schema 2.
    EXPECT_EQ(failureOf(concat(bytesOf({0xFF, 0xFF, 0x02, 0x00, 0x0E, 0x00}), textBytes("SurfaceSection")),
                        readSurfaceTag),
              ArchiveFailure::BadSchema);
    // A class index with no class read yet, and one beyond the objects read.
    EXPECT_EQ(failureOf(bytesOf({0x01, 0x80}), readSurfaceTag), ArchiveFailure::BadIndex);
    auto secondTag = [](ArchiveReader& r) {
        r.readObjectTag("SurfaceSection", 1);
        r.readObjectTag("SurfaceSection", 1);
    };
    EXPECT_EQ(failureOf(concat(first, bytesOf({0x07, 0x80})), secondTag), ArchiveFailure::BadIndex);
    EXPECT_EQ(failureOf(concat(first, bytesOf({0xFF, 0x7F, 0x00, 0x00, 0x01, 0x80})), secondTag),
              ArchiveFailure::BadIndex);
    // Index 2 is the first object, not a class.
    EXPECT_EQ(failureOf(concat(first, bytesOf({0x02, 0x80})), secondTag), ArchiveFailure::BadIndex);
    // A back-reference to the first object and a missing object are refused.
    EXPECT_EQ(failureOf(concat(first, bytesOf({0x02, 0x00})), secondTag), ArchiveFailure::BadFormat);
    EXPECT_EQ(failureOf(bytesOf({0x00, 0x00}), readSurfaceTag), ArchiveFailure::BadFormat);
    // A file that ends inside the class name.
    EXPECT_EQ(failureOf(concat(header, textBytes("Surf")), readSurfaceTag), ArchiveFailure::EndOfFile);
}

TEST(ArchiveCount, IsCheckedAgainstItsLimitAndTheBytesLeft)
{
    auto countOf = [](const Bytes& b, std::int32_t max, std::size_t each) {
        ArchiveReader r(b);
        return r.readCount("site count", max, each);
    };
    const Bytes three = concat(bytesOf({3, 0, 0, 0}), Bytes(30, 0));
    EXPECT_EQ(countOf(three, 10, 10), 3);
    EXPECT_THROW(countOf(three, 2, 10), ArchiveError);
    EXPECT_THROW(countOf(three, 10, 11), ArchiveError);
    EXPECT_THROW(countOf(bytesOf({0xFF, 0xFF, 0xFF, 0xFF}), 10, 1), ArchiveError);
    EXPECT_THROW(countOf(bytesOf({0xFF, 0xFF, 0xFF, 0x7F}), INT32_MAX, 1), ArchiveError);
}

// The end-of-file message is the truncated document tests' (DocumentOpenFailure).
TEST(ArchiveError, UserMessageNamesTheFileAndTheReason)
{
    const Bytes b = bytesOf({0xF6, 0xFF, 0xFF, 0xFF});
    ArchiveReader r(b);
    r.setContext("surface 3");
    try {
        r.readCount("hole count", INT32_MAX, 52);
        FAIL() << "a negative count was accepted";
    } catch (const ArchiveError& e) {
        EXPECT_EQ(e.failure(), ArchiveFailure::BadFormat);
        EXPECT_EQ(e.userMessage("track.mwk"), "track.mwk has a bad format. Surface 3: hole count is negative (-10).");
    }
}
