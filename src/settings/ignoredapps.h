// SPDX-License-Identifier: MIT
#pragma once

#include <QStringList>
#include <QWidget>

#include <functional>
#include <optional>

class Clipboard;
class KiwanoButton;
class QVBoxLayout;

// "Never record copies from": one row per ignored application (icon, name, remove button), then
// "Add App...". Every change stores the whole list.
class IgnoredApps : public QWidget
{
    Q_OBJECT
public:
    using Chooser = std::function<std::optional<QString>(QWidget *parent)>;

    IgnoredApps(Clipboard &clipboard, Chooser chooser, QWidget *parent = nullptr);

    // Appends the application unless it is listed already.
    void add(const QString &id);
    void remove(const QString &id);
    // The shown rows' names, in order.
    QStringList shownNames() const;
    KiwanoButton *addButton() const { return m_add; }

signals:
    // The rows were made again (their controls are new).
    void rowsChanged();

private:
    void rebuild();

    Clipboard &m_clipboard;
    Chooser m_chooser;
    QVBoxLayout *m_rows;
    KiwanoButton *m_add;
    QStringList m_shown;
};
