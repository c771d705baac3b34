#include "dialogs/DialogSupport.h"

#include "design/ChannelCreation.h"
#include "design/DesignHistory.h"
#include "document/NameEncoding.h"
#include "document/OpenGLTemplateDoc.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

#include <cmath>
#include <memory>
#include <utility>

namespace dialogs {

namespace {

int runBox(QWidget* parent, QMessageBox::Icon icon, const QString& text, QMessageBox::StandardButtons buttons,
           QMessageBox::StandardButton defaultButton)
{
    QMessageBox box(icon, QString::fromLatin1(kMessageCaption), text, buttons, parent);
    box.setObjectName(QStringLiteral("messageBox"));
    box.setDefaultButton(defaultButton);
    box.setAccessibleDescription(text);
    return box.exec();
}

void refuseField(QWidget* parent, QLineEdit* field, const std::string& prompt)
{
    ShowMessage(parent, QString::fromStdString(prompt));
    field->setFocus();
    field->selectAll();
}

} // namespace

void ShowMessage(QWidget* parent, const QString& text)
{
    runBox(parent, QMessageBox::Information, text, QMessageBox::Ok, QMessageBox::Ok);
}

void ShowRefusal(QWidget* parent, const design::DesignResult& result)
{
    for (const std::string& message : result.messages()) ShowMessage(parent, QString::fromStdString(message));
}

bool AskOkCancel(QWidget* parent, const QString& text)
{
    return runBox(parent, QMessageBox::Question, text, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel) ==
           QMessageBox::Ok;
}

QString NameText(std::string_view name) { return QString::fromStdString(NameToUtf8(name)); }

std::string NameBytes(const QString& text) { return NameFromUtf8(text.toStdString()); }

QLineEdit* AddField(QGridLayout* grid, int row, const QString& caption, const char* objectName, int maxLength)
{
    QWidget* parent = grid->parentWidget();
    auto* label = new QLabel(caption, parent);
    auto* field = new QLineEdit(parent);
    field->setObjectName(QString::fromLatin1(objectName));
    if (maxLength > 0) field->setMaxLength(maxLength);
    label->setBuddy(field);
    field->setAccessibleName(caption);
    grid->addWidget(label, row, 0, Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(field, row, 1);
    return field;
}

QPushButton* MakeButton(QWidget* parent, const QString& caption, const char* objectName)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(objectName));
    return button;
}

bool ReadInteger(QWidget* parent, QLineEdit* field, int low, int high, int& value)
{
    bool parsed = false;
    const int read = field->text().trimmed().toInt(&parsed);
    if (!parsed || !design::CheckInteger(read, low, high).ok()) {
        refuseField(parent, field, design::IntegerRangePrompt(low, high));
        return false;
    }
    value = read;
    return true;
}

bool ReadNumber(QWidget* parent, QLineEdit* field, double low, double high, double& value)
{
    bool parsed = false;
    const double read = field->text().trimmed().toDouble(&parsed);
    if (!parsed || !std::isfinite(read) || !design::CheckNumber(read, low, high).ok()) {
        refuseField(parent, field, design::NumberRangePrompt(low, high));
        return false;
    }
    value = read;
    return true;
}

bool ReadName(QWidget* parent, QLineEdit* field, int most, std::string& name)
{
    std::string bytes = NameBytes(field->text());
    if (static_cast<int>(bytes.size()) > most) {
        refuseField(parent, field, design::TextLengthPrompt(most));
        return false;
    }
    name = std::move(bytes);
    return true;
}

QString NumberText(double value)
{
    for (int digits = 6; digits < 17; ++digits) {
        const QString text = QString::number(value, 'g', digits);
        if (text.toDouble() == value) return text;
    }
    return QString::number(value, 'g', 17);
}

QComboBox* AddCombo(QGridLayout* grid, int row, const QString& caption, const char* objectName)
{
    QWidget* parent = grid->parentWidget();
    auto* label = new QLabel(caption, parent);
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QString::fromLatin1(objectName));
    combo->setAccessibleName(caption);
    label->setBuddy(combo);
    grid->addWidget(label, row, 0, Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(combo, row, 1);
    return combo;
}

QVariant ItemData(const void* pointer) { return QVariant::fromValue(reinterpret_cast<quintptr>(pointer)); }

void SetDefaultButton(QWidget* dialog, QPushButton* button)
{
    for (QPushButton* other : dialog->findChildren<QPushButton*>())
        if (other->window() == dialog) other->setAutoDefault(false);
    button->setDefault(true);
}

int SelectedRow(const QListWidget* list)
{
    const QListWidgetItem* item = list->currentItem();
    return item && item->isSelected() ? list->currentRow() : -1;
}

} // namespace dialogs

namespace dialogs {

QSpinBox* AddSpinField(QGridLayout* grid, int row, const QString& caption, const char* objectName, int low, int high)
{
    QWidget* parent = grid->parentWidget();
    auto* label = new QLabel(caption, parent);
    auto* spin = new QSpinBox(parent);
    spin->setObjectName(QString::fromLatin1(objectName));
    spin->setRange(low, high);
    label->setBuddy(spin);
    spin->setAccessibleName(caption);
    grid->addWidget(label, row, 0, Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(spin, row, 1, Qt::AlignLeft);
    return spin;
}

QRadioButton* AddRadio(QButtonGroup* group, int id, const QString& caption, const char* objectName)
{
    auto* radio = new QRadioButton(caption);
    radio->setObjectName(QString::fromLatin1(objectName));
    group->addButton(radio, id);
    return radio;
}

void OnRadioChosen(QButtonGroup* group, QObject* receiver, std::function<void(int)> act)
{
    // A click switches its button on before it is reported as a click; only
    // a click on the button already on is a choice that switched nothing.
    auto alreadyOn = std::make_shared<bool>(false);
    QObject::connect(group, &QButtonGroup::idPressed, receiver,
                     [group, alreadyOn](int id) { *alreadyOn = group->button(id)->isChecked(); });
    QObject::connect(group, &QButtonGroup::idClicked, receiver, [act, alreadyOn](int id) {
        if (std::exchange(*alreadyOn, false)) act(id);
    });
    QObject::connect(group, &QButtonGroup::idToggled, receiver, [act](int id, bool on) {
        if (on) act(id);
    });
}

QWidget* ButtonRow(QDialog* dialog, std::initializer_list<QPushButton*> buttons, QPushButton* accept)
{
    auto* row = new QWidget(dialog);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addStretch(1);
    for (QPushButton* button : buttons) {
        button->setParent(row);
        button->setAutoDefault(false);
        layout->addWidget(button);
    }
    accept->setDefault(true);
    return row;
}

} // namespace dialogs

namespace dialogs {

// A dialog destroyed with the window lets go without telling the window.
PreviewHistory::~PreviewHistory()
{
    if (held_) document_.history.Release();
}

void PreviewHistory::Begin()
{
    if (held_) return;
    design::HoldHistory(document_);
    held_ = true;
    step_.clear();
}

void PreviewHistory::Saved(const char* step)
{
    if (step_.empty()) step_ = step;
}

void PreviewHistory::End()
{
    if (!held_) return;
    if (!step_.empty()) design::RecordStep(document_, step_);
    step_.clear();
    held_ = false;
    design::ReleaseHistory(document_);
}

} // namespace dialogs
