// The holes and the attachment sites dialogs, which share their frame,
// driven through their widgets: "Add new" with the fields read (the order of
// the operations' checks is the design tests' part), selecting a line and
// deleting it.

#include "dialogs/DialogSurfaceAttachmentSites.h"
#include "dialogs/DialogSurfaceHoles.h"

#include "QtTestRegistry.h"
#include "design/AttachmentSites.h"
#include "design/ChannelCreation.h"
#include "design/Holes.h"
#include "dialogs/DialogTestSupport.h"
#include "surface/SurfaceSection.h"

#include <array>
#include <memory>

using namespace dialogtest;

namespace {

enum Kind { kHoles, kSites };

const QString kBeyondTheUnitRange =
    QString::fromStdString(design::NumberRangePrompt(design::kParameterLow, design::kParameterHigh));

} // namespace

class DialogSurfaceEntriesTest : public QObject {
    Q_OBJECT

    std::unique_ptr<COpenGLTemplateDoc> doc;
    std::unique_ptr<DialogSurfaceHoles> holes;
    std::unique_ptr<DialogSurfaceAttachmentSites> sites;
    std::unique_ptr<MessageBoxAnswers> boxes;
    SurfaceSection* surface = nullptr;

    QWidget* dialog(int kind) { return kind == kHoles ? static_cast<QWidget*>(holes.get()) : sites.get(); }
    QListWidget* list(int kind) { return control<QListWidget>(dialog(kind), kind == kHoles ? "holeList" : "siteList"); }
    std::size_t entries(int kind) const
    {
        return kind == kHoles ? surface->holes.size() : surface->attachmentSites.size();
    }
    // Adds entries through the operation: a hole as "name rightLeftLow
    // rightLeftHigh frontBackLow frontBackHigh", a site as "name edge low high".
    void give(int kind, const QStringList& given)
    {
        for (const QString& entry : given) {
            const QStringList p = entry.split(' ');
            QCOMPARE(kind == kHoles ? design::AddHole(*surface, p[0].toStdString(), p[1].toDouble(), p[2].toDouble(),
                                                      p[3].toDouble(), p[4].toDouble())
                                    : design::AddSite(*surface, p[0].toStdString(),
                                                      *design::SiteEdgeFromWord(p[1].toStdString()), p[2].toDouble(),
                                                      p[3].toDouble()),
                     "");
        }
        kind == kHoles ? holes->Refresh() : sites->Refresh();
        doc->SetModifiedFlag(false);
    }
    // Types "field=text" into the field; a bare name switches that radio button on.
    void fill(int kind, const QStringList& inputs)
    {
        for (const QString& input : inputs) {
            const QStringList part = input.split('=');
            if (part.size() == 2) type(dialog(kind), part[0].toLatin1().constData(), part[1]);
            else toggleAccessibly(control<QAbstractButton>(dialog(kind), input));
        }
    }

private slots:
    // A channel with no holes and no sites but "left" over its whole edge.
    void init()
    {
        doc = std::make_unique<COpenGLTemplateDoc>();
        doc->OnNewDocument();
        surface = doc->surfaces[0].get();
        surface->attachmentSites.clear();
        QCOMPARE(design::AddSite(*surface, "left", SiteEdge::Left, 0.0, 1.0), "");
        doc->selectedSurface = surface;
        holes = std::make_unique<DialogSurfaceHoles>(*doc);
        sites = std::make_unique<DialogSurfaceAttachmentSites>(*doc);
        boxes = std::make_unique<MessageBoxAnswers>();
    }
    void cleanup() { boxes.reset(); sites.reset(); holes.reset(); doc.reset(); }

