// The creation dialogs (" Create channel surface", " Create circular
// surface", " Create sweep surface") opened by the panel's buttons and driven
// through their fields: a field read out of its range and a refusal of the
// operation (whose checks the design tests pin), the surface created, and
// what a later show keeps.

#include "design/ChannelCreation.h"
#include "QtTestRegistry.h"
#include "design/CrossSectionTemplates.h"
#include "design/SweepSurface.h"
#include "dialogs/SurfaceDialogTestSupport.h"
#include "document/NameEncoding.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QTemporaryDir>
#include <QTreeWidget>

using namespace design;

namespace {
constexpr const char* kChannel = "createChannelDialog";
constexpr const char* kCircular = "createCircularDialog";
constexpr const char* kSweep = "createSweepDialog";
} // namespace

class DialogSurfaceCreateTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> folder;
    std::unique_ptr<PanelWithDialogs> p;
    QDialog* dialog(const char* name) { return p->control<QDialog>(name); }
    QString templatePath() const { return folder->filePath(QStringLiteral("cross_sections.dat")); }
    QComboBox* templates() { return p->in<QComboBox>(kSweep, "templateCombo"); }

    // Opens the dialog from the panel and types "field=text" into its fields;
    // a bare name switches that radio button on, "template=N" chooses a template.
    void fill(const char* name, const QStringList& inputs)
    {
        const QByteArray dialogName(name);
        const char* button = dialogName == kChannel    ? "createChannelButton"
                             : dialogName == kCircular ? "createCircularButton"
                                                       : "createSweepButton";
        p->click(button);
        QVERIFY(dialog(name)->isVisible());
        for (const QString& input : inputs) {
            const QStringList part = input.split('=');
            if (part[0] == QStringLiteral("template")) templates()->setCurrentIndex(part[1].toInt());
            else if (part.size() == 2) p->type(name, part[0].toLatin1().constData(), part[1]);
            else dialogtest::toggleAccessibly(p->in<QAbstractButton>(name, part[0].toLatin1().constData()));
        }
    }

