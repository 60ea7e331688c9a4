// SPDX-License-Identifier: MIT
// Precompiled for targets that link Qt Gui but not Qt Widgets.
#pragma once

#include "core.h"

#include <QClipboard>
#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QScreen>
