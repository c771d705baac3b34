// The sites dialog driven through its widgets: the checks of "Add new" in
// order, what an accepted site changes, selecting and deleting.

#include "dialogs/DialogSurfaceAttachmentSites.h"

#include "design/AttachmentSites.h"
#include "QtTestRegistry.h"
#include "design/ChannelCreation.h"
#include "dialogs/DialogTestSupport.h"
#include "surface/SurfaceSection.h"

#include <memory>

using namespace dialogtest;

namespace {

constexpr const char* kOverlapFirst = "The proposed attachment site would overlap the site named first.";

} // namespace

class DialogSurfaceAttachmentSitesTest : public QObject {
    Q_OBJECT

    std::unique_ptr<COpenGLTemplateDoc> doc;
    std::unique_ptr<DialogSurfaceAttachmentSites> dialog;
    std::unique_ptr<MessageBoxAnswers> boxes;
    SurfaceSection* surface = nullptr;

    QListWidget* siteList() { return control<QListWidget>(dialog.get(), "siteList"); }
    void addThroughDialog(const QString& name, const char* edgeRadio, const QString& low, const QString& high)
    {
        type(dialog.get(), "nameEdit", name);
        toggleAccessibly(control<QAbstractButton>(dialog.get(), edgeRadio));
        type(dialog.get(), "lowEdit", low);
        type(dialog.get(), "highEdit", high);
        click(dialog.get(), "addButton");
    }

private slots:
    // A channel with no sites but "left" over its whole edge.
    void init()
    {
        doc = std::make_unique<COpenGLTemplateDoc>();
        doc->OnNewDocument();
        surface = doc->surfaces[0].get();
        surface->attachmentSites.clear();
        QCOMPARE(design::AddSite(*surface, "left", SiteEdge::Left, 0.0, 1.0), "");
        doc->selectedSurface = surface;
        doc->SetModifiedFlag(false);
        dialog = std::make_unique<DialogSurfaceAttachmentSites>(*doc);
        dialog->show();
        boxes = std::make_unique<MessageBoxAnswers>();
    }
    void cleanup()
    {
        boxes.reset();
        dialog.reset();
        doc.reset();
    }

