// " Create channel surface" opened by the panel's "Create channel" and
// driven through its fields: the refusals, the type and the counts of the
// surface created, and what a later show keeps.

#include "design/ChannelCreation.h"
#include "QtTestRegistry.h"
#include "dialogs/SurfaceDialogTestSupport.h"
#include "document/NameEncoding.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QTreeWidget>

namespace {
constexpr const char* kDialog = "createChannelDialog";
}

class DialogSurfaceCreateTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<PanelWithDialogs> p;
    QDialog* dialog() { return p->control<QDialog>(kDialog); }

    // Opens the dialog from the panel, fills it and presses OK.
    void create(const QString& name, const QString& points, const QString& intermediate, int type)
    {
        p->click("createChannelButton");
        QVERIFY(dialog()->isVisible());
        p->type(kDialog, "nameEdit", name);
        p->type(kDialog, "pointsEdit", points);
        p->type(kDialog, "intermediateEdit", intermediate);
        auto* group = dialog()->findChild<QButtonGroup*>(QStringLiteral("typeGroup"));
        if (type < 0) {
            // No type chosen: a state the dialog can only be given, not shown in.
            group->setExclusive(false);
            group->checkedButton()->setChecked(false);
            group->setExclusive(true);
        } else {
            dialogtest::toggleAccessibly(group->button(type));
        }
        p->click(kDialog, "okButton");
    }

private slots:
    void init()
    {
        p = std::make_unique<PanelWithDialogs>();
        SurfaceGroup* other = p->doc.CreateGroup("other");
        p->doc.currentGroup = other;
        p->doc.CreateChannelSurface("elsewhere", 5, 2);
        p->doc.currentGroup = p->doc.groups[0].get();
    }
    void cleanup() { p.reset(); }

    void refusalsKeepTheDialogOpen_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("points");
        QTest::addColumn<QString>("intermediate");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("blank name") << "" << "5" << "2" << "The name must not be blank.";
        QTest::newRow("taken in the current group") << "a" << "5" << "2" << "A surface with that name already exists.";
        QTest::newRow("name of 50 characters") << QString(50, QLatin1Char('n')) << "5" << "2"
                                               << "Please enter no more than 49 characters.";
        QTest::newRow("1 control point") << "b" << "1" << "2" << "Please enter an integer between 2 and 20.";
        QTest::newRow("21 control points") << "b" << "21" << "2" << "Please enter an integer between 2 and 20.";
        QTest::newRow("not a number") << "b" << "five" << "2" << "Please enter an integer between 2 and 20.";
        QTest::newRow("21 intermediate") << "b" << "5" << "21" << "Please enter an integer between 0 and 20.";
        QTest::newRow("-1 intermediate") << "b" << "5" << "-1" << "Please enter an integer between 0 and 20.";
    }

    void refusalsKeepTheDialogOpen()
    {
        QFETCH(QString, name);
        QFETCH(QString, points);
        QFETCH(QString, intermediate);
        QFETCH(QString, refusal);
        const std::size_t before = p->doc.surfaces.size();
        create(name, points, intermediate, 0);
        QCOMPARE(p->boxes->texts, QStringList{refusal});
        QVERIFY(dialog()->isVisible());
        QCOMPARE(p->doc.surfaces.size(), before);
        QVERIFY(!p->doc.IsModified());
    }

    void okCreatesTheSurface_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("typeRadio");
        QTest::addColumn<QString>("intermediate");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("sections");
        QTest::newRow("no type is type A, 0 intermediate") << "ramp" << -1 << "0" << 0 << 4;
        QTest::newRow("type A, 20 intermediate") << "ramp" << 0 << "20" << 0 << 24;
        QTest::newRow("type B") << "ramp" << 1 << "2" << 1 << 6;
        QTest::newRow("type C") << "ramp" << 2 << "3" << 2 << 7;
        QTest::newRow("name taken in another group only") << "elsewhere" << 0 << "2" << 0 << 6;
        QTest::newRow("Windows-1252 name") << QStringLiteral("caf\u00e9 \u20ac") << 0 << "2" << 0 << 6;
    }

    void okCreatesTheSurface()
    {
        QFETCH(QString, name);
        QFETCH(int, typeRadio);
        QFETCH(QString, intermediate);
        QFETCH(int, type);
        QFETCH(int, sections);
        create(name, QStringLiteral("7"), intermediate, typeRadio);
        QCOMPARE(p->boxes->texts, QStringList{});
        QVERIFY(!dialog()->isVisible());
        SurfaceSection* s = p->doc.selectedSurface;
        QVERIFY(s);
        QCOMPARE(s, p->doc.surfaces.back().get());
        QCOMPARE(QString::fromStdString(NameToUtf8(textOf(s->name))), name);
        QCOMPARE(s->group, p->doc.groups[0].get());
        QCOMPARE(s->surfaceType, type);
        QCOMPARE(s->sectionCount, sections);
        QCOMPARE(s->pointsPerSection, 7);
        // Shown alone, holding the focal point; the panel shows it selected.
        for (const auto& other : p->doc.surfaces) QCOMPARE(other->render.load(), other.get() == s ? 1 : 0);
        QCOMPARE(p->doc.focalSurface, s);
        QCOMPARE(p->control<QTreeWidget>("surfaceTree")->currentItem()->text(0), name);
        QVERIFY(p->doc.IsModified());
    }

    void aNewShowClearsTheNameAndTheTypeAndKeepsTheCounts()
    {
        create(QStringLiteral("first"), QStringLiteral("9"), QStringLiteral("11"), 2);
        QVERIFY(!dialog()->isVisible());
        p->click("createChannelButton");
        QCOMPARE(p->in<QLineEdit>(kDialog, "nameEdit")->text(), QString());
        QVERIFY(p->in<QRadioButton>(kDialog, "typeARadio")->isChecked());
        QCOMPARE(p->in<QLineEdit>(kDialog, "pointsEdit")->text(), QStringLiteral("9"));
        QCOMPARE(p->in<QLineEdit>(kDialog, "intermediateEdit")->text(), QStringLiteral("11"));
        QCOMPARE(p->in<QWidget>(kDialog, "nameEdit"), dialog()->focusWidget());
    }

    void cancelAndEscapeCreateNothing()
    {
        p->click("createChannelButton");
        p->type(kDialog, "nameEdit", QStringLiteral("never"));
        p->click(kDialog, "cancelButton");
        QVERIFY(!dialog()->isVisible());
        p->click("createChannelButton");
        p->type(kDialog, "nameEdit", QStringLiteral("never"));
        QTest::keyClick(dialog(), Qt::Key_Escape);
        QVERIFY(!dialog()->isVisible());
        QCOMPARE(p->surfaceNamed("never"), nullptr);
        // Enter in a field is the default button.
        p->click("createChannelButton");
        p->type(kDialog, "nameEdit", QStringLiteral("entered"));
        QTest::keyClick(p->in<QLineEdit>(kDialog, "nameEdit"), Qt::Key_Return);
        QVERIFY(p->surfaceNamed("entered"));
    }
};

MARLWICK_REGISTER_QTEST(DialogSurfaceCreateTest)
#include "DialogSurfaceCreateTest.moc"
