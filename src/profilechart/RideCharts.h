#pragma once

// The ride profile drawn as two Qt charts over time or distance: speed and
// height on one, the three felt-force components with the 0 g and 1 g lines
// on the other, the step's events marked on the first. Samples can be added
// a few at a time, so a live view grows the same charts.

#include "simulation/RideMeasure.h"

#include <QString>

#include <array>
#include <vector>

class QChart;
class QLineSeries;
class QScatterSeries;
class QValueAxis;

enum class RideAxis { Time, Distance };

class RideCharts {
public:
    // Creates the two charts; whoever shows them (a view, a scene) owns them.
    RideCharts(RideAxis axis, const QString& title);

    QChart* motionChart() const { return motion_; }
    QChart* forceChart() const { return forces_; }

    void Append(const std::vector<RideSample>& samples);
    // Empties every series; the charts stay.
    void Clear();

private:
    struct Range {
        double low = 0.0, high = 0.0;
        bool empty = true;
        void Add(double v);
    };
    double xOf(const RideSample& s) const;
    void UpdateAxes();

    RideAxis axis_;
    QChart* motion_ = nullptr;
    QChart* forces_ = nullptr;
    QLineSeries *speed_ = nullptr, *height_ = nullptr;
    QLineSeries *vertical_ = nullptr, *lateral_ = nullptr, *longitudinal_ = nullptr;
    QLineSeries *zeroG_ = nullptr, *oneG_ = nullptr;
    // bounce, land, cross, hole, fall-reset
    std::array<QScatterSeries*, 5> events_{};
    QValueAxis *motionX_ = nullptr, *speedY_ = nullptr, *heightY_ = nullptr;
    QValueAxis *forceX_ = nullptr, *forceY_ = nullptr, *forceMirrorY_ = nullptr;
    Range x_, speedRange_, heightRange_, forceRange_;
};
