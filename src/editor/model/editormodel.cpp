// SPDX-License-Identifier: MIT
#include "editor/model/editormodel.h"

#include "annotation/pixelcache.h"
#include "annotation/tooldefaults.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

namespace {

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
    , m_base(image)
    , m_sourceKey(image.cacheKey())
    , m_pixels(std::make_unique<PixelCache>(image))
    , m_pixelScale(pixelScale > 0 ? pixelScale : 2)
{
    for (Tool tool : Tools::allCases())
        m_toolStyles.insert(tool, ToolDefaults::load(tool, m_pixelScale));
}

EditorModel::~EditorModel() = default;

void EditorModel::setTool(Tool tool)
{
    const Tool previous = m_tool;
    if (tool == previous)
        return;
    m_tool = tool;
    emit toolChanged();
    emit changed();
    if (tool == Tool::crop) {
        m_toolBeforeCrop = previous;
        setCropRect(fullRect());
    } else {
        setCropRect(std::nullopt);
    }
}

void EditorModel::setToolStyles(const QMap<Tool, Style> &styles)
{
    m_toolStyles = styles;
    emit toolStylesChanged();
    emit changed();
}

void EditorModel::setTextEntry(std::optional<QPointF> point)
{
    if (point == m_textEntry)
        return;
    m_textEntry = point;
    m_typedText.clear();
    emit textEntryChanged();
    emit changed();
}

void EditorModel::setTypedText(const QString &text)
{
    if (m_textEntry)
        m_typedText = text;
}

void EditorModel::setQuote(const std::optional<ZogQuote> &quote)
{
    if (quote == m_quote)
        return;
    m_quote = quote;
    emit quoteChanged();
    emit changed();
}

void EditorModel::setViewScale(qreal scale)
{
    // Reaches are divided by it; a zero or broken zoom must not make them infinite.
    if (qIsFinite(scale) && scale > 0)
        m_viewScale = scale;
}

std::optional<Annotation> EditorModel::selected() const
{
    if (!m_selectedID)
        return std::nullopt;
    if (const auto at = index(*m_selectedID))
        return m_annotations.at(*at);
    return std::nullopt;
}

std::optional<qsizetype> EditorModel::index(const QUuid &id) const
{
    for (qsizetype i = 0; i < m_annotations.size(); ++i) {
        if (m_annotations.at(i).id == id)
            return i;
    }
    return std::nullopt;
}

Style EditorModel::toolStyle() const
{
    const auto found = m_toolStyles.constFind(m_tool);
    if (found != m_toolStyles.constEnd())
        return *found;
    return ToolDefaults::builtIn(m_tool, m_pixelScale);
}

void EditorModel::setToolStyle(const Style &style)
{
    m_toolStyles.insert(m_tool, style);
    emit toolStylesChanged();
    emit changed();
}

Snapshot EditorModel::present()
{
    Snapshot snapshot{m_base, {}};
    snapshot.layers.reserve(m_annotations.size());
    for (const Annotation &layer : m_annotations) {
        auto &weak = m_sharedLayers[layer.id];
        std::shared_ptr<const Annotation> shared = weak.lock();
        if (!shared || !(*shared == layer)) {
            // Not make_shared: its single block would keep the layer's memory until the last
            // weak reference went, too.
            shared = std::shared_ptr<const Annotation>(new Annotation(layer));
            weak = shared;
        }
        snapshot.layers.append(shared);
    }
    return snapshot;
}

void EditorModel::recordUndo(const Snapshot &before)
{
    m_undoStack.append(before);
    m_redoStack.clear();
    m_sharedLayers.removeIf([](const auto &entry) { return entry.value().expired(); });
    emit historyChanged();
    emit changed();
}

void EditorModel::pushUndo()
{
    recordUndo(present());
}

void EditorModel::undo()
{
    if (m_undoStack.isEmpty())
        return;
    const Snapshot snapshot = m_undoStack.takeLast();
    m_redoStack.append(present());
    restore(snapshot);
    emit historyChanged();
}

void EditorModel::redo()
{
    if (m_redoStack.isEmpty())
        return;
    const Snapshot snapshot = m_redoStack.takeLast();
    m_undoStack.append(present());
    restore(snapshot);
    emit historyChanged();
}

void EditorModel::restore(const Snapshot &snapshot)
{
    setBase(snapshot.base);
    for (const auto &layer : snapshot.layers)
        m_sharedLayers.insert(layer->id, layer);
    setAnnotations(snapshot.annotations());
    if (m_cropRect)
        setCropRect(fullRect());
}

void EditorModel::commit(const Annotation &annotation)
{
    pushUndo();
    QList<Annotation> layers = m_annotations;
    layers.append(annotation);
    setAnnotations(layers);
    setSelectedID(annotation.id);
}

void EditorModel::chooseTool(Tool tool)
{
    setQuote(std::nullopt);
    // Choosing another tool keeps what was being typed.
    if (m_textEntry && tool != m_tool)
        finishTextEntry();
    setSelectedID(std::nullopt);
    setTool(tool);
}

void EditorModel::select(std::optional<QUuid> id)
{
    setQuote(std::nullopt);
    // So does choosing a layer.
    if (m_textEntry && id)
        finishTextEntry();
    setSelectedID(id);
    if (id)
        setTool(Tool::move);
}

void EditorModel::saveDefault(const Style &style, Tool tool)
{
    m_toolStyles.insert(tool, style);
    emit toolStylesChanged();
    emit changed();
    ToolDefaults::save(style, tool);
    showToast(tr("Saved %1 default").arg(label(tool)));
}

namespace {
std::function<void(const QString &)> &fileRevealer()
{
    static std::function<void(const QString &)> revealer;
    return revealer;
}
} // namespace

void EditorModel::setFileRevealer(std::function<void(const QString &path)> revealer)
{
    fileRevealer() = std::move(revealer);
}

void EditorModel::showToast(const QString &text)
{
    showToastFor(text, std::nullopt, {}, std::max<int>(1500, int(text.size()) * 65));
}

void EditorModel::showToast(const QString &text, const QString &actionTitle, std::function<void()> action)
{
    showToastFor(text, actionTitle, std::move(action), std::max<int>(6000, int(text.size()) * 65));
}

void EditorModel::showToastFor(const QString &text, std::optional<QString> actionTitle,
                               std::function<void()> action, int milliseconds)
{
    // The button is set before the text announces the notice, so views see both at once.
    m_toastActionTitle = actionTitle;
    m_toastAction = std::move(action);
    const quint64 serial = ++m_toastSerial;
    if (m_toast == text)
        emit toastChanged();
    setToast(text);
    // The timer belongs to the model, so it dies with it and never touches a model that is gone.
    QTimer::singleShot(milliseconds, this, [this, serial] {
        if (m_toastSerial == serial)
            setToast(std::nullopt);
    });
}

void EditorModel::announceSaved(const QString &path)
{
    const QString text = tr("Saved %1").arg(QFileInfo(path).fileName());
    if (const std::function<void(const QString &)> &reveal = fileRevealer())
        showToast(text, tr("Show"), [reveal, path] { reveal(path); });
    else
        showToast(text);
}

void EditorModel::triggerToastAction()
{
    if (!m_toast || !m_toastAction)
        return;
    const std::function<void()> action = m_toastAction;
    ++m_toastSerial;
    setToast(std::nullopt);
    action();
}

void EditorModel::setBase(const QImage &image)
{
    // Undoing an edit that kept the image hands back the same bitmap; its blur cache still holds.
    const bool sameBitmap = image.cacheKey() == m_base.cacheKey();
    m_base = image;
    if (!sameBitmap) {
        m_pixels = std::make_unique<PixelCache>(image);
        pinBlurSizes();
    }
    emit baseChanged();
    emit changed();
}

void EditorModel::forEachBase(const std::function<void(QImage &)> &visit)
{
    visit(m_base);
    for (Snapshot &snapshot : m_undoStack)
        visit(snapshot.base);
    for (Snapshot &snapshot : m_redoStack)
        visit(snapshot.base);
    if (m_moving)
        visit(m_moving->before.base);
    if (m_resizing)
        visit(m_resizing->before.base);
}

bool EditorModel::releaseBase()
{
    if (m_released)
        return true;
    // A snapshot's base is never null otherwise: a null one stands for the file's picture.
    bool released = false;
    const auto drop = [this, &released](QImage &image) {
        if (!image.isNull() && image.cacheKey() == m_sourceKey) {
            image = QImage();
            released = true;
        }
    };
    forEachBase(drop);
    // The pixellations are made again from whatever base is shown next.
    m_pixels = std::make_unique<PixelCache>(m_base);
    m_released = released;
    return released;
}

bool EditorModel::restoreBase(const QImage &image)
{
    if (image.isNull())
        return false;
    if (!m_released)
        return true;
    const auto fill = [&image](QImage &slot) {
        if (slot.isNull())
            slot = image;
    };
    forEachBase(fill);
    m_sourceKey = image.cacheKey();
    m_released = false;
    m_pixels = std::make_unique<PixelCache>(m_base);
    pinBlurSizes();
    // The file gave back a picture of another size only if it was replaced outside meanwhile.
    if (m_cropRect && !fullRect().contains(*m_cropRect))
        setCropRect(fullRect());
    emit baseChanged();
    emit changed();
    return true;
}

void EditorModel::setAnnotations(const QList<Annotation> &annotations)
{
    m_annotations = annotations;
    pinBlurSizes();
    emit annotationsChanged();
    emit changed();
}

void EditorModel::replaceLayer(qsizetype at, const Annotation &annotation)
{
    m_annotations.replace(at, annotation);
    pinBlurSizes();
    emit annotationsChanged();
    emit changed();
}

void EditorModel::setDraft(const std::optional<Annotation> &draft)
{
    if (!draft && !m_draft)
        return;
    m_draft = draft;
    emit draftChanged();
    emit changed();
}

void EditorModel::setCropRect(std::optional<QRectF> rect)
{
    if (rect == m_cropRect)
        return;
    m_cropRect = rect;
    emit cropRectChanged();
    emit changed();
}

void EditorModel::setSelectedID(std::optional<QUuid> id)
{
    if (id == m_selectedID)
        return;
    m_selectedID = id;
    emit selectedIDChanged();
    emit changed();
}

void EditorModel::setToast(std::optional<QString> text)
{
    if (text == m_toast)
        return;
    if (!text) {
        m_toastActionTitle.reset();
        m_toastAction = {};
    }
    m_toast = text;
    emit toastChanged();
    emit changed();
}

void EditorModel::pinBlurSizes()
{
    QList<qreal> blocks;
    for (const Annotation &layer : std::as_const(m_annotations))
        if (std::holds_alternative<Shapes::Blur>(layer.shape))
            blocks.append(layer.style.blurBlock);
    m_pixels->pin(blocks);
}
