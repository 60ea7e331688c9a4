// SPDX-License-Identifier: MIT
#include "editor/model/notices.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTimer>

void EditorNotices::setQuote(const std::optional<ZogQuote> &quote)
{
    if (quote == m_quote)
        return;
    m_quote = quote;
    emit quoteChanged();
}

void EditorNotices::showToast(const QString &text)
{
    showFor(text, std::nullopt, {}, std::max<int>(1500, int(text.size()) * 65));
}

void EditorNotices::showToast(const QString &text, const QString &actionTitle,
                              std::function<void()> action)
{
    showFor(text, actionTitle, std::move(action), std::max<int>(6000, int(text.size()) * 65));
}

void EditorNotices::showFor(const QString &text, std::optional<QString> actionTitle,
                            std::function<void()> action, int milliseconds)
{
    // The button is set before the text announces the notice, so views see both at once.
    m_actionTitle = actionTitle;
    m_action = std::move(action);
    const quint64 serial = ++m_serial;
    if (m_toast == text)
        emit toastChanged();
    setToast(text);
    // The timer belongs to this object, so it dies with it and never touches one that is gone.
    QTimer::singleShot(milliseconds, this, [this, serial] {
        if (m_serial == serial)
            setToast(std::nullopt);
    });
}

// The editor's texts are translated under one name, whichever of its parts says them.
void EditorNotices::announceSaved(const QString &path)
{
    const QString text = QCoreApplication::translate("EditorModel", "Saved %1").arg(QFileInfo(path).fileName());
    if (m_revealer)
        showToast(text, QCoreApplication::translate("EditorModel", "Show"), [reveal = m_revealer, path] { reveal(path); });
    else
        showToast(text);
}

void EditorNotices::triggerToastAction()
{
    if (!m_toast || !m_action)
        return;
    const std::function<void()> action = m_action;
    ++m_serial;
    setToast(std::nullopt);
    action();
}

void EditorNotices::setToast(std::optional<QString> text)
{
    if (text == m_toast)
        return;
    if (!text) {
        m_actionTitle.reset();
        m_action = {};
    }
    m_toast = text;
    emit toastChanged();
}
