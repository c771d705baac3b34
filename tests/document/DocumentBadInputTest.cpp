#include "document/OpenGLTemplateDoc.h"
#include "document/SurfaceArchive.h"
#include "support/DocumentBuilders.h"
#include "support/RecordLayout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <limits>
#include <random>
#include <sys/resource.h>
#include <unistd.h>

namespace {

using Bytes = std::vector<std::uint8_t>;
using builders::RecordLayout;
using builders::TempFile;

// The bytes of a value as the file stores it.
template <typename T>
Bytes stored(T v)
{
    Bytes b(sizeof v);
    std::memcpy(b.data(), &v, sizeof v);
    return b;
}

// Where a distinctive value was written.
std::size_t offsetOf(const Bytes& b, double v)
{
    const Bytes value = stored(v);
    const auto at = std::search(b.begin(), b.end(), value.begin(), value.end());
    EXPECT_NE(at, b.end()) << "value not found";
    return static_cast<std::size_t>(at - b.begin());
}

// A document in use, remembered as it was so that a failed open can be
// shown to leave every part of it alone.
class OpenDocument {
public:
    OpenDocument()
    {
        builders::fillChainDocument(doc, 3, 5, 2);
        doc.selectedSurface = doc.surfaces[1].get();
        bytes_ = doc.SerializeDocument();
        for (const auto& s : doc.surfaces) surfaces_.push_back(s.get());
        group_ = doc.currentGroup;
        start_ = doc.ballStartSurface;
    }

    // Opens bytes as a file; the open must fail and the message must name
    // the file and contain `reason`.
    void expectRefused(const Bytes& file, const std::string& reason)
    {
        TempFile f("bad");
        f.write(file);
        std::string error;
        EXPECT_FALSE(doc.OnOpenDocument(f.path(), error)) << reason;
        EXPECT_NE(error.find(f.path()), std::string::npos) << error;
        EXPECT_NE(error.find(reason), std::string::npos) << error;
        expectUntouched();
    }

    void expectUntouched()
    {
        EXPECT_EQ(doc.SerializeDocument(), bytes_);
        ASSERT_EQ(doc.surfaces.size(), surfaces_.size());
        for (std::size_t k = 0; k < surfaces_.size(); ++k) {
            EXPECT_EQ(doc.surfaces[k].get(), surfaces_[k]);
            EXPECT_EQ(doc.surfaces[k]->render, 1);
        }
        EXPECT_EQ(doc.currentGroup, group_);
        EXPECT_EQ(doc.ballStartSurface, start_);
        EXPECT_EQ(doc.selectedSurface, surfaces_[1]);
        EXPECT_FALSE(doc.loading);
    }

    COpenGLTemplateDoc doc;

private:
    Bytes bytes_;
    std::vector<SurfaceSection*> surfaces_;
    SurfaceGroup* group_;
    SurfaceSection* start_;
};

// The file of a two-surface document with a hole, and its first record.
struct ValidFile {
    Bytes bytes;
    RecordLayout first;
    std::size_t groups; // the group count
    ValidFile()
    {
        COpenGLTemplateDoc doc;
        builders::fillChainDocument(doc, 2, 4, 1);
        builders::addHole(*doc.surfaces[0], "h", 0.1, 0.2, 0.3, 0.4);
        bytes = doc.SerializeDocument();
        first = RecordLayout(*doc.surfaces[0], kDocumentHeadBytes + 4 + 20);
        std::size_t groupBytes = 4 + 1 + 4 + 4; // count, "main", member count
        for (const std::string& member : doc.groups[0]->memberNames) groupBytes += 1 + member.size();
        groups = bytes.size() - kDocumentTailBytes - groupBytes;
    }
};

} // namespace

TEST(DocumentOpenFailure, MissingFileIsReportedAndChangesNothing)
{
    OpenDocument open;
    std::string error;
    EXPECT_FALSE(open.doc.OnOpenDocument("/nonexistent/dir/x.mwk", error));
    EXPECT_NE(error.find("/nonexistent/dir/x.mwk"), std::string::npos);
    open.expectUntouched();
}

