#pragma once

// View > "Ride profile": a dock beside the view with the ride profile's two
// charts and a readout of the newest step, brought up to date from the
// physics thread's recorder ten times a second while it is shown.

#include "profilechart/RideCharts.h"

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

    RideProfileDock(COpenGLTemplateDoc& document, QWidget* parent = nullptr);
    ~RideProfileDock() override;

    // Takes in what the recorder has added since the last refresh (all of it
    // again after a clear). The timer calls it; tests may too.
    void Refresh();

    const QLabel* readout() const { return readout_; }
    // Samples shown so far.
    std::size_t shownSamples() const { return shown_; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    COpenGLTemplateDoc& document_;
    std::unique_ptr<RideCharts> charts_;
    QLabel* readout_ = nullptr;
    QTimer* timer_ = nullptr;
    std::vector<RideSample> incoming_;
    std::uint64_t generation_ = 0, next_ = 0;
    std::size_t shown_ = 0;
};
