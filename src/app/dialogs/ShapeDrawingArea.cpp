#include "dialogs/ShapeDrawingArea.h"

#include <QCursor>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

const QColor kPointColour(0, 0, 200);
constexpr int kPenWidth = 3;
constexpr int kOriginHalfSide = 4;

QPointF screenOf(const design::ShapeView& view, const Vec3& point)
{
    const auto [x, y] = view.ToScreen(point);
    return {x, y};
}

} // namespace

ShapeDrawingArea::ShapeDrawingArea(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("shapeDrawingArea"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(240, 180);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    view_.width = width();
    view_.height = height();
}

QSize ShapeDrawingArea::sizeHint() const { return {420, 300}; }

void ShapeDrawingArea::SetShape(const std::optional<design::CrossSectionShape>& shape, bool fit)
{
    shape_ = shape;
    if (picked_ >= 0 && (!shape_ || picked_ >= shape_->count)) picked_ = -1;
    if (fit) Fit();
    update();
}

void ShapeDrawingArea::SetGridShown(bool shown)
{
    gridShown_ = shown;
    update();
}

void ShapeDrawingArea::Fit()
{
    view_.left = view_.top = 0.0;
    view_.width = width();
    view_.height = height();
    if (shape_) view_.Fit(*shape_);
}

void ShapeDrawingArea::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // A drag in progress keeps its scale.
    if (picked_ < 0) Fit();
}

void ShapeDrawingArea::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (gridShown_) {
        painter.setPen(QPen(QColor(200, 200, 200), 1));
        const int step = design::ShapeView::kGridSpacing;
        for (int x = 0; x < width(); x += step) painter.drawLine(x, 0, x, height());
        for (int y = 0; y < height(); y += step) painter.drawLine(0, y, width(), y);
    }
    const QPointF origin = screenOf(view_, Vec3{0.0, 0.0, 0.0});
    painter.fillRect(QRectF(origin.x() - kOriginHalfSide, origin.y() - kOriginHalfSide, 2 * kOriginHalfSide,
                            2 * kOriginHalfSide),
                     Qt::black);
    if (!shape_) return;
    const int count = std::clamp(shape_->count, 0, kMaxSectionPoints);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(kPointColour, kPenWidth));
    QPainterPath line;
    for (int k = 0; k < count; ++k) {
        const QPointF p = screenOf(view_, shape_->points[k]);
        if (k == 0) line.moveTo(p);
        else line.lineTo(p);
    }
    painter.drawPath(line);
    const double r = design::ShapeView::kPointRadius;
    for (int k = 0; k < count; ++k) painter.drawEllipse(screenOf(view_, shape_->points[k]), r, r);
}

void ShapeDrawingArea::mousePressEvent(QMouseEvent* event)
{
    if (!draggingAllowed_ || !shape_ || event->button() != Qt::LeftButton) return;
    const QPointF at = event->position();
    picked_ = view_.Pick(*shape_, at.x(), at.y());
    if (picked_ < 0) return;
    // The cursor jumps onto the picked point's centre; displacements count from there.
    const QPointF centre = screenOf(view_, shape_->points[picked_]);
    pressedAt_ = centre.toPoint();
    pressedPoint_ = shape_->points[picked_];
    if (pressedAt_ != at.toPoint()) QCursor::setPos(mapToGlobal(pressedAt_));
}

void ShapeDrawingArea::mouseMoveEvent(QMouseEvent* event)
{
    if (picked_ < 0 || !shape_ || !(event->buttons() & Qt::LeftButton)) return;
    const QPointF at = event->position();
    const Vec3 moved = view_.Drag(pressedPoint_, pressedAt_.x(), pressedAt_.y(), at.x(), at.y(), snap_);
    shape_->points[picked_] = moved;
    update();
    emit pointDragged(picked_, moved.x, moved.y);
}

void ShapeDrawingArea::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) picked_ = -1;
}