    void addNewReadsTheFields_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QStringList>("given");
        QTest::addColumn<QStringList>("inputs");
        QTest::addColumn<QString>("shown"); // the new list line, or the refusal
        const QStringList hole{"nameEdit=second", "rightLeftLowEdit=0.5", "rightLeftHighEdit=1.0",
                               "frontBackLowEdit=0.0", "frontBackHighEdit=0.5"};
        const QStringList firstHole{"first 0.0 0.5 0.0 0.5"}, firstSite{"first begin 0.2 0.5"};
        QTest::newRow("a hole beside another") << int(kHoles) << firstHole << hole << "second";
        QTest::newRow("a hole over two, refused naming the first")
            << int(kHoles) << QStringList{"first 0.6 0.9 0.0 0.5", "other 0.5 0.6 0.0 0.5"} << hole
            << "The proposed hole would overalap the hole named first.";
        QTest::newRow("a hole beyond the unit range")
            << int(kHoles) << QStringList() << (hole + QStringList{"frontBackLowEdit=-0.5"}) << kBeyondTheUnitRange;
        QTest::newRow("a site on the end edge")
            << int(kSites) << firstSite << QStringList{"nameEdit=other", "endRadio", "lowEdit=0.2", "highEdit=0.5"}
            << "other   [end, 0.20, 0.50]";
        QTest::newRow("a site without a number")
            << int(kSites) << QStringList() << QStringList{"nameEdit=far", "endRadio", "lowEdit=low", "highEdit=1"}
            << kBeyondTheUnitRange;
    }

    // An entry is added at once (the ball and the drawing see it) and the
    // fields start again; a refusal changes nothing.
    void addNewReadsTheFields()
    {
        QFETCH(int, kind);
        QFETCH(QStringList, given);
        QFETCH(QStringList, inputs);
        QFETCH(QString, shown);
        dialog(kind)->show();
        give(kind, given);
        const int cache = kind == kHoles ? DrawingCache::kHoles : DrawingCache::kSites;
        surface->drawingCache.valid[cache] = true;
        const std::size_t before = entries(kind);

        fill(kind, inputs);
        click(dialog(kind), "addButton");

        const bool added = boxes->texts.isEmpty();
        QCOMPARE(added ? lines(list(kind)).last() : boxes->texts.join('\n'), shown);
        QCOMPARE(entries(kind), before + (added ? 1 : 0));
        QCOMPARE(list(kind)->count(), static_cast<int>(entries(kind)));
        QCOMPARE(surface->drawingCache.valid[cache].load(), !added);
        QCOMPARE(doc->IsModified(), added);
        if (added && kind == kHoles) {
            const SurfaceHole& hole = surface->holes.back();
            QCOMPARE(textOf(hole.name), std::string("second"));
            QCOMPARE((std::array{hole.rightLeftLow, hole.rightLeftHigh, hole.frontBackLow, hole.frontBackHigh}),
                     (std::array{0.5, 1.0, 0.0, 0.5}));
            QVERIFY(PointInHole(hole, 0.75, 0.25));
        }
        if (added && kind == kSites) checkFields(dialog(kind), {"nameEdit=", "beginningRadio"});
    }

    void selectingALineFillsTheFields_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("given");
        QTest::addColumn<QStringList>("fields"); // "field=text", or a radio button switched on
        QTest::newRow("hole") << int(kHoles) << "pit 0.25 0.75 0.4 0.6"
                              << QStringList{"nameEdit=pit", "rightLeftLowEdit=0.25", "rightLeftHighEdit=0.75",
                                             "frontBackLowEdit=0.4", "frontBackHighEdit=0.6"};
        QTest::newRow("site") << int(kSites) << "pit end 0.25 0.75"
                              << QStringList{"nameEdit=pit", "endRadio", "lowEdit=0.25", "highEdit=0.75"};
    }

    void selectingALineFillsTheFields()
    {
        QFETCH(int, kind);
        QFETCH(QString, given);
        QFETCH(QStringList, fields);
        dialog(kind)->show();
        give(kind, {given});
        QVERIFY(selectLine(list(kind), QStringLiteral("pit")));
        checkFields(dialog(kind), fields);
    }

    void deleteNeedsALineAndRemovesIt_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("hole") << int(kHoles) << "Select a hole to delete.";
        QTest::newRow("site") << int(kSites) << "Select a site to delete.";
    }

    void deleteNeedsALineAndRemovesIt()
    {
        QFETCH(int, kind);
        QFETCH(QString, refusal);
        dialog(kind)->show();
        if (kind == kHoles) give(kind, {QStringLiteral("left 0.25 0.75 0.4 0.6")});
        doc->SetModifiedFlag(false);
        click(dialog(kind), "deleteButton");
        QCOMPARE(boxes->texts, QStringList{refusal});
        QCOMPARE(entries(kind), std::size_t{1});
        QVERIFY(!doc->IsModified());

        QVERIFY(selectLine(list(kind), QStringLiteral("left")));
        click(dialog(kind), "deleteButton");
        QCOMPARE(boxes->texts.size(), 1);
        QCOMPARE(entries(kind), std::size_t{0});
        QCOMPARE(list(kind)->count(), 0);
        QVERIFY(doc->IsModified());
    }
};

MARLWICK_REGISTER_QTEST(DialogSurfaceEntriesTest)
#include "DialogSurfaceEntriesTest.moc"
