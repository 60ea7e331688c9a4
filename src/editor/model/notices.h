// SPDX-License-Identifier: MIT
#pragma once

#include "editor/model/zogquote.h"

#include <QObject>
#include <QString>

#include <functional>
#include <optional>

// The editor's short notices: the toast above the canvas, with at most one button, and ZOG's
// quote after a grab. Main thread only.
class EditorNotices : public QObject
{
    Q_OBJECT
public:
    // Shows a saved file in the file manager.
    using FileRevealer = std::function<void(const QString &path)>;

    using QObject::QObject;

    std::optional<QString> toast() const { return m_toast; }
    // The button of the notice shown, if it has one.
    std::optional<QString> toastAction() const { return m_actionTitle; }
    const std::optional<ZogQuote> &quote() const { return m_quote; }
    void setQuote(const std::optional<ZogQuote> &quote);

    // Shows text for 1.5 s, longer when the text is long (about 15 characters a second); a newer
    // notice is not cut short by an older one's timer.
    void showToast(const QString &text);
    // A notice with one button (titled actionTitle) that runs action; it stays at least 6 s.
    void showToast(const QString &text, const QString &actionTitle, std::function<void()> action);
    // What the notice's button does; the notice goes with it.
    void triggerToastAction();
    // The notice of a finished save: the file's name, and "Show" where a revealer is set.
    void announceSaved(const QString &path);
    void setFileRevealer(FileRevealer revealer) { m_revealer = std::move(revealer); }

signals:
    void toastChanged();
    void quoteChanged();

private:
    void showFor(const QString &text, std::optional<QString> actionTitle,
                 std::function<void()> action, int milliseconds);
    void setToast(std::optional<QString> text);

    std::optional<QString> m_toast;
    std::optional<QString> m_actionTitle;
    std::function<void()> m_action;
    quint64 m_serial = 0;
    std::optional<ZogQuote> m_quote;
    FileRevealer m_revealer;
};
