#pragma once

// Stand-ins for the control panel's and the design dialogs' widget tests:
// the view's commands on the document alone, and a hand that answers every
// message box.

#include "design/PanelCommands.h"
#include "document/OpenGLTemplateDoc.h"
#include "panel/PanelViewCommands.h"
#include "simulation/Simulation.h"
#include "view/CameraCommands.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>

// The view's ball and camera commands on the document alone.
class DocumentOnlyView : public PanelViewCommands {
public:
    explicit DocumentOnlyView(COpenGLTemplateDoc& document) : document_(document) {}
    QString PositionBallCommand() override { return QString::fromStdString(PositionBall(document_)); }
    void StopBallCommand() override { StopBall(document_); }
    void SetCameraFollowsBall(bool follow) override
    {
        design::SetDocumentSwitch(document_, &DocumentSettings::cameraFollowsBall, follow);
    }
    void FocalPointAtBallCommand() override { SetFocalPointAtBall(document_); }

private:
    COpenGLTemplateDoc& document_;
};

// Answers every message box with one button and keeps the texts shown.
class MessageBoxAnswers : public QObject {
public:
    MessageBoxAnswers()
    {
        connect(&timer_, &QTimer::timeout, this, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            texts << box->text();
            box->button(box->button(answer) ? answer : QMessageBox::Ok)->click();
        });
        timer_.start(10);
    }
    QStringList texts;
    QMessageBox::StandardButton answer = QMessageBox::Ok;

private:
    QTimer timer_;
};
