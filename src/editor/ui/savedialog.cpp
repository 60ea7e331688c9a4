// SPDX-License-Identifier: MIT
#include "editor/ui/savedialog.h"

#include <QCoreApplication>
#include <QFileDialog>

namespace SaveDialog {

std::optional<QString> ask(const QString &folder, const QString &fileName)
{
    QFileDialog dialog(nullptr, QString(), folder);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(QCoreApplication::translate("EditorModel", "PNG image (*.png)"));
    dialog.setDefaultSuffix(QStringLiteral("png"));
    dialog.selectFile(fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    const QString chosen = dialog.selectedFiles().first();
    if (chosen.isEmpty())
        return std::nullopt;
    return chosen;
}

} // namespace SaveDialog
