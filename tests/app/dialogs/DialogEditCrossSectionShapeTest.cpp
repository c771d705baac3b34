// The shape editor driven through its widgets (offscreen), opened from the
// cross-section dialog for two cross sections of a 5-point channel: mirror,
// dragging a point with the mouse (the surface follows), snapping, choosing
// templates, storing templates in a temporary file, Save and Close.

#include "design/Groups.h"
#include "QtTestRegistry.h"
#include "dialogs/DialogEditCrossSectionShape.h"
#include "dialogs/DialogEditSurfaceSections.h"
#include "dialogs/DialogTestSupport.h"
#include "dialogs/ShapeDrawingArea.h"
#include "panel/PanelTestSupport.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <memory>

using namespace design;

class DialogEditCrossSectionShapeTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> folder;
    std::unique_ptr<COpenGLTemplateDoc> doc;
    std::unique_ptr<DialogEditSurfaceSections> sections;
    std::unique_ptr<MessageBoxAnswers> boxes;
    SurfaceSection* surface = nullptr;
    std::array<CrossSection, kMaxSections> opened{};

    DialogEditCrossSectionShape* dialog() { return sections->shapeDialog(); }
    template <typename T = QWidget>
    T* control(const QString& name)
    {
        return dialogtest::control<T>(dialog(), name);
    }
    void click(QAbstractButton* button) { dialogtest::clickWithMouse(button); }
    void click(const QString& name) { click(control<QAbstractButton>(name)); }
    ShapeDrawingArea* area() { return control<ShapeDrawingArea>(QStringLiteral("shapeDrawingArea")); }
    const CrossSectionShape& shape() { return dialog()->editor().currentShape(); }
    QString templatePath() const { return folder->filePath(QStringLiteral("cross_sections.dat")); }
    QPoint screenOf(int point)
    {
        const auto [x, y] = area()->view().ToScreen(shape().points[point]);
        return QPointF(x, y).toPoint();
    }
    // A press on the point, a move to `to` and a release, as the mouse does.
    void drag(int point, QPoint to)
    {
        QTest::mousePress(area(), Qt::LeftButton, {}, screenOf(point));
        QTest::mouseMove(area(), to);
        QTest::mouseRelease(area(), Qt::LeftButton, {}, to);
    }
    // Picks a row of the combo box with the keyboard.
    void chooseTemplate(int row)
    {
        auto* combo = control<QComboBox>(QStringLiteral("templateCombo"));
        combo->setFocus();
        combo->setCurrentIndex(row - 1);
        QTest::keyClick(combo, Qt::Key_Down);
    }
    static bool sameShape(const CrossSectionShape& a, const CrossSectionShape& b)
    {
        return a.count == b.count && std::equal(a.points, a.points + a.count, b.points);
    }

