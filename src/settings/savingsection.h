// SPDX-License-Identifier: MIT
#pragma once

#include "settings/folderchooser.h"

#include <QWidget>

class AppState;
class KiwanoButton;
class PixelLabel;
class PixelToggle;
class QLabel;
class WarningBox;

// Where saved images go, whether each save asks, and where the grab history lives.
class SavingSection : public QWidget
{
    Q_OBJECT
public:
    SavingSection(AppState *state, FolderChooser chooser, QWidget *parent = nullptr);

    // Moves the grabs there through the application state and shows the outcome.
    void moveHistory(const QString &folder);
    // Makes the folder the save folder.
    void setSaveFolder(const QString &folder);

    QString historyError() const;
    PixelLabel *saveFolderLabel() const { return m_saveFolder; }
    PixelLabel *historyFolderLabel() const { return m_historyFolder; }
    PixelToggle *askToggle() const { return m_ask; }
    QLabel *askCaption() const { return m_askCaption; }
    KiwanoButton *picturesButton() const { return m_pictures; }
    KiwanoButton *hiddenButton() const { return m_hidden; }

private:
    void refresh();

    AppState *m_state;
    FolderChooser m_chooser;
    PixelLabel *m_saveFolder;
    PixelToggle *m_ask;
    QLabel *m_askCaption;
    PixelLabel *m_historyFolder;
    KiwanoButton *m_pictures;
    KiwanoButton *m_hidden;
    WarningBox *m_error;
};
