#pragma once

// A labelled slider beside a spin box (its edit field and arrows), kept at
// the same position. Only a drag of the slider's thumb or a change of the
// spin box reports a new position: a click on the slider's track moves the
// slider and nothing else, and positions set by the program are silent.

#include <QWidget>

class QLabel;
class QSlider;
class QSpinBox;

class SliderEditSpin : public QWidget {
    Q_OBJECT

public:
    // objectName names the slider "<name>Slider" and the spin box "<name>Spin";
    // both take the label's text as their accessible name.
    SliderEditSpin(const QString& caption, const QString& objectName, int minimum, int maximum, int tickInterval,
                   QWidget* parent = nullptr);

    // Both controls at position (clamped to the range), without a report.
    void SetPosition(int position);
    int position() const;
    QSlider* slider() const { return slider_; }
    QSpinBox* spin() const { return spin_; }
    QLabel* label() const { return label_; }

signals:
    // The user dragged the thumb or changed the spin box.
    void positionChosen(int position);

private:
    QLabel* label_;
    QSlider* slider_;
    QSpinBox* spin_;
};
