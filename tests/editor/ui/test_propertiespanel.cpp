// SPDX-License-Identifier: MIT
#include "annotation/tooldefaults.h"
#include "editor/ui/properties/hexfield.h"
#include "editor/ui/properties/layersizefields.h"
#include "editor/ui/properties/textcontentfield.h"
#include "editor/ui/resizepanel.h"
#include "editor/ui/sizetext.h"
#include "editor/ui/viewfixtures.h"
#include "look/kiwano.h"
#include "look/widgets/kiwanobutton.h"
#include "support/widgets.h"

#include <QColorDialog>
#include <QLineEdit>
#include <QSignalSpy>

using ViewFixtures::Shown;
using Format = StepFormat::Format;

using Edit = std::function<void(Style &)>;
Q_DECLARE_METATYPE(Tool)
Q_DECLARE_METATYPE(Edit)

class TestPropertiesPanel : public QObject
{
    Q_OBJECT

private:
    static QUuid picture(EditorModel &model, QSize size)
    {
        model.addPicture(Fixtures::solid(Qt::blue, size.width(), size.height()));
        return model.annotations().last().id;
    }
    // Clicks one control of the shown tool: "plus"/"minus" of a stepper, "chip:N" of swatches,
    // "font:N" of the font picker.
    static bool act(const Shown &shown, const QString &title, const QString &action)
    {
        const int n = action.section(':', 1).toInt();
        QWidget *button = nullptr;
        if (auto *stepper = shown.control<Stepper>(title))
            button = action == "plus" ? stepper->plusButton() : stepper->minusButton();
        else if (auto *swatches = shown.control<Swatches>(title))
            button = swatches->chips().value(n);
        else if (auto *picker = shown.control<FontPicker>(title))
            button = picker->buttons().value(n);
        if (button)
            QTest::mouseClick(button, Qt::LeftButton);
        return button;
    }

private slots:
    // Each control writes its own field of the tool's style and nothing else.
    void everyControlWritesItsStyleField_data()
    {
        QTest::addColumn<Tool>("tool"); QTest::addColumn<QString>("title"); QTest::addColumn<QString>("action");
        QTest::addColumn<Edit>("edit");
        const auto row = [](const char *name, Tool tool, const char *title, const char *action, Edit edit) {
            QTest::newRow(name) << tool << QString(title) << QString(action) << edit;
        };
        // pixelScale 2: lengths show halved and are stored doubled.
        row("pen size", Tool::pen, "Size", "plus", [](Style &s) { s.width = 10; });
        row("arrow color", Tool::arrow, "Color", "chip:6", [](Style &s) { s.color = Qt::white; });
        row("box fill", Tool::rect, "Fill color", "chip:7", [](Style &s) { s.fillColor = Qt::white; });
        row("box radius", Tool::rect, "Corner radius", "plus", [](Style &s) { s.cornerRadius = 12; });
        row("text font", Tool::text, "Font", "font:4", [](Style &s) { s.font = TextFont::pixel; });
        row("outline as stored", Tool::text, "Outline", "plus", [](Style &s) { s.outlineWidth = 4; });
        row("focus dim", Tool::focus, "Dim", "plus", [](Style &s) { s.dim = 0.7; });
        row("watermark size", Tool::watermark, "Size", "plus", [](Style &s) { s.markSize = 0.35; });
        row("picture opacity", Tool::picture, "Opacity", "minus", [](Style &s) { s.opacity = 0.9; });
    }
    void everyControlWritesItsStyleField()
    {
        QFETCH(Tool, tool); QFETCH(QString, title); QFETCH(QString, action); QFETCH(Edit, edit);
        Shown shown(2);
        shown.model->setTool(tool);
        Style expected = shown.model->toolStyle();
        edit(expected);
        QVERIFY(act(shown, title, action));
        const Style after = shown.model->toolStyle();
        QVERIFY(after == expected);
        // Saved as the default, it is what this tool starts with next time, and no other tool.
        QTest::mouseClick(shown.panel.setDefaultButton(), Qt::LeftButton);
        QVERIFY(ToolDefaults::load(tool, 2) == after);
        const Tool other = tool == Tool::pen ? Tool::rect : Tool::pen;
        QVERIFY(ToolDefaults::load(other, 2) == ToolDefaults::builtIn(other, 2));
    }

