// SPDX-License-Identifier: MIT
#include "editor/ui/layerspanel.h"

#include "editor/model/editormodel.h"
#include "editor/ui/actionbutton.h"
#include "editor/ui/editoractions.h"
#include "editor/ui/layerrow.h"
#include "look/kiwano.h"
#include "look/pixel.h"
#include "look/widgets/pixellabel.h"

#include <QFocusEvent>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPixmap>
#include <QScrollArea>
#include <QVBoxLayout>


namespace {

QIcon menuIcon(const QString &name)
{
    const std::optional<QImage> mask = Pixel::image(name, 16);
    return mask ? QIcon(QPixmap::fromImage(Pixel::tinted(*mask, Kiwano::peel))) : QIcon();
}

} // namespace

// The rows' container and the list's one stop in the tab order, wherever the rows were made:
// Tab lands on the selected row (else the top one), and Tab from a row moves on past the list.
class LayersPanel::List : public QWidget
{
public:
    List(LayersPanel *panel, QWidget *parent)
        : QWidget(parent)
        , m_panel(panel)
    {
        setFocusPolicy(Qt::TabFocus);
    }

    void leave(bool next)
    {
        m_leaving = true;
        setFocus(Qt::OtherFocusReason);
        focusNextPrevChild(next);
        m_leaving = false;
    }

protected:
    void focusInEvent(QFocusEvent *event) override
    {
        if (m_leaving)
            return;
        if (LayerRow *row = m_panel->entryRow()) {
            row->setFocus(event->reason());
            m_panel->m_scroll->ensureWidgetVisible(row);
        }
    }

private:
    LayersPanel *m_panel;
    bool m_leaving = false;
};

