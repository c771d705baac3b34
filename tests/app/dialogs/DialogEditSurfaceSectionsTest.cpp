// The cross-section dialog driven through its widgets (offscreen): each
// slider, radio group, check box and button reaching the transforms (whose
// rules the design tests pin), a refusal leaving the records as they were;
// Save and Close.

#include "QtTestRegistry.h"
#include "design/DesignHistory.h"
#include "design/Groups.h"
#include "dialogs/DialogEditCrossSectionShape.h"
#include "dialogs/DialogEditSurfaceSections.h"
#include "dialogs/DialogTestSupport.h"
#include "panel/PanelTestSupport.h"

#include <QListWidget>
#include <QSpinBox>
#include <QtTest>

#include <algorithm>
#include <memory>

using namespace design;

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
    // A channel of 5 points and 6 cross sections, the dialog opened on it.
    SurfaceSection& open()
    {
        SurfaceSection* s = doc->CreateChannelSurface("s", 5, 2);
        doc->selectedSurface = s;
        dialog->Open();
        return *s;
    }
    static bool recordsAreBackups(const SurfaceSection& s)
    {
        return std::equal(s.sections.begin(), s.sections.begin() + s.sectionCount, s.spareSections.begin(),
                          [](const CrossSection& live, const CrossSection& backup) {
                              return live.position == backup.position && live.direction == backup.direction &&
                                     live.up == backup.up && live.scale == backup.scale;
                          });
    }

private slots:
    void init()
    {
        doc = std::make_unique<COpenGLTemplateDoc>();
        doc->OnNewDocument();
        dialog = std::make_unique<DialogEditSurfaceSections>(*doc);
        boxes = std::make_unique<MessageBoxAnswers>();
    }

    void cleanup() { boxes.reset(); dialog.reset(); doc.reset(); }

    // A refused value, or one ignored (several lines with subsequent on),
    // leaves the records as they were and the spin box at 0.
    void valueChangesAreRefusedAsTheRulesSay_data()
    {
        QTest::addColumn<QList<int>>("lines");
        QTest::addColumn<bool>("subsequent");
        QTest::addColumn<QString>("radio");
        QTest::addColumn<QString>("spin");
        QTest::addColumn<QString>("refusal");
        QTest::addColumn<bool>("applied");
        const QList<int> second{1}, firstPair{0, 1}, middle{2}, last{5}, two{2, 3};
        QTest::newRow("one of the first pair, rotate") << second << false << "" << "rotationSpin" << kEndsTogether
                                                       << false;
        QTest::newRow("one of a pair, forward-backward") << second << false << "forwardBackwardRadio" << "moveSpin"
                                                         << "" << true;
        QTest::newRow("first pair about the channel") << firstPair << false << "channelAxisRadio" << "rotationSpin"
                                                      << "" << true;
        QTest::newRow("subsequent from the last") << last << true << "" << "scaleSpin" << kLastNotAlone << false;
        QTest::newRow("subsequent from the second") << second << true << "" << "moveSpin" << kSecondNotAlone << false;
        QTest::newRow("subsequent from the middle") << middle << true << "" << "rotationSpin" << "" << true;
        QTest::newRow("subsequent on two lines, ignored") << two << true << "" << "moveSpin" << "" << false;
    }

    void valueChangesAreRefusedAsTheRulesSay()
    {
        QFETCH(QList<int>, lines);
        QFETCH(bool, subsequent);
        QFETCH(QString, radio);
        QFETCH(QString, spin);
        QFETCH(QString, refusal);
        QFETCH(bool, applied);
        SurfaceSection& s = open();
        QVERIFY(dialog->isVisible());
        if (subsequent) click(QStringLiteral("subsequentCheck"));
        if (!radio.isEmpty()) click(radio);
        selectLines(lines);
        control<QSpinBox>(spin)->setValue(10);
        QCOMPARE(boxes->texts, refusal.isEmpty() ? QStringList() : QStringList{refusal});
        QCOMPARE(recordsAreBackups(s), !applied);
        QCOMPARE(control<QSpinBox>(spin)->value(), applied ? 10 : 0);
    }

    void buttonRefusals_data()
    {
        QTest::addColumn<QList<int>>("lines");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("edit shape, nothing selected") << QList<int>() << "editShapeButton" << kEditShapeNeedsSelection;
        QTest::newRow("edit shape, split pair") << QList<int>{5} << "editShapeButton" << kEndsTogether;
        QTest::newRow("copy two") << QList<int>{2, 3} << "copyButton" << kCopyNeedsOne;
    }

    void buttonRefusals()
    {
        QFETCH(QList<int>, lines);
        QFETCH(QString, button);
        QFETCH(QString, refusal);
        open();
        selectLines(lines);
        click(button);
        QCOMPARE(boxes->texts, QStringList{refusal});
        QVERIFY(!dialog->shapeDialog()->isVisible());
    }

    // A value previews at once; Save keeps it. While open the
    // dialog holds the history; closing after a save records one step, which
    // undo takes back whole.
    void scaleStepsPreviewAndSaveThenCloseIsOneStep()
    {
        doc->StartHistory();
        const std::vector<std::uint8_t> before = doc->SerializeDocument();
        SurfaceSection& s = *doc->surfaces[0];
        doc->selectedSurface = &s;
        dialog->Open();
        selectLines({2, 3});
        control<QSpinBox>(QStringLiteral("scaleSpin"))->setValue(50);
        QCOMPARE(s.sections[2].scale, 1.5);
        QCOMPARE(s.sections[4].scale, 1.0);
        QVERIFY(!doc->IsModified());
        click(QStringLiteral("saveButton"));
        QCOMPARE(s.spareSections[2].scale, 1.5);
        QCOMPARE(control<QSpinBox>(QStringLiteral("scaleSpin"))->value(), 0);
        QVERIFY(doc->IsModified());
        QVERIFY(!CanUndo(*doc));
        click(QStringLiteral("closeButton"));
        QVERIFY(!dialog->isVisible());
        QCOMPARE(s.sections[2].scale, 1.5);
        QCOMPARE(UndoStepName(*doc), std::string(kStepTransformSections));
        const std::vector<std::uint8_t> after = doc->SerializeDocument();
        QVERIFY(after != before);
        QVERIFY(Undo(*doc).ok());
        QVERIFY(doc->SerializeDocument() == before);
        QVERIFY(Redo(*doc).ok());
        QVERIFY(doc->SerializeDocument() == after);
    }

    // The editing display it gives the surface and takes back is the design tests' part.
    void closeWithoutSaveRestoresTheSections()
    {
        SurfaceSection& s = open();
        const auto before = s.sections;
        QCOMPARE(control<QListWidget>(QStringLiteral("sectionList"))->count(), s.sectionCount);
        QCOMPARE(control<QListWidget>(QStringLiteral("sectionList"))->item(0)->text(), QStringLiteral("1"));
        click(QStringLiteral("selectAllButton"));
        control<QSpinBox>(QStringLiteral("moveSpin"))->setValue(30);
        QVERIFY(!(s.sections[2].position == before[2].position));
        click(QStringLiteral("closeButton"));
        for (int i = 0; i < s.sectionCount; ++i) QCOMPARE(s.sections[i].position, before[i].position);
        QVERIFY(!s.editingSections);
        QVERIFY(!doc->IsModified());
    }

    void copyAndPasteCarryAScale()
    {
        SurfaceSection& s = open();
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
        SurfaceSection& s = open();
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
        open();
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