    // The selected layer's style, not the tool's (its undo step is the model's case).
    void selectedLayerIsEdited()
    {
        Shown shown(1);
        shown.model->select(Fixtures::box(*shown.model, QRectF(10, 10, 100, 50)));
        auto *fill = shown.control<Swatches>("Fill color");
        QTest::mouseClick(fill->chips().at(7), Qt::LeftButton);
        QCOMPARE(hexString(*shown.model->selected()->style.fillColor), QStringLiteral("#FFFFFF"));
        QTest::mouseClick(fill->chips().first(), Qt::LeftButton);
        QVERIFY(!shown.model->selected()->style.fillColor.has_value());
    }

    void hiddenPanelCatchesUpWhenShown()
    {
        Shown shown(1);
        shown.model->setTool(Tool::pen);
        shown.panel.hide();
        Fixtures::restyleTool(*shown.model, Tool::blur, [](Style &s) { s.blurBlock = 30; });
        shown.panel.show();
        QCOMPARE(shown.control<Stepper>("Pixel size")->text(), QStringLiteral("30"));
    }

    void hexEntryAcceptsOrRestores()
    {
        Shown shown(1);
        shown.model->setTool(Tool::pen);
        HexField *hex = shown.control<Swatches>("Color")->hexField();
        Widgets::retype(hex, "0, 255, 0");
        QTest::keyClick(hex, Qt::Key_Return);
        QCOMPARE(hexString(shown.model->toolStyle().color), QStringLiteral("#00FF00"));
        Widgets::retype(hex, "not a colour");
        QTest::keyClick(hex, Qt::Key_Return);
        QCOMPARE(hex->text(), QStringLiteral("#00FF00"));

        // What is being typed stays while another field of the style changes.
        Widgets::retype(hex, "#f8");
        QTest::mouseClick(shown.control<Stepper>("Size")->plusButton(), Qt::LeftButton);
        QCOMPARE(hex->text(), QStringLiteral("#f8"));
        Widgets::retype(hex, "#f80");
        QTest::keyClick(hex, Qt::Key_Return);
        QCOMPARE(hexString(shown.model->toolStyle().color), QStringLiteral("#FF8800"));
    }

    void layerSizeFieldsKeepRatioAndSetSize()
    {
        Shown shown(1, 1000, 1000);
        shown.model->select(picture(*shown.model, QSize(400, 200)));
        auto *sizes = shown.panel.findChild<LayerSizeFields *>();
        QVERIFY(sizes);
        Widgets::retype(sizes->widthField(), "300");
        QCOMPARE(sizes->heightField()->text(), QStringLiteral("150"));
        Widgets::retype(sizes->widthField(), "0.4");
        QCOMPARE(sizes->heightField()->text(), QStringLiteral("1"));
        Widgets::retype(sizes->widthField(), "abc");
        QTest::keyClick(sizes->widthField(), Qt::Key_Return);
        QCOMPARE(shown.model->selected()->bounds().size(), QSizeF(400, 200));
        QCOMPARE(sizes->widthField()->text(), QStringLiteral("abc"));

        Widgets::retype(sizes->widthField(), "300");
        QTest::keyClick(sizes->heightField(), Qt::Key_Return);
        QCOMPARE(shown.model->selected()->bounds().size(), QSizeF(300, 150));
        QCOMPARE(sizes->widthField()->text(), QStringLiteral("300"));

        QTest::mouseClick(sizes->lockButton(), Qt::LeftButton);
        Widgets::retype(sizes->widthField(), "50");
        QCOMPARE(sizes->heightField()->text(), QStringLiteral("150"));

        auto *original = Widgets::buttonTitled<KiwanoButton>(&shown.panel, "Original Size");
        QVERIFY(original);
        QTest::mouseClick(original, Qt::LeftButton);
        QCOMPARE(shown.model->selected()->bounds().size(), QSizeF(400, 200));
        QCOMPARE(sizes->heightField()->text(), QStringLiteral("200"));

        // Another picture starts fresh: its own size, the ratio locked again.
        Widgets::retype(sizes->widthField(), "123");
        shown.model->select(picture(*shown.model, QSize(100, 300)));
        QTRY_COMPARE(shown.panel.findChildren<LayerSizeFields *>().size(), 1);
        sizes = shown.panel.findChild<LayerSizeFields *>();
        QCOMPARE(sizes->widthField()->text(), QStringLiteral("100"));
        Widgets::retype(sizes->widthField(), "50");
        QCOMPARE(sizes->heightField()->text(), QStringLiteral("150"));
    }

