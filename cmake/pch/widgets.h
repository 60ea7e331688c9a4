// SPDX-License-Identifier: MIT
// Precompiled for targets that link Qt Widgets.
#pragma once

#include "gui.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScrollArea>
#include <QScrollBar>
#include <QWidget>
