// SPDX-License-Identifier: MIT
#include "clipboard/picker/view/clipboardpickerview.h"

#include "clipboard/clipboard.h"
#include "clipboard/picker/clipboardpickermodel.h"
#include "clipboard/picker/view/cliplist.h"
#include "clipboard/picker/view/pickertexts.h"
#include "look/kiwano.h"
#include "look/pixel.h"
#include "look/widgets/actiontoast.h"
#include "look/widgets/kiwanobutton.h"
#include "look/widgets/pixellabel.h"
#include "look/widgets/pixelpaint.h"
#include "platform/appnames.h"

#include <QBoxLayout>
#include <QEvent>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QResizeEvent>
#include <QPainter>
#include <QStackedWidget>

#include <algorithm>

namespace {

constexpr int border = 3;

// A solid band: the yellow header's background, or a rule between the sections.
class Band : public QWidget
{
public:
    Band(const QColor &color, int height, QWidget *parent = nullptr)
        : QWidget(parent)
        , m_color(color)
    {
        if (height > 0)
            setFixedHeight(height);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        Look::fillSnapped(painter, rect(), m_color);
    }

private:
    QColor m_color;
};

// The white pixel box around the search field. It keeps its light border while the field has
// the focus, which it has whenever the picker is open: the caret shows where typing goes, and a
// box drawn as selected would read as text waiting to be replaced.
class SearchBox : public QWidget
{
public:
    explicit SearchBox(QLineEdit *field, QWidget *parent = nullptr)
        : QWidget(parent)
    {
        auto *layout = new QHBoxLayout(this);
        layout->setContentsMargins(8, 6, 8, 6);
        layout->addWidget(field);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        Look::paintPixelBox(painter, rect(), Qt::white, false);
    }
};

QLabel *pixelText(Pixel::TextSize size, const QColor &color, QWidget *parent)
{
    return Look::pixelText(QString(), size, color, parent);
}

QColor faded(QColor color, float opacity)
{
    color.setAlphaF(opacity);
    return color;
}

} // namespace

ClipboardPickerView::ClipboardPickerView(ClipboardPickerModel &model, Clipboard &clipboard, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_clipboard(clipboard)
{
    setAccessibleName(tr("Clipboard history"));
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(border, border, border, border);
    column->setSpacing(0);
    column->addWidget(makeHeader());
    column->addWidget(new Band(Kiwano::peel, 2, this));
    m_content = new QStackedWidget(this);
    m_list = new ClipListView(m_model, m_clipboard, m_content);
    m_content->addWidget(m_list);
    m_content->addWidget(makeEmptyState());
    column->addWidget(m_content, 1);
    column->addWidget(new Band(Kiwano::peel, 2, this));
    column->addWidget(makeFooter());

    connect(&m_model, &ClipboardPickerModel::visibleChanged, this, [this] {
        updateContent();
        updateDetails();
    });
    connect(&m_model, &ClipboardPickerModel::selectedIDChanged, this, &ClipboardPickerView::updateDetails);
    connect(&m_model, &ClipboardPickerModel::queryChanged, this, [this](const QString &query) {
        if (m_search->text() != query)
            m_search->setText(query);
    });
    connect(&m_model, &ClipboardPickerModel::focusTokenChanged, this, [this] { m_search->setFocus(); });
    connect(m_search, &QLineEdit::textEdited, &m_model, &ClipboardPickerModel::setQuery);

    // What Clear and Delete took away can come back for a few seconds.
    m_toast = new ActionToast(this);
    connect(&m_clipboard, &Clipboard::removalKept, this, [this](int count) {
        m_toast->raise();
        m_toast->post({count == 1 ? tr("Removed 1 item") : tr("Removed %n items", nullptr, count),
                       tr("Undo"), QStringLiteral("trash")});
    });
    connect(m_toast, &ActionToast::actionTriggered, &m_clipboard, [this] {
        m_clipboard.undoRemoval();
        m_model.focusSearch();
    });
    connect(m_toast, &ActionToast::closed, &m_clipboard, &Clipboard::forgetRemoval);
    // A clear from elsewhere (the tray) lets the kept entries go: nothing is left to undo.
    connect(&m_clipboard, &Clipboard::itemsChanged, m_toast, [this] {
        if (!m_clipboard.canUndoRemoval())
            m_toast->dismiss();
    });

    setTabOrder(m_search, m_clear);
    setTabOrder(m_clear, m_settings);
    setTabOrder(m_settings, m_toast->actionButton());
    updateContent();
    updateDetails();
    refresh();
}

QWidget *ClipboardPickerView::makeHeader()
{
    auto *header = new Band(Kiwano::yellow, 0, this);
    auto *row = new QHBoxLayout(header);
    row->setContentsMargins(10, 10, 10, 10);
    row->setSpacing(10);
    row->addWidget(new PixelIconView(QStringLiteral("kiwano"), 18, header), 0, Qt::AlignVCenter);
    QLabel *title = pixelText(Pixel::TextSize::Body, Kiwano::peel, header);
    title->setText(tr("Clipboard"));
    row->addWidget(title, 0, Qt::AlignVCenter);

    m_search = new QLineEdit(header);
    m_search->setPlaceholderText(tr("Type to search..."));
    m_search->setAccessibleName(tr("Search"));
    m_search->setFrame(false);
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPixelSize(14);
    m_search->setFont(font);
    QPalette colours = m_search->palette();
    colours.setColor(QPalette::Base, Qt::white);
    colours.setColor(QPalette::Text, Kiwano::peel);
    m_search->setPalette(colours);
    row->addWidget(new SearchBox(m_search, header), 1, Qt::AlignVCenter);
    return header;
}

QWidget *ClipboardPickerView::makeEmptyState()
{
    auto *empty = new QWidget(m_content);
    auto *column = new QVBoxLayout(empty);
    column->setSpacing(10);
    column->addStretch(1);
    auto *icon = new PixelIconView(QStringLiteral("kiwano"), 48, empty);
    icon->setColor(Kiwano::ripe);
    column->addWidget(icon, 0, Qt::AlignHCenter);
    m_emptyTitle = pixelText(Pixel::TextSize::Body, Kiwano::peel, empty);
    column->addWidget(m_emptyTitle, 0, Qt::AlignHCenter);
    m_emptyHint = pixelText(Pixel::TextSize::Body, Kiwano::peel, empty);
    m_emptyHint->setText(tr("Copy something, and it shows up here."));
    column->addWidget(m_emptyHint, 0, Qt::AlignHCenter);
    column->addStretch(1);
    return empty;
}

QWidget *ClipboardPickerView::makeFooter()
{
    auto *footer = new QWidget(this);
    auto *column = new QVBoxLayout(footer);
    column->setContentsMargins(10, 10, 10, 10);
    column->setSpacing(8);

    m_details = pixelText(Pixel::TextSize::Body, Kiwano::peel, footer);
    column->addWidget(m_details);

    auto *row = new QHBoxLayout;
    row->setSpacing(8);
    m_hint = pixelText(Pixel::TextSize::Body, faded(Kiwano::peel, 0.75f), footer);
    // Longer languages wrap between the key hints rather than lose the last one under the buttons.
    m_hint->setWordWrap(true);
    row->addWidget(m_hint, 1);
    m_clear = new KiwanoButton(QStringLiteral("trash"), tr("Clear"), footer);
    m_clear->setToolTip(tr("Clear everything except pinned items (Ctrl+Shift+\u232B)"));
    m_clear->setFocusPolicy(Qt::TabFocus);
    connect(m_clear, &KiwanoButton::clicked, this, [this] { m_clipboard.clear(false, true); });
    row->addWidget(m_clear);
    m_settings = new KiwanoButton(QStringLiteral("sliders"), tr("Settings"), footer);
    m_settings->setToolTip(tr("Settings"));
    m_settings->setFocusPolicy(Qt::TabFocus);
    connect(m_settings, &KiwanoButton::clicked, this, [this] { m_model.requestSettings(); });
    row->addWidget(m_settings);
    column->addLayout(row);

    m_session = pixelText(Pixel::TextSize::Body, Kiwano::palette().value(0, Qt::red), footer);
    m_session->setWordWrap(true);
    column->addWidget(m_session);
    return footer;
}

void ClipboardPickerView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // Over the list, clear of the footer's buttons.
    m_toast->setArea(m_content->geometry());
}

