// A new user builds a track in a real window: two channels (made through the
// create operation), the second attached to the first's "end" site with the
// attach dialog, a third grown out of the second's end, a hole cut in the
// first; the track gathered in a group, exported to the surface library,
// the group deleted and imported back; the ball rolled across both joins in
// one run and through the hole in another; saved and read back. Every
// dialog must show over the running view.

#include "QtTestRegistry.h"
#include "design/ChannelCreation.h"
#include "design/ChannelEditing.h"
#include "design/SurfaceLibrary.h"
#include "dialogs/DialogManageGroups.h"
#include "dialogs/DialogSurfaceAttach.h"
#include "dialogs/DialogSurfaceAttachmentSites.h"
#include "dialogs/DialogSurfaceHoles.h"
#include "dialogs/DialogSurfaceLibrary.h"
#include "document/ThreadPauseGuard.h"
#include "gui/GuiTestSupport.h"
#include "simulation/Simulation.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QListWidget>
#include <QMessageBox>
#include <QTreeWidget>

#include <set>

class TrackEndToEndTest : public WindowTest {
    Q_OBJECT

private:
    static void clickButton(QWidget* dialog, const char* name) { dialogtest::clickWithMouse(control(dialog, name)); }
    static void typeInto(QWidget* dialog, const char* field, const QString& text)
    {
        dialogtest::retype(control<QLineEdit>(dialog, field), text);
    }
    bool selectSurface(const char* name, const char* group)
    {
        auto* tree = control<QTreeWidget>(&panel(), "surfaceTree");
        frame().panelPane()->ensureWidgetVisible(tree);
        return clickTreeItem(tree, QString::fromLatin1(name), QString::fromLatin1(group)) &&
               doc().selectedSurface == doc().FindSurface(name, group);
    }
    template <typename Dialog>
    Dialog* dialogOf()
    {
        auto* dialog = panel().findChild<Dialog*>();
        if (!dialog) qFatal("no dialog");
        return dialog;
    }
    SurfaceSection* surface(const char* name, const char* group = "main") { return doc().FindSurface(name, group); }
    // A channel sloping 3 units down, as a user makes it with the create and type A dialogs.
    void createSlopingChannel(const char* name)
    {
        const ThreadPauseGuard held(doc());
        design::ChannelFields fields;
        fields.name = name;
        QCOMPARE(design::CreateChannelFromFields(doc(), fields), "");
        design::TypeAEditor editor(doc());
        QCOMPARE(editor.Open(), "");
        editor.SetPerform(design::TypeAGroup::VerticalDisplacement, true);
        editor.SetSense(design::TypeAGroup::VerticalDisplacement, true);
        editor.SetDistance(design::TypeAGroup::VerticalDisplacement, 3.0);
        editor.Save();
        editor.Close();
    }
    // Rolls the ball from the start (u 0.5, v) of the track's first surface
    // along the channel; returns the surfaces it rolled on and its lowest
    // height while it was over the first surface.
    std::set<std::string> roll(double v, double& lowestOverFirst, const char* picture)
    {
        {
            const ThreadPauseGuard held(doc());
            doc().SetBallStart(surface("first", "track"), 0.5, v);
        }
        clickPanel("positionBallButton");
        {
            const ThreadPauseGuard held(doc());
            doc().launchDirection = {1.0, 0.0, 0.0};
            doc().launchSpeed = 2.0;
            FixLaunch(doc());
        }
        clickPanel("rollBallButton");
        std::set<std::string> visited;
        lowestOverFirst = 1e9;
        // However slowly a loaded machine steps the ball, it gets there; the bound only ends a stuck run.
        QElapsedTimer clock;
        clock.start();
        while (!visited.count("secondend") && lowestOverFirst >= -4.0 && clock.elapsed() < 240000) {
            QTest::qWait(20);
            LockGuard guard(doc().simulationLock);
            const SurfaceSection* on = doc().simulation.publishedSurface;
            const Vec3 centre = doc().simulation.published.ballCentre;
            if (on && !doc().simulation.published.inAir) visited.insert(textOf(on->name));
            if (centre.x < 25.0) lowestOverFirst = std::min(lowestOverFirst, centre.y);
        }
        shot(picture);
        clickPanel("showAllButton"); // stops the ball
        return visited;
    }

private slots:
    void initTestCase()
    {
        start({}, true);
        // The rolls below expect the path of an unloaded machine's steps, however
        // loaded this one is, and take them ten times faster than the wall clock.
        view().core().physics().UseFixedStep(1.0 / 70.0);
        {
            const ThreadPauseGuard held(doc());
            doc().simulation.targetStepRate = 700.0;
        }
        // A library of this run's own, so the shipped one stays as it is.
        doc().libraryPath = folder.filePath(QStringLiteral("surface_library.dat")).toStdString();
        std::string error;
        QVERIFY2(design::WriteEmptyLibrary(doc().libraryPath, error), error.c_str());
    }

