#include "document/OpenGLTemplateDoc.h"
#include "document/SurfaceArchive.h"
#include "support/ReadyDocuments.h"
#include "support/RecordLayout.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using Bytes = std::vector<std::uint8_t>;
using builders::RecordLayout;
using builders::TempFile;

const char kFirstTag[] = "\xFF\xFF\x01\x00\x0E\x00SurfaceSection";

// The value of type T stored at offset.
template <typename T>
T valueAt(const Bytes& b, std::size_t offset)
{
    T v;
    std::memcpy(&v, b.data() + offset, sizeof v);
    return v;
}

// Saves doc, opens the file in a second document and saves that: the bytes
// must agree except in render fields, which are 1 after a load.
void expectRoundTrip(COpenGLTemplateDoc& doc)
{
    TempFile file("roundtrip");
    std::string error;
    ASSERT_TRUE(doc.OnSaveDocument(file.path(), error)) << error;
    Bytes first = file.read();
    COpenGLTemplateDoc reopened;
    ASSERT_TRUE(reopened.OnOpenDocument(file.path(), error)) << error;
    const Bytes second = reopened.SerializeDocument();
    ASSERT_EQ(first.size(), second.size());

    std::size_t offset = kDocumentHeadBytes + 4;
    for (std::size_t k = 0; k < doc.surfaces.size(); ++k) {
        const SurfaceSection& s = *doc.surfaces[k];
        offset += k == 0 ? 20 : 2;
        const RecordLayout record(s, offset);
        const std::size_t render = record.render;
        EXPECT_EQ(valueAt<std::int32_t>(first, render), s.render.load());
        EXPECT_EQ(valueAt<std::int32_t>(second, render), 1) << "surface " << k;
        std::memcpy(first.data() + render, second.data() + render, 4);
        offset = record.end;
    }
    EXPECT_EQ(first, second);
}

} // namespace

TEST(DocumentFileLayout, EmptyDocumentIs259Bytes)
{
    COpenGLTemplateDoc doc;
    const Bytes b = doc.SerializeDocument();
    ASSERT_EQ(b.size(), 259u);
    EXPECT_EQ(valueAt<std::int32_t>(b, 0), 100);      // movieFrameCount
    EXPECT_EQ(valueAt<std::int32_t>(b, 4), 800);      // imageWidth
    EXPECT_EQ(b[12], 0);                              // anaglyphStereo
    EXPECT_EQ(valueAt<std::int32_t>(b, 13), 4);       // anaglyphColors
    EXPECT_EQ(b[17], 0);                              // showFocalPoint
    EXPECT_EQ(b[18], 1);                              // showBall
    EXPECT_EQ(b[36], 1);                              // bounceEnabled
    EXPECT_EQ(b[38], 0);                              // cameraFollowsBall
    EXPECT_EQ(valueAt<double>(b, 39), 21.0);          // followDistance
    EXPECT_EQ(valueAt<double>(b, 87), -40.0);         // cameraDistance
    EXPECT_EQ(valueAt<double>(b, 127), 0.3333333333); // ballRadius
    EXPECT_EQ(valueAt<std::int32_t>(b, 135), 0);      // surface count
    EXPECT_EQ(valueAt<std::int32_t>(b, 139), 0);      // group count
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(b.data()) + 143), "none");
    EXPECT_EQ(valueAt<double>(b, 243), 0.5);          // ballStartU
}

