#pragma once

// A labelled slider beside a spin box (its edit field and arrows), kept at
// the same position. Only a drag of the slider's thumb or a change of the
// spin box reports a new position: a click on the slider's track moves the
// slider and nothing else, and positions set by the program are silent.
// A design dialog may ask for every user change (thumb, track, keys, spin)
// to be reported, and for labels under the slider's ends and middle.

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
    // Every change the user makes is reported, track clicks and keys included.
    void ReportEveryChange();
    // Texts under the slider's left end, middle and right end.
    void SetScaleLabels(const QString& low, const QString& middle, const QString& high);
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
    bool reportsEveryChange_ = false;
};
