// File > "Save movie…" and "Stop movie": the view recorded to an MP4 while
// the ball rolls, with the recording mark in the view's corner, and the
// status saying what was saved; ffprobe reads the file back. With
// MARLWICK_SHOTS set, the view is kept there while it records.

#include "CMainFrame.h"
#include "OpenGLTemplateApp.h"
#include "QtTestRegistry.h"
#include "ViewOpenGLst.h"
#include "document/OpenGLTemplateDoc.h"
#include "gui/GuiTestSupport.h"
#include "panel/ControlPanelForm.h"
#include "simulation/Simulation.h"

#include <QAbstractButton>
#include <QAction>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

class MovieRecordingTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<OpenGLTemplateApp> app;
    QTemporaryDir dir;

    CMainFrame& frame() { return *app->mainFrame(); }
    ViewOpenGLst& view() { return *frame().view(); }
    QAction* action(const char* caption) { return frame().FindAction(QString::fromUtf8(caption)); }
    void clickPanel(const char* name)
    {
        auto* button = frame().controlPanel()->findChild<QAbstractButton*>(QString::fromLatin1(name));
        QVERIFY2(button, name);
        button->click();
    }
    // Strongly red pixels in the view's top right corner, a few frames from
    // now; -1 when no frames come.
    int redInTheCorner()
    {
        const auto frames = view().core().framesRendered();
        if (!QTest::qWaitFor([&] { return view().core().framesRendered() >= frames + 3; }, kStuckAfterMs)) return -1;
        const QImage image = view().screen()->grabWindow(view().winId()).toImage().convertToFormat(QImage::Format_RGB32);
        if (const QString shots = qEnvironmentVariable("MARLWICK_SHOTS"); !shots.isEmpty() && view().recordingMovie())
            image.save(QDir(shots).filePath(QStringLiteral("recording.png")));
        int red = 0;
        for (int y = 0; y < 60 && y < image.height(); ++y)
            for (int x = std::max(0, image.width() - 160); x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                red += c.red() > 180 && c.green() < 80 && c.blue() < 80;
            }
        return red;
    }
    // ffprobe's fields of the movie's video stream.
    QMap<QString, QString> probe(const QString& path)
    {
        QProcess ffprobe;
        ffprobe.start(QStringLiteral(MARLWICK_FFPROBE),
                      {"-v", "error", "-count_frames", "-show_entries",
                       "stream=codec_name,pix_fmt,width,height,nb_read_frames:format=duration", "-of",
                       "default=noprint_wrappers=1", path});
        ffprobe.waitForFinished(kStuckAfterMs);
        QMap<QString, QString> fields;
        for (const QString& line : QString::fromUtf8(ffprobe.readAllStandardOutput()).split(QLatin1Char('\n')))
            if (const qsizetype eq = line.indexOf(QLatin1Char('=')); eq > 0) fields[line.left(eq)] = line.mid(eq + 1);
        return fields;
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        app = startProgram(exampleDocument(QStringLiteral("spiral.mwk")));
        QVERIFY(app);
    }

    void cleanupTestCase() { app.reset(); }

    void recordsTheRollingBallToAnMp4()
    {
        QVERIFY(action("Save movie…")->isEnabled());
        QVERIFY(!action("Stop movie")->isEnabled());
        clickPanel("positionBallButton");
        app->document().launchSpeed = 2.0;
        FixLaunch(app->document());
        clickPanel("rollBallButton");
        QCOMPARE(redInTheCorner(), 0);

        const QString path = dir.filePath(QStringLiteral("ride.mp4"));
        auto chosen = whenModal<QFileDialog>([&](QFileDialog* dialog) { chooseFile(dialog, path); });
        action("Save movie…")->trigger();
        QVERIFY(*chosen);
        QVERIFY(view().recordingMovie());
        // The movie keeps the view's size at the start, cut to even sides.
        const int width = view().core().width() / 2 * 2, height = view().core().height() / 2 * 2;
        QVERIFY(!action("Save movie…")->isEnabled());
        QVERIFY(action("Stop movie")->isEnabled());
        QVERIFY2(redInTheCorner() > 20, "the recording mark shows");
        QTest::qWait(1000);
        action("Stop movie")->trigger();
        QVERIFY(!view().recordingMovie());
        QVERIFY(action("Save movie…")->isEnabled());
        QCOMPARE(redInTheCorner(), 0);

        const QString status = frame().statusBar()->currentMessage();
        const QRegularExpressionMatch said =
            QRegularExpression(QStringLiteral("^Movie saved: (.+), (\\d+) frames \\((\\d+) repeated, (\\d+) dropped\\)\\.$"))
                .match(status);
        QVERIFY2(said.hasMatch(), qPrintable(status));
        QCOMPARE(said.captured(1), path);
        const QMap<QString, QString> movie = probe(path);
        QCOMPARE(movie.value("codec_name"), QStringLiteral("h264"));
        QCOMPARE(movie.value("pix_fmt"), QStringLiteral("yuv420p"));
        QCOMPARE(movie.value("width").toInt(), width);
        QCOMPARE(movie.value("height").toInt(), height);
        const int frames = said.captured(2).toInt();
        QVERIFY2(frames >= 2, qPrintable(status));
        QCOMPARE(movie.value("nb_read_frames").toInt(), frames);
        QVERIFY(std::abs(movie.value("duration").toDouble() - frames / 30.0) < 0.05);
    }
};

MARLWICK_REGISTER_QTEST(MovieRecordingTest)

#include "MovieRecordingTest.moc"