    // The field renames the selected text layer on Return and on leaving it, and follows text
    // changed on the canvas or by undo, except what is being typed there; a field left over
    // from another layer renames nothing.
    void textFieldEditsAndFollowsTheSelectedTextLayer()
    {
        Shown shown(1);
        const Annotation first(Shapes::Text{{10, 10}, QStringLiteral("hello")});
        const Annotation second(Shapes::Text{{10, 100}, QStringLiteral("second")});
        shown.model->commit(second);
        shown.model->commit(first); // and selects it
        const auto text = [&] { return std::get<Shapes::Text>(shown.model->selected()->shape).string; };
        TextContentField *field = shown.panel.textField();
        QVERIFY(field);
        QCOMPARE(field->text(), QStringLiteral("hello"));
        QTest::keyClicks(field, " world");
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(text(), QStringLiteral("hello world"));

        shown.model->setLayerText(first.id, "edited inline");
        QCOMPARE(shown.panel.textField(), field);
        QCOMPARE(field->text(), QStringLiteral("edited inline"));
        shown.model->undo();
        QCOMPARE(field->text(), QStringLiteral("hello world"));

        QVERIFY(ViewFixtures::showActive(&shown.panel));
        field->setFocus();
        QTRY_VERIFY(field->hasFocus());
        field->setText(QStringLiteral("typing"));
        shown.model->setLayerText(first.id, "elsewhere");
        QCOMPARE(field->text(), QStringLiteral("typing"));
        field->clearFocus();
        QCOMPARE(text(), QStringLiteral("typing"));

        TextContentField stale(shown.model.get(), "typing");
        QTest::keyClicks(&stale, "?");
        shown.model->select(second.id);
        QFocusEvent out(QEvent::FocusOut);
        QApplication::sendEvent(&stale, &out);
        QCOMPARE(text(), QStringLiteral("second"));
        QCOMPARE(shown.panel.textField()->text(), QStringLiteral("second"));
    }

    void stepperStepsWithinRangeButNeverClampsTheShownValue()
    {
        const std::unique_ptr<Stepper> stepper(StepFormat::stepper("Size", 1, 12, 1, Format::whole));
        QSignalSpy edited(stepper.get(), &Stepper::valueEdited);
        stepper->setValue(30);
        QCOMPARE(stepper->text(), QStringLiteral("30"));
        QVERIFY(edited.isEmpty());
        QTest::mouseClick(stepper->minusButton(), Qt::LeftButton);
        QCOMPARE(edited.takeFirst().at(0).toDouble(), 29.0);
        // A sum of steps shows rounded.
        const std::unique_ptr<Stepper> percent(StepFormat::stepper("x", 0, 1, 0.1, Format::percent));
        percent->setValue(0.1 + 0.2);
        QCOMPARE(percent->text(), QStringLiteral("30%"));

        const std::unique_ptr<Stepper> mark(StepFormat::stepper("Size", 0.1, 1, 0.05, Format::percent));
        QSignalSpy markEdited(mark.get(), &Stepper::valueEdited);
        mark->setValue(0.12);
        QTest::mouseClick(mark->minusButton(), Qt::LeftButton);
        QCOMPARE(markEdited.takeFirst().at(0).toDouble(), 0.1);
        mark->setValue(0.98);
        QTest::mouseClick(mark->plusButton(), Qt::LeftButton);
        QCOMPARE(markEdited.takeFirst().at(0).toDouble(), 1.0);

        // Values a step's rounding leaves a hair inside the range count as at its end.
        mark->setValue(0.1009);
        QVERIFY(!mark->minusButton()->isEnabled() && mark->plusButton()->isEnabled());
        mark->setValue(0.9999);
        QVERIFY(mark->minusButton()->isEnabled() && !mark->plusButton()->isEnabled());
    }

    // (Which chip is "none" and where the palette starts, the panel's cases click.)
    void swatchesGiveCustomColoursAChipOfTheirOwn()
    {
        Swatches optional(true, nullptr), plain(false, nullptr);
        QVERIFY(plain.pickButton()->isHidden()); // no chooser to open
        optional.setColor(std::nullopt);
        QCOMPARE(optional.chosenChip(), optional.chips().first());
        // A colour off the palette gets a chip of its own, last; a palette colour made another
        // way is still its chip.
        plain.setColor(QColor(0x12, 0x34, 0x56));
        QCOMPARE(plain.chips().size(), 8);
        QCOMPARE(hexString(*plain.chips().last()->color()), QStringLiteral("#123456"));
        QCOMPARE(plain.chosenChip(), plain.chips().last());
        QCOMPARE(plain.hexField()->text(), QStringLiteral("#123456"));
        plain.setColor(QColor::fromRgb(255, 255, 255));
        QCOMPARE(plain.chips().size(), 7);
        QCOMPARE(plain.chosenChip(), plain.chips().at(6));
    }

