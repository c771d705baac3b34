#pragma once

// View > "Ride profile": a dock beside the view with the ride profile's two
// charts and a readout of the newest step, brought up to date from the
// physics thread's recorder ten times a second while it is shown. A long
// ride is charted thinned (every peak and event mark kept), so drawing the
// charts takes no longer as the ride goes on.

#include "profilechart/RideCharts.h"
#include "simulation/RideDecimation.h"

#include <QDockWidget>

#include <cstdint>
#include <memory>
#include <vector>

class COpenGLTemplateDoc;
class QLabel;
class QTimer;

class RideProfileDock : public QDockWidget {
    Q_OBJECT

public:
    static constexpr int kRefreshMs = 100;
    // Columns of the thinned ride: about one per pixel of a wide chart.
    static constexpr std::size_t kChartColumns = 512;
    // Points a chart line may hold before the ride is thinned again.
    static constexpr std::size_t kMostChartedSamples = 4096;

    RideProfileDock(COpenGLTemplateDoc& document, QWidget* parent = nullptr);
    ~RideProfileDock() override;

    // Takes in what the recorder has added since the last refresh (all of it
    // again after a clear). The timer calls it; tests may too.
    void Refresh();

    const QLabel* readout() const { return readout_; }
    // Samples taken in so far, and those the charts hold now.
    std::size_t shownSamples() const { return shown_; }
    std::size_t chartedSamples() const { return charted_; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    COpenGLTemplateDoc& document_;
    std::unique_ptr<RideCharts> charts_;
    QLabel* readout_ = nullptr;
    QTimer* timer_ = nullptr;
    std::vector<RideSample> incoming_;
    RideDecimator thinned_{kChartColumns};
    std::uint64_t generation_ = 0, next_ = 0;
    std::size_t shown_ = 0, charted_ = 0, thinAt_ = kMostChartedSamples;
};
