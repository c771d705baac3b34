#pragma once

// "Export…": the file, its format, open sheets or solids of a thickness, the
// marble the track is sized for, the resolution and what to export, written
// on "Export" by trackexport::ExportFromFields.

#include <QDialog>

class COpenGLTemplateDoc;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QSpinBox;

class DialogExport : public QDialog {
    Q_OBJECT

public:
    // documentPath: the open document's file, never exported over (may be empty).
    DialogExport(COpenGLTemplateDoc& document, const QString& documentPath, QWidget* parent);

    // "Export": the file written and the dialog closed with what it holds
    // said; the dialog stays open on a refusal.
    void accept() override;

private:
    void Browse();
    void UpdateEnabled();

    COpenGLTemplateDoc& document_;
    QString documentPath_;
    QLineEdit* file_;
    QComboBox* format_;
    QCheckBox* solid_;
    QLineEdit* thickness_;
    QCheckBox* marble_;
    QLineEdit* diameter_;
    QSpinBox* resolution_;
    QComboBox* choice_;
    QComboBox* group_;
};
