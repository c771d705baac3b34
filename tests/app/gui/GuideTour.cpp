// The tour of docs/guide.md, driven in a real window as a new user takes it:
// start, open the control panel, create a channel and give it a turn, attach
// a second channel at its end, cut a hole, position and roll the ball, watch
// the ride profile, undo, save and reopen. Each step checks that it happened
// and keeps a whole-screen picture in $MARLWICK_SHOTS. Run by
// scripts/make-guide-shots.sh; it is no test of its own.

#include "CMainFrame.h"
#include "OpenGLTemplateApp.h"
#include "QtTestRegistry.h"
#include "ViewOpenGLst.h"
#include "dialogs/DialogSurfaceAttach.h"
#include "dialogs/DialogSurfaceCreate.h"
#include "dialogs/DialogSurfaceEditA.h"
#include "dialogs/DialogSurfaceHoles.h"
#include "dialogs/DialogTestSupport.h"
#include "document/OpenGLTemplateDoc.h"
#include "document/ThreadPauseGuard.h"
#include "gui/GuiTestSupport.h"
#include "gui/ScreenCapture.h"
#include "panel/ControlPanelForm.h"
#include "panel/ControlPanelPane.h"
#include "simulation/Simulation.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

#include <memory>
#include <utility>

class GuideTour : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<OpenGLTemplateApp> app;
    QTemporaryDir folder;
    QString shots;

    CMainFrame& frame() { return *app->mainFrame(); }
    COpenGLTemplateDoc& doc() { return app->document(); }
    ControlPanelForm& panel() { return *app->controlPanel(); }
    SurfaceSection* surface(const char* name) { return doc().FindSurface(name, "main"); }

    void clickPanel(const char* name)
    {
        dialogtest::clickInPane(frame().panelPane(), dialogtest::control<QAbstractButton>(&panel(), name));
    }
    static void clickButton(QWidget* dialog, const char* name)
    {
        dialogtest::clickWithMouse(dialogtest::control<QAbstractButton>(dialog, name));
    }
    static void typeInto(QWidget* dialog, const char* field, const QString& text)
    {
        auto* edit = dialogtest::control<QLineEdit>(dialog, field);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }
    bool selectSurface(const char* name)
    {
        auto* tree = dialogtest::control<QTreeWidget>(&panel(), "surfaceTree");
        frame().panelPane()->ensureWidgetVisible(tree);
        for (QTreeWidgetItem* item : tree->findItems(QString::fromLatin1(name), Qt::MatchExactly | Qt::MatchRecursive)) {
            tree->scrollToItem(item);
            QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
        }
        return doc().selectedSurface == surface(name);
    }
    template <typename Dialog>
    Dialog* shownDialog()
    {
        auto* dialog = panel().findChild<Dialog*>();
        if (!dialog || !QTest::qWaitForWindowExposed(dialog)) qFatal("the dialog did not show");
        return dialog;
    }
    // A dialog at the view's lower left corner, out of the track's way.
    // Moves the dialog to the view's lower left corner, or its upper left one
    // where the track passes below.
    void placeAside(QWidget* dialog, bool upper = false)
    {
        const int top = upper ? frame().menuBar()->height() + 8 : frame().height() - dialog->frameGeometry().height() - 8;
        const QPoint corner = frame().mapToGlobal(QPoint(8, top));
        dialog->move(corner);
    }
    // Drags the view with the left button from its centre down by `pixels`,
    // turning the scene to be seen more from above.
    void dragViewDown(int pixels)
    {
        auto* view = app->view();
        const QPoint from(view->width() / 2, view->height() / 2);
        QTest::mousePress(view, Qt::LeftButton, {}, from);
        for (int step = 1; step <= 10; ++step) QTest::mouseMove(view, from + QPoint(0, pixels * step / 10), 20);
        QTest::mouseRelease(view, Qt::LeftButton, {}, from + QPoint(0, pixels));
    }
    // The whole screen after a few more frames of the view, kept as NAME.png.
    void shot(const char* name, int settleMs = 300)
    {
        QTest::qWait(settleMs);
        const auto frames = app->view()->core().framesRendered();
        QTRY_VERIFY_WITH_TIMEOUT(app->view()->core().framesRendered() >= frames + 3, kStuckAfterMs);
        QApplication::processEvents();
        const QImage image = screencapture::CaptureWholeScreen();
        QVERIFY(!image.isNull());
        QVERIFY(image.save(QDir(shots).filePath(QString::fromLatin1(name) + QStringLiteral(".png"))));
    }

