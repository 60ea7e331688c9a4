// SPDX-License-Identifier: MIT
#include "clipboard/picker/view/clipboardpanel.h"

#include "clipboard/clipboard.h"
#include "clipboard/picker/view/clipboardpickerview.h"
#include "clipboard/picker/view/cliplist.h"
#include "clipboard/picker/view/panelplacement.h"
#include "look/widgets/actiontoast.h"
#include "hotkeys/hotkeycenter.h"

#include <QApplication>
#include <QBoxLayout>
#include <QCursor>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QWindow>

namespace {

// Another client may hold the keyboard for a moment (an open menu): try again at this pace, and
// give up after a second, since a picker that cannot take the keys would type into the front.
constexpr int grabRetryMs = 50;
constexpr int grabPatienceMs = 1000;
constexpr int focusLossMs = 100;

} // namespace

ClipboardPanel::ClipboardPanel(Clipboard &clipboard, HotKeyCenter &hotKeys, QWidget *parent,
                               Presentation presentation)
    // A fixed-size dialog floats on tiling compositors instead of taking a tile.
    : QWidget(parent, (presentation == Presentation::popup ? Qt::Popup : Qt::Dialog)
                          | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , m_clipboard(clipboard)
    , m_hotKeys(hotKeys)
    , m_presentation(presentation)
    , m_model(clipboard)
{
    setWindowTitle(tr("Clipboard"));
    setAccessibleName(tr("Clipboard history"));
    setFixedSize(panelSize);
    m_view = new ClipboardPickerView(m_model, m_clipboard, this);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);

    m_model.reset();
    connect(&m_model, &ClipboardPickerModel::chosen, this, &ClipboardPanel::choose);
    connect(&m_model, &ClipboardPickerModel::settingsRequested, this, [this] {
        close();
        emit settingsRequested();
    });

    m_grabRetry.setInterval(grabRetryMs);
    connect(&m_grabRetry, &QTimer::timeout, this, &ClipboardPanel::tryGrab);
    m_modifierWait.heldModifiers = [this] { return heldModifiers(); };
}

ClipboardPanel::~ClipboardPanel()
{
    if (m_monitoring)
        qApp->removeEventFilter(this);
}

void ClipboardPanel::open(bool viaHotKey)
{
    if (isVisible())
        return;
    m_model.reset();
    m_view->refresh();
    move(PanelPlacement::topLeft(QCursor::pos(), size(), PanelPlacement::currentScreens()));
    m_wasActive = false;
    show();
    raise();
    if (m_presentation == Presentation::focusedWindow)
        activateWindow();
    m_model.focusSearch();

    m_hotKey = m_hotKeys.key(HotKeyAction::clipboard);
    const Qt::KeyboardModifiers held = heldModifiers() & HotKey::relevant;
    m_mode = viaHotKey && m_hotKey && held && held == m_hotKey->modifiers ? PickerMode::opening
                                                                              : PickerMode::toggle;
    m_hotKeys.suspend(HotKeyAction::clipboard);
    if (!m_monitoring) {
        qApp->installEventFilter(this);
        m_monitoring = true;
    }
    m_grabElapsed.start();
    tryGrab();
    emit opened();
}

void ClipboardPanel::toggle()
{
    if (isVisible())
        close();
    else
        open(true);
}

void ClipboardPanel::close()
{
    QWidget::close();
}

void ClipboardPanel::hideEvent(QHideEvent *event)
{
    // Every way of closing ends here: a key, a choice, or Qt closing the popup after a click
    // elsewhere.
    QWidget::hideEvent(event);
    if (m_monitoring) {
        qApp->removeEventFilter(this);
        m_monitoring = false;
    }
    m_grabRetry.stop();
    // The grab taken by hand is given back by hand, before any paste keys are typed.
    if (QWindow *window = windowHandle(); window && QGuiApplication::platformName() == QLatin1String("xcb")
        && m_presentation == Presentation::popup)
        window->setKeyboardGrabEnabled(false);
    m_view->list()->delegate().forget();
    // The Undo offered goes with the picker: what was removed is gone for good then.
    m_view->toast()->dismiss();
    m_clipboard.releaseThumbnails();
    m_hotKeys.resume(HotKeyAction::clipboard);
    emit closed();
}

void ClipboardPanel::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::ActivationChange || m_presentation != Presentation::focusedWindow)
        return;
    // Like a popup's click elsewhere: the focus going to another window closes the panel. Only
    // once it had the focus, as the compositor may take a moment to give it, and only when the
    // focus stays away: a keyboard plugged in meanwhile makes it leave and come back at once.
    if (isActiveWindow()) {
        m_wasActive = true;
        return;
    }
    if (!m_wasActive || !isVisible())
        return;
    QTimer::singleShot(focusLossMs, this, [this] {
        if (isVisible() && !isActiveWindow())
            close();
    });
}