LayersPanel::LayersPanel(EditorModel *model, EditorActions *actions, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
{
    auto *column = new QVBoxLayout(this);
    column->setSpacing(8);
    column->setContentsMargins(12, 12, 12, 12);

    column->addWidget(new PixelLabel(QStringLiteral("layer-group"), tr("Layers"), Pixel::TextSize::Title, this), 0,
                      Qt::AlignLeft);

    auto *scroll = new QScrollArea(this);
    m_scroll = scroll;
    // The rows take the focus, not the frame around them.
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    scroll->viewport()->setAutoFillBackground(false);
    auto *listWidget = new List(this, scroll);
    m_listWidget = listWidget;
    m_list = new QVBoxLayout(listWidget);
    m_list->setSpacing(4);
    m_list->setContentsMargins(0, 0, 0, 0);
    const QFont emptyFont = Pixel::uiFont();
    m_empty = new QLabel(QStringLiteral("<p style=\"line-height: %1px\">%2</p>")
                             .arg(QFontMetrics(emptyFont).height() + 4)
                             .arg(tr("Draw something and it shows up here.")),
                         listWidget);
    m_empty->setTextFormat(Qt::RichText);
    m_empty->setWordWrap(true);
    m_empty->setFont(emptyFont);
    m_empty->setContentsMargins(0, 6, 0, 0);
    QPalette faded = m_empty->palette();
    QColor text = Kiwano::peel;
    text.setAlphaF(0.6f);
    faded.setColor(QPalette::WindowText, text);
    m_empty->setPalette(faded);
    m_list->addWidget(m_empty);
    m_list->addStretch(1);
    scroll->setWidget(listWidget);
    // The sidebar's tint shows through; a scroll area would paint its content opaque.
    listWidget->setAutoFillBackground(false);
    column->addWidget(scroll, 1);

    auto *footer = new QHBoxLayout;
    footer->setSpacing(4);
    for (auto id : {EditorActions::bringForward, EditorActions::sendBackward,
                    EditorActions::deleteLayer, EditorActions::flatten}) {
        if (id == EditorActions::flatten)
            footer->addStretch(1);
        footer->addWidget(new ActionButton(actions->action(id),
                                           QString::fromLatin1(EditorActions::entry(id).icon), this));
    }
    column->addLayout(footer);

    connect(model, &EditorModel::annotationsChanged, this, &LayersPanel::rebuild);
    connect(model, &EditorModel::selectedIDChanged, this, &LayersPanel::rebuild);
    rebuild();
}

QList<LayerRow *> LayersPanel::rows() const
{
    return m_rows;
}

void LayersPanel::rebuild()
{
    const QList<Annotation> &layers = m_model->annotations();
    const std::optional<QUuid> selected = m_model->selectedID();
    const LayerRow *focused = nullptr;
    for (LayerRow *row : m_rows)
        if (row->hasFocus())
            focused = row;
    const std::optional<QUuid> focusedID =
        focused ? std::optional(focused->annotation().id) : std::nullopt;

    while (m_rows.size() < layers.size()) {
        auto *row = new LayerRow(m_list->parentWidget());
        connect(row, &LayerRow::toggled, this, &LayersPanel::toggle);
        connect(row, &LayerRow::menuRequested, this, &LayersPanel::showMenu);
        connect(row, &LayerRow::focusMoveRequested, this,
                [this, row](int step) { moveFocus(row, step); });
        connect(row, &LayerRow::tabbedOut, this, [this](bool next) { m_listWidget->leave(next); });
        m_list->insertWidget(m_rows.size(), row);
        m_rows.append(row);
    }
    while (m_rows.size() > layers.size())
        delete m_rows.takeLast();
    // Topmost first.
    for (qsizetype i = 0; i < layers.size(); ++i) {
        const Annotation &layer = layers[layers.size() - 1 - i];
        m_rows[i]->setLayer(layer, selected && *selected == layer.id);
        if (focusedID && *focusedID == layer.id && !m_rows[i]->hasFocus())
            m_rows[i]->setFocus(Qt::OtherFocusReason);
    }
    m_empty->setVisible(layers.isEmpty());
    m_listWidget->setFocusPolicy(layers.isEmpty() ? Qt::NoFocus : Qt::TabFocus);
}

void LayersPanel::toggle(const QUuid &id)
{
    const std::optional<QUuid> selected = m_model->selectedID();
    m_model->select(selected && *selected == id ? std::nullopt : std::optional(id));
}

LayerRow *LayersPanel::entryRow() const
{
    const std::optional<QUuid> selected = m_model->selectedID();
    for (LayerRow *row : m_rows)
        if (selected && row->annotation().id == *selected)
            return row;
    return m_rows.isEmpty() ? nullptr : m_rows.first();
}

void LayersPanel::moveFocus(LayerRow *from, int step)
{
    const qsizetype at = m_rows.indexOf(from) + step;
    if (at < 0 || at >= m_rows.size())
        return;
    m_rows[at]->setFocus(Qt::OtherFocusReason);
    m_scroll->ensureWidgetVisible(m_rows[at]);
}

QMenu *LayersPanel::menuFor(const QUuid &id, QWidget *parent)
{
    auto *menu = new QMenu(parent);
    EditorModel *model = m_model;
    auto selectThen = [model, id](void (EditorModel::*command)()) {
        return [model, id, command] {
            if (!model->index(id))
                return;
            model->select(id);
            (model->*command)();
        };
    };
    connect(menu->addAction(menuIcon(QStringLiteral("arrow-up-from-line")), tr("Bring to Front")),
            &QAction::triggered, model, selectThen(&EditorModel::bringSelectedToFront));
    connect(menu->addAction(menuIcon(QStringLiteral("arrow-down-to-line")), tr("Send to Back")),
            &QAction::triggered, model, selectThen(&EditorModel::sendSelectedToBack));
    connect(menu->addAction(menuIcon(QStringLiteral("trash")), tr("Delete")),
            &QAction::triggered, model, selectThen(&EditorModel::deleteSelected));
    return menu;
}

void LayersPanel::showMenu(const QUuid &id, const QPoint &globalPos)
{
    QMenu *menu = menuFor(id, this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(globalPos);
}