TEST(DocumentOpenFailure, TruncatedFilesFailAtEveryLength)
{
    const ValidFile valid;
    StandaloneSurfaceHost host;
    for (std::size_t n = 0; n < valid.bytes.size(); ++n) {
        ArchiveReader reader(std::span(valid.bytes.data(), n));
        try {
            ReadDocumentRecord(reader, &host);
            ADD_FAILURE() << "a file cut to " << n << " bytes was read";
        } catch (const ArchiveError& e) {
            // Either the end of the file, or a count that the bytes left cannot hold.
            EXPECT_TRUE(e.failure() == ArchiveFailure::EndOfFile || e.failure() == ArchiveFailure::BadFormat)
                << n << ": " << e.what();
        }
    }
    OpenDocument open;
    open.expectRefused(Bytes(valid.bytes.begin(), valid.bytes.begin() + 100), "Unexpected end of file while reading");
    open.expectRefused(Bytes(valid.bytes.end() - 1, valid.bytes.end()), "Unexpected end of file while reading");
    open.expectRefused(Bytes(valid.bytes.begin(), valid.bytes.begin() + static_cast<long>(valid.first.start) + 7),
                       "has a bad format. Surface count 2 is more than the remaining");
}

TEST(DocumentOpenFailure, WrongObjectsCountsAndNumbersAreRefused)
{
    const ValidFile valid;
    const RecordLayout& r = valid.first;
    const std::size_t tag = kDocumentHeadBytes + 4, secondHoleIndex = r.holes + 4 + kHoleRecordBytes;
    ASSERT_EQ(valid.bytes[secondHoleIndex + 1], 0x80);
    COpenGLTemplateDoc marked;
    builders::fillChainDocument(marked, 2, 4, 1);
    marked.ballRadius = 0.123456789;
    const Bytes withRadius = marked.SerializeDocument();
    const std::size_t radius = offsetOf(withRadius, 0.123456789);
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    using I = std::int32_t;
    struct Case {
        const Bytes* file;
        std::size_t offset;
        Bytes value;
        const char* reason;
        const char* failure = "has a bad format.";
    };
    const Bytes* v = &valid.bytes;
    const char* const wrongClass = "Unexpected object was found while reading";
    const char* const wrongSchema = "contains an unexpected object";
    const Case cases[] = {
        {v, tag + 6, {'X'}, wrongClass, wrongClass},
        {v, tag + 2, {2}, wrongSchema, wrongSchema},
        {v, secondHoleIndex, {0x05}, "has a bad format."},
        {v, r.start + 335, stored<I>(21), "points per cross section 21"},
        {v, r.start + 335, stored<I>(1), "points per cross section 1"},
        {v, r.start + 339, stored<I>(25), "cross-section count 25"},
        {v, r.start + 339, stored<I>(-1), "cross-section count -1"},
        {v, r.start + 343, stored<I>(25), "intermediate cross-section count 25"},
        {v, r.start + 100, stored<I>(7), "surface type 7"},
        {v, r.tail, stored<I>(3), "sampling mode 3"},
        {v, r.tail + 46, stored<I>(-1), "coloring -1"},
        {v, r.sites, stored<I>(-4), "site count is negative"},
        {v, r.sites, stored<I>(1000000), "site count 1000000 is more than"},
        {v, r.holes, stored<I>(2000000000), "hole count 2000000000 is more than"},
        {v, kDocumentHeadBytes, stored<I>(-1), "Surface count is negative"},
        {v, kDocumentHeadBytes, stored<I>(100), "Surface count 100 is more than"},
        {v, valid.groups, stored<I>(100000), "Group count 100000 is more than"},
        {v, valid.groups + 4 + 5, stored<I>(-2), "Group 1: member count is negative"},
        {&withRadius, radius, stored(nan), "The ball radius is nan, not a finite number."},
        {&withRadius, radius, stored(0.0), "The ball radius 0 is outside"},
        {&withRadius, radius, stored(-1.0), "The ball radius -1 is outside"},
        {v, r.sections, stored(nan), "Surface 1: a number at offset"},
        {v, r.sections + 8, stored(-inf), "is -inf, not a finite number"},
        {v, r.sections + 16, stored(1e300), "is 1e+300, beyond"},
        {v, valid.bytes.size() - 16, stored(nan), "Ball start: a number at offset"},
    };
    OpenDocument open;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        Bytes bad = *c.file;
        std::copy(c.value.begin(), c.value.end(), bad.begin() + static_cast<long>(c.offset));
        open.expectRefused(bad, c.reason);
        open.expectRefused(bad, c.failure);
    }
}

