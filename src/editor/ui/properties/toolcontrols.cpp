// SPDX-License-Identifier: MIT
#include "editor/ui/properties/toolcontrols.h"

#include "annotation/annotation.h"
#include "annotation/tooldefaults.h"
#include "editor/model/editormodel.h"
#include "editor/ui/properties/field.h"
#include "editor/ui/properties/fontpicker.h"
#include "editor/ui/properties/layersizefields.h"
#include "editor/ui/properties/stepformat.h"
#include "look/widgets/stepper.h"
#include "editor/ui/properties/swatches.h"
#include "look/widgets/kiwanobutton.h"

#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace ShownStyle {

Tool tool(const EditorModel &model)
{
    const std::optional<Annotation> layer = model.selected();
    return layer ? layer->tool() : model.tool();
}

Style style(const EditorModel &model)
{
    const std::optional<Annotation> layer = model.selected();
    return layer ? layer->style : model.toolStyle();
}

void write(EditorModel &model, const Style &style)
{
    if (model.selected())
        model.setSelectedStyle(style);
    else
        model.setToolStyle(style);
}

} // namespace ShownStyle

namespace {
using Format = StepFormat::Format;
} // namespace

ToolControls::ToolControls(Tool tool, EditorModel *model, ColorPanelBridge *chooser,
                           QWidget *parent)
    : QWidget(parent)
    , m_tool(tool)
    , m_model(model)
    , m_chooser(chooser)
    , m_fields(new QVBoxLayout(this))
{
    m_fields->setContentsMargins(0, 0, 0, 0);
    m_fields->setSpacing(12);
    const Format whole = Format::whole;
    const Format offOrWhole = Format::offOrWhole;
    const Format percent = Format::percent;
    switch (tool) {
    case Tool::pen:
    case Tool::highlighter:
    case Tool::arrow:
        addSwatches(tr("Color"), &Style::color);
        addStepper(tr("Size"), &Style::width, 1, 12, 1, whole, true);
        break;
    case Tool::rect:
        addStepper(tr("Stroke width"), &Style::width, 0, 24, 1, offOrWhole, true);
        addSwatches(tr("Stroke color"), &Style::color);
        addFillSwatches(tr("Fill color"));
        addStepper(tr("Corner radius"), &Style::cornerRadius, 0, 48, 2, whole, true);
        break;
    case Tool::text:
        addFontPicker(tr("Font"));
        addStepper(tr("Size"), &Style::fontSize, 8, 120, 4, whole, true);
        addSwatches(tr("Text color"), &Style::color);
        addStepper(tr("Outline"), &Style::outlineWidth, 0, 12, 1, offOrWhole, false);
        addSwatches(tr("Outline color"), &Style::outlineColor);
        break;
    case Tool::blur:
        addBlurModes(tr("Style"));
        addStepper(tr("Pixel size"), &Style::blurBlock, ToolDefaults::smallestBlurBlock, 40, 2, whole, true);
        m_fields->addWidget(hintLabel(tr("Redact and Black keep nothing of what they cover in the copy "
                                         "or the saved file."), this));
        break;
    case Tool::focus:
        addStepper(tr("Dim"), &Style::dim, 0.1, 0.9, 0.1, percent, false);
        break;
    case Tool::stamp:
        addStepper(tr("Size"), &Style::width, 1, 12, 1, whole, true);
        break;
    case Tool::watermark:
        addStepper(tr("Size"), &Style::markSize, 0.1, 1, 0.05, percent, false);
        addStepper(tr("Opacity"), &Style::opacity, 0.1, 1, 0.1, percent, false);
        break;
    case Tool::picture:
        addPictureSize();
        break;
    case Tool::move:
    case Tool::crop:
        break;
    }
}

template<typename Control>
Control *ToolControls::addField(const QString &title, Control *control)
{
    m_fields->addWidget(new Field(title, control, this));
    return control;
}

void ToolControls::edit(const std::function<void(Style &)> &change)
{
    Style style = ShownStyle::style(*m_model);
    change(style);
    ShownStyle::write(*m_model, style);
}

void ToolControls::addStepper(const QString &title, qreal Style::*field, double lower, double upper,
                              double step, Format format, bool points)
{
    auto *stepper = addField(title, StepFormat::stepper(title, lower, upper, step, format));
    // Lengths are stored in image pixels and shown in points of the screen they were made for.
    const qreal scale = points ? m_model->pixelScale() : 1;
    connect(stepper, &Stepper::valueEdited, this, [this, field, scale](double value) {
        edit([&](Style &style) { style.*field = value * scale; });
    });
    m_readers.append([stepper, field, scale](const Style &style) { stepper->setValue(style.*field / scale); });
}

