// The ride profile dock charts every sample of a short ride and a thinned
// copy of a long one, so its charts hold a bounded number of points while
// every peak stays drawn.

#include "QtTestRegistry.h"
#include "RideProfileDock.h"
#include "document/OpenGLTemplateDoc.h"
#include "support/RideBuilders.h"

#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QtTest>

#include <algorithm>

class RideProfileDockTest : public QObject {
    Q_OBJECT

    // The lowest and highest height the motion chart draws.
    static std::pair<double, double> heightsDrawn(const RideProfileDock& dock)
    {
        const auto* chart = dock.findChild<QChartView*>(QStringLiteral("rideMotionChart"))->chart();
        for (QAbstractSeries* series : chart->series())
            if (series->name() == QStringLiteral("height")) {
                const QList<QPointF> points = static_cast<QLineSeries*>(series)->points();
                const auto [low, high] = std::minmax_element(points.begin(), points.end(),
                                                             [](QPointF a, QPointF b) { return a.y() < b.y(); });
                return {low->y(), high->y()};
            }
        return {-1.0, -1.0};
    }

private slots:
    void aLongRideIsChartedThinnedWithItsPeaks()
    {
        COpenGLTemplateDoc doc;
        RideProfile& profile = doc.simulation.rideProfile;
        RideProfileDock dock(doc);
        builders::recordRisingBall(profile, 0, 3000);
        dock.Refresh();
        QCOMPARE(dock.shownSamples(), std::size_t(3000));
        QCOMPARE(dock.chartedSamples(), std::size_t(3000));

        builders::recordRisingBall(profile, 3000, 30000);
        dock.Refresh();
        QCOMPARE(dock.shownSamples(), std::size_t(30000));
        QVERIFY2(dock.chartedSamples() < RideProfileDock::kMostChartedSamples,
                 qPrintable(QString::number(dock.chartedSamples())));
        QCOMPARE(heightsDrawn(dock), std::make_pair(0.0, 29999.0));

        // Small refreshes add their samples as they come, up to the next thinning.
        const std::size_t charted = dock.chartedSamples();
        builders::recordRisingBall(profile, 30000, 30010);
        dock.Refresh();
        QCOMPARE(dock.chartedSamples(), charted + 10);
        QCOMPARE(heightsDrawn(dock).second, 30009.0);

        profile.Clear();
        dock.Refresh();
        QCOMPARE(dock.shownSamples(), std::size_t(0));
        QCOMPARE(dock.chartedSamples(), std::size_t(0));
    }
};

MARLWICK_REGISTER_QTEST(RideProfileDockTest)
#include "RideProfileDockTest.moc"