private slots:
    void init()
    {
        folder = std::make_unique<QTemporaryDir>();
        QVERIFY(WriteTemplateFile(templatePath().toStdString(), StandardTemplates()));
        doc = std::make_unique<COpenGLTemplateDoc>();
        doc->OnNewDocument();
        doc->templatePath = templatePath().toStdString();
        surface = doc->CreateChannelSurface("s", 5, 2);
        doc->selectedSurface = surface;
        sections = std::make_unique<DialogEditSurfaceSections>(*doc);
        boxes = std::make_unique<MessageBoxAnswers>();
        sections->Open();
        opened = surface->sections;
        dialogtest::clickLines(dialogtest::control<QListWidget>(sections.get(), "sectionList"), {2, 3});
        click(dialogtest::control<QPushButton>(sections.get(), "editShapeButton"));
        QVERIFY(dialog()->isVisible());
        dialog()->resize(640, 480);
        QCOMPARE(boxes->texts, QStringList());
    }

    void cleanup() { boxes.reset(); sections.reset(); doc.reset(); folder.reset(); }

    // Mirroring twice is the design tests' part.
    void mirrorReversesTheShape()
    {
        drag(1, screenOf(1) + QPoint(0, -15)); // an unsymmetric shape
        const CrossSectionShape start = shape();
        click(QStringLiteral("mirrorButton"));
        for (int k = 0; k < start.count; ++k) {
            QCOMPARE(shape().points[k].x, -start.points[start.count - 1 - k].x);
            QCOMPARE(shape().points[k].y, start.points[start.count - 1 - k].y);
        }
    }

    void aDragMovesThePointAndTheSurfaceFollows_data()
    {
        QTest::addColumn<int>("point");
        QTest::addColumn<QPoint>("by");
        QTest::newRow("middle up-right") << 2 << QPoint(10, -10);
        QTest::newRow("first down-left") << 0 << QPoint(-7, 12);
    }

    void aDragMovesThePointAndTheSurfaceFollows()
    {
        QFETCH(int, point);
        QFETCH(QPoint, by);
        const Vec3 before = shape().points[point];
        const double scale = area()->view().scale;
        drag(point, screenOf(point) + by);
        const Vec3 after = shape().points[point];
        QCOMPARE(after.x, before.x + scale * by.x());
        QCOMPARE(after.y, before.y - scale * by.y());
        for (int i : {2, 3}) QCOMPARE(surface->sections[i].points[point], after);
        QCOMPARE(surface->sections[1].points[point], opened[1].points[point]);
    }

    // With "Snap to grid" a drag ending 3 pixels from a grid line ends on it
    // (how near is near enough is the design tests' part).
    void snapToGridCatchesANearLine()
    {
        click(QStringLiteral("snapToGridCheck"));
        const QPoint from = screenOf(2);
        const int line = (from.x() / ShapeView::kGridSpacing + 1) * ShapeView::kGridSpacing;
        const Vec3 before = shape().points[2];
        drag(2, QPoint(line + 3, from.y()));
        QCOMPARE(shape().points[2].x, before.x + area()->view().scale * (line - from.x()));
    }

    void aTemplateOfAnotherCountIsRefusedWithTheSurfacesCount()
    {
        const CrossSectionShape before = shape();
        chooseTemplate(1); // "Floor 7"
        QCOMPARE(boxes->texts, QStringList{QString::fromStdString(PointCountMessage(5))});
        QVERIFY(sameShape(shape(), before));
        QCOMPARE(dialog()->editor().currentTemplate(), -1);
        chooseTemplate(2); // "V 5"
        QCOMPARE(dialog()->editor().currentTemplate(), 2);
        QCOMPARE(control<QLineEdit>(QStringLiteral("templateNameEdit"))->text(), QStringLiteral("V 5"));
        QCOMPARE(shape().points[0].y, 2.0);
    }

    // Which bytes of the file change, and that a new template is one record
    // more, is the design tests' part.
    void saveTemplateRewritesTheChosenTemplate()
    {
        click(QStringLiteral("saveTemplateButton"));
        QCOMPARE(boxes->texts, QStringList{QString::fromLatin1(kNotYetTemplate)});
        chooseTemplate(4); // "U 5"
        drag(2, screenOf(2) + QPoint(0, 20));
        click(QStringLiteral("saveTemplateButton"));
        std::vector<CrossSectionTemplate> read;
        QVERIFY(ReadTemplateFile(templatePath().toStdString(), read));
        QVERIFY(sameShape(read[4].shape, shape()));
    }

    void saveNewTemplateAppendsARecord()
    {
        click(QStringLiteral("saveNewTemplateButton"));
        QCOMPARE(boxes->texts, QStringList{QString::fromLatin1(kTemplateNameMissing)});
        QTest::keyClicks(control<QLineEdit>(QStringLiteral("templateNameEdit")), QStringLiteral("Gutter"));
        click(QStringLiteral("saveNewTemplateButton"));
        auto* combo = control<QComboBox>(QStringLiteral("templateCombo"));
        QCOMPARE(combo->currentText(), QStringLiteral("Gutter"));
        QCOMPARE(combo->count(), static_cast<int>(StandardTemplates().size()) + 1);
    }

    void closeKeepsTheShapeOnlyAfterASave_data()
    {
        QTest::addColumn<bool>("saved");
        QTest::newRow("saved") << true;
        QTest::newRow("not saved") << false;
    }

    void closeKeepsTheShapeOnlyAfterASave()
    {
        QFETCH(bool, saved);
        drag(2, screenOf(2) + QPoint(5, 25));
        const Vec3 moved = shape().points[2];
        QVERIFY(!(surface->sections[2].points[2] == opened[2].points[2]));
        if (saved) click(QStringLiteral("saveShapeButton"));
        click(QStringLiteral("closeShapeButton"));
        QVERIFY(!dialog()->isVisible());
        for (int i = 0; i < surface->sectionCount; ++i)
            for (int k = 0; k < 5; ++k)
                QCOMPARE(surface->sections[i].points[k], saved && (i == 2 || i == 3) && k == 2 ? moved : opened[i].points[k]);
        if (saved) QCOMPARE(surface->spareSections[3].points[2], moved);
        QCOMPARE(doc->IsModified(), saved);
    }

    void aDragAfterTheSurfaceWasDeletedClosesTheEditor()
    {
        const int before = static_cast<int>(doc->surfaces.size());
        DeleteSurface(*doc, *surface);
        drag(2, screenOf(2) + QPoint(5, 25));
        QVERIFY(!dialog()->isVisible());
        QCOMPARE(static_cast<int>(doc->surfaces.size()), before - 1);
        click(sections->findChild<QPushButton*>(QStringLiteral("closeButton")));
        QVERIFY(!sections->isVisible());
    }
};

MARLWICK_REGISTER_QTEST(DialogEditCrossSectionShapeTest)
#include "DialogEditCrossSectionShapeTest.moc"
