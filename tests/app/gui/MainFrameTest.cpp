// The main window of the program: its menus, the control-panel pane, the
// recent-file list, opening documents from the menu and the command line,
// and the title the view keeps up to date.

#include "CMainFrame.h"
#include "OpenGLTemplateApp.h"
#include "QtRenderHost.h"
#include "QtTestRegistry.h"
#include "RecentFileList.h"
#include "ViewOpenGLst.h"
#include "document/OpenGLTemplateDoc.h"
#include "gui/GuiTestSupport.h"
#include "panel/ControlPanelForm.h"
#include "panel/ControlPanelPane.h"

#include <QAbstractButton>
#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QMenuBar>
#include <QMessageBox>
#include <QSettings>
#include <QProgressBar>
#include <QSplitter>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

std::vector<std::string> surfaceNames(COpenGLTemplateDoc& doc)
{
    std::vector<std::string> names;
    for (const auto& s : doc.surfaces) names.push_back(textOf(s->name));
    return names;
}

} // namespace

class MainFrameTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<OpenGLTemplateApp> app;
    QTemporaryDir dir;

    CMainFrame& frame() { return *app->mainFrame(); }
    QString copyExample(const QString& as)
    {
        const QString path = dir.filePath(as);
        QFile::remove(path);
        QFile::copy(exampleDocument(QStringLiteral("spiral.mwk")), path);
        return path;
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(dir.isValid());
    }

    void init()
    {
        QSettings(QStringLiteral("Marlwick"), QStringLiteral("Marlwick")).clear();
        app = std::make_unique<OpenGLTemplateApp>();
        QVERIFY(app->InitInstance({QStringLiteral("marlwick")}));
        QVERIFY(QTest::qWaitForWindowExposed(&frame()));
    }

    void cleanup() { app.reset(); }

    void menuItemsHaveTheirCaptionsAndShortcuts_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QKeySequence>("shortcut");
        const QKeySequence none;
        QTest::newRow("new") << "&New\tCtrl+N" << QKeySequence(Qt::CTRL | Qt::Key_N);
        QTest::newRow("open") << "&Open...\tCtrl+O" << QKeySequence(Qt::CTRL | Qt::Key_O);
        QTest::newRow("save") << "&Save\tCtrl+S" << QKeySequence(Qt::CTRL | Qt::Key_S);
        QTest::newRow("save as") << "Save &As..." << none;
        QTest::newRow("save image") << "Save image" << none;
        QTest::newRow("movie") << "Save movie frames" << none;
        QTest::newRow("save movie") << "Save movie…" << none;
        QTest::newRow("stop movie") << "Stop movie" << none;
        QTest::newRow("print") << "&Print...\tCtrl+P" << QKeySequence(Qt::CTRL | Qt::Key_P);
        QTest::newRow("preview") << "Print Pre&view" << none;
        QTest::newRow("setup") << "P&rint Setup..." << none;
        QTest::newRow("recent") << "Recent File" << none;
        QTest::newRow("exit") << "E&xit" << none;
        QTest::newRow("undo") << "&Undo\tCtrl+Z" << QKeySequence(Qt::CTRL | Qt::Key_Z);
        QTest::newRow("redo") << "&Redo\tCtrl+Y" << QKeySequence(Qt::CTRL | Qt::Key_Y);
        QTest::newRow("panel") << "Control Panel" << none;
        QTest::newRow("vertical") << "Camera aligned vertically" << none;
        QTest::newRow("surface") << "Camera aligned with surface" << none;
        QTest::newRow("about") << "&About Marlwick..." << none;
    }

    void menuItemsHaveTheirCaptionsAndShortcuts()
    {
        QFETCH(QString, caption);
        QFETCH(QKeySequence, shortcut);
        QAction* action = frame().FindAction(caption);
        QVERIFY2(action, qPrintable(caption));
        QCOMPARE(action->shortcut(), shortcut);
    }

    void menusComeInTheirOrder()
    {
        QStringList titles;
        for (QAction* a : frame().menuBar()->actions()) titles << a->text();
        QCOMPARE(titles, (QStringList{"&File", "&Edit", "&View", "&Help"}));
    }

    void controlPanelIsHiddenAtStartAndTogglesAt330Pixels()
    {
        QAction* item = frame().FindAction(QStringLiteral("Control Panel"));
        QSplitter* splitter = app->splitter();
        QVERIFY(!item->isChecked());
        QCOMPARE(frame().panelWidth(), 0);
        QVERIFY(!frame().panelPane()->isVisible());
        item->trigger();
        QTRY_COMPARE(frame().panelPane()->width(), CMainFrame::kPanelWidth);
        QVERIFY(item->isChecked());
        QCOMPARE(splitter->sizes().at(1), CMainFrame::kPanelWidth);
        QVERIFY(splitter->sizes().at(0) > 0);
        // Minimising and restoring keeps the panel as the menu shows it.
        frame().showMinimized();
        frame().showNormal();
        QTRY_COMPARE(frame().panelPane()->width(), CMainFrame::kPanelWidth);
        item->trigger();
        QVERIFY(!item->isChecked());
        QTRY_VERIFY(!frame().panelPane()->isVisible());
        QCOMPARE(frame().panelWidth(), 0);
    }

    void cameraAlignmentItemsCheckTheModeInForce()
    {
        QAction* vertical = frame().FindAction(QStringLiteral("Camera aligned vertically"));
        QAction* surface = frame().FindAction(QStringLiteral("Camera aligned with surface"));
        QVERIFY(surface->isChecked() && !vertical->isChecked());
        vertical->trigger();
        QVERIFY(app->document().simulation.camera.verticalSwitch.load());
        QVERIFY(vertical->isChecked() && !surface->isChecked());
        surface->trigger();
        QVERIFY(!app->document().simulation.camera.verticalSwitch.load());
    }

    void newDocumentHasTheSurfaceA()
    {
        QCOMPARE(surfaceNames(app->document()), std::vector<std::string>{"a"});
        QCOMPARE(frame().windowTitle().isEmpty(), false);
    }

    void recentFilesKeepTheFourNewestFirst()
    {
        QStringList opened;
        for (int k = 0; k < 5; ++k) {
            opened.prepend(copyExample(QStringLiteral("doc%1.mwk").arg(k)));
            QVERIFY(frame().OpenDocumentFile(opened.constFirst()));
        }
        QCOMPARE(frame().recentFiles().files(), opened.mid(0, 4));
        QVERIFY(frame().OpenDocumentFile(opened.at(2)));
        QCOMPARE(frame().recentFiles().files().constFirst(), opened.at(2));
        QCOMPARE(frame().recentFiles().files().size(), 4);
        QVERIFY(frame().FindAction(QStringLiteral("&1 ") + opened.at(2)));
        QVERIFY(!frame().FindAction(QStringLiteral("Recent File"))->isVisible());
        RecentFileList reloaded;
        reloaded.Load();
        QCOMPARE(reloaded.files(), frame().recentFiles().files());
        // A recent item opens its file.
        frame().FindAction(QStringLiteral("&2 ") + opened.at(0))->trigger();
        QCOMPARE(frame().documentPath(), opened.at(0));
    }

    void aRecentFileThatNoLongerOpensLeavesTheList()
    {
        const QString gone = copyExample(QStringLiteral("gone.mwk"));
        const QString kept = copyExample(QStringLiteral("kept.mwk"));
        QVERIFY(frame().OpenDocumentFile(gone));
        QVERIFY(frame().OpenDocumentFile(kept));
        QVERIFY(QFile::remove(gone));
        auto answered = whenModal<QMessageBox>([](QMessageBox* box) { box->accept(); });
        frame().FindAction(QStringLiteral("&2 ") + gone)->trigger();
        QVERIFY(*answered);
        QCOMPARE(frame().recentFiles().files(), QStringList{kept});
        const QAction* second = frame().FindAction(QStringLiteral("&2 ") + gone);
        QVERIFY(!second || !second->isVisible());
        RecentFileList reloaded;
        reloaded.Load();
        QCOMPARE(reloaded.files(), QStringList{kept});
        QCOMPARE(frame().documentPath(), kept);
    }

    void theLoadingProgressSitsOverTheViewBelowTheMenuBar()
    {
        QVERIFY(frame().OpenDocumentFile(copyExample(QStringLiteral("progress.mwk"))));
        const QRect bar = frame().progressBar()->geometry();
        QVERIFY2(bar.top() > frame().menuBar()->geometry().bottom(), qPrintable(QString::number(bar.top())));
        const QRect view(frame().splitter()->mapTo(&frame(), QPoint(0, 0)), frame().splitter()->widget(0)->size());
        QVERIFY(view.contains(bar));
    }

    void theViewHasTheKeysFromTheStart()
    {
        QTRY_COMPARE(QGuiApplication::focusWindow(), static_cast<QWindow*>(app->view()));
        // Delete held down zooms out, without a click into the view first.
        const double before = app->view()->core().OrbitDistance();
        QTest::keyPress(QGuiApplication::focusWindow(), Qt::Key_Delete);
        QTRY_VERIFY(app->view()->core().OrbitDistance() > before * 1.1);
        QTest::keyRelease(QGuiApplication::focusWindow(), Qt::Key_Delete);
    }

    void aFailedOpenShowsWhyAndKeepsTheDocument()
    {
        const QString good = copyExample(QStringLiteral("good.mwk"));
        QVERIFY(frame().OpenDocumentFile(good));
        const std::vector<std::string> before = surfaceNames(app->document());
        const QString bad = dir.filePath(QStringLiteral("broken.mwk"));
        QFile file(bad);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("not a Quorvane document at all");
        file.close();
        QString shown;
        auto answered = whenModal<QMessageBox>([&](QMessageBox* box) {
            shown = box->text();
            box->accept();
        });
        QVERIFY(!frame().OpenDocumentFile(bad));
        QVERIFY(*answered);
        QVERIFY2(shown.contains(QStringLiteral("broken.mwk")), qPrintable(shown));
        QCOMPARE(surfaceNames(app->document()), before);
        QCOMPARE(frame().documentPath(), good);
        QVERIFY(!frame().recentFiles().files().contains(bad));
    }

    void theOpenCommandUsesTheDocumentFilter()
    {
        const QString path = copyExample(QStringLiteral("menu.mwk"));
        QStringList filters;
        auto answered = whenModal<QFileDialog>([&](QFileDialog* dialog) {
            filters = dialog->nameFilters();
            chooseFile(dialog, path);
        });
        frame().FindAction(QStringLiteral("&Open...\tCtrl+O"))->trigger();
        QVERIFY(*answered);
        QCOMPARE(filters, QStringList{QStringLiteral("Quorvane Files (*.mwk)")});
        QCOMPARE(frame().documentPath(), path);
        QCOMPARE(surfaceNames(app->document()).front(), std::string("turn1"));
    }

    void saveAsWritesADocumentThatOpensAgain()
    {
        const QString path = dir.filePath(QStringLiteral("saved.mwk"));
        QFile::remove(path);
        QVERIFY(frame().SaveDocumentTo(path));
        QVERIFY(QFile::exists(path));
        QVERIFY(frame().OpenDocumentFile(path));
        QCOMPARE(surfaceNames(app->document()), std::vector<std::string>{"a"});
    }

    void aFileOnTheCommandLineIsOpenedInsteadOfTheNewDocument()
    {
        app.reset();
        app = std::make_unique<OpenGLTemplateApp>();
        QVERIFY(app->InitInstance({QStringLiteral("marlwick"), exampleDocument(QStringLiteral("spiral.mwk"))}));
        QCOMPARE(surfaceNames(app->document()), (std::vector<std::string>{"turn1", "turn2", "turn3", "turn4"}));
        QVERIFY(frame().windowTitle().contains(QStringLiteral("spiral.mwk")));
    }

    void anUnreadableFileOnTheCommandLineFailsTheStart()
    {
        app.reset();
        app = std::make_unique<OpenGLTemplateApp>();
        auto answered = whenModal<QMessageBox>([](QMessageBox* box) { box->accept(); });
        QVERIFY(!app->InitInstance({QStringLiteral("marlwick"), dir.filePath(QStringLiteral("missing.mwk"))}));
        QVERIFY(*answered);
    }

    void theTitleShowsTheRatesEvery200Milliseconds()
    {
        QTRY_VERIFY_WITH_TIMEOUT(frame().windowTitle().startsWith(QStringLiteral(" Marlwick    Render FPS = ")), kStuckAfterMs);
        QVERIFY(frame().windowTitle().contains(QStringLiteral(" ,   Physics FPS = ")));
        app->document().showFocalPoint = true;
        const QString focal = QStringLiteral(" Marlwick    U = 0.500,  V = 0.500,");
        QTRY_VERIFY_WITH_TIMEOUT(frame().windowTitle().startsWith(focal), kStuckAfterMs);
    }

    void theAboutBoxHasItsCaptionAndOneButton()
    {
        QString caption;
        int buttons = 0;
        auto answered = whenModal<QDialog>([&](QDialog* dialog) {
            caption = dialog->windowTitle();
            buttons = static_cast<int>(dialog->findChildren<QAbstractButton*>().size());
            dialog->accept();
        });
        frame().FindAction(QStringLiteral("&About Marlwick..."))->trigger();
        QVERIFY(*answered);
        QCOMPARE(caption, QStringLiteral("About Marlwick"));
        QCOMPARE(buttons, 1);
    }

    void glyphOutlinesComeFromTheFontInEmUnits()
    {
        const QtGlyphOutlines font;
        render::GlyphOutline a, space, control, o;
        QVERIFY(font.Glyph('A', a));
        QVERIFY(!a.contours.empty());
        QVERIFY(a.advance > 0.3 && a.advance < 1.2);
        double top = 0.0;
        for (const auto& contour : a.contours)
            for (const auto& p : contour) top = std::max(top, p.y);
        QVERIFY2(top > 0.5 && top < 1.1, qPrintable(QString::number(top))); // a capital, baseline at 0
        QVERIFY(font.Glyph('o', o));
        QCOMPARE(o.contours.size(), std::size_t(2)); // outside and the hole
        QVERIFY(font.Glyph(' ', space));
        QVERIFY(space.contours.empty() && space.advance > 0.0);
        QVERIFY(!font.Glyph('\n', control));
    }

    void rollingWithoutALaunchSaysWhatIsMissing()
    {
        QString shown;
        auto answered = whenModal<QMessageBox>([&](QMessageBox* box) {
            shown = box->text();
            box->accept();
        });
        app->controlPanel()->findChild<QAbstractButton*>(QStringLiteral("rollBallButton"))->click();
        QVERIFY(*answered);
        QCOMPARE(shown, QStringLiteral("First set the initial velocity of the ball."));
    }
};

MARLWICK_REGISTER_QTEST(MainFrameTest)
#include "MainFrameTest.moc"
