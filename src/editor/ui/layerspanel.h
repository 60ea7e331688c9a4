// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QUuid>
#include <QWidget>

class EditorActions;
class EditorModel;
class LayerRow;
class QLabel;
class QMenu;
class QScrollArea;
class QVBoxLayout;

// The list of layers, topmost first, with the footer of layer commands. Rows are kept and
// refilled as the layers change, so keyboard focus stays on the layer it was on.
class LayersPanel : public QWidget
{
    Q_OBJECT

public:
    LayersPanel(EditorModel *model, EditorActions *actions, QWidget *parent = nullptr);

    // The rows shown, top to bottom.
    QList<LayerRow *> rows() const;
    // The context menu of one layer's row; the caller owns it.
    QMenu *menuFor(const QUuid &id, QWidget *parent = nullptr);

private:
    class List;

    void rebuild();
    // The row Tab enters the list on.
    LayerRow *entryRow() const;
    void toggle(const QUuid &id);
    void moveFocus(LayerRow *from, int step);
    void showMenu(const QUuid &id, const QPoint &globalPos);

    EditorModel *m_model;
    QScrollArea *m_scroll;
    List *m_listWidget;
    QVBoxLayout *m_list;
    QList<LayerRow *> m_rows;
    QLabel *m_empty;
};