TEST(DocumentOpenFailure, GroupNamesMustFitTheirBuffer)
{
    COpenGLTemplateDoc empty;
    const Bytes head = empty.SerializeDocument();
    auto withGroup = [&](std::size_t nameLength) {
        Bytes b(head.begin(), head.begin() + kDocumentHeadBytes + 4);
        const Bytes group = {1, 0, 0, 0, static_cast<std::uint8_t>(nameLength)};
        b.insert(b.end(), group.begin(), group.end());
        b.insert(b.end(), nameLength, 'g');
        b.insert(b.end(), {0, 0, 0, 0});
        b.insert(b.end(), head.end() - kDocumentTailBytes, head.end());
        return b;
    };
    OpenDocument open;
    open.expectRefused(withGroup(50), "its name has 50 characters");

    COpenGLTemplateDoc doc;
    std::string error;
    ASSERT_TRUE(doc.OpenDocumentBytes(withGroup(49), "group49.mwk", error)) << error;
    EXPECT_EQ(textOf(doc.groups[0]->name), std::string(49, 'g'));
}

TEST(DocumentOpenFailure, DamagedFilesEitherOpenOrLeaveTheDocumentAlone)
{
    const ValidFile valid;
    std::mt19937 random(7);
    std::uniform_int_distribution<std::size_t> where(0, valid.bytes.size() - 1);
    std::uniform_int_distribution<int> byte(0, 255);
    OpenDocument open;
    int refused = 0;
    for (int k = 0; k < 60; ++k) {
        Bytes damaged = valid.bytes;
        for (int n = 0; n < 4; ++n) damaged[where(random)] = static_cast<std::uint8_t>(byte(random));
        COpenGLTemplateDoc probe;
        std::string error;
        if (probe.OpenDocumentBytes(damaged, "damaged.mwk", error)) continue;
        ++refused;
        open.expectRefused(damaged, "");
    }
    EXPECT_GT(refused, 0);
}

#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
TEST(DocumentOpenFailure, RunningOutOfMemoryIsAClearErrorThatChangesNothing)
{
    // Two hundred surfaces whose stored settings ask for the densest meshes
    // (gigabytes), opened with little memory to spare: far more than what the
    // tests before may have left reserved in the process (malloc arenas).
    COpenGLTemplateDoc dense;
    builders::fillChainDocument(dense, 200, 20, 20);
    ASSERT_EQ(dense.surfaces.size(), 200u);
    for (const auto& s : dense.surfaces) {
        s->samplingMode = SamplingMode::FixedCounts;
        s->fixedSamplesU = s->fixedSamplesV = 400;
    }
    TempFile file("dense");
    file.write(dense.SerializeDocument());

    OpenDocument open;
    long pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    rlimit previous{};
    ASSERT_EQ(::getrlimit(RLIMIT_AS, &previous), 0);
    rlimit tight = previous;
    tight.rlim_cur = static_cast<rlim_t>(pages) * ::sysconf(_SC_PAGESIZE) + (256u << 20);
    ASSERT_EQ(::setrlimit(RLIMIT_AS, &tight), 0);
    std::string error;
    const bool opened = open.doc.OnOpenDocument(file.path(), error);
    ::setrlimit(RLIMIT_AS, &previous);
    EXPECT_FALSE(opened);
    EXPECT_EQ(error.rfind(file.path() + " is too large to open: ", 0), 0u) << error;
    open.expectUntouched();
}
#endif