void ClipboardPanel::choose(const ClipItem &item, bool paste)
{
    close();
    if (!paste || !m_clipboard.isTrusted()) {
        m_clipboard.choose(item, paste);
        return;
    }
    // The paste keystroke must not mix with keys the user still holds (Alt of Alt+Return, the
    // shortcut's modifiers when cycling), and the event loop keeps running meanwhile.
    QPointer<Clipboard> clipboard(&m_clipboard);
    const ClipItem chosen = item;
    const int settleMs = m_presentation == Presentation::focusedWindow ? focusReturnMs : 0;
    m_modifierWait.start(
        [clipboard, chosen, settleMs](bool released) {
            if (!clipboard)
                return;
            if (settleMs == 0) {
                clipboard->choose(chosen, released);
                return;
            }
            QTimer::singleShot(settleMs, clipboard, [clipboard, chosen, released] {
                if (clipboard)
                    clipboard->choose(chosen, released);
            });
        },
        modifierPatienceMs);
}

bool ClipboardPanel::grabKeyboard()
{
    QWindow *window = windowHandle();
    if (!window)
        return false;
    // Only a real display server has a keyboard to grab, and a focused window needs none.
    if (QGuiApplication::platformName() != QLatin1String("xcb") || m_presentation == Presentation::focusedWindow)
        return true;
    return window->setKeyboardGrabEnabled(true);
}

bool ClipboardPanel::awaitsKeys() const
{
    return isVisible() && m_grabRetry.isActive();
}

void ClipboardPanel::tryGrab()
{
    if (!isVisible()) {
        m_grabRetry.stop();
        return;
    }
    if (grabKeyboard()) {
        m_grabRetry.stop();
        emit keysTaken();
        // Modifiers let go before the keys reached the panel never told it so.
        if (m_mode == PickerMode::opening && !(heldModifiers() & HotKey::relevant))
            m_mode = PickerMode::toggle;
        return;
    }
    if (m_grabElapsed.elapsed() >= grabPatienceMs) {
        close();
        return;
    }
    if (!m_grabRetry.isActive())
        m_grabRetry.start();
}

bool ClipboardPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
        return false;
    // Each key reaches the window and then its focus widget; take it once, at the widget.
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || widget->window() != this || !isVisible())
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    if (PickerKeys::modifierOfKey(key->key()) != 0) {
        handleModifiers(key);
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    return handleKey(widget, key);
}

void ClipboardPanel::handleModifiers(QKeyEvent *event)
{
    // The event carries the state from before the key changed it.
    Qt::KeyboardModifiers mods = event->modifiers() & HotKey::relevant;
    const Qt::KeyboardModifiers own = PickerKeys::modifierOfKey(event->key());
    mods = event->type() == QEvent::KeyPress ? (mods | own) : (mods & ~own);
    if (mods)
        return;
    if (m_mode == PickerMode::opening)
        m_mode = PickerMode::toggle;
    else if (m_mode == PickerMode::cycle)
        m_model.chooseSelected(false);
}

bool ClipboardPanel::handleKey(QWidget *target, QKeyEvent *event)
{
    const PickerAction action = PickerKeys::action(PickerKeys::fromEvent(*event), m_mode, m_hotKey);
    if (action.kind == PickerAction::deliver) {
        // Typing always searches, wherever Tab left the focus; Space still presses a button.
        QLineEdit *search = m_view->searchField();
        const QString text = event->text();
        if (target == search || text.isEmpty() || !text.at(0).isPrint()
            || text.at(0).isSpace() || (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
            return false;
        search->setFocus();
        QKeyEvent copy(event->type(), event->key(), event->modifiers(), text, event->isAutoRepeat());
        QApplication::sendEvent(search, &copy);
        return true;
    }
    // Ctrl+digit past the end of the list is not the picker's key.
    if (action.kind == PickerAction::chooseAt && action.index >= m_model.visible().size())
        return false;
    run(action);
    return true;
}

void ClipboardPanel::run(const PickerAction &action)
{
    switch (action.kind) {
    case PickerAction::deliver:
        break;
    case PickerAction::cycle:
        m_mode = PickerMode::cycle;
        m_model.move(+1);
        break;
    case PickerAction::close:
        close();
        break;
    case PickerAction::moveUp:
        m_model.move(-1);
        break;
    case PickerAction::moveDown:
        m_model.move(+1);
        break;
    case PickerAction::choose:
        m_model.chooseSelected(action.option);
        break;
    case PickerAction::escape:
        if (m_model.query().isEmpty())
            close();
        else
            m_model.setQuery(QString());
        break;
    case PickerAction::pin:
        m_model.withSelected([this](const ClipItem &item) { m_clipboard.togglePin(item); });
        break;
    case PickerAction::deleteSelected:
        m_model.deleteSelected();
        break;
    case PickerAction::clear:
        m_clipboard.clear(false, true);
        break;
    case PickerAction::openSettings:
        m_model.requestSettings();
        break;
    case PickerAction::chooseAt:
        m_model.choose(action.index, action.option);
        break;
    }
}
