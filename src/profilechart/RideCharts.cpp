#include "profilechart/RideCharts.h"

#include "simulation/SimulationState.h"

#include <QChart>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPen>
#include <QScatterSeries>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace {

constexpr SimulationEventKind kMarkedEvents[] = {SimulationEventKind::Bounce, SimulationEventKind::Land,
                                                 SimulationEventKind::Cross, SimulationEventKind::Hole,
                                                 SimulationEventKind::FallReset};
constexpr std::uint16_t kImpactBits = EventBit(SimulationEventKind::Impact) | EventBit(SimulationEventKind::Bounce) |
                                      EventBit(SimulationEventKind::Land) | EventBit(SimulationEventKind::FallReset);

// The force axis never reaches beyond these (g): a single short step with a
// sharp turn of the velocity can read tens of g, which would flatten the rest
// of the ride; such a step runs off the chart instead.
constexpr double kLowestForceShown = -3.0, kHighestForceShown = 6.0;

QLineSeries* addLine(QChart* chart, const QString& name, const QColor& colour, Qt::PenStyle style = Qt::SolidLine)
{
    auto* series = new QLineSeries;
    series->setName(name);
    QPen pen(colour);
    pen.setWidthF(style == Qt::SolidLine ? 1.6 : 1.2);
    pen.setStyle(style);
    series->setPen(pen);
    chart->addSeries(series);
    return series;
}

QValueAxis* addAxis(QChart* chart, const QString& title, Qt::Alignment where)
{
    auto* axis = new QValueAxis;
    axis->setTitleText(title);
    axis->setLabelFormat(QStringLiteral("%.3g"));
    chart->addAxis(axis, where);
    return axis;
}

void attach(QAbstractSeries* series, QValueAxis* x, QValueAxis* y)
{
    series->attachAxis(x);
    series->attachAxis(y);
}

// Adds points with one new layout of the line: QXYSeries::append of a list
// lays the whole line out again after each point it adds.
void appendAll(QXYSeries* series, const QList<QPointF>& points)
{
    if (!points.isEmpty()) series->replace(series->points() + points);
}

QChart* newChart(const QString& title)
{
    auto* chart = new QChart;
    chart->setTitle(title);
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setMargins(QMargins(4, 4, 4, 4));
    return chart;
}

// Axis ends around a range, padded so lines do not run along the frame.
void setPadded(QValueAxis* axis, double low, double high)
{
    if (!(high > low)) {
        low -= 0.5;
        high += 0.5;
    }
    const double pad = 0.05 * (high - low);
    axis->setRange(low - pad, high + pad);
    axis->applyNiceNumbers();
}

// 1, 2 or 5 times a power of ten, giving about eight ticks over a span.
double niceStep(double span)
{
    const double rough = std::max(span, 1e-9) / 8.0;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (double m : {1.0, 2.0, 5.0})
        if (m * power >= rough) return m * power;
    return 10.0 * power;
}

} // namespace

void RideCharts::Range::Add(double v)
{
    if (!std::isfinite(v)) return;
    low = empty ? v : std::min(low, v);
    high = empty ? v : std::max(high, v);
    empty = false;
}

RideCharts::RideCharts(RideAxis axis, const QString& title) : axis_(axis)
{
    const QString xTitle = axis == RideAxis::Time ? QStringLiteral("time (s)") : QStringLiteral("distance (units)");
    motion_ = newChart(title);
    speed_ = addLine(motion_, QStringLiteral("speed"), QColor(31, 119, 180));
    height_ = addLine(motion_, QStringLiteral("height"), QColor(44, 160, 44));
    const QColor markColours[] = {QColor(214, 39, 40), QColor(255, 127, 14), QColor(148, 103, 189),
                                  QColor(23, 190, 207), QColor(0, 0, 0)};
    using Shape = QScatterSeries::MarkerShape;
    const Shape shapes[] = {QScatterSeries::MarkerShapeTriangle, QScatterSeries::MarkerShapeCircle,
                            QScatterSeries::MarkerShapeRectangle, QScatterSeries::MarkerShapeStar,
                            QScatterSeries::MarkerShapeRotatedRectangle};
    for (std::size_t k = 0; k < events_.size(); ++k) {
        auto* marks = new QScatterSeries;
        marks->setName(QString::fromLatin1(SimulationEventName(kMarkedEvents[k])));
        marks->setMarkerShape(shapes[k]);
        marks->setMarkerSize(9.0);
        marks->setColor(markColours[k]);
        marks->setBorderColor(markColours[k]);
        motion_->addSeries(marks);
        events_[k] = marks;
    }
    motionX_ = addAxis(motion_, xTitle, Qt::AlignBottom);
    speedY_ = addAxis(motion_, QStringLiteral("speed (units/s)"), Qt::AlignLeft);
    heightY_ = addAxis(motion_, QStringLiteral("height (units)"), Qt::AlignRight);
    attach(speed_, motionX_, speedY_);
    attach(height_, motionX_, heightY_);
    for (QScatterSeries* marks : events_) attach(marks, motionX_, speedY_);

    forces_ = newChart(QStringLiteral("Felt acceleration"));
    vertical_ = addLine(forces_, QStringLiteral("vertical"), QColor(31, 119, 180));
    lateral_ = addLine(forces_, QStringLiteral("lateral"), QColor(214, 39, 40));
    longitudinal_ = addLine(forces_, QStringLiteral("longitudinal"), QColor(255, 127, 14));
    zeroG_ = addLine(forces_, QStringLiteral("0 g"), QColor(60, 60, 60), Qt::DashLine);
    oneG_ = addLine(forces_, QStringLiteral("1 g"), QColor(60, 60, 60), Qt::DashDotLine);
    forceX_ = addAxis(forces_, xTitle, Qt::AlignBottom);
    forceY_ = addAxis(forces_, QStringLiteral("felt acceleration (g)"), Qt::AlignLeft);
    for (QLineSeries* s : {vertical_, lateral_, longitudinal_, zeroG_, oneG_}) attach(s, forceX_, forceY_);
    // The same scale on the right, so that both charts' plots have the same
    // width and a moment lines up on both.
    forceMirrorY_ = addAxis(forces_, QStringLiteral("felt acceleration (g)"), Qt::AlignRight);
    auto* mirror = new QLineSeries;
    forces_->addSeries(mirror);
    attach(mirror, forceX_, forceMirrorY_);
    forces_->legend()->markers(mirror).constFirst()->setVisible(false);
    UpdateAxes();
}

