// The radio groups of the panel and the dialogs that act as soon as a button
// is chosen, switched as a screen reader or GUI robot switches them: through
// the button's accessible toggle action, which toggles it without a click.
// (The groups a dialog reads when it is accepted are switched that way in
// the tests of their dialogs.)

#include "QtTestRegistry.h"
#include "design/DesignHistory.h"
#include "dialogs/SurfaceDialogTestSupport.h"

#include <QLineEdit>
#include <QListWidget>
#include <QSpinBox>

#include <functional>

namespace {

struct RadioCase {
    const char* name;
    const char* opener;  // the panel button that opens the dialog; none: the panel's own group
    const char* dialog;
    const char* radio;   // switched on through its toggle action
    const char* spin;    // in the cross-section dialog: a value previewed before, reverted by the choice
    std::function<bool(PanelWithDialogs&)> acted;
};

bool sectionsAtTheirBackup(PanelWithDialogs& p)
{
    const SurfaceSection& a = *p.doc.surfaces[0];
    for (int i = 0; i < a.sectionCount; ++i)
        if (!(a.sections[i].direction == a.spareSections[i].direction) ||
            !(a.sections[i].position == a.spareSections[i].position))
            return false;
    return true;
}

const RadioCase kCases[] = {
    {"follow mode", nullptr, nullptr, "inPresentRadio", nullptr,
     [](PanelWithDialogs& p) { return p.doc.simulation.camera.laggingSwitch.load() == 0; }},
    {"colouring", nullptr, nullptr, "constantRadio", nullptr,
     [](PanelWithDialogs& p) {
         return p.doc.surfaces[0]->coloring == Coloring::Constant &&
                design::UndoStepName(p.doc) == design::kStepSurfaceDisplay;
     }},
    {"portion of circle", "createCircularButton", "createCircularDialog", "halfRadio", nullptr,
     [](PanelWithDialogs& p) { return p.in<QLineEdit>("createCircularDialog", "pointsEdit")->text() == "4"; }},
    {"rotation axis", "editCrossSectionsButton", "editSurfaceSectionsDialog", "channelAxisRadio", "rotationSpin",
     sectionsAtTheirBackup},
    {"move direction", "editCrossSectionsButton", "editSurfaceSectionsDialog", "upDownRadio", "moveSpin",
     sectionsAtTheirBackup},
};

} // namespace

class RadioGroupsTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<PanelWithDialogs> p;

private slots:
    void init()
    {
        p = std::make_unique<PanelWithDialogs>();
        QVERIFY(dialogtest::selectTreeItem(p->control<QTreeWidget>("surfaceTree"), QStringLiteral("a")));
    }
    void cleanup() { p.reset(); }

    void aChosenButtonActsHoweverItIsSwitched_data()
    {
        QTest::addColumn<int>("row");
        for (int k = 0; k < static_cast<int>(std::size(kCases)); ++k) QTest::newRow(kCases[k].name) << k;
    }

    void aChosenButtonActsHoweverItIsSwitched()
    {
        QFETCH(int, row);
        const RadioCase& c = kCases[row];
        QWidget* owner = p->panel.get();
        if (c.opener) {
            p->click(c.opener);
            owner = p->control<QDialog>(c.dialog);
            QVERIFY(owner->isVisible());
        }
        if (c.spin) {
            dialogtest::clickLines(dialogtest::control<QListWidget>(owner, "sectionList"), {2});
            dialogtest::control<QSpinBox>(owner, c.spin)->stepBy(30);
            QVERIFY(!sectionsAtTheirBackup(*p));
        }
        auto* radio = dialogtest::control<QAbstractButton>(owner, c.radio);
        QVERIFY(!radio->isChecked());
        dialogtest::toggleAccessibly(radio);
        QVERIFY(radio->isChecked());
        QVERIFY(c.acted(*p));
        QCOMPARE(p->boxes->texts, QStringList{});
    }
};

MARLWICK_REGISTER_QTEST(RadioGroupsTest)
#include "RadioGroupsTest.moc"
