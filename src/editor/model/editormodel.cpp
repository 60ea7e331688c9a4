// SPDX-License-Identifier: MIT
#include "editor/model/editormodel.h"

#include "annotation/tooldefaults.h"
#include "editor/model/imageimport.h"

#include <QGuiApplication>
#include <QScreen>

namespace {

constexpr qreal pictureFit = 0.8;

qreal screenScale()
{
    if (!qGuiApp)
        return 2;
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->devicePixelRatio() : 2;
}

} // namespace

EditorModel::EditorModel(const QImage &image, QObject *parent)
    : EditorModel(image, screenScale(), parent)
{
}

EditorModel::EditorModel(const QImage &image, qreal pixelScale, QObject *parent)
    : QObject(parent)
    , m_document(image)
    , m_toolbox(pixelScale)
    , m_selection(m_document)
    , m_gestures(m_document, m_selection, m_toolbox, m_crop)
    , m_exporter(m_document, m_notices, m_toolbox.pixelScale())
{
    relay(&m_document, &EditorDocument::baseChanged, &EditorModel::baseChanged);
    relay(&m_document, &EditorDocument::annotationsChanged, &EditorModel::annotationsChanged);
    relay(&m_document, &EditorDocument::historyChanged, &EditorModel::historyChanged);
    relay(&m_toolbox, &EditorToolbox::toolChanged, &EditorModel::toolChanged);
    relay(&m_toolbox, &EditorToolbox::stylesChanged, &EditorModel::toolStylesChanged);
    relay(&m_selection, &EditorSelection::idChanged, &EditorModel::selectedIDChanged);
    relay(&m_crop, &CropArea::rectChanged, &EditorModel::cropRectChanged);
    relay(&m_gestures, &EditorGestures::draftChanged, &EditorModel::draftChanged);
    relay(&m_gestures, &EditorGestures::textEntryChanged, &EditorModel::textEntryChanged);
    relay(&m_notices, &EditorNotices::toastChanged, &EditorModel::toastChanged);
    relay(&m_notices, &EditorNotices::quoteChanged, &EditorModel::quoteChanged);
    // An undo or redo during a crop starts it over with the whole restored image.
    connect(&m_document, &EditorDocument::restored, this, [this] {
        if (m_crop.rect())
            m_crop.setRect(fullRect());
    });
}

EditorModel::~EditorModel() = default;

template<typename Part, typename Signal>
void EditorModel::relay(const Part *part, void (Part::*from)(), Signal to)
{
    connect(part, from, this, [this, to] {
        emit(this->*to)();
        emit changed();
    });
}

void EditorModel::setTool(Tool tool)
{
    const Tool previous = this->tool();
    if (!m_toolbox.setTool(tool))
        return;
    if (tool == Tool::crop) {
        m_toolBeforeCrop = previous;
        m_crop.setRect(fullRect());
    } else {
        m_crop.setRect(std::nullopt);
    }
}

bool EditorModel::restoreBase(const QImage &image)
{
    if (!m_document.restoreBase(image))
        return false;
    // The file gave back a picture of another size only if it was replaced outside meanwhile.
    if (cropRect() && !fullRect().contains(*cropRect()))
        m_crop.setRect(fullRect());
    return true;
}

void EditorModel::commit(const Annotation &annotation)
{
    m_document.add(annotation);
    m_selection.setID(annotation.id);
}

void EditorModel::chooseTool(Tool tool)
{
    setQuote(std::nullopt);
    // Choosing another tool keeps what was being typed.
    if (textEntry() && tool != this->tool())
        finishTextEntry();
    m_selection.setID(std::nullopt);
    setTool(tool);
}

void EditorModel::select(std::optional<QUuid> id)
{
    setQuote(std::nullopt);
    // So does choosing a layer.
    if (textEntry() && id)
        finishTextEntry();
    m_selection.setID(id);
    if (id)
        setTool(Tool::move);
}

void EditorModel::saveDefault(const Style &style, Tool tool)
{
    m_toolbox.setStyle(tool, style);
    ToolDefaults::save(style, tool);
    showToast(tr("Saved %1 default").arg(label(tool)));
}

void EditorModel::dragChanged(QPointF start, QPointF current, bool shiftHeld)
{
    if (!m_gestures.isDragging())
        setQuote(std::nullopt);
    m_gestures.dragChanged(start, current, shiftHeld);
}

void EditorModel::setSelectedStyle(const Style &style)
{
    const auto layer = selected();
    if (m_selection.setStyle(style) && layer->tool() == tool())
        setToolStyle(style);
}

void EditorModel::setSelectedText(const QString &text)
{
    if (const auto id = selectedID())
        m_selection.setLayerText(*id, text);
}

void EditorModel::addWatermark()
{
    setQuote(std::nullopt);
    const QSizeF size = imageSize();
    commit(Annotation(Shapes::Watermark{QPointF(size.width() / 2, size.height() / 2),
                                        size.width()},
                      m_toolbox.style(Tool::watermark)));
    setTool(Tool::move);
}

void EditorModel::addPicture(const QImage &image, std::optional<QPointF> at)
{
    if (image.isNull())
        return;
    setQuote(std::nullopt);
    const QSizeF size = imageSize();
    const QPointF centre = at.value_or(QPointF(size.width() / 2, size.height() / 2));
    const qreal iw = image.width();
    const qreal ih = image.height();
    const qreal s = std::min({1.0, pictureFit * size.width() / iw, pictureFit * size.height() / ih});
    const QSizeF placed(iw * s, ih * s);
    const QRectF rect(centre.x() - placed.width() / 2, centre.y() - placed.height() / 2,
                      placed.width(), placed.height());
    commit(Annotation(Shapes::Picture{rect, image}, m_toolbox.style(Tool::picture)));
    setTool(Tool::move);
}

bool EditorModel::pasteImage()
{
    const QImage image = ImageImport::fromClipboard(QGuiApplication::clipboard());
    if (image.isNull()) {
        showToast(tr("Nothing to paste"));
        return false;
    }
    addPicture(image);
    return true;
}

void EditorModel::applyCrop()
{
    if (const auto rect = cropRect())
        m_document.cropTo(*rect);
    setTool(m_toolBeforeCrop);
}

void EditorModel::resize(QSizeF size)
{
    if (const auto done = m_document.resize(size))
        showToast(tr("Resized to %1 \u00d7 %2").arg(done->width()).arg(done->height()));
}

void EditorModel::flattenLayers()
{
    if (m_document.flattenLayers())
        m_selection.setID(std::nullopt);
}
