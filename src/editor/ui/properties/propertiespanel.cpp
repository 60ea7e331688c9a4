// SPDX-License-Identifier: MIT
#include "editor/ui/properties/propertiespanel.h"

#include "annotation/annotation.h"
#include "editor/model/editormodel.h"
#include "editor/ui/properties/field.h"
#include "editor/ui/properties/textcontentfield.h"
#include "editor/ui/properties/toolcontrols.h"
#include "look/kiwano.h"
#include "look/widgets/kiwanobutton.h"
#include "look/widgets/pixellabel.h"

#include <QLabel>
#include <QVBoxLayout>

namespace {

// Sidebar width less the vertical scroll bar.
constexpr int panelWidth = 224 - 8;

class Rule : public QWidget
{
public:
    explicit Rule(QWidget *parent)
        : QWidget(parent)
    {
        setFixedHeight(2);
        QColor faded = Kiwano::peel;
        faded.setAlphaF(0.3f);
        QPalette palette = this->palette();
        palette.setColor(QPalette::Window, faded);
        setPalette(palette);
        setAutoFillBackground(true);
    }
};

} // namespace

PropertiesPanel::PropertiesPanel(EditorModel *model, ColorPanelBridge *chooser, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_chooser(chooser)
{
    Look::setTextColor(this, Kiwano::peel);
    auto *stack = new QVBoxLayout(this);
    stack->setContentsMargins(12, 12, 12, 12);
    stack->setSpacing(12);
    stack->addWidget(new PixelLabel(QStringLiteral("sliders"), tr("Properties"), Pixel::TextSize::Title, this));
    m_subtitle = hintLabel(QString(), this);
    stack->addWidget(m_subtitle);

    auto *textHolder = new QWidget;
    auto *textColumn = new QVBoxLayout(textHolder);
    textColumn->setContentsMargins(0, 0, 0, 0);
    m_textField = new Field(tr("Text"), textHolder, this);
    stack->addWidget(m_textField);

    m_controlsHolder = new QWidget(this);
    auto *controls = new QVBoxLayout(m_controlsHolder);
    controls->setContentsMargins(0, 0, 0, 0);
    stack->addWidget(m_controlsHolder);

    m_selectHint = hintLabel(tr("Select a layer to edit it."), this);
    stack->addWidget(m_selectHint);
    m_rule = new Rule(this);
    stack->addWidget(m_rule);
    m_setDefault = new KiwanoButton(QStringLiteral("bookmark"), tr("Set Default"), this);
    m_setDefault->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    stack->addWidget(m_setDefault);
    stack->addStretch();

    connect(m_setDefault, &QAbstractButton::clicked, this, [this] {
        m_model->saveDefault(ShownStyle::style(*m_model), ShownStyle::tool(*m_model));
    });
    for (auto signal : {&EditorModel::annotationsChanged, &EditorModel::selectedIDChanged,
                        &EditorModel::toolChanged, &EditorModel::toolStylesChanged})
        connect(model, signal, this, &PropertiesPanel::modelChanged);
    refresh();
}

QSize PropertiesPanel::sizeHint() const
{
    return QSize(panelWidth, QWidget::sizeHint().height());
}

ToolControls *PropertiesPanel::shownControls() const
{
    ToolControls *controls = m_controls.value(ShownStyle::tool(*m_model));
    return controls && !controls->isEmpty() ? controls : nullptr;
}

QString PropertiesPanel::subtitle() const
{
    return m_subtitle->text();
}

void PropertiesPanel::modelChanged()
{
    // A hidden panel catches up when it is shown again.
    if (!isVisible()) {
        m_stale = true;
        return;
    }
    refresh();
}

void PropertiesPanel::showEvent(QShowEvent *event)
{
    if (m_stale)
        refresh();
    QWidget::showEvent(event);
}

void PropertiesPanel::refresh()
{
    m_stale = false;
    const Tool tool = ShownStyle::tool(*m_model);
    const bool layerSelected = m_model->selected().has_value();
    m_subtitle->setText(layerSelected ? tr("Layer: %1").arg(label(tool)) : tr("New %1").arg(label(tool)));
    refreshText();

    ToolControls *&controls = m_controls[tool];
    if (!controls) {
        controls = new ToolControls(tool, m_model, m_chooser, m_controlsHolder);
        m_controlsHolder->layout()->addWidget(controls);
    }
    for (ToolControls *other : std::as_const(m_controls))
        other->setVisible(other == controls && !controls->isEmpty());
    m_controlsHolder->setVisible(!controls->isEmpty());
    controls->refresh();

    const bool noStyle = tool == Tool::move || tool == Tool::crop;
    m_selectHint->setVisible(noStyle);
    const bool savable = !noStyle && tool != Tool::picture;
    m_rule->setVisible(savable);
    m_setDefault->setVisible(savable);
    m_setDefault->setToolTip(tr("Use these settings for every new %1 layer").arg(label(tool)));
}

void PropertiesPanel::refreshText()
{
    const std::optional<Annotation> layer = m_model->selected();
    const auto *text = layer ? std::get_if<Shapes::Text>(&layer->shape) : nullptr;
    m_textField->setVisible(text != nullptr);
    if (!text) {
        delete m_text;
        m_textLayer.reset();
        return;
    }
    if (m_text && m_textLayer == layer->id) {
        // The layer's text changed elsewhere (typed on the canvas, undone): show it, unless the
        // person is typing here.
        if (!m_text->hasFocus() && m_text->text() != text->string)
            m_text->setText(text->string);
        return;
    }
    // A fresh field for another layer, starting from its text.
    delete m_text;
    m_textLayer = layer->id;
    QWidget *holder = static_cast<Field *>(m_textField)->control();
    m_text = new TextContentField(m_model, text->string, holder);
    holder->layout()->addWidget(m_text);
}
