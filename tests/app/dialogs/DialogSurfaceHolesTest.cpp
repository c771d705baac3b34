// The holes dialog driven through its widgets: the checks of "Add new" in
// order, the hole cut at once, selecting and deleting.

#include "dialogs/DialogSurfaceHoles.h"

#include "design/AttachmentSites.h"
#include "QtTestRegistry.h"
#include "design/ChannelCreation.h"
#include "design/Holes.h"
#include "dialogs/DialogTestSupport.h"
#include "surface/SurfaceSection.h"

#include <memory>

using namespace dialogtest;

namespace {

// A hole given as "name rightLeftLow rightLeftHigh frontBackLow frontBackHigh".
design::DesignResult addGiven(SurfaceSection& surface, const QString& hole)
{
    const QStringList p = hole.split(' ');
    return design::AddHole(surface, p[0].toStdString(), p[1].toDouble(), p[2].toDouble(), p[3].toDouble(),
                           p[4].toDouble());
}

} // namespace

class DialogSurfaceHolesTest : public QObject {
    Q_OBJECT

    std::unique_ptr<COpenGLTemplateDoc> doc;
    std::unique_ptr<DialogSurfaceHoles> dialog;
    std::unique_ptr<MessageBoxAnswers> boxes;
    SurfaceSection* surface = nullptr;

    QListWidget* holeList() { return control<QListWidget>(dialog.get(), "holeList"); }

private slots:
    void init()
    {
        doc = std::make_unique<COpenGLTemplateDoc>();
        doc->OnNewDocument();
        surface = doc->surfaces[0].get();
        doc->selectedSurface = surface;
        dialog = std::make_unique<DialogSurfaceHoles>(*doc);
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
        QTest::addColumn<QStringList>("given");
        QTest::addColumn<QString>("hole"); // as given, typed into the fields
        QTest::addColumn<QString>("message");
        QTest::newRow("holes that only touch are accepted")
            << QStringList{"first 0.0 0.5 0.0 0.5"} << "second 0.5 1.0 0.0 0.5" << "";
        QTest::newRow("an overlap is refused naming the first hole")
            << QStringList{"first 0.4 0.6 0.4 0.6", "second 0.1 0.3 0.1 0.3"} << "third 0.2 0.8 0.2 0.8"
            << "The proposed hole would overalap the hole named first.";
        QTest::newRow("overlapping one hole across and another along is accepted")
            << QStringList{"across 0.2 0.4 0.0 0.1", "along 0.0 0.1 0.2 0.4"} << "corner 0.3 0.5 0.3 0.5" << "";
        QTest::newRow("names compare without regard to case")
            << QStringList{"Attachment 0.0 0.2 0.0 1.0"} << "attachment 0.5 0.6 0.5 0.6"
            << "A hole already exists for the current surface with that name.";
        QTest::newRow("a blank name") << QStringList() << " 0.1 0.2 0.1 0.2"
                                      << "The new hole name must not be blank.";
        QTest::newRow("an empty range") << QStringList() << "flat 0.3 0.3 0.1 0.2"
                                        << "The parameter ranges must be greater than 0.";
        QTest::newRow("a reversed range") << QStringList() << "back 0.1 0.2 0.6 0.3"
                                          << "The low end of each parameter range must be less than the high end.";
        QTest::newRow("a number beyond the unit range")
            << QStringList() << "far 0.1 0.2 -0.5 0.3"
            << QString::fromStdString(design::NumberRangePrompt(design::kParameterLow, design::kParameterHigh));
    }
    void addNewChecksInOrder()
    {
        QFETCH(QStringList, given);
        QFETCH(QString, hole);
        QFETCH(QString, message);
        for (const QString& h : given) QCOMPARE(addGiven(*surface, h), "");
        dialog->Refresh();
        doc->SetModifiedFlag(false);
        surface->drawingCache.valid[DrawingCache::kHoles] = true;
        const std::size_t before = surface->holes.size();

        const QStringList p = hole.split(' ');
        type(dialog.get(), "nameEdit", p[0]);
        type(dialog.get(), "rightLeftLowEdit", p[1]);
        type(dialog.get(), "rightLeftHighEdit", p[2]);
        type(dialog.get(), "frontBackLowEdit", p[3]);
        type(dialog.get(), "frontBackHighEdit", p[4]);
        click(dialog.get(), "addButton");

        if (message.isEmpty()) {
            QCOMPARE(boxes->texts, QStringList());
            QCOMPARE(surface->holes.size(), before + 1);
            const SurfaceHole& added = surface->holes.back();
            QCOMPARE(QString::fromStdString(textOf(added.name)), p[0]);
            QCOMPARE(added.rightLeftLow, p[1].toDouble());
            QCOMPARE(added.rightLeftHigh, p[2].toDouble());
            QCOMPARE(added.frontBackLow, p[3].toDouble());
            QCOMPARE(added.frontBackHigh, p[4].toDouble());
            QCOMPARE(lines(holeList()).last(), p[0]);
            // Cut at once: the ball and the drawing see it.
            QVERIFY(PointInHole(added, 0.5 * (added.rightLeftLow + added.rightLeftHigh),
                                0.5 * (added.frontBackLow + added.frontBackHigh)));
            QVERIFY(!surface->drawingCache.valid[DrawingCache::kHoles]);
            QVERIFY(doc->IsModified());
        } else {
            QCOMPARE(boxes->texts, QStringList{message});
            QCOMPARE(surface->holes.size(), before);
            QCOMPARE(holeList()->count(), static_cast<int>(before));
            QVERIFY(surface->drawingCache.valid[DrawingCache::kHoles]);
            QVERIFY(!doc->IsModified());
        }
    }

    void selectingALineFillsTheFields()
    {
        QCOMPARE(addGiven(*surface, QStringLiteral("pit 0.25 0.75 0.4 0.6")), "");
        dialog->Refresh();
        QVERIFY(selectLine(holeList(), QStringLiteral("pit")));
        QCOMPARE(control<QLineEdit>(dialog.get(), "nameEdit")->text(), QStringLiteral("pit"));
        QCOMPARE(control<QLineEdit>(dialog.get(), "rightLeftLowEdit")->text().toDouble(), 0.25);
        QCOMPARE(control<QLineEdit>(dialog.get(), "rightLeftHighEdit")->text().toDouble(), 0.75);
        QCOMPARE(control<QLineEdit>(dialog.get(), "frontBackLowEdit")->text().toDouble(), 0.4);
        QCOMPARE(control<QLineEdit>(dialog.get(), "frontBackHighEdit")->text().toDouble(), 0.6);
    }

    void deleteNeedsALineAndRemovesIt()
    {
        QCOMPARE(addGiven(*surface, QStringLiteral("pit 0.25 0.75 0.4 0.6")), "");
        dialog->Refresh();
        doc->SetModifiedFlag(false);
        click(dialog.get(), "deleteButton");
        QCOMPARE(boxes->texts, QStringList{"Select a hole to delete."});
        QCOMPARE(surface->holes.size(), std::size_t{1});
        QVERIFY(selectLine(holeList(), QStringLiteral("pit")));
        click(dialog.get(), "deleteButton");
        QCOMPARE(boxes->texts.size(), 1);
        QVERIFY(surface->holes.empty());
        QCOMPARE(holeList()->count(), 0);
        QVERIFY(doc->IsModified());
    }
};

MARLWICK_REGISTER_QTEST(DialogSurfaceHolesTest)
#include "DialogSurfaceHolesTest.moc"
