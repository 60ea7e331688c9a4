// SPDX-License-Identifier: MIT
#include "editorshots.h"

#include "driver.h"

#include "app/editorwindowcontroller.h"
#include "app/emptystate.h"
#include "app/historymodel.h"
#include "app/historystrip.h"
#include "app/rootview.h"
#include "app/stripview.h"
#include "capture/appstate.h"
#include "capture/history.h"
#include "editor/model/editormodel.h"
#include "editor/ui/canvas/cropcontrols.h"
#include "editor/ui/canvas/inlinetextfield.h"
#include "editor/ui/canvasarea.h"
#include "editor/ui/editorview.h"
#include "editor/ui/imagecanvas.h"
#include "editor/ui/pinwindow.h"
#include "editor/ui/quotecard.h"
#include "editor/ui/toolbar.h"
#include "look/widgets/kiwanobutton.h"

#include <QCoreApplication>
#include <QFrame>
#include <QMainWindow>
#include <QPainter>
#include <QProcess>
#include <QTest>
#include <QToolTip>

#include <memory>

namespace {

// Points of the canvas for a place given in fractions of the image.
QPointF at(ImageCanvas *canvas, EditorModel *model, qreal fx, qreal fy)
{
    const QSizeF size = model->imageSize();
    return canvas->toView(QRectF(QPointF(size.width() * fx, size.height() * fy), QSizeF(0, 0))).topLeft();
}

bool chooseTool(Driver &driver, EditorView *editor, Tool tool)
{
    KiwanoButton *button = editor->toolbar()->toolButton(tool);
    if (!button)
        return false;
    Driver::click(button);
    return driver.waitFor(QStringLiteral("the tool"), [&] { return editor->model()->tool() == tool; });
}

void drawLayers(Driver &driver, EditorView *editor)
{
    EditorModel *model = editor->model();
    ImageCanvas *canvas = editor->canvasArea()->canvas();
    if (chooseTool(driver, editor, Tool::rect))
        Driver::drag(canvas, {at(canvas, model, 0.08, 0.14), at(canvas, model, 0.42, 0.44)});
    if (chooseTool(driver, editor, Tool::arrow))
        Driver::drag(canvas, {at(canvas, model, 0.72, 0.74), at(canvas, model, 0.47, 0.47)});
    if (chooseTool(driver, editor, Tool::pen))
        Driver::drag(canvas, {at(canvas, model, 0.12, 0.84), at(canvas, model, 0.2, 0.7), at(canvas, model, 0.28, 0.8),
                              at(canvas, model, 0.36, 0.66), at(canvas, model, 0.42, 0.62)});
    if (chooseTool(driver, editor, Tool::text)) {
        Driver::click(canvas, at(canvas, model, 0.58, 0.12).toPoint());
        if (driver.waitFor(QStringLiteral("the text field"),
                           [&] { return canvas->textField() && canvas->textField()->isVisible(); })) {
            Driver::type(canvas->textField(), QStringLiteral("Kiwano!"));
            Driver::key(canvas->textField(), Qt::Key_Return);
        }
    }
    driver.waitFor(QStringLiteral("four layers"), [&] { return model->annotations().size() >= 4; });
}

// Selects the first layer made by that tool by a click on it with the move tool.
void selectLayer(Driver &driver, EditorView *editor, Tool tool)
{
    EditorModel *model = editor->model();
    ImageCanvas *canvas = editor->canvasArea()->canvas();
    chooseTool(driver, editor, Tool::move);
    for (const Annotation &layer : model->annotations()) {
        if (layer.tool() != tool)
            continue;
        const QRectF bounds = canvas->toView(layer.bounds());
        // A box is hit on its edge, a text anywhere on it.
        const QPointF point = tool == Tool::rect ? QPointF(bounds.left() + 1, bounds.center().y()) : bounds.center();
        Driver::click(canvas, point.toPoint());
        break;
    }
    driver.waitFor(QStringLiteral("a selected layer"),
                   [&] { return model->selected() && model->selected()->tool() == tool; });
}

QImage newGrab()
{
    QImage image(900, 560, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(70, 110, 160));
    QPainter painter(&image);
    painter.fillRect(QRect(80, 60, 620, 400), QColor(250, 250, 248));
    painter.fillRect(QRect(80, 60, 620, 28), QColor(60, 64, 72));
    for (int line = 0; line < 12; ++line)
        painter.fillRect(QRect(110, 120 + line * 26, 200 + (line * 97) % 330, 9), QColor(180, 184, 190));
    return image;
}

} // namespace

