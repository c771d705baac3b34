#include "design/CrossSectionTemplates.h"
#include "design/SectionTransforms.h"
#include "support/ReadyDocuments.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <set>
#include <sys/stat.h>

namespace {

using namespace design;
using builders::TempFile;

CrossSectionShape numbered(int n, int count = 5)
{
    std::vector<std::array<double, 2>> points;
    for (int k = 0; k < count; ++k) points.push_back({k - (count - 1) / 2.0, 0.1 * n + 0.01 * k});
    std::string name = "t";
    name += std::to_string(n);
    return ShapeFromPoints(name, points);
}

std::vector<std::uint8_t> fileOf(const std::vector<CrossSectionShape>& shapes)
{
    std::vector<std::uint8_t> bytes;
    for (const auto& s : shapes) {
        const TemplateRecord r = EncodeTemplateRecord(s);
        bytes.insert(bytes.end(), r.begin(), r.end());
    }
    return bytes;
}

void expectSameShape(const CrossSectionShape& a, const CrossSectionShape& b)
{
    EXPECT_STREQ(a.name, b.name);
    ASSERT_EQ(a.count, b.count);
    for (int k = 0; k < a.count; ++k) {
        EXPECT_EQ(a.points[k].x, b.points[k].x);
        EXPECT_EQ(a.points[k].y, b.points[k].y);
    }
}

TEST(TemplateRecord, LayoutIsNameCountAndTwentyPointPairs)
{
    CrossSectionShape s = numbered(3);
    s.points[19] = {7.5, -2.0, 0.0}; // beyond the count, still written
    TemplateRecord expected{'t', '3'};
    const std::int32_t count = 5;
    std::memcpy(expected.data() + 20, &count, 4);
    for (int k = 0; k < kMaxSectionPoints; ++k) {
        const double pair[] = {s.points[k].x, s.points[k].y};
        std::memcpy(expected.data() + 24 + 16 * k, pair, 16);
    }
    const TemplateRecord r = EncodeTemplateRecord(s);
    EXPECT_EQ(r, expected);
    CrossSectionShape back;
    ASSERT_TRUE(DecodeTemplateRecord(r.data(), back));
    expectSameShape(back, s);
}

TEST(TemplateRecord, DamagedRecordsAreRejected)
{
    auto damaged = [](auto change) {
        TemplateRecord r = EncodeTemplateRecord(numbered(1));
        change(r);
        CrossSectionShape s;
        return !DecodeTemplateRecord(r.data(), s);
    };
    for (std::int32_t bad : {-5, 0, 1, 21, 1 << 30})
        EXPECT_TRUE(damaged([bad](TemplateRecord& r) { std::memcpy(r.data() + 20, &bad, 4); })) << bad;
    const double nan = std::nan(""), huge = 1e300;
    EXPECT_TRUE(damaged([&](TemplateRecord& r) { std::memcpy(r.data() + 24 + 16 * 2, &nan, 8); }));
    EXPECT_TRUE(damaged([&](TemplateRecord& r) { std::memcpy(r.data() + 24 + 8, &huge, 8); }));
    // Points beyond the count are not looked at; an unterminated name is cut.
    EXPECT_FALSE(damaged([&](TemplateRecord& r) { std::memcpy(r.data() + 24 + 16 * 10, &nan, 8); }));
    TemplateRecord r = EncodeTemplateRecord(numbered(1));
    std::memset(r.data(), 'x', 20);
    CrossSectionShape s;
    ASSERT_TRUE(DecodeTemplateRecord(r.data(), s));
    EXPECT_EQ(std::strlen(s.name), 19u);
}

TEST(TemplateFile, ReadsInFileOrderUpToFifty)
{
    TempFile file("templates");
    std::vector<CrossSectionShape> shapes;
    for (int n = 0; n < 55; ++n) shapes.push_back(numbered(n));
    ASSERT_TRUE(WriteTemplateFile(file.path(), shapes));
    EXPECT_EQ(file.read().size(), 55 * kTemplateRecordSize);
    std::vector<CrossSectionTemplate> read;
    ASSERT_TRUE(ReadTemplateFile(file.path(), read));
    ASSERT_EQ(read.size(), 50u);
    for (int n = 0; n < 50; ++n) {
        expectSameShape(read[n].shape, shapes[n]);
        EXPECT_EQ(read[n].recordIndex, n);
    }
    EXPECT_FALSE(ReadTemplateFile(file.path() + ".missing", read));
    EXPECT_TRUE(read.empty());
}

TEST(TemplateFile, DamagedRecordsAreSkippedAndTheTailIgnored)
{
    TempFile file("templates");
    std::vector<std::uint8_t> bytes = fileOf({numbered(0), numbered(1), numbered(2)});
    const std::int32_t bad = 99;
    std::memcpy(bytes.data() + kTemplateRecordSize + 20, &bad, 4);
    bytes.resize(bytes.size() + 100, 0xAB); // a partial fourth record
    file.write(bytes);
    std::vector<CrossSectionTemplate> read;
    ASSERT_TRUE(ReadTemplateFile(file.path(), read));
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(read[1].recordIndex, 2);

    // Rewriting the third template goes to its own record, not the second.
    CrossSectionShape changed = numbered(7);
    ASSERT_TRUE(RewriteTemplateRecord(file.path(), read[1].recordIndex, changed));
    // Appending replaces the partial record so that records stay aligned.
    int index = -1;
    ASSERT_TRUE(AppendTemplateRecord(file.path(), numbered(8), index));
    EXPECT_EQ(index, 3);
    EXPECT_EQ(file.read().size(), 4 * kTemplateRecordSize);
    ASSERT_TRUE(ReadTemplateFile(file.path(), read));
    ASSERT_EQ(read.size(), 3u);
    expectSameShape(read[1].shape, changed);
    expectSameShape(read[2].shape, numbered(8));
}

TEST(TemplateFile, ReadingIsBoundedAndRefusesFilesThatAreNotRegular)
{
    // Damaged records count toward the bound: a usable record after it is not read.
    TempFile file("templates");
    std::vector<std::uint8_t> bytes(kMaxTemplateRecords * kTemplateRecordSize, 0);
    const std::vector<std::uint8_t> usable = fileOf({numbered(0)});
    bytes.insert(bytes.end(), usable.begin(), usable.end());
    file.write(bytes);
    std::vector<CrossSectionTemplate> read;
    ASSERT_TRUE(ReadTemplateFile(file.path(), read));
    EXPECT_TRUE(read.empty());

    read.resize(1);
    EXPECT_FALSE(ReadTemplateFile("/dev/zero", read)); // endless
    EXPECT_TRUE(read.empty());
    EXPECT_FALSE(ReadTemplateFile("/tmp", read));

    // A FIFO with no writer is refused at once, for reading and for writing.
    TempFile fifo("templates-fifo");
    std::remove(fifo.path().c_str());
    ASSERT_EQ(::mkfifo(fifo.path().c_str(), 0600), 0);
    int index = 0;
    EXPECT_FALSE(ReadTemplateFile(fifo.path(), read));
    EXPECT_FALSE(AppendTemplateRecord(fifo.path(), numbered(1), index));
    EXPECT_FALSE(RewriteTemplateRecord(fifo.path(), 0, numbered(1)));
    EXPECT_FALSE(WriteTemplateFile(fifo.path(), {numbered(1)}));
}

TEST(TemplateFile, StandardTemplatesAreUsableShapes)
{
    const auto shapes = StandardTemplates();
    std::set<std::string> names;
    int five = 0, seven = 0;
    for (const auto& s : shapes) {
        names.insert(s.name);
        five += s.count == 5;
        seven += s.count == 7;
        // Symmetric about x = 0.
        for (int k = 0; k < s.count; ++k) EXPECT_NEAR(s.points[k].x, -s.points[s.count - 1 - k].x, 1e-12) << s.name;
    }
    EXPECT_EQ(names.size(), shapes.size());
    EXPECT_EQ(five, 4);
    EXPECT_EQ(seven, 4);
    TempFile file("standard");
    ASSERT_TRUE(WriteTemplateFile(file.path(), shapes));
    std::vector<CrossSectionTemplate> read;
    ASSERT_TRUE(ReadTemplateFile(file.path(), read));
    EXPECT_EQ(read.size(), shapes.size());
}

TEST(ShapeOperations, MirrorReversesAndNegates)
{
    CrossSectionShape s = ShapeFromPoints("s", {{-2, 1}, {0, 0}, {3, 2}});
    MirrorShape(s);
    expectSameShape(s, ShapeFromPoints("s", {{-3, 2}, {0, 0}, {2, 1}}));
    MirrorShape(s);
    expectSameShape(s, ShapeFromPoints("s", {{-2, 1}, {0, 0}, {3, 2}}));
}

TEST(ShapeViewMapping, FitsCentresPicksAndDrags)
{
    ShapeView view = ShapeView::ForClient(400, 300);
    EXPECT_EQ(view.width, 225.0);
    EXPECT_EQ(view.height, 225.0);
    const CrossSectionShape shape = ShapeFromPoints("s", {{-2, 0}, {0, 0}, {0, 0}, {2, 2}});
    view.Fit(shape);
    EXPECT_DOUBLE_EQ(view.scale, 4.0 / 130.0);
    const auto centre = view.ToScreen({0, 1, 0});
    EXPECT_DOUBLE_EQ(centre[0], 132.5);
    EXPECT_DOUBLE_EQ(centre[1], 132.5);
    // Screen y grows downwards.
    EXPECT_LT(view.ToScreen({2, 2, 0})[1], view.ToScreen({-2, 0, 0})[1]);

    // Of two points under the cursor the later is picked; 6 pixels is too far.
    const auto p = view.ToScreen(shape.points[1]);
    EXPECT_EQ(view.Pick(shape, p[0] + 3, p[1] - 4), 2);
    EXPECT_EQ(view.Pick(shape, p[0] + 6, p[1]), -1);

    // Within 3 pixels of a grid line the cursor snaps onto it.
    const Vec3 moved = view.Drag({0, 0, 0}, view.left + 30, view.top + 30, view.left + 42, view.top + 30, true);
    EXPECT_DOUBLE_EQ(moved.x, 10 * view.scale);
    const Vec3 free = view.Drag({0, 0, 0}, view.left + 30, view.top + 30, view.left + 44, view.top + 20, true);
    EXPECT_DOUBLE_EQ(free.x, 14 * view.scale);
    EXPECT_DOUBLE_EQ(free.y, 10 * view.scale);
    // The cursor stays 7.5 pixels inside the area.
    const Vec3 kept = view.Drag({0, 0, 0}, view.left + 30, view.top + 30, view.left - 50, view.top + 30, false);
    EXPECT_DOUBLE_EQ(kept.x, -22.5 * view.scale);

    // A shape without extent still maps to finite pixels.
    view.Fit(ShapeFromPoints("dot", {{1, 1}, {1, 1}}));
    EXPECT_EQ(view.scale, 1.0 / ShapeView::kGridSpacing);
    EXPECT_DOUBLE_EQ(view.ToScreen({1, 1, 0})[0], 132.5);
}

// The shape editor opened from the cross-section editor on surface "a" of a new document.
class ShapeEditor : public ::testing::Test {
protected:
    void SetUp() override
    {
        doc.selectedSurface = doc.surfaces[0].get();
        s = doc.selectedSurface;
        std::vector<CrossSectionShape> shapes;
        for (int n = 0; n < 4; ++n) shapes.push_back(numbered(n));
        shapes.push_back(numbered(4, 7));
        WriteTemplateFile(file.path(), shapes);
        ASSERT_EQ(sections.Open(), "");
        sections.SetSelection({2, 3});
        opening = s->sections;
        ASSERT_EQ(editor.Open(sections, {2, 3}), "");
    }

