// File > "Make movie of ride…": a person rolls the ball down the spiral for a
// moment, saves the ride and makes a movie of it through the menu while the
// ball rolls on and the view keeps drawing; ffprobe reads the movie back. A
// movie of the last run, cancelled from its progress dialog, leaves the old
// file as it was and nothing beside it.

#include "CMainFrame.h"
#include "OpenGLTemplateApp.h"
#include "QtTestRegistry.h"
#include "RideMovieMaker.h"
#include "ViewOpenGLst.h"
#include "document/OpenGLTemplateDoc.h"
#include "gui/GuiTestSupport.h"
#include "movie/MovieProbe.h"
#include "panel/ControlPanelForm.h"
#include "simulation/RideFile.h"
#include "simulation/Simulation.h"

#include <QAbstractButton>
#include <QAction>
#include <QMessageBox>
#include <QProgressDialog>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <memory>

class RideMovieEndToEndTest : public WindowTest {
    Q_OBJECT

private:
    RideMovieMaker& maker() { return *frame().rideMovieMaker(); }
    QAction* makeMovie() { return frame().FindAction(QStringLiteral("Make movie of ride\u2026")); }
    // Waits for the movie to end: whether it was made, and the report.
    QList<QVariant> waitForTheEnd(QSignalSpy& ended)
    {
        if (ended.isEmpty() && !ended.wait(kStuckAfterMs)) return {};
        return ended.takeFirst();
    }

private slots:
    void initTestCase()
    {
        start(exampleDocument(QStringLiteral("spiral.mwk")));
        clickPanel("positionBallButton");
        doc().launchSpeed = 2.0;
        FixLaunch(doc());
        clickPanel("rollBallButton");
        rollFor(90);
    }

    void cleanupTestCase() { app.reset(); }

    void makesTheMovieOfASavedRideWhileTheBallRollsOn()
    {
        const QString ridePath = folder.filePath(QStringLiteral("spiral.mwkride"));
        const QString moviePath = folder.filePath(QStringLiteral("spiral.mp4"));
        QVERIFY(frame().SaveRideTo(ridePath));
        RideRecord ride;
        std::string error;
        QVERIFY2(LoadRideFile(ridePath.toStdString(), ride, error), error.c_str());

        QSignalSpy ended(&maker(), &RideMovieMaker::finished);
        auto asked = whenModal<QMessageBox>([](QMessageBox* box) {
            box->findChild<QAbstractButton*>(QStringLiteral("savedRideButton"))->click();
        });
        auto chosen = whenModal<QFileDialog>([&](QFileDialog* dialog) {
            chooseFile(dialog, dialog->acceptMode() == QFileDialog::AcceptOpen ? ridePath : moviePath);
        });
        frame().UpdateFileMenu();
        QVERIFY(makeMovie()->isEnabled());
        makeMovie()->trigger();
        QVERIFY(*asked && *chosen);
        QVERIFY(maker().busy());
        QVERIFY2(!makeMovie()->isEnabled(), "greyed while a movie is being made");
        QVERIFY(maker().progressDialog() && maker().progressDialog()->isVisible());

        // The program goes on meanwhile.
        const auto frames = view().core().framesRendered();
        const auto steps = doc().simulation.rideProfile.Recorded();
        const QList<QVariant> result = waitForTheEnd(ended);
        QVERIFY(!result.isEmpty());
        QVERIFY2(result.at(0).toBool(), qPrintable(result.at(1).toString()));
        QVERIFY(view().core().framesRendered() > frames + 3);
        QVERIFY(doc().simulation.rideProfile.Recorded() > steps + 3);
        QVERIFY(makeMovie()->isEnabled());

        double duration = 0.0;
        for (const RideStep& step : ride.steps) duration += step.h;
        const long wanted = long(std::ceil(duration * 30.0 - 1e-9));
        QCOMPARE(frame().statusBar()->currentMessage(),
                 QStringLiteral("Movie saved: %1, %2 frames.").arg(moviePath).arg(wanted));
        const movietest::MovieProbe movie = movietest::probe(moviePath.toStdString());
        QCOMPARE(movie.codec, std::string("h264"));
        QCOMPARE(movie.pixelFormat, std::string("yuv420p"));
        QCOMPARE(movie.width, view().core().width() / 2 * 2);
        QCOMPARE(movie.height, view().core().height() / 2 * 2);
        QCOMPARE(movie.frames, wanted);
    }

    void aCancelledMovieOfTheLastRunLeavesTheOldFile()
    {
        QTemporaryDir elsewhere;
        const QString moviePath = elsewhere.filePath(QStringLiteral("run.webm"));
        QFile old(moviePath);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("the old movie") == 13);
        old.close();

        QSignalSpy ended(&maker(), &RideMovieMaker::finished);
        // The program says why there is no movie in a message box.
        auto told = whenModal<QMessageBox>([](QMessageBox* box) { box->accept(); });
        QCOMPARE(maker().Start(QString(), moviePath, QStringLiteral("spiral.mwk")), QString());
        QProgressDialog* progress = maker().progressDialog();
        QTRY_VERIFY_WITH_TIMEOUT(progress->value() >= 1 || !ended.isEmpty(), kStuckAfterMs);
        QVERIFY2(ended.isEmpty(), "the movie was still being made");
        QTest::mouseClick(progress->findChild<QAbstractButton*>(QStringLiteral("cancelRideMovieButton")), Qt::LeftButton);

        const QList<QVariant> result = waitForTheEnd(ended);
        QVERIFY(!result.isEmpty());
        QVERIFY(!result.at(0).toBool());
        QCOMPARE(result.at(1).toString(), QStringLiteral("Movie cancelled: %1 was not written.").arg(moviePath));
        QVERIFY(*told);
        QCOMPARE(frame().lastMessage(), result.at(1).toString());
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("the old movie"));
        QCOMPARE(QDir(elsewhere.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden).size(), 1);
        QVERIFY(makeMovie()->isEnabled());
    }
};

MARLWICK_REGISTER_QTEST(RideMovieEndToEndTest)
#include "RideMovieEndToEndTest.moc"
