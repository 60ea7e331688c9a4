// SPDX-License-Identifier: MIT
#pragma once

#include "annotation/annotation.h"

#include <QWidget>

// One line of the layers list: a colour chip for the drawn kinds, the tool's icon and the layer's
// name on a box that is ripe when selected. Click, Space or Return asks to toggle the selection;
// Up and Down move the focus along the list. Rows are no tab stops of their own: the list is.
class LayerRow : public QWidget
{
    Q_OBJECT

public:
    explicit LayerRow(QWidget *parent = nullptr);

    const Annotation &annotation() const { return m_annotation; }
    bool isSelected() const { return m_selected; }
    void setLayer(const Annotation &annotation, bool selected);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void toggled(QUuid id);
    void menuRequested(QUuid id, QPoint globalPos);
    // The arrow keys: -1 for the row above, 1 for the one below.
    void focusMoveRequested(int step);
    // Tab or Shift+Tab: the list hands the focus on to the control after or before it.
    void tabbedOut(bool next);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    bool focusNextPrevChild(bool next) override;

private:
    bool hasChip() const;

    Annotation m_annotation;
    bool m_selected = false;
};
