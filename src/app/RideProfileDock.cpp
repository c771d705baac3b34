#include "RideProfileDock.h"

#include "document/OpenGLTemplateDoc.h"

#include <QChart>
#include <QChartView>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QChartView* chartView(QChart* chart, const char* objectName, const QString& accessibleName, QWidget* parent)
{
    auto* view = new QChartView(chart, parent);
    view->setObjectName(QString::fromLatin1(objectName));
    view->setAccessibleName(accessibleName);
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumSize(420, 200);
    QFont small = chart->legend()->font();
    small.setPointSizeF(small.pointSizeF() * 0.8);
    chart->legend()->setFont(small);
    return view;
}

} // namespace

RideProfileDock::RideProfileDock(COpenGLTemplateDoc& document, QWidget* parent)
    : QDockWidget(QStringLiteral("Ride profile"), parent), document_(document)
{
    setObjectName(QStringLiteral("RideProfileDock"));
    setAccessibleName(QStringLiteral("Ride profile"));
    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(4, 4, 4, 4);
    readout_ = new QLabel(body);
    readout_->setObjectName(QStringLiteral("rideReadout"));
    readout_->setAccessibleName(QStringLiteral("Ride readout"));
    readout_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(readout_);

    charts_ = std::make_unique<RideCharts>(RideAxis::Time, QStringLiteral("Speed and height"));
    const QString motion = QStringLiteral("Speed and height"), forces = QStringLiteral("Felt acceleration");
    layout->addWidget(chartView(charts_->motionChart(), "rideMotionChart", motion, body), 1);
    layout->addWidget(chartView(charts_->forceChart(), "rideForceChart", forces, body), 1);
    setWidget(body);

    timer_ = new QTimer(this);
    timer_->setInterval(kRefreshMs);
    connect(timer_, &QTimer::timeout, this, &RideProfileDock::Refresh);
    generation_ = document_.simulation.rideProfile.Generation();
    Refresh();
}

// The chart views own the charts; the helper that fills them goes first.
RideProfileDock::~RideProfileDock() = default;

void RideProfileDock::Refresh()
{
    const RideProfile& profile = document_.simulation.rideProfile;
    if (const std::uint64_t generation = profile.Generation(); generation != generation_) {
        generation_ = generation;
        next_ = 0;
        shown_ = charted_ = 0;
        thinAt_ = kMostChartedSamples;
        thinned_ = RideDecimator(kChartColumns);
        charts_->Clear();
    }
    incoming_.clear();
    next_ = profile.CopySince(next_, incoming_);
    for (const RideSample& s : incoming_) thinned_.Add(s.t, s);
    shown_ += incoming_.size();
    charted_ += incoming_.size();
    if (charted_ <= thinAt_) {
        charts_->Append(incoming_);
    } else {
        // Redrawn from the thinned ride; thinned again once it has doubled.
        const std::vector<RideSample> kept = thinned_.Samples();
        charts_->Clear();
        charts_->Append(kept);
        charted_ = kept.size();
        thinAt_ = std::max(kMostChartedSamples, 2 * charted_);
    }
    RideSample newest;
    readout_->setText(profile.Newest(newest) ? QString::fromStdString(RideReadout(newest))
                                             : QString::fromLatin1(kNoRideReadout));
}

void RideProfileDock::showEvent(QShowEvent* event)
{
    QDockWidget::showEvent(event);
    Refresh();
    timer_->start();
}

void RideProfileDock::hideEvent(QHideEvent* event)
{
    timer_->stop();
    QDockWidget::hideEvent(event);
}