    void colorPanelReportsToTheLatestCaller()
    {
        ColorPanelBridge bridge;
        QList<QColor> first, second;
        bridge.open(Qt::red, [&](const QColor &c) { first.append(c); });
        QColorDialog *dialog = bridge.dialog();
        QVERIFY(dialog && dialog->isVisible() && !dialog->isModal() && dialog->testOption(QColorDialog::ShowAlphaChannel));
        dialog->setCurrentColor(Qt::green);
        QCOMPARE(first, QList<QColor>{QColor(Qt::green)}); // the start colour is not a choice

        bridge.open(Qt::blue, [&](const QColor &c) { second.append(c); });
        QCOMPARE(bridge.dialog(), dialog);
        dialog->setCurrentColor(QColor(1, 2, 3, 4));
        QCOMPARE(first.size(), 1);
        QCOMPARE(second.value(second.size() - 1), QColor(1, 2, 3, 4));
        dialog->close();
        dialog->setCurrentColor(Qt::yellow);
        QCOMPARE(second.value(second.size() - 1), QColor(Qt::yellow));

        // Swatches open it at their colour, "none" at the palette's first, and hear its choice.
        Swatches swatches(true, &bridge);
        swatches.setColor(std::nullopt);
        QSignalSpy edited(&swatches, &Swatches::colorEdited);
        QTest::mouseClick(swatches.pickButton(), Qt::LeftButton);
        QCOMPARE(hexString(dialog->currentColor()), hexString(Kiwano::palette().first()));
        dialog->setCurrentColor(QColor(10, 20, 30));
        QCOMPARE(edited.count(), 1);
    }

    // Plain decimals only (no exponents, no "inf"), and a size from 1 to 16000 either way.
    void sizeTextTakesPlainDecimalsFromOneTo16000_data()
    {
        QTest::addColumn<QString>("text"); QTest::addColumn<double>("value"); QTest::addColumn<bool>("valid"); // -1: no number
        QTest::newRow("fraction kept") << "1.5" << 1.5 << true;
        QTest::newRow("leading point, below one") << ".5" << 0.5 << false;
        QTest::newRow("just too large") << "16000.5" << 16000.5 << false;
        QTest::newRow("space before") << " 300" << -1.0 << false;
        QTest::newRow("exponent") << "1e3" << -1.0 << false;
        QTest::newRow("infinity") << "inf" << -1.0 << false;
    }
    void sizeTextTakesPlainDecimalsFromOneTo16000()
    {
        QFETCH(QString, text); QFETCH(double, value); QFETCH(bool, valid);
        QCOMPARE(SizeText::parse(text), value < 0 ? std::nullopt : std::optional(value));
        QCOMPARE(SizeText::requestedSize(text, "10").has_value(), valid);
        QCOMPARE(SizeText::requestedSize("10", text).has_value(), valid);
    }

    void lockKeepsTheImageRatio_data()
    {
        QTest::addColumn<bool>("typeWidth"); QTest::addColumn<QString>("typed"); QTest::addColumn<QString>("other");
        // The image layers' size fields share this rule; their test covers "never 0".
        QTest::newRow("height 1") << false << "1" << "2";
        QTest::newRow("width 3 rounds half away") << true << "3" << "2";
        QTest::newRow("unreadable leaves other") << true << "x3" << "500";
    }
    void lockKeepsTheImageRatio()
    {
        QFETCH(bool, typeWidth); QFETCH(QString, typed); QFETCH(QString, other);
        auto model = Fixtures::model(1000, 500);
        ResizePanel panel(model.get());
        Widgets::retype(typeWidth ? panel.widthField() : panel.heightField(), typed);
        QCOMPARE((typeWidth ? panel.heightField() : panel.widthField())->text(), other);
    }

    void applyNeedsAValidSize()
    {
        auto model = Fixtures::model(100, 50);
        ResizePanel panel(model.get());
        KiwanoButton *apply = Widgets::buttonTitled<KiwanoButton>(&panel, "Apply");
        QSignalSpy closed(&panel, &ResizePanel::closeRequested);
        Widgets::retype(panel.widthField(), "16000");
        QVERIFY(apply->isEnabled());
        Widgets::retype(panel.widthField(), "16001");
        QVERIFY(!apply->isEnabled());
        QTest::keyClick(panel.widthField(), Qt::Key_Return);
        QTest::mouseClick(apply, Qt::LeftButton);
        QCOMPARE(closed.count(), 0);
        QCOMPARE(model->imageSize(), QSizeF(100, 50));
    }
};

KIWANO_TEST_MAIN(TestPropertiesPanel)
#include "test_propertiespanel.moc"