namespace EditorShots {

void run(Driver &driver, const QString &makeGrabs, HotKeyCenter &hotKeys)
{
    {
        AppState state;
        state.selectLatestIfNeeded();
        EditorWindowController controller(&state, &hotKeys);
        controller.show();
        if (driver.waitShown(controller.window()))
            driver.shoot(QStringLiteral("empty-state"), controller.window());
        controller.window()->hide();
    }

    if (QProcess::execute(makeGrabs, {History::dir(), QStringLiteral("8")}) != 0) {
        driver.fail(QStringLiteral("the grab generator failed"));
        return;
    }

    AppState state;
    state.selectLatestIfNeeded();
    EditorWindowController controller(&state, &hotKeys);
    // The app's editors offer Pin; the pin itself is shown below.
    controller.rootView()->setPinner([](const QImage &, const QString &) {});
    controller.show();
    if (!driver.waitShown(controller.window()))
        return;
    RootView *root = controller.rootView();
    // The second grab in the strip: the landscape one.
    StripView *strip = root->strip()->view();
    const QModelIndex second = strip->model()->index(1, 0);
    if (driver.waitFor(QStringLiteral("the strip"), [&] { return strip->visualRect(second).isValid(); })) {
        Driver::click(strip->viewport(), strip->visualRect(second).center());
    }
    const QUrl wanted = state.entries().value(1).url;
    driver.waitFor(QStringLiteral("the second grab's editor"), [&] {
        return state.selected() == wanted && root->editor() && !root->isWaiting();
    });
    // The pointer leaves the strip, and its hover and tooltip with it.
    QTest::mouseMove(root, root->rect().center());
    Driver::settle(900);
    driver.shoot(QStringLiteral("main-window"), controller.window());

    EditorView *editor = root->editor();
    if (!editor)
        return;
    drawLayers(driver, editor);
    // The watermark comes selected, and with the move tool its corners show their handles.
    const QString watermarkName = QCoreApplication::translate("EditorActions", "Watermark");
    if (auto *watermark = Driver::find<KiwanoButton>(editor->toolbar(), watermarkName)) {
        Driver::click(watermark);
        driver.waitFor(QStringLiteral("the watermark"), [&] {
            return editor->model()->selected() && editor->model()->selected()->tool() == Tool::watermark;
        });
    } else {
        driver.fail(QStringLiteral("no Watermark button"));
    }
    selectLayer(driver, editor, Tool::watermark);
    // Out of the way of the other layers, into the corner.
    if (const auto selected = editor->model()->selected()) {
        ImageCanvas *canvas = editor->canvasArea()->canvas();
        Driver::drag(canvas, {canvas->toView(selected->bounds()).center(), at(canvas, editor->model(), 0.8, 0.74)});
    }
    driver.shoot(QStringLiteral("editor-layers"), controller.window());

    // The grab with its layers, pinned over the window at 40 %, holding the keys.
    {
        PinWindow pin(editor->model()->flatten(), QStringLiteral("grab.png"));
        pin.setAttribute(Qt::WA_DeleteOnClose, false);
        pin.setZoom(0.4, {});
        const QRect frame = controller.window()->frameGeometry();
        pin.move(frame.right() - pin.width() - 250, frame.bottom() - pin.height() - 130);
        pin.show();
        pin.activateWindow();
        if (driver.waitShown(&pin)) {
            Driver::settle(1500); // the zoom's figure goes
            driver.shoot(QStringLiteral("pin"), controller.window());
        }
    }

    selectLayer(driver, editor, Tool::text);
    driver.shoot(QStringLiteral("properties-text"), controller.window());

    // A redaction in noise over part of the picture, selected, with the blur tool's styles; taken
    // away again, and the text selected as before, for the shots after it.
    if (chooseTool(driver, editor, Tool::blur)) {
        const QString redactName = QCoreApplication::translate("ToolControls", "Redact");
        if (auto *redact = Driver::find<KiwanoButton>(editor, redactName))
            Driver::click(redact);
        else
            driver.fail(QStringLiteral("no Redact button"));
        ImageCanvas *canvas = editor->canvasArea()->canvas();
        Driver::drag(canvas, {at(canvas, editor->model(), 0.5, 0.2), at(canvas, editor->model(), 0.9, 0.42)});
        if (driver.waitFor(QStringLiteral("the redaction"), [&] {
                const auto selected = editor->model()->selected();
                return selected && selected->style.blurMode == BlurMode::noise;
            })) {
            driver.shoot(QStringLiteral("redact"), controller.window());
            editor->model()->deleteSelected();
        }
        selectLayer(driver, editor, Tool::text);
    }

    Driver::click(editor->toolbar()->resizeButton());
    if (driver.waitFor(QStringLiteral("the resize popover"),
                       [&] { return editor->resizePopup() && editor->resizePopup()->isVisible(); })) {
        driver.shoot(QStringLiteral("resize-popover"), controller.window());
        Driver::key(editor->resizePopup()->focusWidget() ? editor->resizePopup()->focusWidget() : editor->resizePopup(),
                    Qt::Key_Escape);
        driver.waitFor(QStringLiteral("the popover to close"),
                       [&] { return !editor->resizePopup() || !editor->resizePopup()->isVisible(); });
    }

    ImageCanvas *canvas = editor->canvasArea()->canvas();
    EditorModel *model = editor->model();
    if (chooseTool(driver, editor, Tool::crop)) {
        Driver::drag(canvas, {at(canvas, model, 0.005, 0.005), at(canvas, model, 0.2, 0.16)});
        driver.waitFor(QStringLiteral("the crop bar"), [&] { return canvas->cropBar() && canvas->cropBar()->isVisible(); });
        driver.shoot(QStringLiteral("crop"), controller.window());
        chooseTool(driver, editor, Tool::move);
    }

    // Zoomed in past 100 %: pixels drawn whole, and the figure in the corner says how far. The
    // pointer rests on the canvas, away from the toolbar's tooltips.
    QTest::mouseMove(editor->canvasArea(), editor->canvasArea()->rect().center());
    QToolTip::hideText();
    editor->canvasArea()->zoomTo(2.0, QPointF(editor->canvasArea()->width() * 0.3, editor->canvasArea()->height() * 0.3));
    Driver::settle(400);
    driver.shoot(QStringLiteral("editor-zoom"), controller.window());
    editor->canvasArea()->zoomTo(std::nullopt);

    // What a save says: the file's name, and a way to see it (the app reveals it in the file
    // manager; here the button only has to be there).
    model->setFileRevealer([](const QString &) {});
    model->announceSaved(History::dir() + QStringLiteral("/Kiwano 2026-12-07 at 09.41.17.png"));
    if (driver.waitFor(QStringLiteral("the saved toast"), [&] { return model->toast().has_value(); })) {
        Driver::settle(600);
        driver.shoot(QStringLiteral("toast-saved"), controller.window());
    }

    // Delete on the strip moves the grab to the trash, with a way back.
    strip->setFocus();
    strip->setCurrentIndex(strip->model()->index(strip->model()->rowCount() - 1, 0));
    Driver::key(strip, Qt::Key_Delete);
    Driver::settle(900);
    driver.shoot(QStringLiteral("toast-trash"), controller.window());

    // A new grab arrives with ZOG's quote.
    if (const auto entry = History::add(newGrab())) {
        state.insert(*entry, true);
        driver.waitFor(QStringLiteral("the quote card"), [&] {
            return root->editor() && !root->isWaiting() && root->editor()->findChild<QuoteCard *>()
                   && root->editor()->findChild<QuoteCard *>()->isVisible();
        });
        Driver::settle(900);
        driver.shoot(QStringLiteral("quote-card"), controller.window());
    } else {
        driver.fail(QStringLiteral("cannot store a new grab"));
    }
    controller.window()->hide();
}

} // namespace EditorShots
