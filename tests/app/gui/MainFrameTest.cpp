// The main window of the program: its menus, the control-panel pane, the
// recent-file list, opening and saving documents, the folders the file
// dialogs start in, the font's glyph outlines, and a modified document never
// thrown away unasked: "New", "Open", a recent file and closing the window ask
// "Save changes to ...?"; Cancel keeps everything, Discard goes on without
// writing, Save writes first and a failed save stops the command. One program
// runs them in turn, each on a new document; the start with a file that does
// not open comes last.

#include "QtRenderHost.h"
#include "QtTestRegistry.h"
#include "RecentFileList.h"
#include "design/Groups.h"
#include "gui/GuiTestSupport.h"

#include <QAbstractButton>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QSplitter>

class MainFrameTest : public WindowTest {
    Q_OBJECT

private:
    QStringList prompts; // the texts of the message boxes answered

    // A writable copy of the spiral example.
    QString copyExample(const QString& as)
    {
        const QString path = folder.filePath(as);
        QFile::remove(path);
        QFile::copy(exampleDocument(QStringLiteral("spiral.mwk")), path);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        return path;
    }
    static QByteArray bytesOf(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QStringList surfaceNames() { return dialogtest::namesOf(doc().surfaces); }
    std::string firstSurfaceName() { return textOf(doc().surfaces.front()->name); }
    // A change a user makes: the first surface renamed.
    void renameFirstSurface(const char* name)
    {
        QVERIFY(design::RenameSurface(doc(), *doc().surfaces.front(), name).ok());
        QVERIFY(doc().IsModified());
    }
    // Answers the next message box with `button` (OK where it has none) and
    // keeps its text; the whole screen is kept as it is answered.
    std::shared_ptr<bool> answerWith(QMessageBox::StandardButton button)
    {
        return whenModal<QMessageBox>([this, button](QMessageBox* box) {
            prompts << box->text();
            shot(QTest::currentTestFunction());
            QAbstractButton* chosen = box->button(button);
            (chosen ? chosen : box->button(QMessageBox::Ok))->click();
        });
    }
    QString startFolderOf(const char* command)
    {
        // Earlier watchers first see their dialog gone and stop, so that none
        // takes this dialog for its own.
        QTest::qWait(100);
        auto seen = std::make_shared<QString>();
        auto answered = whenModal<QFileDialog>([seen](QFileDialog* dialog) {
            *seen = dialog->directory().absolutePath();
            dialog->reject();
        });
        action(command)->trigger();
        return *answered ? *seen : QStringLiteral("no file dialog");
    }

private slots:
    void initTestCase() { start(); }

    void init() { prompts.clear(); }

    void cleanup()
    {
        if (!app->mainFrame() || !frame().isVisible()) return;
        if (!doc().IsModified() && frame().documentPath().isEmpty()) return;
        doc().SetModifiedFlag(false);
        frame().OnFileNew();
    }

    void theViewHasTheKeysFromTheStart()
    {
        QTRY_COMPARE(QGuiApplication::focusWindow(), static_cast<QWindow*>(app->view()));
        // Delete held down zooms out, without a click into the view first.
        const double before = view().core().OrbitDistance();
        QTest::keyPress(QGuiApplication::focusWindow(), Qt::Key_Delete);
        QTRY_VERIFY(view().core().OrbitDistance() > before * 1.1);
        QTest::keyRelease(QGuiApplication::focusWindow(), Qt::Key_Delete);
    }

    // A caption names its item's shortcut after a tab.
    void menuItemsHaveTheirCaptionsAndShortcuts_data()
    {
        QTest::addColumn<QString>("caption");
        for (const char* caption :
             {"&New\tCtrl+N", "&Open...\tCtrl+O", "&Save\tCtrl+S", "&Print...\tCtrl+P", "&Undo\tCtrl+Z",
              "&Redo\tCtrl+Y", "Save &As...", "Save image", "Save movie frames", "Save movie…", "Stop movie",
              "Print Pre&view", "P&rint Setup...", "Recent File", "E&xit", "Control Panel",
              "Camera aligned vertically", "Camera aligned with surface", "&About Marlwick..."})
            QTest::newRow(caption) << QString::fromUtf8(caption);
    }

    void menuItemsHaveTheirCaptionsAndShortcuts()
    {
        QFETCH(QString, caption);
        QAction* item = frame().FindAction(caption);
        QVERIFY2(item, qPrintable(caption));
        QCOMPARE(item->shortcut(), QKeySequence::fromString(caption.section(QLatin1Char('\t'), 1)));
    }

    void menusComeInTheirOrderWithUndoAndRedoGreyedAtFirst()
    {
        QStringList titles;
        for (QAction* a : frame().menuBar()->actions()) titles << a->text();
        QCOMPARE(titles, (QStringList{"&File", "&Edit", "&View", "&Help"}));
        const QList<QAction*> edit = frame().menuBar()->actions().at(1)->menu()->actions();
        QCOMPARE(edit.size(), 2);
        QVERIFY(!edit[0]->isEnabled() && !edit[1]->isEnabled());
    }

    void controlPanelIsHiddenAtStartAndTogglesAt330Pixels()
    {
        QAction* item = action("Control Panel");
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
        QAction* vertical = action("Camera aligned vertically");
        QAction* surface = action("Camera aligned with surface");
        QVERIFY(surface->isChecked() && !vertical->isChecked());
        vertical->trigger();
        QVERIFY(doc().simulation.camera.verticalSwitch.load());
        QVERIFY(vertical->isChecked() && !surface->isChecked());
        surface->trigger();
        QVERIFY(!doc().simulation.camera.verticalSwitch.load());
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
        QVERIFY(!action("Recent File")->isVisible());
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
        QStringList left = frame().recentFiles().files();
        left.removeAll(gone);
        QVERIFY(QFile::remove(gone));
        auto answered = answerWith(QMessageBox::Ok);
        frame().FindAction(QStringLiteral("&2 ") + gone)->trigger();
        QVERIFY(*answered);
        QCOMPARE(frame().recentFiles().files(), left);
        const QAction* second = frame().FindAction(QStringLiteral("&2 ") + gone);
        QVERIFY(!second || !second->isVisible());
        RecentFileList reloaded;
        reloaded.Load();
        QCOMPARE(reloaded.files(), left);
        QCOMPARE(frame().documentPath(), kept);
    }

    void theLoadingProgressSitsOverTheViewBelowTheMenuBar()
    {
        QVERIFY(frame().OpenDocumentFile(copyExample(QStringLiteral("progress.mwk"))));
        const QRect bar = frame().progressBar()->geometry();
        QVERIFY2(bar.top() > frame().menuBar()->geometry().bottom(), qPrintable(QString::number(bar.top())));
        const QRect shown(frame().splitter()->mapTo(&frame(), QPoint(0, 0)), frame().splitter()->widget(0)->size());
        QVERIFY(shown.contains(bar));
    }

    void aFailedOpenShowsWhyAndKeepsTheDocument()
    {
        const QString good = copyExample(QStringLiteral("good.mwk"));
        QVERIFY(frame().OpenDocumentFile(good));
        const QStringList before = surfaceNames();
        const QString bad = folder.filePath(QStringLiteral("broken.mwk"));
        QFile file(bad);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("not a Quorvane document at all");
        file.close();
        auto answered = answerWith(QMessageBox::Ok);
        QVERIFY(!frame().OpenDocumentFile(bad));
        QVERIFY(*answered);
        QVERIFY2(prompts.value(0).contains(QStringLiteral("broken.mwk")), qPrintable(prompts.value(0)));
        QCOMPARE(surfaceNames(), before);
        QCOMPARE(frame().documentPath(), good);
        QVERIFY(!frame().recentFiles().files().contains(bad));
    }

    void fileDialogsStartInTheFolderLastUsed()
    {
        const QString track = folder.filePath(QStringLiteral("track"));
        QVERIFY(QDir().mkpath(track + QStringLiteral("/pictures")));
        QVERIFY(frame().SaveDocumentTo(track + QStringLiteral("/track.mwk")));
        QCOMPARE(startFolderOf("&Open...\tCtrl+O"), track);
        QCOMPARE(startFolderOf("Save image"), track);
        const QString picture = track + QStringLiteral("/pictures/view.png");
        auto saved = whenModal<QFileDialog>([picture](QFileDialog* dialog) { chooseFile(dialog, picture); });
        action("Save image")->trigger();
        QVERIFY(*saved);
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(picture), kStuckAfterMs);
        QCOMPARE(startFolderOf("&Open...\tCtrl+O"), track + QStringLiteral("/pictures"));
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

    void theTitleShowsTheModifiedFlag()
    {
        QVERIFY(!frame().isWindowModified());
        renameFirstSurface("changed");
        QVERIFY(frame().isWindowModified());
        QVERIFY(frame().windowTitle().contains(QStringLiteral("[*]")));
        QVERIFY(frame().SaveDocumentTo(folder.filePath(QStringLiteral("title.mwk"))));
        QVERIFY(!frame().isWindowModified());
    }

    void newAsksOnlyWhenTheDocumentIsModified_data()
    {
        QTest::addColumn<bool>("modified");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("keepsTheChange");
        QTest::addColumn<bool>("writes");
        QTest::newRow("an unmodified document is replaced without asking") << false << 0 << false << false;
        QTest::newRow("cancel keeps the modified document") << true << int(QMessageBox::Cancel) << true << false;
        QTest::newRow("discard goes on without writing") << true << int(QMessageBox::Discard) << false << false;
        QTest::newRow("save writes the file before going on") << true << int(QMessageBox::Save) << false << true;
    }

    void newAsksOnlyWhenTheDocumentIsModified()
    {
        QFETCH(bool, modified);
        QFETCH(int, answer);
        QFETCH(bool, keepsTheChange);
        QFETCH(bool, writes);
        const QString path = copyExample(QStringLiteral("prompt.mwk"));
        QVERIFY(frame().OpenDocumentFile(path));
        const QByteArray onDisk = bytesOf(path);
        if (modified) renameFirstSurface("changed");
        const auto button = static_cast<QMessageBox::StandardButton>(answer);
        auto answered = modified ? answerWith(button) : std::make_shared<bool>(false);
        action("&New\tCtrl+N")->trigger();
        QCOMPARE(*answered, modified);
        QCOMPARE(prompts, modified ? QStringList{QStringLiteral("Save changes to prompt.mwk?")} : QStringList{});
        if (keepsTheChange) {
            QCOMPARE(firstSurfaceName(), std::string("changed"));
            QCOMPARE(frame().documentPath(), QFileInfo(path).absoluteFilePath());
        } else {
            QCOMPARE(surfaceNames(), QStringList{"a"});
        }
        QCOMPARE(doc().IsModified(), keepsTheChange);
        QCOMPARE(bytesOf(path) == onDisk, !writes);
        QVERIFY(frame().OpenDocumentFile(path));
        QCOMPARE(firstSurfaceName(), writes ? std::string("changed") : std::string("turn1"));
    }

    void aFailedSaveStopsTheCommand()
    {
        QDir gone(folder.filePath(QStringLiteral("gone")));
        QVERIFY(gone.mkpath(QStringLiteral(".")));
        const QString path = gone.filePath(QStringLiteral("lost.mwk"));
        QVERIFY(QFile::copy(exampleDocument(QStringLiteral("spiral.mwk")), path));
        QVERIFY(frame().OpenDocumentFile(path));
        QVERIFY(gone.removeRecursively());
        renameFirstSurface("changed");
        auto answered = answerWith(QMessageBox::Save);
        action("&New\tCtrl+N")->trigger();
        QVERIFY(*answered);
        QCOMPARE(prompts.size(), 2); // the prompt, then why the save failed
        QVERIFY2(prompts.at(1).contains(QStringLiteral("lost.mwk")), qPrintable(prompts.at(1)));
        QCOMPARE(firstSurfaceName(), std::string("changed"));
        QVERIFY(doc().IsModified());
    }

    void openAndRecentFilesAsk()
    {
        const QString other = copyExample(QStringLiteral("recent.mwk"));
        QVERIFY(frame().OpenDocumentFile(other));
        frame().OnFileNew();
        renameFirstSurface("changed");
        auto cancelled = answerWith(QMessageBox::Cancel);
        action("&Open...\tCtrl+O")->trigger(); // Cancel: no file dialog follows
        QVERIFY(*cancelled);
        QCOMPARE(frame().recentFiles().files().value(0), QFileInfo(other).absoluteFilePath());
        auto discarded = answerWith(QMessageBox::Discard);
        frame().FindAction(QStringLiteral("&1 ") + QFileInfo(other).absoluteFilePath())->trigger();
        QVERIFY(*discarded);
        QCOMPARE(prompts.size(), 2);
        QCOMPARE(frame().documentPath(), QFileInfo(other).absoluteFilePath());
        QVERIFY(!doc().IsModified());
    }

    void closingAsksAndCancelKeepsTheWindow()
    {
        renameFirstSurface("changed");
        auto cancelled = answerWith(QMessageBox::Cancel);
        QVERIFY(!frame().close());
        QVERIFY(*cancelled);
        QVERIFY(frame().isVisible());
        QCOMPARE(firstSurfaceName(), std::string("changed"));
        auto discarded = answerWith(QMessageBox::Discard);
        action("E&xit")->trigger();
        QVERIFY(*discarded);
        QVERIFY(!frame().isVisible());
    }

    void anUnreadableFileOnTheCommandLineFailsTheStart()
    {
        app.reset();
        app = std::make_unique<OpenGLTemplateApp>();
        auto answered = whenModal<QMessageBox>([](QMessageBox* box) { box->accept(); });
        QVERIFY(!app->InitInstance({QStringLiteral("marlwick"), folder.filePath(QStringLiteral("missing.mwk"))}));
        QVERIFY(*answered);
    }

    void cleanupTestCase() { app.reset(); }
};

MARLWICK_REGISTER_QTEST(MainFrameTest)
#include "MainFrameTest.moc"
