// SPDX-License-Identifier: MIT
#include "settings/folderchooser.h"

#include <QFileDialog>

namespace FolderChoosers {

std::optional<QString> dialog(QWidget *parent, const QString &start, const QString &confirm)
{
    QFileDialog dialog(parent, confirm, start);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setLabelText(QFileDialog::Accept, confirm);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first();
}

} // namespace FolderChoosers