void ToolControls::addSwatches(const QString &title, QColor Style::*field)
{
    auto *swatches = addField(title, new Swatches(false, m_chooser));
    connect(swatches, &Swatches::colorEdited, this, [this, field](const std::optional<QColor> &color) {
        if (color)
            edit([&](Style &style) { style.*field = *color; });
    });
    m_readers.append([swatches, field](const Style &style) { swatches->setColor(style.*field); });
}

void ToolControls::addFillSwatches(const QString &title)
{
    auto *swatches = addField(title, new Swatches(true, m_chooser));
    connect(swatches, &Swatches::colorEdited, this, [this](const std::optional<QColor> &color) {
        edit([&](Style &style) { style.fillColor = color; });
    });
    m_readers.append([swatches](const Style &style) { swatches->setColor(style.fillColor); });
}

void ToolControls::addBlurModes(const QString &title)
{
    auto *row = new QWidget;
    auto *grid = new QGridLayout(row);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(4);
    const std::pair<BlurMode, QString> modes[] = {
        {BlurMode::pixelate, tr("Blur")}, {BlurMode::noise, tr("Redact")}, {BlurMode::solid, tr("Black")}};
    QList<std::pair<BlurMode, KiwanoButton *>> buttons;
    for (const auto &[mode, name] : modes) {
        auto *button = new KiwanoButton(QString(), name, row);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        connect(button, &QAbstractButton::clicked, this, [this, mode] {
            edit([&](Style &style) { style.blurMode = mode; });
        });
        grid->addWidget(button, 0, int(buttons.size()));
        buttons.append({mode, button});
    }
    addField(title, row);
    m_readers.append([buttons](const Style &style) {
        for (const auto &[mode, button] : buttons)
            button->setSelected(style.blurMode == mode);
    });
}

void ToolControls::addFontPicker(const QString &title)
{
    auto *picker = addField(title, new FontPicker);
    connect(picker, &FontPicker::fontEdited, this, [this](TextFont font) {
        edit([&](Style &style) { style.font = font; });
    });
    m_readers.append([picker](const Style &style) { picker->setCurrent(style.font); });
}

void ToolControls::addPictureSize()
{
    auto *holder = new QWidget;
    auto *column = new QVBoxLayout(holder);
    column->setContentsMargins(0, 0, 0, 0);
    m_sizeField = new Field(tr("Size (px)"), holder, this);
    m_fields->addWidget(m_sizeField);
    addStepper(tr("Opacity"), &Style::opacity, 0.1, 1, 0.1, Format::percent, false);
    m_originalSize = new KiwanoButton(QStringLiteral("expand"), tr("Original Size"), this);
    m_fields->addWidget(m_originalSize);
    connect(m_originalSize, &QAbstractButton::clicked, this, [this] {
        const std::optional<Annotation> layer = m_model->selected();
        if (const auto *picture = layer ? std::get_if<Shapes::Picture>(&layer->shape) : nullptr)
            m_model->setSelectedSize(QSizeF(picture->image.size()));
    });
    auto *hint = hintLabel(tr("Drag a corner to resize. Hold Shift to stretch."), this);
    m_fields->addWidget(hint);
    m_readers.append([this](const Style &) { refreshPictureSize(); });
}

void ToolControls::refreshPictureSize()
{
    const std::optional<Annotation> layer = m_model->selected();
    const bool picture = layer && layer->tool() == Tool::picture;
    m_sizeField->setVisible(picture);
    m_originalSize->setVisible(picture);
    if (!picture) {
        delete m_sizeFields;
        m_sizeLayer.reset();
        return;
    }
    if (m_sizeFields && m_sizeLayer == layer->id) {
        m_sizeFields->setBounds(layer->bounds());
        return;
    }
    // Fresh fields for another layer: lock on, texts from its bounds.
    delete m_sizeFields;
    m_sizeLayer = layer->id;
    auto *holder = static_cast<Field *>(m_sizeField)->control();
    m_sizeFields = new LayerSizeFields(m_model, layer->bounds(), holder);
    holder->layout()->addWidget(m_sizeFields);
}

void ToolControls::refresh()
{
    const Style style = ShownStyle::style(*m_model);
    for (const auto &read : m_readers)
        read(style);
}
