// SPDX-License-Identifier: MIT
#include "editor/model/exportqueue.h"

ExportQueue::ExportQueue(QObject *parent)
    : QObject(parent)
{
    m_pool.setMaxThreadCount(1);
}

ExportQueue::~ExportQueue()
{
    m_pool.waitForDone();
}