void ClipboardPickerView::refresh()
{
    const bool paste = m_clipboard.pasteAutomatically();
    m_hint->setText(PickerTexts::hint(paste));
    m_session->setText(m_copyOnlyLine.isEmpty() ? PickerTexts::sessionWarning() : m_copyOnlyLine);
    m_session->setVisible(paste && !m_clipboard.isTrusted());
}

void ClipboardPickerView::setCopyOnlyLine(const QString &line)
{
    m_copyOnlyLine = line;
    refresh();
}

void ClipboardPickerView::updateContent()
{
    const bool empty = m_list->listModel().rowCount() == 0;
    const bool searching = !m_model.query().isEmpty();
    m_emptyTitle->setText(searching ? tr("No match. It's an illusion.")
                                    : tr("Nothing copied yet"));
    m_emptyHint->setVisible(!searching);
    m_content->setCurrentIndex(empty ? 1 : 0);
    // Clear keeps pinned entries: with nothing else listed it would do nothing.
    const QList<ClipItem> &items = m_clipboard.items();
    m_clear->setEnabled(std::any_of(items.cbegin(), items.cend(),
                                    [](const ClipItem &item) { return !item.pinned; }));
}

void ClipboardPickerView::updateDetails()
{
    QString text;
    m_model.withSelected([&](const ClipItem &item) { text = PickerTexts::details(item, AppNames::name); });
    m_details->setText(text);
    m_details->setVisible(!text.isEmpty());
}

QString ClipboardPickerView::detailsText() const
{
    return m_details->isVisibleTo(this) ? m_details->text() : QString();
}

QString ClipboardPickerView::hintText() const
{
    return m_hint->text();
}

bool ClipboardPickerView::showsSessionWarning() const
{
    return m_session->isVisibleTo(this);
}

QString ClipboardPickerView::sessionWarningText() const
{
    return m_session->text();
}

bool ClipboardPickerView::showsEmptyState() const
{
    return m_content->currentIndex() == 1;
}

QString ClipboardPickerView::emptyTitle() const
{
    return m_emptyTitle->text();
}

void ClipboardPickerView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    Look::fillSnapped(painter, rect(), Kiwano::cream);
    Look::strokeInside(painter, rect(), border, Kiwano::peel);
}
