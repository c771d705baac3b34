#pragma once

// The drawing area of a cross-section shape, shared by the shape editor and
// the sweep dialog: a white area with the shape's points as blue circles
// joined by a blue polyline, the origin as a black square and, when asked,
// the grid. With dragging allowed, a point is picked by a press within its
// circle and follows the mouse; the area only reports where it would land,
// the owner moves it. All placement comes from design::ShapeView.

#include "design/CrossSectionTemplates.h"

#include <QWidget>

#include <optional>

class ShapeDrawingArea : public QWidget {
    Q_OBJECT

public:
    explicit ShapeDrawingArea(QWidget* parent = nullptr);

    // The shape drawn, or none; fit scales and centres it in the area.
    void SetShape(const std::optional<design::CrossSectionShape>& shape, bool fit);
    void SetGridShown(bool shown);
    void SetSnapToGrid(bool snap) { snap_ = snap; }
    void SetDraggingAllowed(bool allowed) { draggingAllowed_ = allowed; }
    const design::ShapeView& view() const { return view_; }
    // The point being dragged, or -1.
    int pickedPoint() const { return picked_; }

    QSize sizeHint() const override;

signals:
    // The user dragged point `index` to (x, y) in shape units.
    void pointDragged(int index, double x, double y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void Fit();

    std::optional<design::CrossSectionShape> shape_;
    design::ShapeView view_;
    bool gridShown_ = false;
    bool snap_ = false;
    bool draggingAllowed_ = false;
    int picked_ = -1;
    Vec3 pressedPoint_;
    QPoint pressedAt_;
};
