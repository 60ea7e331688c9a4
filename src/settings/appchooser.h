// SPDX-License-Identifier: MIT
#pragma once

#include "platform/desktopentries.h"

#include <QDialog>
#include <QIcon>

#include <optional>

class QLineEdit;
class QListWidget;
class KiwanoButton;

// Picks one installed application from the desktop files: its icon and name in a list that the
// search field filters, confirmed with "Ignore".
class AppChooser : public QDialog
{
    Q_OBJECT
public:
    AppChooser(const QList<DesktopEntry> &entries, QWidget *parent = nullptr);

    // The chosen application's id; nothing when none is selected.
    std::optional<QString> chosenId() const;
    QLineEdit *searchField() const { return m_search; }
    QListWidget *list() const { return m_list; }

    // Shows the installed applications and answers the chosen one's id; nothing on cancel.
    static std::optional<QString> choose(QWidget *parent);
    // The entry's icon: a theme name or a file; empty when neither resolves.
    static QIcon icon(const QString &iconField);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void filter(const QString &text);

    QLineEdit *m_search;
    QListWidget *m_list;
    KiwanoButton *m_ignore;
};
