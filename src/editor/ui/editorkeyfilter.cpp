// SPDX-License-Identifier: MIT
#include "editor/ui/editorkeyfilter.h"

#include <QWidget>

EditorKeyFilter::EditorKeyFilter(QWidget *window, std::function<EditorModel *()> currentModel,
                                 QObject *parent)
    : QObject(parent)
    , m_window(window)
    , m_currentModel(std::move(currentModel))
{
}

bool EditorKeyFilter::eventFilter(QObject *watched, QEvent *event)
{
    return QObject::eventFilter(watched, event);
}
