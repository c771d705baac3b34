// The cross-section dialog driven through its widgets (offscreen): the
// refusals of each kind of surface and selection, each leaving the records
// as they were; the scale step; reverting on a new axis; Save and Close.

#include "design/CircularSurface.h"
#include "QtTestRegistry.h"
#include "design/DesignHistory.h"
#include "design/Groups.h"
#include "dialogs/DialogEditCrossSectionShape.h"
#include "dialogs/DialogEditSurfaceSections.h"
#include "dialogs/DialogTestSupport.h"
#include "panel/PanelTestSupport.h"

#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QtTest>

#include <memory>

using namespace design;

namespace {

enum SurfaceKind { kChannel, kCircular, kAttached };

} // namespace

class DialogEditSurfaceSectionsTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<COpenGLTemplateDoc> doc;
    std::unique_ptr<DialogEditSurfaceSections> dialog;
    std::unique_ptr<MessageBoxAnswers> boxes;

    template <typename T = QWidget>
    T* control(const QString& name)
    {
        return dialogtest::control<T>(dialog.get(), name);
    }
    void click(const QString& name) { dialogtest::clickWithMouse(control<QAbstractButton>(name)); }
    // Clicks the lines (0-based) of the list, as a person toggles them.
    void selectLines(const QList<int>& lines)
    {
        dialogtest::clickLines(control<QListWidget>(QStringLiteral("sectionList")), lines);
    }
    SurfaceSection& open(SurfaceKind kind, int intermediate)
    {
        SurfaceSection* s = kind == kCircular ? CreateCircularSurface(*doc, "ring", kHalf, 4, intermediate, 1.0, 3.0)
                                              : doc->CreateChannelSurface("s", 5, intermediate);
        if (kind == kAttached) s->surfaceType = kTypeAttached;
        doc->selectedSurface = s;
        dialog->Open();
        return *s;
    }
    static bool recordsAreBackups(const SurfaceSection& s)
    {
        for (int i = 0; i < s.sectionCount; ++i) {
            const CrossSection& live = s.sections[i];
            const CrossSection& backup = s.spareSections[i];
            if (!(live.position == backup.position && live.direction == backup.direction && live.up == backup.up &&
                  live.scale == backup.scale))
                return false;
        }
        return true;
    }