    void createTwoChannels()
    {
        QVERIFY(selectSurface("a", "main"));
        auto answered = whenModal<QMessageBox>([](QMessageBox* box) { box->button(QMessageBox::Ok)->click(); });
        clickPanel("deleteSurfaceButton");
        QVERIFY(*answered);
        QVERIFY(doc().surfaces.empty());
        createSlopingChannel("first");
        createSlopingChannel("second");
        QVERIFY(surface("first") && surface("second"));
    }

    void theSitesOfTheFirstChannel()
    {
        QVERIFY(selectSurface("first", "main"));
        clickPanel("attachmentSitesButton");
        auto* sites = dialogOf<DialogSurfaceAttachmentSites>();
        QCOMPARE(control<QListWidget>(sites, "siteList")->count(), 4);
        checkShownOverTheView(sites, "sites-dialog");
        clickButton(sites, "doneButton");
        QVERIFY(!sites->isVisible());
    }

    void attachTheSecondToTheFirstsEnd()
    {
        QVERIFY(selectSurface("first", "main"));
        clickPanel("attachToSiteButton");
        auto* attach = dialogOf<DialogSurfaceAttach>();
        QVERIFY(dialogtest::clickLine(control<QListWidget>(attach, "siteList"), QStringLiteral("end")));
        QVERIFY(dialogtest::chooseEntry(control<QComboBox>(attach, "surfaceCombo"), QStringLiteral("main::second")));
        QVERIFY(dialogtest::chooseEntry(control<QComboBox>(attach, "otherSiteCombo"), QStringLiteral("begin")));
        checkShownOverTheView(attach, "attach-dialog");
        clickButton(attach, "attachButton");
        QVERIFY(!attach->isVisible());
        auto* attached = control<QTreeWidget>(&panel(), "attachedTree");
        QCOMPARE(attached->topLevelItem(0)->text(0), QStringLiteral("end -> [main : second]"));
    }

    void growAThirdOutOfTheSecondsEnd()
    {
        QVERIFY(selectSurface("second", "main"));
        clickPanel("attachToSiteButton");
        auto* attach = dialogOf<DialogSurfaceAttach>();
        QVERIFY(dialogtest::clickLine(control<QListWidget>(attach, "siteList"), QStringLiteral("end")));
        typeInto(attach, "intermediateEdit", QStringLiteral("2"));
        // "New channel surface" is the default button.
        QTest::keyClick(control<QLineEdit>(attach, "intermediateEdit"), Qt::Key_Return);
        QVERIFY(!attach->isVisible());
        QVERIFY(surface("secondend"));
        QCOMPARE(surface("second")->attachmentSites[0].otherSurface, surface("secondend"));
        clickPanel("showAllButton");
        doc().peers().FitCameraToSurfaces();
        shot("joined-track");
    }

