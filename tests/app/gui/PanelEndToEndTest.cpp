// A new user's first run with the control panel, in a real window: start
// the program with the spiral example on the command line, show the panel
// from the View menu, position the ball, fix its launch in the view and roll
// it; a change made on the panel marks the document modified. Then, on the spiral
// opened afresh, Edit > Undo and Redo: a surface picked in the tree and
// deleted from the panel comes back selected with Ctrl+Z and goes again with
// Ctrl+Shift+Z and Ctrl+Y, the menu's texts and greying following the history.

#include "QtTestRegistry.h"
#include "gui/GuiTestSupport.h"
#include "simulation/SharedSettings.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QTreeWidget>

class PanelEndToEndTest : public WindowTest {
    Q_OBJECT

private:
    QString deleted;
    int groupSize = 0; // surfaces in the deleted one's group before the delete

    QTreeWidget* tree() { return control<QTreeWidget>(&panel(), "surfaceTree"); }
    // The part of the whole screen a widget or window covers, a few frames from now.
    template <typename Window>
    QImage shownOf(const Window* widget, const char* shot)
    {
        return wholeScreen(shot).copy(QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size()));
    }
    // Distinct grey levels in a picture: text and frames give many.
    static int greyLevels(const QImage& image)
    {
        QSet<int> levels;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) levels.insert(qGray(image.pixel(x, y)) / 16);
        return static_cast<int>(levels.size());
    }
    QString selectedName() { return QString::fromStdString(textOf(doc().selectedSurface->name)); }
    QStringList surfaceNames() { return dialogtest::namesOf(doc().surfaces); }
    QAction* undoItem() { return frame().menuBar()->actions().at(1)->menu()->actions().at(0); }
    QAction* redoItem() { return frame().menuBar()->actions().at(1)->menu()->actions().at(1); }
    void press(QKeySequence keys)
    {
        frame().activateWindow();
        QTRY_VERIFY(frame().isActiveWindow());
        QTest::keySequence(&frame(), keys);
    }

private slots:
    void initTestCase()
    {
        start(exampleDocument(QStringLiteral("spiral.mwk")));
        QCOMPARE(surfaceNames(), (QStringList{"turn1", "turn2", "turn3", "turn4"}));
        QVERIFY2(titleAtStart.contains(QStringLiteral("spiral.mwk")), qPrintable(titleAtStart));
    }

    void showThePanelFromTheViewMenu()
    {
        QVERIFY(!frame().panelPane()->isVisible());
        action("Control Panel")->trigger();
        QTRY_COMPARE(frame().panelPane()->width(), CMainFrame::kPanelWidth);
        // Only the height scrolls: the panel fits the pane's width.
        QVERIFY2(panel().minimumSizeHint().width() <= frame().panelPane()->viewport()->width(),
                 qPrintable(QString::number(panel().minimumSizeHint().width())));
        // The panel is drawn (text and frames), not a black or empty rectangle.
        const QImage pane = shownOf(frame().panelPane(), "panel-shown");
        QVERIFY2(greyLevels(pane) >= 4, qPrintable(QString::number(greyLevels(pane))));
        QVERIFY(litPixels(pane) > pane.width() * pane.height() / 8);
    }

    void positionFixTheLaunchAndRoll()
    {
        positionAndFixLaunch(gentleAim());
        const Vec3 start = ballCentre();
        // The panel shows what Position ball switched on.
        QVERIFY(control<QCheckBox>(&panel(), "followCheck")->isChecked());
        QVERIFY(control<QCheckBox>(&panel(), "navigationCheck")->isChecked());
        clickPanel("rollBallButton");
        QVERIFY(!doc().simulation.stopped.load());
        QTRY_VERIFY_WITH_TIMEOUT(length(ballCentre() - start) > 2.0, kStuckAfterMs);
    }

    void aPanelChangeMarksTheDocumentModified()
    {
        // Saved as a copy: nothing is left to lose.
        QVERIFY(frame().SaveDocumentTo(folder.filePath(QStringLiteral("spiral.mwk"))));
        QVERIFY(!doc().IsModified());
        clickPanel("boundingBoxesCheck");
        QVERIFY(ReadSetting(doc().showBoundingBoxes));
        QVERIFY(doc().IsModified());
        QVERIFY(frame().isWindowModified());
    }

    void deleteASurfaceFromThePanel()
    {
        QVERIFY(frame().OpenDocumentFile(exampleDocument(QStringLiteral("spiral.mwk"))));
        QTreeWidgetItem* item = tree()->topLevelItem(1)->child(1);
        QVERIFY(item);
        deleted = item->text(0);
        groupSize = tree()->topLevelItem(1)->childCount();
        frame().panelPane()->ensureWidgetVisible(tree());
        QVERIFY(clickTreeItem(tree(), deleted));
        QCOMPARE(selectedName(), deleted);
        auto answered = whenModal<QMessageBox>([](QMessageBox* box) { box->button(QMessageBox::Ok)->click(); });
        clickPanel("deleteSurfaceButton");
        QTRY_VERIFY(*answered);
        QVERIFY(!surfaceNames().contains(deleted));
        QVERIFY(doc().IsModified());
        QCOMPARE(undoItem()->text(), QStringLiteral("&Undo Delete surface %1\tCtrl+Z").arg(deleted));
        QVERIFY(undoItem()->isEnabled());
        QVERIFY(!redoItem()->isEnabled());
        shot("deleted");
    }

    void ctrlZBringsItBackSelected()
    {
        press(QKeySequence(Qt::CTRL | Qt::Key_Z));
        QTRY_VERIFY(surfaceNames().contains(deleted));
        QCOMPARE(surfaceNames().size(), 4);
        QVERIFY(doc().selectedSurface);
        QCOMPARE(selectedName(), deleted);
        QVERIFY(tree()->currentItem());
        QCOMPARE(tree()->currentItem()->text(0), deleted);
        QVERIFY(!doc().IsModified()); // back to the state the file holds
        QCOMPARE(undoItem()->text(), QStringLiteral("&Undo\tCtrl+Z"));
        QVERIFY(!undoItem()->isEnabled());
        QCOMPARE(redoItem()->text(), QStringLiteral("&Redo Delete surface %1\tCtrl+Y").arg(deleted));
        QVERIFY(redoItem()->isEnabled());
        shot("undone");
    }

    void ctrlShiftZAndCtrlYDeleteItAgain()
    {
        press(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
        QTRY_VERIFY(!surfaceNames().contains(deleted));
        QVERIFY(doc().IsModified());
        QVERIFY(!redoItem()->isEnabled());
        undoItem()->trigger();
        QVERIFY(surfaceNames().contains(deleted));
        press(QKeySequence(Qt::CTRL | Qt::Key_Y));
        QTRY_VERIFY(!surfaceNames().contains(deleted));
        QCOMPARE(tree()->topLevelItem(1)->childCount(), groupSize - 1);
    }

    void cleanupTestCase()
    {
        doc().SetModifiedFlag(false);
        app.reset();
    }
};

MARLWICK_REGISTER_QTEST(PanelEndToEndTest)
#include "PanelEndToEndTest.moc"