private slots:
    void init()
    {
        doc = std::make_unique<COpenGLTemplateDoc>();
        doc->OnNewDocument();
        dialog = std::make_unique<DialogEditSurfaceSections>(*doc);
        boxes = std::make_unique<MessageBoxAnswers>();
    }

    void cleanup()
    {
        boxes.reset();
        dialog.reset();
        doc.reset();
    }

    void valueChangesAreRefusedAsTheRulesSay_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("intermediate");
        QTest::addColumn<QList<int>>("lines");
        QTest::addColumn<bool>("subsequent");
        QTest::addColumn<QString>("radio");
        QTest::addColumn<QString>("spin");
        QTest::addColumn<QString>("refusal");
        const QList<int> second{1}, firstPair{0, 1}, middle{2}, last{5};
        QTest::newRow("one of the first pair, rotate") << int(kChannel) << 0 << second << false << "" << "rotationSpin"
                                                       << kEndsTogether;
        QTest::newRow("one of the first pair, move") << int(kChannel) << 0 << second << false << "" << "moveSpin"
                                                     << kEndsTogether;
        QTest::newRow("one of the first pair, scale") << int(kChannel) << 0 << second << false << "" << "scaleSpin"
                                                      << kEndsTogether;
        QTest::newRow("one of a pair, forward-backward") << int(kChannel) << 0 << second << false
                                                         << "forwardBackwardRadio" << "moveSpin" << "";
        QTest::newRow("first pair about up-down") << int(kChannel) << 2 << firstPair << false << "" << "rotationSpin"
                                                  << kEndsChannelAxisOnly;
        QTest::newRow("first pair about the channel") << int(kChannel) << 2 << firstPair << false << "channelAxisRadio"
                                                      << "rotationSpin" << "";
        QTest::newRow("subsequent from the last") << int(kChannel) << 2 << last << true << "" << "scaleSpin"
                                                  << kLastNotAlone;
        QTest::newRow("subsequent from the second") << int(kChannel) << 2 << second << true << "" << "moveSpin"
                                                    << kSecondNotAlone;
        QTest::newRow("subsequent from the middle") << int(kChannel) << 2 << middle << true << "" << "rotationSpin"
                                                    << "";
        QTest::newRow("circular, some rotated") << int(kCircular) << 3 << middle << false << "channelAxisRadio"
                                                << "rotationSpin" << kRotateAllCircular;
        QTest::newRow("circular, one moved sideways") << int(kCircular) << 3 << middle << false << ""
                                                      << "moveSpin" << kCircularMoveRule;
        QTest::newRow("circular, one moved up") << int(kCircular) << 3 << middle << false << "upDownRadio"
                                                << "moveSpin" << "";
        QTest::newRow("attached, first pair") << int(kAttached) << 2 << firstPair << false << "channelAxisRadio"
                                              << "rotationSpin" << kAttachedFixed;
    }

    void valueChangesAreRefusedAsTheRulesSay()
    {
        QFETCH(int, kind);
        QFETCH(int, intermediate);
        QFETCH(QList<int>, lines);
        QFETCH(bool, subsequent);
        QFETCH(QString, radio);
        QFETCH(QString, spin);
        QFETCH(QString, refusal);
        SurfaceSection& s = open(static_cast<SurfaceKind>(kind), intermediate);
        QVERIFY(dialog->isVisible());
        if (subsequent) click(QStringLiteral("subsequentCheck"));
        if (!radio.isEmpty()) click(radio);
        selectLines(lines);
        control<QSpinBox>(spin)->setValue(10);
        if (refusal.isEmpty()) {
            QCOMPARE(boxes->texts, QStringList());
            QVERIFY(!recordsAreBackups(s));
            QCOMPARE(control<QSpinBox>(spin)->value(), 10);
        } else {
            QCOMPARE(boxes->texts, QStringList{refusal});
            QVERIFY(recordsAreBackups(s));
            QCOMPARE(control<QSpinBox>(spin)->value(), 0);
        }
    }

    void buttonRefusals_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QList<int>>("lines");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("edit shape, nothing selected") << int(kChannel) << QList<int>() << "editShapeButton"
                                                      << kEditShapeNeedsSelection;
        QTest::newRow("edit shape, split pair") << int(kChannel) << QList<int>{5} << "editShapeButton"
                                                << kEndsTogether;
        QTest::newRow("edit shape, circular") << int(kCircular) << QList<int>{2} << "editShapeButton"
                                              << kCircularShapeFixed;
        QTest::newRow("edit shape, attached") << int(kAttached) << QList<int>{0, 1} << "editShapeButton"
                                              << kAttachedShapeFixed;
        QTest::newRow("copy two") << int(kChannel) << QList<int>{2, 3} << "copyButton" << kCopyNeedsOne;
    }

    void buttonRefusals()
    {
        QFETCH(int, kind);
        QFETCH(QList<int>, lines);
        QFETCH(QString, button);
        QFETCH(QString, refusal);
        open(static_cast<SurfaceKind>(kind), 3);
        selectLines(lines);
        click(button);
        QCOMPARE(boxes->texts, QStringList{refusal});
        QVERIFY(!dialog->shapeDialog()->isVisible());
    }

    void scaleStepsPreviewFromTheBackupAndSaveKeepsThem()
    {
        SurfaceSection& s = open(kChannel, 2);
        selectLines({2, 3});
        control<QSpinBox>(QStringLiteral("scaleSpin"))->setValue(-50);
        QCOMPARE(s.sections[2].scale, 0.75);
        QCOMPARE(s.sections[3].scale, 0.75);
        QCOMPARE(s.sections[4].scale, 1.0);
        // The next value starts again from the backup, not from 0.75.
        control<QSpinBox>(QStringLiteral("scaleSpin"))->setValue(50);
        QCOMPARE(s.sections[2].scale, 1.5);
        QVERIFY(!doc->IsModified());
        click(QStringLiteral("saveButton"));
        QCOMPARE(s.spareSections[2].scale, 1.5);
        QCOMPARE(control<QSpinBox>(QStringLiteral("scaleSpin"))->value(), 0);
        QVERIFY(doc->IsModified());
        click(QStringLiteral("closeButton"));
        QVERIFY(!dialog->isVisible());
        QCOMPARE(s.sections[2].scale, 1.5);
    }

    // While open the dialog holds the history; closing after a save records
    // one step, which undo takes back whole.
    void closingAfterASaveIsOneStepThatUndoTakesBack()
    {
        doc->CreateChannelSurface("s", 5, 2);
        doc->StartHistory();
        const std::vector<std::uint8_t> before = doc->SerializeDocument();
        doc->selectedSurface = doc->surfaces.back().get();
        dialog->Open();
        selectLines({2, 3});
        control<QSpinBox>(QStringLiteral("scaleSpin"))->setValue(-50);
        click(QStringLiteral("saveButton"));
        QVERIFY(!CanUndo(*doc));
        click(QStringLiteral("closeButton"));
        QCOMPARE(UndoStepName(*doc), std::string(kStepTransformSections));
        const std::vector<std::uint8_t> after = doc->SerializeDocument();
        QVERIFY(after != before);
        QVERIFY(Undo(*doc).ok());
        QVERIFY(doc->SerializeDocument() == before);
        QVERIFY(Redo(*doc).ok());
        QVERIFY(doc->SerializeDocument() == after);
    }

    void changingTheAxisAfterRotatingReverts()
    {
        SurfaceSection& s = open(kChannel, 2);
        selectLines({2});
        control<QSpinBox>(QStringLiteral("rotationSpin"))->setValue(40);
        QVERIFY(!(s.sections[2].direction == s.spareSections[2].direction));
        click(QStringLiteral("rightLeftAxisRadio"));
        QVERIFY(recordsAreBackups(s));
        QCOMPARE(control<QSpinBox>(QStringLiteral("rotationSpin"))->value(), 0);
        QCOMPARE(boxes->texts, QStringList());
    }

    void severalLinesWithSubsequentLeaveTheValueWhereItWas()
    {
        SurfaceSection& s = open(kChannel, 2);
        click(QStringLiteral("subsequentCheck"));
        selectLines({2, 3});
        control<QSpinBox>(QStringLiteral("moveSpin"))->setValue(20);
        QCOMPARE(control<QSpinBox>(QStringLiteral("moveSpin"))->value(), 0);
        QVERIFY(recordsAreBackups(s));
        QCOMPARE(boxes->texts, QStringList());
    }

    void theEditingDisplayLastsWhileOpenAndCloseWithoutSaveRestores()
    {
        SurfaceSection& s = doc->surfaces[0].operator*();
        s.showSurfaceTriangles = 1;
        s.coloring = Coloring::TangentAngle;
        s.showControlLines = 0;
        doc->selectedSurface = &s;
        const auto before = s.sections;
        dialog->Open();
        QCOMPARE(control<QListWidget>(QStringLiteral("sectionList"))->count(), s.sectionCount);
        QCOMPARE(control<QListWidget>(QStringLiteral("sectionList"))->item(0)->text(), QStringLiteral("1"));
        QCOMPARE(s.showControlLines, 1);
        QCOMPARE(s.showSurfaceTriangles, 0);
        QCOMPARE(s.coloring, Coloring::Constant);
        QVERIFY(s.editingSections);
        click(QStringLiteral("selectAllButton"));
        control<QSpinBox>(QStringLiteral("moveSpin"))->setValue(30);
        QVERIFY(!(s.sections[2].position == before[2].position));
        click(QStringLiteral("closeButton"));
        for (int i = 0; i < s.sectionCount; ++i) QCOMPARE(s.sections[i].position, before[i].position);
        QCOMPARE(s.showControlLines, 0);
        QCOMPARE(s.showSurfaceTriangles, 1);
        QCOMPARE(s.coloring, Coloring::TangentAngle);
        QVERIFY(!s.editingSections);
        QVERIFY(!doc->IsModified());
    }

    void copyAndPasteCarryAScale()
    {
        SurfaceSection& s = open(kChannel, 2);
        selectLines({2});
        control<QSpinBox>(QStringLiteral("scaleSpin"))->setValue(100);
        click(QStringLiteral("saveButton"));
        click(QStringLiteral("copyButton"));
        selectLines({2, 3}); // toggles 2 off, 3 on
        click(QStringLiteral("pasteButton"));
        QCOMPARE(s.sections[3].scale, 2.0);
        QCOMPARE(s.sections[2].scale, 2.0);
        QCOMPARE(boxes->texts, QStringList());
    }

    void aSurfaceDeletedWhileOpenClosesBothDialogs()
    {
        SurfaceSection& s = open(kChannel, 2);
        selectLines({2, 3});
        click(QStringLiteral("editShapeButton"));
        QVERIFY(dialog->shapeDialog()->isVisible());
        DeleteSurface(*doc, s);
        control<QSpinBox>(QStringLiteral("scaleSpin"))->setValue(30);
        QVERIFY(!dialog->isVisible());
        QVERIFY(!dialog->shapeDialog()->isVisible());
        QCOMPARE(dialog->editor().surface(), nullptr);
    }

    void editShapeOpensTheShapeEditorForTheSelection()
    {
        open(kChannel, 2);
        selectLines({2, 3});
        click(QStringLiteral("editShapeButton"));
        QVERIFY(dialog->shapeDialog()->isVisible());
        click(QStringLiteral("closeButton"));
        QVERIFY(!dialog->shapeDialog()->isVisible());
        QVERIFY(!dialog->isVisible());
    }
};

MARLWICK_REGISTER_QTEST(DialogEditSurfaceSectionsTest)
#include "DialogEditSurfaceSectionsTest.moc"