double RideCharts::xOf(const RideSample& s) const { return axis_ == RideAxis::Time ? s.t : s.distance; }

void RideCharts::Append(const std::vector<RideSample>& samples)
{
    if (samples.empty()) return;
    QList<QPointF> speed, height, vertical, lateral, longitudinal;
    std::array<QList<QPointF>, 5> marks;
    for (const RideSample& s : samples) {
        const double x = xOf(s);
        x_.Add(x);
        speed.append({x, s.speed});
        height.append({x, s.height});
        vertical.append({x, s.felt.vertical});
        lateral.append({x, s.felt.lateral});
        longitudinal.append({x, s.felt.longitudinal});
        speedRange_.Add(s.speed);
        heightRange_.Add(s.height);
        // An impact's blow is one step long and many g high: the force axis
        // follows the ride between impacts, and the blow is marked instead.
        if (!(s.events & kImpactBits)) {
            forceRange_.Add(s.felt.vertical);
            forceRange_.Add(s.felt.lateral);
            forceRange_.Add(s.felt.longitudinal);
        }
        for (std::size_t k = 0; k < marks.size(); ++k)
            if (s.events & EventBit(kMarkedEvents[k])) marks[k].append({x, s.speed});
    }
    appendAll(speed_, speed);
    appendAll(height_, height);
    appendAll(vertical_, vertical);
    appendAll(lateral_, lateral);
    appendAll(longitudinal_, longitudinal);
    for (std::size_t k = 0; k < marks.size(); ++k) appendAll(events_[k], marks[k]);
    UpdateAxes();
}

void RideCharts::Clear()
{
    for (QLineSeries* s : {speed_, height_, vertical_, lateral_, longitudinal_}) s->clear();
    for (QScatterSeries* s : events_) s->clear();
    x_ = speedRange_ = heightRange_ = forceRange_ = Range();
    UpdateAxes();
}

void RideCharts::UpdateAxes()
{
    // At least a second (or a unit) wide. The ticks are fixed while the
    // range and the interval change, so that no step between them asks for
    // a tick every interval of the old range over the new one.
    const double x0 = x_.empty ? 0.0 : x_.low, x1 = x_.empty ? 1.0 : std::max(x_.high, x_.low + 1.0);
    for (QValueAxis* x : {motionX_, forceX_}) {
        x->setTickType(QValueAxis::TicksFixed);
        x->setRange(x0, x1);
        x->setTickAnchor(0.0);
        x->setTickInterval(niceStep(x1 - x0));
        x->setTickType(QValueAxis::TicksDynamic);
    }
    setPadded(speedY_, 0.0, speedRange_.empty ? 1.0 : speedRange_.high);
    setPadded(heightY_, heightRange_.empty ? 0.0 : heightRange_.low, heightRange_.empty ? 1.0 : heightRange_.high);
    Range forces = forceRange_;
    forces.Add(0.0);
    forces.Add(1.0);
    setPadded(forceY_, std::max(forces.low, kLowestForceShown), std::min(forces.high, kHighestForceShown));
    forceMirrorY_->setRange(forceY_->min(), forceY_->max());
    forceMirrorY_->setTickCount(forceY_->tickCount());
    zeroG_->replace(QList<QPointF>{{x0, 0.0}, {x1, 0.0}});
    oneG_->replace(QList<QPointF>{{x0, 1.0}, {x1, 1.0}});
}