    void cutAHoleInTheMiddleOfTheFirst()
    {
        QVERIFY(selectSurface("first", "main"));
        clickPanel("editHolesButton");
        auto* holes = dialogOf<DialogSurfaceHoles>();
        typeInto(holes, "nameEdit", QStringLiteral("pit"));
        typeInto(holes, "frontBackLowEdit", QStringLiteral("0.4"));
        typeInto(holes, "frontBackHighEdit", QStringLiteral("0.6"));
        typeInto(holes, "rightLeftLowEdit", QStringLiteral("0.2"));
        typeInto(holes, "rightLeftHighEdit", QStringLiteral("0.8"));
        checkShownOverTheView(holes, "holes-dialog");
        clickButton(holes, "addButton");
        QCOMPARE(surface("first")->holes.size(), std::size_t{1});
        QCOMPARE(control<QListWidget>(holes, "holeList")->item(0)->text(), QStringLiteral("pit"));
        clickButton(holes, "doneButton");
        clickPanel("showAllButton");
        shot("holed-track");
    }

    void exportTheGroupDeleteItAndImportItBack()
    {
        clickPanel("manageGroupsButton");
        auto* groups = dialogOf<DialogManageGroups>();
        auto* groupTree = control<QTreeWidget>(groups, "groupTree");
        auto* surfaceTree = control<QTreeWidget>(groups, "surfaceTree");
        typeInto(groups, "nameEdit", QStringLiteral("track"));
        clickButton(groups, "createButton");
        for (const char* name : {"first", "second", "secondend"}) {
            QVERIFY(clickTreeItem(groupTree, QStringLiteral("track")));
            QVERIFY(clickTreeItem(surfaceTree, QString::fromLatin1(name), QStringLiteral("main")));
            clickButton(groups, "addSurfaceButton");
        }
        QVERIFY(surface("first", "track") && surface("secondend", "track"));
        QVERIFY(clickTreeItem(groupTree, QStringLiteral("track")));
        checkShownOverTheView(groups, "groups-dialog");
        clickButton(groups, "exportButton"); // what it writes shows in what comes back below

        QVERIFY(clickTreeItem(groupTree, QStringLiteral("track")));
        clickButton(groups, "deleteButton");
        QVERIFY(doc().surfaces.empty());

        bool shownLibrary = false;
        auto imported = whenModal<DialogSurfaceLibrary>([&](DialogSurfaceLibrary* library) {
            auto* tree = control<QTreeWidget>(library, "libraryTree");
            shownLibrary = clickTreeItem(tree, QStringLiteral("track"));
            checkShownOverTheView(library, "library-dialog");
            clickButton(library, "importButton");
            clickButton(library, "doneButton");
        });
        clickButton(groups, "importButton");
        QVERIFY(*imported);
        QVERIFY(shownLibrary);
        QCOMPARE(doc().surfaces.size(), std::size_t{3});
        QCOMPARE(surface("first", "track")->attachmentSites[0].otherSurface, surface("second", "track"));
        QCOMPARE(surface("second", "track")->attachmentSites[0].otherSurface, surface("secondend", "track"));
        QCOMPARE(surface("secondend", "track")->attachmentSites[1].otherSurface, surface("second", "track"));
        QCOMPARE(surface("first", "track")->holes.size(), std::size_t{1});
        clickButton(groups, "doneButton");
        QVERIFY(!groups->isVisible());
    }

    void theBallCrossesBothJoins()
    {
        double lowest = 0;
        const std::set<std::string> visited = roll(0.7, lowest, "rolled-across");
        QVERIFY(visited.count("first"));
        QVERIFY(visited.count("second"));
        QVERIFY2(visited.count("secondend"), "the ball did not reach the grown channel");
    }

    void theBallDropsThroughTheHole()
    {
        double lowest = 0;
        const std::set<std::string> visited = roll(0.1, lowest, "dropped-through-hole");
        QVERIFY2(lowest < -4.0, qPrintable(QString::number(lowest)));
        QVERIFY(!visited.count("second"));
    }

    // Links and all, as the window holds them (checked as they were made).
    void saveAndReadTheLinksBack()
    {
        const QString path = folder.filePath(QStringLiteral("track.mwk"));
        QVERIFY(frame().SaveDocumentTo(path));
        checkReadsBackAs(path, doc());
    }

    void cleanupTestCase() { app.reset(); }
};

MARLWICK_REGISTER_QTEST(TrackEndToEndTest)
#include "TrackEndToEndTest.moc"
