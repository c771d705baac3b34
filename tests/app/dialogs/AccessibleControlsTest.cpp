// The panel's and the dialogs' controls however they are reached: every
// dialog's controls named and reached by Tab; the radio groups that act at
// once, switched as a screen reader or GUI robot switches them (the toggle
// action, no click); the wheel, taken only by a focused slider or spin box.

#include "QtTestRegistry.h"
#include "design/DesignHistory.h"
#include "design/SurfaceLibrary.h"
#include "dialogs/DialogExport.h"
#include "dialogs/DialogSurfaceLibrary.h"
#include "dialogs/SurfaceDialogTestSupport.h"
#include "support/DocumentBuilders.h"

#include <QAbstractSlider>
#include <QSpinBox>
#include <QWheelEvent>

#include <algorithm>
#include <functional>

namespace {

// A dialog opened on the track document: `surface` selected (none: no
// selection), the panel's `button` clicked, the lines of a list clicked and a
// button of the dialog then open clicked; found by its title. The modal
// library dialog and the main window's export dialog are made for the test.
struct OpenedDialog {
    const char* title;
    const char* surface;
    const char* button;
    const char* list;
    const char* then;
    QDialog* (*make)(PanelWithDialogs&) = nullptr;
};

QDialog* makeLibraryDialog(PanelWithDialogs& p)
{
    auto* dialog = new DialogSurfaceLibrary(p.doc, p.panel.get());
    return dialog->Load().ok() ? dialog : nullptr;
}
const OpenedDialog kDialogs[] = {
    {" Create channel surface", nullptr, "createChannelButton", nullptr, nullptr},
    {" Create circular surface", nullptr, "createCircularButton", nullptr, nullptr},
    {" Create sweep surface", nullptr, "createSweepButton", nullptr, nullptr},
    {" Edit surface  (type A)", "a", "editSelectedButton", nullptr, nullptr},
    {" Edit surface  (type B)", "c", "editSelectedButton", nullptr, nullptr},
    {" Edit surface  (type C)", "b", "editSelectedButton", nullptr, nullptr},
    {" Edit intermediate surface cross sections", "a", "editCrossSectionsButton", nullptr, nullptr},
    {" Edit cross section shape", "a", "editCrossSectionsButton", "sectionList", "editShapeButton"},
    {" Surface holes", "b", "editHolesButton", nullptr, nullptr},
    {" Surface attachment sites", "b", "attachmentSitesButton", nullptr, nullptr},
    {" Attach surface to selected surface", "a", "attachToSiteButton", nullptr, nullptr},
    {" Manage surface groups", nullptr, "manageGroupsButton", nullptr, nullptr},
    {" Surface Library", nullptr, nullptr, nullptr, nullptr, makeLibraryDialog},
    {"Export", nullptr, nullptr, nullptr, nullptr,
     [](PanelWithDialogs& p) -> QDialog* { return new DialogExport(p.doc, QString(), p.panel.get()); }},
};

// The panel's dialog on show (with that title, when one is given).
QDialog* shownDialog(QWidget* panel, const QString& title = {})
{
    for (QDialog* dialog : panel->findChildren<QDialog*>())
        if (dialog->isVisible() && (title.isEmpty() || dialog->windowTitle() == title)) return dialog;
    return nullptr;
}

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
    return std::equal(a.sections.begin(), a.sections.begin() + a.sectionCount, a.spareSections.begin(),
                      [](const CrossSection& live, const CrossSection& backup) {
                          return live.direction == backup.direction && live.position == backup.position;
                      });
}

const RadioCase kRadios[] = {
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

int valueOf(QWidget* w)
{
    if (auto* slider = qobject_cast<QAbstractSlider*>(w)) return slider->value();
    return qobject_cast<QSpinBox*>(w)->value();
}

// One notch of the wheel, away from the user, over the middle of the control.
bool wheel(QWidget* w)
{
    const QPointF at(w->width() / 2.0, w->height() / 2.0);
    QWheelEvent event(at, w->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &event);
    return event.isAccepted();
}

} // namespace

class AccessibleControlsTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<builders::TempFile> library;
    std::unique_ptr<PanelWithDialogs> p;

private slots:
    // The track document, "a" of "main" selected, an empty library.
    void init()
    {
        library = std::make_unique<builders::TempFile>("controls-library");
        std::string error;
        QVERIFY(design::WriteEmptyLibrary(library->path(), error));
        p = std::make_unique<PanelWithDialogs>(builders::fillTrackDocument);
        p->doc.libraryPath = library->path();
        p->select("a");
    }
    void cleanup() { p.reset(); library.reset(); }

    void everyDialogsControlsAreNamedAndReachable_data()
    {
        QTest::addColumn<int>("row");
        for (int k = 0; k < static_cast<int>(std::size(kDialogs)); ++k) QTest::newRow(kDialogs[k].title) << k;
    }

    void everyDialogsControlsAreNamedAndReachable()
    {
        QFETCH(int, row);
        const OpenedDialog& d = kDialogs[row];
        if (d.surface) p->select(d.surface);
        if (d.button) {
            p->click(d.button);
        } else {
            QDialog* made = d.make(*p);
            QVERIFY(made);
            made->show();
        }
        if (d.then) {
            QDialog* opened = shownDialog(p->panel.get());
            if (d.list) dialogtest::clickLines(dialogtest::control<QListWidget>(opened, d.list), {2, 3});
            p->click(dialogtest::control<QAbstractButton>(opened, d.then));
        }
        QDialog* dialog = shownDialog(p->panel.get(), QString::fromLatin1(d.title));
        QVERIFY2(dialog, d.title);
        dialogtest::checkAccessible(dialog);
    }

    void aChosenButtonActsHoweverItIsSwitched_data()
    {
        QTest::addColumn<int>("row");
        for (int k = 0; k < static_cast<int>(std::size(kRadios)); ++k) QTest::newRow(kRadios[k].name) << k;
    }

    void aChosenButtonActsHoweverItIsSwitched()
    {
        QFETCH(int, row);
        const RadioCase& c = kRadios[row];
        p->doc.StartHistory();
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
        if (c.spin) QCOMPARE(dialogtest::control<QSpinBox>(owner, c.spin)->value(), 0);
        QCOMPARE(p->boxes->texts, QStringList{});
    }

    void onlyAFocusedControlTakesTheWheel_data()
    {
        QTest::addColumn<QString>("dialog"); // empty: the panel
        QTest::addColumn<QString>("name");
        QTest::newRow("focal point's U slider") << "" << "focalUSlider";
        QTest::newRow("focal point's V spin box") << "" << "focalVSpin";
        QTest::newRow("type A angle slider") << "editADialog" << "horizontalTurnSlider";
        QTest::newRow("type A intermediate count") << "editADialog" << "intermediateSpin";
    }

    void onlyAFocusedControlTakesTheWheel()
    {
        QFETCH(QString, dialog);
        QFETCH(QString, name);
        QWidget* window = p->panel.get();
        if (!dialog.isEmpty()) {
            p->click("editSelectedButton");
            window = p->control<QDialog>(dialog.toLatin1().constData());
        }
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QWidget* control = dialogtest::control(window, name);
        control->clearFocus();
        const int before = valueOf(control);
        QVERIFY(!wheel(control)); // left to the widgets around it
        QCOMPARE(valueOf(control), before);
        control->setFocus();
        QVERIFY(control->hasFocus());
        QVERIFY(wheel(control));
        QVERIFY(valueOf(control) != before);
    }
};

MARLWICK_REGISTER_QTEST(AccessibleControlsTest)
#include "AccessibleControlsTest.moc"