private slots:
    void initTestCase()
    {
        shots = qEnvironmentVariable("MARLWICK_SHOTS");
        QVERIFY2(!shots.isEmpty(), "MARLWICK_SHOTS names the folder of the pictures");
        QDir().mkpath(shots);
        QStandardPaths::setTestModeEnabled(true);
        app = std::make_unique<OpenGLTemplateApp>();
        QVERIFY(app->InitInstance({QStringLiteral("marlwick")}));
        QVERIFY(QTest::qWaitForWindowExposed(&frame()));
        QTRY_VERIFY_WITH_TIMEOUT(app->view()->core().framesRendered() > 3, kStuckAfterMs);
        shot("01-start", 1000);
    }

    void openTheControlPanel()
    {
        frame().FindAction(QStringLiteral("Control Panel"))->trigger();
        QTRY_COMPARE(frame().panelPane()->width(), CMainFrame::kPanelWidth);
        // The new document's channel "a" makes way for the track.
        QVERIFY(selectSurface("a"));
        auto answered = whenModal<QMessageBox>([](QMessageBox* box) { box->button(QMessageBox::Ok)->click(); });
        clickPanel("deleteSurfaceButton");
        QVERIFY(*answered);
        QVERIFY(doc().surfaces.empty());
        shot("02-control-panel");
    }

    void createAChannel()
    {
        clickPanel("createChannelButton");
        auto* create = shownDialog<DialogSurfaceCreate>();
        typeInto(create, "nameEdit", QStringLiteral("bend"));
        typeInto(create, "intermediateEdit", QStringLiteral("6"));
        shot("03-create-channel");
        clickButton(create, "okButton");
        QTRY_VERIFY(surface("bend"));
        // Shaded, and in the middle of the view.
        QVERIFY(selectSurface("bend"));
        clickPanel("surfaceTrianglesCheck");
        clickPanel("centerViewButton");
    }

    void giveItATurn()
    {
        QVERIFY(selectSurface("bend"));
        clickPanel("editSelectedButton");
        auto* edit = shownDialog<DialogSurfaceEditA>();
        dialogtest::control<QCheckBox>(edit, "horizontalTurnPerformCheck")->click();
        dialogtest::control<QSpinBox>(edit, "horizontalTurnSpin")->setValue(90);
        dialogtest::control<QCheckBox>(edit, "verticalDisplacementPerformCheck")->click();
        dialogtest::control<QCheckBox>(edit, "verticalDisplacementSenseCheck")->click();
        dialogtest::control<QSpinBox>(edit, "verticalDisplacementSpin")->setValue(4);
        placeAside(edit);
        clickButton(edit, "saveButton");
        doc().peers().FitCameraToSurfaces();
        shot("04-turn");
        clickButton(edit, "closeButton");
        QVERIFY(!edit->isVisible());
    }

    void attachASecondChannelAtItsEnd()
    {
        QVERIFY(selectSurface("bend"));
        clickPanel("attachToSiteButton");
        auto* attach = shownDialog<DialogSurfaceAttach>();
        QVERIFY(dialogtest::clickLine(dialogtest::control<QListWidget>(attach, "siteList"), QStringLiteral("end")));
        typeInto(attach, "intermediateEdit", QStringLiteral("4"));
        typeInto(attach, "directionEdit", QStringLiteral("3"));
        placeAside(attach);
        shot("05-attach");
        clickButton(attach, "newChannelButton");
        QTRY_VERIFY(surface("bendend"));
        QCOMPARE(surface("bend")->attachmentSites[0].otherSurface, surface("bendend"));
        QVERIFY(selectSurface("bendend"));
        clickPanel("surfaceTrianglesCheck");
    }

    void cutAHole()
    {
        QVERIFY(selectSurface("bendend"));
        clickPanel("editHolesButton");
        auto* holes = shownDialog<DialogSurfaceHoles>();
        for (const auto& [field, text] : {std::pair{"nameEdit", "pit"}, {"frontBackLowEdit", "0.4"},
                                          {"frontBackHighEdit", "0.7"}, {"rightLeftLowEdit", "0.3"},
                                          {"rightLeftHighEdit", "0.7"}})
            typeInto(holes, field, QString::fromLatin1(text));
        clickButton(holes, "addButton");
        QCOMPARE(surface("bendend")->holes.size(), std::size_t{1});
        placeAside(holes, true);
        clickPanel("centerViewButton");
        dragViewDown(200);
        // Shading covers holes; the surface's lines show the cut.
        clickPanel("surfaceTrianglesCheck");
        shot("06-hole");
        clickButton(holes, "doneButton");
        clickPanel("surfaceTrianglesCheck");
    }

    void positionAndRollTheBall()
    {
        QVERIFY(selectSurface("bend"));
        clickPanel("focalPointAtSelectedButton");
        clickPanel("ballStartAtFocalPointButton");
        clickPanel("positionBallButton");
        QVERIFY(doc().simulation.settingVelocity.load());
        {
            // What moving the mouse and clicking in the view choose: a gentle push along the channel.
            const ThreadPauseGuard held(doc());
            doc().launchSpeed = 1.0;
            FixLaunch(doc());
        }
        clickPanel("rollBallButton");
        QVERIFY(!doc().simulation.stopped.load());
        shot("07-roll", 2500);
    }

    void watchTheRideProfile()
    {
        frame().FindAction(QStringLiteral("Ride profile"))->trigger();
        shot("08-ride-profile", 3000);
        frame().FindAction(QStringLiteral("Ride profile"))->trigger();
        clickPanel("centerViewButton"); // stops the ball
    }

    void undoTheHole()
    {
        QMenu* edit = nullptr;
        for (QAction* menu : frame().menuBar()->actions())
            if (menu->text().remove(QLatin1Char('&')) == QStringLiteral("Edit")) edit = menu->menu();
        QVERIFY(edit);
        QAction* undo = edit->actions().constFirst();
        // Back through the steps after the hole, to the hole itself.
        while (!undo->text().startsWith(QStringLiteral("&Undo Add hole")) && undo->isEnabled()) frame().OnEditUndo();
        QVERIFY(undo->isEnabled());
        edit->popup(frame().menuBar()->mapToGlobal(frame().menuBar()->actionGeometry(edit->menuAction()).bottomLeft()));
        QVERIFY(QTest::qWaitForWindowExposed(edit));
        shot("09-undo");
        edit->hide();
        undo->trigger();
        QVERIFY(surface("bendend")->holes.empty());
    }

    void saveAndReopen()
    {
        const QString path = folder.filePath(QStringLiteral("first-track.mwk"));
        auto saved = whenModal<QFileDialog>([&](QFileDialog* dialog) {
            dialog->setDirectory(folder.path());
            QTest::qWait(800);
            dialogtest::control<QLineEdit>(dialog, "fileNameEdit")->setText(QStringLiteral("first-track.mwk"));
            shot("10-save");
            chooseFile(dialog, path);
        });
        frame().FindAction(QStringLiteral("Save &As..."))->trigger();
        QVERIFY(*saved);
        QVERIFY(QFileInfo::exists(path));
        frame().OnFileNew();
        QVERIFY(!surface("bend"));
        QVERIFY(frame().OpenDocumentFile(path));
        QVERIFY(surface("bend") && surface("bendend"));
        clickPanel("showAllButton"); // leaves the launch the opening began
        doc().peers().FitCameraToSurfaces();
        shot("11-reopened", 1000);
    }

    void cleanupTestCase() { app.reset(); }
};

MARLWICK_REGISTER_QTEST(GuideTour)

#include "GuideTour.moc"
