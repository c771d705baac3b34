#include "FileDialogFolder.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QSettings>

namespace {

constexpr const char* kKey = "File Dialogs/Last Folder";

QSettings settings() { return QSettings(QStringLiteral("Marlwick"), QStringLiteral("Marlwick")); }

// The suffix a filter such as "PNG Files (*.PNG)" names.
QString suffixOfFilter(const QString& filter)
{
    const qsizetype dot = filter.lastIndexOf(QStringLiteral("(*."));
    return dot < 0 ? QString() : filter.mid(dot + 3).chopped(1);
}

} // namespace

QString FileDialogStartFolder(const QString& documentPath)
{
    const QString last = settings().value(QLatin1String(kKey)).toString();
    if (!last.isEmpty() && QFileInfo(last).isDir()) return last;
    if (!documentPath.isEmpty()) return QFileInfo(documentPath).absolutePath();
    return QDir::homePath();
}

void RememberFileDialogFolder(const QString& filePath)
{
    settings().setValue(QLatin1String(kKey), QFileInfo(filePath).absolutePath());
}

QString AskSaveFileName(QWidget* parent, const char* filters, const QString& name, bool suffixFollowsFilter,
                        const QString& startFolder)
{
    QFileDialog dialog(parent);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    const QStringList filterList = QString::fromLatin1(filters).split(QStringLiteral(";;"));
    dialog.setNameFilters(filterList);
    dialog.setDefaultSuffix(suffixOfFilter(filterList.constFirst()));
    if (suffixFollowsFilter)
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                         [&dialog](const QString& filter) { dialog.setDefaultSuffix(suffixOfFilter(filter)); });
    dialog.setDirectory(startFolder);
    dialog.selectFile(name);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    RememberFileDialogFolder(dialog.selectedFiles().constFirst());
    return dialog.selectedFiles().constFirst();
}