    void addNewChecksInOrder_data()
    {
        QTest::addColumn<QStringList>("given"); // "name edge low high" sites already there
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("edge");
        QTest::addColumn<QString>("low");
        QTest::addColumn<QString>("high");
        QTest::addColumn<QString>("message"); // "" when accepted
        const QStringList first{QStringLiteral("first begin 0.2 0.5")};
        QTest::newRow("a range touching another is accepted")
            << first << "second" << "beginningRadio" << "0.5" << "0.8" << "";
        QTest::newRow("an overlap is refused naming the first site")
            << (first + QStringList{QStringLiteral("second begin 0.5 0.8")}) << "third" << "beginningRadio" << "0.4"
            << "0.6" << kOverlapFirst;
        QTest::newRow("the same range on another edge is accepted")
            << first << "other" << "endRadio" << "0.2" << "0.5" << "";
        QTest::newRow("a whole range is refused over an inner one")
            << first << "whole" << "beginningRadio" << "0" << "1" << kOverlapFirst;
        QTest::newRow("names compare without regard to case")
            << QStringList() << "LEFT" << "rightRadio" << "0" << "0.5"
            << "A site already exists for the current surface with that name.";
        QTest::newRow("a blank name") << QStringList() << "" << "endRadio" << "0" << "1"
                                      << "The new site name must not be blank.";
        QTest::newRow("an empty range") << QStringList() << "flat" << "endRadio" << "0.3" << "0.3"
                                        << "The parameter range must be greater than 0.";
        QTest::newRow("a reversed range") << QStringList() << "back" << "endRadio" << "0.6" << "0.3"
                                          << "The low end of the parameter range must be less than the high end.";
        QTest::newRow("a number beyond the unit range")
            << QStringList() << "far" << "endRadio" << "0" << "1.5"
            << QString::fromStdString(design::NumberRangePrompt(design::kParameterLow, design::kParameterHigh));
        QTest::newRow("no number at all")
            << QStringList() << "far" << "endRadio" << "low" << "1"
            << QString::fromStdString(design::NumberRangePrompt(design::kParameterLow, design::kParameterHigh));
    }
    void addNewChecksInOrder()
    {
        QFETCH(QStringList, given);
        QFETCH(QString, name);
        QFETCH(QString, edge);
        QFETCH(QString, low);
        QFETCH(QString, high);
        QFETCH(QString, message);
        for (const QString& site : given) {
            const QStringList part = site.split(' ');
            QCOMPARE(design::AddSite(*surface, part[0].toStdString(), *design::SiteEdgeFromWord(part[1].toStdString()),
                                     part[2].toDouble(), part[3].toDouble()),
                     "");
        }
        dialog->Refresh();
        doc->SetModifiedFlag(false);
        surface->drawingCache.valid[DrawingCache::kSites] = true;
        const std::size_t before = surface->attachmentSites.size();

        addThroughDialog(name, edge.toLatin1().constData(), low, high);

        if (message.isEmpty()) {
            QCOMPARE(boxes->texts, QStringList());
            QCOMPARE(surface->attachmentSites.size(), before + 1);
            const QString line = QString::fromStdString(design::SiteListLine(surface->attachmentSites.back()));
            QCOMPARE(lines(siteList()).last(), line);
            QVERIFY(line.startsWith(name + QStringLiteral("   [")));
            QVERIFY(!surface->drawingCache.valid[DrawingCache::kSites]);
            QVERIFY(doc->IsModified());
            QVERIFY(control<QLineEdit>(dialog.get(), "nameEdit")->text().isEmpty());
            QVERIFY(control<QAbstractButton>(dialog.get(), "beginningRadio")->isChecked());
        } else {
            QCOMPARE(boxes->texts, QStringList{message});
            QCOMPARE(surface->attachmentSites.size(), before);
            QCOMPARE(siteList()->count(), static_cast<int>(before));
            QVERIFY(surface->drawingCache.valid[DrawingCache::kSites]);
            QVERIFY(!doc->IsModified());
        }
    }

    void selectingALineFillsTheFields()
    {
        QCOMPARE(design::AddSite(*surface, "gate", SiteEdge::End, 0.25, 0.75), "");
        dialog->Refresh();
        QCOMPARE(lines(siteList()), (QStringList{"left   [left, 0.00, 1.00]", "gate   [end, 0.25, 0.75]"}));
        QVERIFY(selectLine(siteList(), QStringLiteral("gate")));
        QCOMPARE(control<QLineEdit>(dialog.get(), "nameEdit")->text(), QStringLiteral("gate"));
        QVERIFY(control<QAbstractButton>(dialog.get(), "endRadio")->isChecked());
        QCOMPARE(control<QLineEdit>(dialog.get(), "lowEdit")->text().toDouble(), 0.25);
        QCOMPARE(control<QLineEdit>(dialog.get(), "highEdit")->text().toDouble(), 0.75);
    }

    void deleteNeedsALineAndRemovesIt()
    {
        click(dialog.get(), "deleteButton");
        QCOMPARE(boxes->texts, QStringList{"Select a site to delete."});
        QCOMPARE(surface->attachmentSites.size(), std::size_t{1});
        QVERIFY(!doc->IsModified());

        QVERIFY(selectLine(siteList(), QStringLiteral("left")));
        click(dialog.get(), "deleteButton");
        QCOMPARE(boxes->texts.size(), 1);
        QVERIFY(surface->attachmentSites.empty());
        QCOMPARE(siteList()->count(), 0);
        QVERIFY(doc->IsModified());
    }
};

MARLWICK_REGISTER_QTEST(DialogSurfaceAttachmentSitesTest)
#include "DialogSurfaceAttachmentSitesTest.moc"