    builders::NewDocument doc;
    SurfaceSection* s = nullptr;
    TempFile file{"shapes"};
    SectionTransformEditor sections{doc};
    CrossSectionShapeEditor editor{doc, file.path()};
    std::array<CrossSection, kMaxSections> opening;
};

TEST_F(ShapeEditor, OpensOnTheFirstSelectedShapeAndRefusesATemplateOfAnotherCount)
{
    EXPECT_EQ(editor.templates().size(), 5u);
    EXPECT_EQ(editor.currentTemplate(), -1);
    expectSameShape(editor.currentShape(), ShapeOfSection(s->sections[2]));
    EXPECT_EQ(editor.ChooseTemplate(4), "The number of control points in the desired cross section must be 5.");
    EXPECT_EQ(editor.currentTemplate(), -1);
    EXPECT_EQ(editor.ChooseTemplate(1), "");
    expectSameShape(editor.currentShape(), numbered(1));
}

TEST_F(ShapeEditor, SaveAppliesToEverySelectedSectionAndCommits)
{
    s->sections[3].scale = 1.5;
    s->spareSections[3].scale = 1.5;
    ASSERT_EQ(editor.ChooseTemplate(1), "");
    editor.Save();
    for (int i : {2, 3}) {
        expectSameShape(ShapeOfSection(s->sections[i]), numbered(1));
        EXPECT_EQ(s->sections[i].scale, 1.0);
        expectSameShape(ShapeOfSection(s->spareSections[i]), numbered(1));
    }
    expectSameShape(ShapeOfSection(s->sections[1]), ShapeOfSection(opening[1]));
    // The net follows the new shape.
    const Vec3 p = s->SectionPointToWorld(2, 0);
    EXPECT_FLOAT_EQ(s->controlNet[2][0].y, static_cast<float>(p.y));
    editor.Close();
    sections.Close();
    expectSameShape(ShapeOfSection(s->sections[2]), numbered(1));
}

TEST_F(ShapeEditor, RetainScalingKeepsTheFactors)
{
    s->sections[2].scale = 1.5;
    editor.retainScaling = true;
    editor.MovePoint(0, -3.0, 1.0);
    EXPECT_EQ(s->sections[2].scale, 1.5);
    EXPECT_EQ(s->sections[3].points[0].x, -3.0);
}

TEST_F(ShapeEditor, ShapeOfAnotherCountIsNeverApplied)
{
    const auto before = s->sections;
    EXPECT_EQ(ApplyShapeToSelection(*s, numbered(0, 7), {2}, false), PointCountMessage(5));
    EXPECT_EQ(s->sections[2].pointCount, 5);
    expectSameShape(ShapeOfSection(s->sections[2]), ShapeOfSection(before[2]));
}

TEST_F(ShapeEditor, ClosingWithoutSaveDropsTheDrags)
{
    editor.MovePoint(1, 5.0, 5.0);
    EXPECT_EQ(s->sections[2].points[1].x, 5.0);
    editor.Close();
    for (int i = 0; i < s->sectionCount; ++i) {
        expectSameShape(ShapeOfSection(s->sections[i]), ShapeOfSection(opening[i]));
        EXPECT_EQ(s->sections[i].scale, opening[i].scale);
    }
}

TEST_F(ShapeEditor, SaveTemplateRewritesOnlyItsRecord)
{
    EXPECT_EQ(editor.SaveTemplate(), kNotYetTemplate);
    const auto before = file.read();
    ASSERT_EQ(editor.ChooseTemplate(3), "");
    editor.MovePoint(2, 0.0, -1.0);
    ASSERT_EQ(editor.SaveTemplate(), "");
    const auto after = file.read();
    ASSERT_EQ(after.size(), before.size());
    const long record = 3 * kTemplateRecordSize, next = record + kTemplateRecordSize;
    EXPECT_TRUE(std::equal(after.begin(), after.begin() + record, before.begin()));
    EXPECT_TRUE(std::equal(after.begin() + next, after.end(), before.begin() + next));
    std::vector<CrossSectionTemplate> read;
    ReadTemplateFile(file.path(), read);
    EXPECT_EQ(read[3].shape.points[2].y, -1.0);
    EXPECT_EQ(editor.templates()[3].shape.points[2].y, -1.0);
}

TEST_F(ShapeEditor, SaveNewTemplateAppendsOneRecord)
{
    EXPECT_EQ(editor.SaveNewTemplate(""), kTemplateNameMissing);
    EXPECT_EQ(editor.SaveNewTemplate(std::string(20, 'n')), "Please enter no more than 19 characters.");
    ASSERT_EQ(editor.SaveNewTemplate("ridge"), "");
    EXPECT_EQ(file.read().size(), 6 * kTemplateRecordSize);
    EXPECT_EQ(editor.currentTemplate(), 5);
    EXPECT_STREQ(editor.templates()[5].shape.name, "ridge");
    // The new template can be saved over in place.
    editor.MovePoint(0, -2.5, 2.0);
    EXPECT_EQ(editor.SaveTemplate(), "");
    std::vector<CrossSectionTemplate> read;
    ReadTemplateFile(file.path(), read);
    ASSERT_EQ(read.size(), 6u);
    EXPECT_EQ(read[5].shape.points[0].x, -2.5);
}

TEST_F(ShapeEditor, MissingFileIsCreatedByTheFirstNewTemplate)
{
    TempFile missing("absent");
    std::remove(missing.path().c_str());
    CrossSectionShapeEditor fresh(doc, missing.path());
    EXPECT_EQ(fresh.Open(sections, {2}), kEditorReadFailed);
    EXPECT_TRUE(fresh.templates().empty());
    ASSERT_EQ(fresh.SaveNewTemplate("first"), "");
    EXPECT_EQ(missing.read().size(), kTemplateRecordSize);
    CrossSectionShapeEditor nowhere(doc, "/nonexistent-dir/cross_sections.dat");
    ASSERT_EQ(nowhere.Open(sections, {2}), kEditorReadFailed);
    EXPECT_EQ(nowhere.SaveNewTemplate("x"), kAppendFailed);
    EXPECT_TRUE(nowhere.templates().empty());
}

TEST_F(ShapeEditor, FiftyHeldTemplatesRefuseAnotherAndLeaveTheFile)
{
    std::vector<CrossSectionShape> shapes;
    for (int n = 0; n < 50; ++n) shapes.push_back(numbered(n));
    WriteTemplateFile(file.path(), shapes);
    CrossSectionShapeEditor full(doc, file.path());
    ASSERT_EQ(full.Open(sections, {2}), "");
    ASSERT_EQ(full.templates().size(), 50u);
    const auto before = file.read();
    EXPECT_EQ(full.SaveNewTemplate("one more"), kTemplateListFull);
    EXPECT_EQ(file.read(), before);
    EXPECT_EQ(full.templates().size(), 50u);
    EXPECT_EQ(full.currentTemplate(), -1);
}

} // namespace
