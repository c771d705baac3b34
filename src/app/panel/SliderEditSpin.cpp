#include "panel/SliderEditSpin.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>

SliderEditSpin::SliderEditSpin(const QString& caption, const QString& objectName, int minimum, int maximum,
                               int tickInterval, QWidget* parent)
    : QWidget(parent), label_(new QLabel(caption, this)), slider_(new QSlider(Qt::Horizontal, this)),
      spin_(new QSpinBox(this))
{
    slider_->setObjectName(objectName + QStringLiteral("Slider"));
    spin_->setObjectName(objectName + QStringLiteral("Spin"));
    slider_->setRange(minimum, maximum);
    slider_->setTickInterval(tickInterval);
    slider_->setTickPosition(QSlider::TicksBelow);
    spin_->setRange(minimum, maximum);
    label_->setBuddy(slider_);
    spin_->setAccessibleName(label_->text());

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(label_);
    row->addWidget(slider_, 1);
    row->addWidget(spin_);

    // sliderMoved comes from thumb drags only; a track click pages the
    // slider through valueChanged, which moves the spin box alone.
    connect(slider_, &QSlider::sliderMoved, this, [this](int value) {
        const QSignalBlocker quiet(spin_);
        spin_->setValue(value);
        emit positionChosen(value);
    });
    connect(slider_, &QSlider::valueChanged, this, [this](int value) {
        const QSignalBlocker quiet(spin_);
        spin_->setValue(value);
    });
    connect(spin_, &QSpinBox::valueChanged, this, [this](int value) {
        const QSignalBlocker quiet(slider_);
        slider_->setValue(value);
        emit positionChosen(value);
    });
}

void SliderEditSpin::SetPosition(int position)
{
    const QSignalBlocker quietSlider(slider_);
    const QSignalBlocker quietSpin(spin_);
    slider_->setValue(position);
    spin_->setValue(slider_->value());
}

int SliderEditSpin::position() const { return slider_->value(); }
