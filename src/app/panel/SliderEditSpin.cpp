#include "panel/SliderEditSpin.h"

#include <QGridLayout>
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

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(label_, 0, 0);
    grid->addWidget(slider_, 0, 1);
    grid->addWidget(spin_, 0, 2);
    grid->setColumnStretch(1, 1);

    // sliderMoved comes from thumb drags only; a track click pages the
    // slider through valueChanged, which moves the spin box alone.
    connect(slider_, &QSlider::sliderMoved, this, [this](int value) {
        if (reportsEveryChange_) return; // valueChanged reports it
        const QSignalBlocker quiet(spin_);
        spin_->setValue(value);
        emit positionChosen(value);
    });
    connect(slider_, &QSlider::valueChanged, this, [this](int value) {
        {
            const QSignalBlocker quiet(spin_);
            spin_->setValue(value);
        }
        if (reportsEveryChange_) emit positionChosen(value);
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

void SliderEditSpin::ReportEveryChange() { reportsEveryChange_ = true; }

void SliderEditSpin::SetScaleLabels(const QString& low, const QString& middle, const QString& high)
{
    auto* row = new QGridLayout;
    const QString texts[] = {low, middle, high};
    const Qt::Alignment alignments[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
    for (int k = 0; k < 3; ++k) {
        auto* label = new QLabel(texts[k], this);
        label->setObjectName(slider_->objectName() + QStringLiteral("Label%1").arg(k));
        row->addWidget(label, 0, k, alignments[k] | Qt::AlignTop);
        row->setColumnStretch(k, 1);
    }
    static_cast<QGridLayout*>(layout())->addLayout(row, 1, 1);
}