TEST(DocumentFileLayout, SurfacesAreTaggedAndSizedByTheirCounts)
{
    builders::TrackDocument doc;
    const Bytes b = doc.SerializeDocument();
    std::size_t offset = kDocumentHeadBytes;
    EXPECT_EQ(valueAt<std::int32_t>(b, offset), 4);
    offset += 4;
    EXPECT_EQ(0, std::memcmp(b.data() + offset, kFirstTag, 20));
    offset = RecordLayout(*doc.surfaces[0], offset + 20).end;
    for (std::size_t k = 1; k < doc.surfaces.size(); ++k) {
        EXPECT_EQ(b[offset], 0x01);
        EXPECT_EQ(b[offset + 1], 0x80);
        offset = RecordLayout(*doc.surfaces[k], offset + 2).end;
    }
    // Groups: "main" with a and b, "track" with a and c.
    EXPECT_EQ(valueAt<std::int32_t>(b, offset), 2);
    const Bytes mainGroup = {4, 'm', 'a', 'i', 'n', 2, 0, 0, 0, 1, 'a', 1, 'b'};
    EXPECT_EQ(Bytes(b.begin() + static_cast<long>(offset) + 4, b.begin() + static_cast<long>(offset) + 17), mainGroup);
    EXPECT_EQ(b.size(), offset + 4 + 13 + 14 + kDocumentTailBytes);
}

TEST(DocumentFileLayout, LongGroupNamesUseTheWidePrefix)
{
    builders::NewDocument doc;
    doc.groups[0]->memberNames[0] = std::string(300, 'n');
    const Bytes b = doc.SerializeDocument();
    const std::size_t groups = b.size() - kDocumentTailBytes - (4 + 1 + 4 + 4 + 3 + 300);
    EXPECT_EQ(valueAt<std::int32_t>(b, groups), 1);
    EXPECT_EQ(b[groups + 4], 4);
    EXPECT_EQ(b[groups + 13], 0xFF);
    EXPECT_EQ(b[groups + 14], 300 & 0xFF);
    EXPECT_EQ(b[groups + 15], 300 >> 8);
}

// A surface written on its own (to the library) keeps only links and pseudo
// surfaces inside its own group; inside a whole-document save it keeps them all.
TEST(SurfaceRecordSiteNames, LinksIntoAnotherGroupAreWrittenAsNoneOnTheirOwn)
{
    builders::TrackDocument doc;
    auto nameAt = [](const Bytes& bytes, std::size_t at) {
        return std::string(reinterpret_cast<const char*>(bytes.data()) + at);
    };
    auto alone = [](const SurfaceSection& s) {
        ArchiveWriter writer;
        WriteSurfaceRecord(writer, s);
        return writer.bytes();
    };
    // b: site 0 links to c in "track", site 1 to a in "main".
    const SurfaceSection& b = *doc.surfaces[1];
    const std::size_t sites = RecordLayout(b, 0).sites + 4;
    const Bytes own = alone(b);
    EXPECT_EQ(nameAt(own, sites + 36), "none");
    EXPECT_EQ(nameAt(own, sites + 86), "none");
    EXPECT_TRUE(std::all_of(own.begin() + static_cast<long>(sites) + 40, own.begin() + static_cast<long>(sites) + 86,
                            [](std::uint8_t c) { return c == 0; }));
    EXPECT_EQ(nameAt(own, sites + kSiteRecordBytes + 36), "a");
    EXPECT_EQ(nameAt(own, sites + kSiteRecordBytes + 86), "main");
    const Bytes whole = doc.SerializeDocument();
    const std::size_t start = RecordLayout(*doc.surfaces[0], kDocumentHeadBytes + 4 + 20).end + 2;
    EXPECT_EQ(nameAt(whole, start + sites + 36), "c");
    EXPECT_EQ(nameAt(whole, start + sites + 86), "track");
    EXPECT_FALSE(doc.savingDocument);

    // The second "a", in "track": site 2's pseudo surface is a in "main".
    const SurfaceSection& a2 = *doc.surfaces[2];
    const std::size_t pseudo = RecordLayout(a2, 0).sites + 4 + 2 * kSiteRecordBytes + 173;
    EXPECT_EQ(nameAt(alone(a2), pseudo), "none");
    EXPECT_EQ(nameAt(alone(a2), pseudo + 50), "none");
}

TEST(DocumentFileRoundTrip, OpenThenSaveGivesTheSameBytes)
{
    builders::TrackDocument track;
    expectRoundTrip(track);

    COpenGLTemplateDoc chain;
    builders::fillChainDocument(chain, 5, 20, 20);
    expectRoundTrip(chain);
}
