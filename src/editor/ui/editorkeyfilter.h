// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

#include <functional>

class EditorModel;
class QWidget;

// The editor window's own keys, seen before the focused control: Ctrl+V pastes an image and
// Backspace or Delete deletes the selected layer, unless a text is being typed. Install it on the
// application; it acts only on events for window.
class EditorKeyFilter : public QObject
{
    Q_OBJECT

public:
    EditorKeyFilter(QWidget *window, std::function<EditorModel *()> currentModel,
                    QObject *parent = nullptr);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_window;
    std::function<EditorModel *()> m_currentModel;
};