private slots:
    // A new document with "elsewhere" in the group "other", the standard
    // templates in a file of their own.
    void init()
    {
        folder = std::make_unique<QTemporaryDir>();
        QVERIFY(WriteTemplateFile(templatePath().toStdString(), StandardTemplates()));
        p = std::make_unique<PanelWithDialogs>();
        p->doc.templatePath = templatePath().toStdString();
        p->doc.currentGroup = p->doc.CreateGroup("other");
        p->doc.CreateChannelSurface("elsewhere", 5, 2);
        p->doc.currentGroup = p->doc.groups[0].get();
        p->doc.SetModifiedFlag(false);
    }
    void cleanup() { p.reset(); folder.reset(); }

    void refusalsKeepTheDialogOpen_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QStringList>("inputs");
        QTest::addColumn<QString>("refusal");
        QTest::addColumn<QString>("focus"); // the field read, which takes the focus
        const QString points = QString::fromStdString(IntegerRangePrompt(2, 20));
        QTest::newRow("channel, name of 50 characters")
            << kChannel << QStringList{"nameEdit=" + QString(50, QLatin1Char('n'))}
            << "Please enter no more than 49 characters." << "nameEdit";
        QTest::newRow("channel, points not a number") << kChannel << QStringList{"nameEdit=b", "pointsEdit=five"}
                                                      << points << "pointsEdit";
        QTest::newRow("channel, 21 intermediate") << kChannel << QStringList{"nameEdit=b", "intermediateEdit=21"}
                                                  << "Please enter an integer between 0 and 20." << "intermediateEdit";
        QTest::newRow("channel, name taken in its group") << kChannel << QStringList{"nameEdit=a"}
                                                          << "A surface with that name already exists." << "";
        QTest::newRow("circular, 2 control points") << kCircular << QStringList{"halfRadio", "pointsEdit=2"}
                                                    << "Please enter an integer between 3 and 20." << "pointsEdit";
        QTest::newRow("circular, negative inner radius")
            << kCircular << QStringList{"innerEdit=-1"} << "Please enter a number between 0 and 10000."
            << "innerEdit";
        QTest::newRow("circular, outer radius 2000")
            << kCircular << QStringList{"outerEdit=2000"} << "Please enter a number between 0.5 and 1000."
            << "outerEdit";
        QTest::newRow("circular, full circle of 8")
            << kCircular << QStringList{"fullCircleRadio", "pointsEdit=8", "nameEdit=ring"}
            << "It requires at EXACTLY 7, 9, or 11 control points to construct a full circle." << "";
        QTest::newRow("sweep, no template") << kSweep << QStringList{"nameEdit=bowl"} << kSelectTemplate << "";
        QTest::newRow("sweep, 3 sections") << kSweep << QStringList{"nameEdit=bowl", "template=2", "sectionsEdit=3"}
                                           << QString::fromStdString(IntegerRangePrompt(4, 20)) << "sectionsEdit";
        QTest::newRow("sweep, angle not a number")
            << kSweep << QStringList{"nameEdit=bowl", "template=2", "angleEdit=wide"}
            << QString::fromStdString(NumberRangePrompt(5, 355)) << "angleEdit";
    }

    void refusalsKeepTheDialogOpen()
    {
        QFETCH(QString, dialog);
        QFETCH(QStringList, inputs);
        QFETCH(QString, refusal);
        QFETCH(QString, focus);
        const QByteArray name = dialog.toLatin1();
        const std::size_t before = p->doc.surfaces.size();
        fill(name.constData(), inputs);
        p->click(name.constData(), "okButton");
        QCOMPARE(p->boxes->texts, QStringList{refusal});
        QVERIFY(this->dialog(name.constData())->isVisible());
        QCOMPARE(p->doc.surfaces.size(), before);
        QVERIFY(!p->doc.IsModified());
        if (!focus.isEmpty())
            QCOMPARE(this->dialog(name.constData())->focusWidget(),
                     p->in<QWidget>(name.constData(), focus.toLatin1().constData()));
    }

    void okCreatesTheChannel_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("typeRadio");
        QTest::addColumn<QString>("intermediate");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("sections");
        QTest::newRow("no type is type A, 0 intermediate") << "ramp" << "" << "0" << 0 << 4;
        QTest::newRow("type B") << "ramp" << "typeBRadio" << "2" << 1 << 6;
        QTest::newRow("type C, 20 intermediate") << "ramp" << "typeCRadio" << "20" << 2 << 24;
        QTest::newRow("Windows-1252 name") << QStringLiteral("caf\u00e9 \u20ac") << "typeARadio" << "2" << 0 << 6;
    }

    void okCreatesTheChannel()
    {
        QFETCH(QString, name);
        QFETCH(QString, typeRadio);
        QFETCH(QString, intermediate);
        QFETCH(int, type);
        QFETCH(int, sections);
        fill(kChannel, {"nameEdit=" + name, "pointsEdit=7", "intermediateEdit=" + intermediate});
        auto* group = dialog(kChannel)->findChild<QButtonGroup*>(QStringLiteral("typeGroup"));
        if (typeRadio.isEmpty()) {
            // No type chosen: a state the dialog can only be given, not shown in.
            group->setExclusive(false);
            group->checkedButton()->setChecked(false);
            group->setExclusive(true);
        } else {
            dialogtest::toggleAccessibly(p->in<QAbstractButton>(kChannel, typeRadio.toLatin1().constData()));
        }
        p->click(kChannel, "okButton");
        QCOMPARE(p->boxes->texts, QStringList{});
        QVERIFY(!dialog(kChannel)->isVisible());
        SurfaceSection* s = p->doc.selectedSurface;
        QVERIFY(s);
        QCOMPARE(s, p->doc.surfaces.back().get());
        QCOMPARE(QString::fromStdString(NameToUtf8(textOf(s->name))), name);
        QCOMPARE(s->group, p->doc.groups[0].get());
        QCOMPARE(s->surfaceType, type);
        QCOMPARE(s->sectionCount, sections);
        QCOMPARE(s->pointsPerSection, 7);
        QCOMPARE(p->control<QTreeWidget>("surfaceTree")->currentItem()->text(0), name);
        QVERIFY(p->doc.IsModified());
    }

    void aNewShowClearsTheChannelsNameAndTypeAndKeepsTheCounts()
    {
        fill(kChannel, {"nameEdit=first", "pointsEdit=9", "intermediateEdit=11", "typeCRadio"});
        p->click(kChannel, "okButton");
        QVERIFY(!dialog(kChannel)->isVisible());
        p->click("createChannelButton");
        dialogtest::checkFields(dialog(kChannel), {"nameEdit=", "typeARadio", "pointsEdit=9", "intermediateEdit=11"});
        QCOMPARE(p->in<QWidget>(kChannel, "nameEdit"), dialog(kChannel)->focusWidget());
    }

    void cancelAndEscapeCreateNothingAndEnterIsOk()
    {
        fill(kChannel, {"nameEdit=never"});
        p->click(kChannel, "cancelButton");
        QVERIFY(!dialog(kChannel)->isVisible());
        fill(kCircular, {"nameEdit=never"});
        QTest::keyClick(dialog(kCircular), Qt::Key_Escape);
        QVERIFY(!dialog(kCircular)->isVisible());
        QCOMPARE(p->surfaceNamed("never"), nullptr);
        fill(kChannel, {"nameEdit=entered"});
        QTest::keyClick(p->in<QLineEdit>(kChannel, "nameEdit"), Qt::Key_Return);
        QVERIFY(p->surfaceNamed("entered"));
    }

    void aFullCircleOfNinePointsIsCreatedAndTheValuesStay()
    {
        p->click("createCircularButton");
        // The first show's values.
        dialogtest::checkFields(dialog(kCircular),
                                {"thirdRadio", "pointsEdit=5", "sectionsEdit=3", "innerEdit=1", "outerEdit=4"});
        const QStringList typed{"pointsEdit=9", "innerEdit=0", "outerEdit=7.25", "nameEdit=ring"};
        fill(kCircular, QStringList{"fullCircleRadio"} + typed);
        p->click(kCircular, "okButton");
        QCOMPARE(p->boxes->texts, QStringList{});
        QVERIFY(!dialog(kCircular)->isVisible());
        SurfaceSection* ring = p->surfaceNamed("ring");
        QVERIFY(ring);
        QCOMPARE(p->doc.selectedSurface, ring);
        QCOMPARE(ring->surfaceType, std::int32_t(kTypeCircular));
        QCOMPARE(ring->pointsPerSection, 9);
        QCOMPARE(ring->sectionCount, 3);
        QCOMPARE(ring->shapeValue2, 7.25);

        p->click("createCircularButton");
        dialogtest::checkFields(dialog(kCircular), QStringList{"fullCircleRadio"} + typed);
        p->click(kCircular, "okButton"); // the same name again
        QCOMPARE(p->boxes->texts, QStringList{"A surface with that name already exists."});
    }

    void okBuildsTheSweepOfTheChosenTemplate()
    {
        fill(kSweep, {"nameEdit=bowl", "sectionsEdit=6", "bottomRadio"});
        QCOMPARE(templates()->count(), static_cast<int>(StandardTemplates().size()));
        QCOMPARE(templates()->currentIndex(), -1);
        templates()->setCurrentIndex(6);
        QCOMPARE(templates()->currentText(), QStringLiteral("Half-pipe 5"));
        p->click(kSweep, "okButton");
        QCOMPARE(p->boxes->texts, QStringList());
        QVERIFY(!dialog(kSweep)->isVisible());
        SurfaceSection* bowl = p->doc.selectedSurface;
        QVERIFY(bowl);
        QCOMPARE(textOf(bowl->name), std::string("bowl"));
        QCOMPARE(bowl->surfaceType, kTypeSweep);
        QCOMPARE(bowl->sectionCount, 8);
        QCOMPARE(bowl->pointsPerSection, 5);
        QCOMPARE(textOf(bowl->sections[3].shapeName), std::string("Half-pipe 5"));
        QVERIFY(p->doc.IsModified());
    }

    void everySweepShowReadsTheFileAgainWithNoTemplateChosen()
    {
        fill(kSweep, {"template=1"});
        int recordIndex = 0;
        QVERIFY(AppendTemplateRecord(templatePath().toStdString(), ShapeFromPoints("Ridge", {{-1, 0}, {0, 1}, {1, 0}}),
                                     recordIndex));
        p->click("createSweepButton");
        QCOMPARE(templates()->count(), static_cast<int>(StandardTemplates().size()) + 1);
        QCOMPARE(templates()->itemText(templates()->count() - 1), QStringLiteral("Ridge"));
        QCOMPARE(templates()->currentIndex(), -1);
        QFile::remove(templatePath());
        p->click("createSweepButton");
        QCOMPARE(p->boxes->texts, QStringList{QString::fromLatin1(kSweepReadFailed)});
        QCOMPARE(templates()->count(), 0);
    }
};

MARLWICK_REGISTER_QTEST(DialogSurfaceCreateTest)
#include "DialogSurfaceCreateTest.moc"
