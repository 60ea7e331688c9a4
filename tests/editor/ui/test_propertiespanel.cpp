// SPDX-License-Identifier: MIT
#include "propertiesfixture.h"

#include "annotation/tooldefaults.h"
#include "editor/ui/properties/hexfield.h"
#include "editor/ui/properties/layersizefields.h"
#include "editor/ui/properties/textcontentfield.h"
#include "editor/ui/viewfixtures.h"
#include "look/widgets/kiwanobutton.h"
#include "support/widgets.h"

#include <QApplication>
#include <QLineEdit>

using PropertiesFixture::Shown;

Q_DECLARE_METATYPE(Tool)

class TestPropertiesPanel : public QObject
{
    Q_OBJECT

private:
    static QUuid picture(EditorModel &model, QSize size)
    {
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::blue);
        model.addPicture(image);
        return model.annotations().last().id;
    }
    // Drives one control of the shown tool: "plus"/"minus" of a stepper, "chip:N" of swatches,
    // "font:N" of the font picker.
    static bool act(const Shown &shown, const QString &title, const QString &action)
    {
        if (action == "plus" || action == "minus") {
            auto *stepper = shown.control<Stepper>(title);
            if (!stepper)
                return false;
            QTest::mouseClick(action == "plus" ? stepper->plusButton() : stepper->minusButton(), Qt::LeftButton);
            return true;
        }
        const int n = action.section(':', 1).toInt();
        if (action.startsWith("chip")) {
            auto *swatches = shown.control<Swatches>(title);
            if (!swatches)
                return false;
            QTest::mouseClick(swatches->chips().at(n), Qt::LeftButton);
            return true;
        }
        auto *picker = shown.control<FontPicker>(title);
        if (!picker)
            return false;
        QTest::mouseClick(picker->buttons().at(n), Qt::LeftButton);
        return true;
    }

private slots:

    void everyControlWritesItsStyleField_data()
    {
        QTest::addColumn<Tool>("tool");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("stored");
        // pixelScale 2: lengths show halved and are stored doubled.
        QTest::newRow("pen size") << Tool::pen << "Size" << "plus" << "width" << "10";
        QTest::newRow("arrow color") << Tool::arrow << "Color" << "chip:6" << "color" << "#FFFFFF";
        QTest::newRow("box fill") << Tool::rect << "Fill color" << "chip:7" << "fillColor" << "#FFFFFF";
        QTest::newRow("box radius") << Tool::rect << "Corner radius" << "plus" << "cornerRadius" << "12";
        QTest::newRow("text font") << Tool::text << "Font" << "font:4" << "font" << "pixel";
        QTest::newRow("outline as stored") << Tool::text << "Outline" << "plus" << "outlineWidth" << "4";
        QTest::newRow("focus dim") << Tool::focus << "Dim" << "plus" << "dim" << "0.7";
        QTest::newRow("watermark size") << Tool::watermark << "Size" << "plus" << "markSize" << "0.35";
        QTest::newRow("picture opacity") << Tool::picture << "Opacity" << "minus" << "opacity" << "0.9";
    }
    void everyControlWritesItsStyleField()
    {
        QFETCH(Tool, tool);
        QFETCH(QString, title);
        QFETCH(QString, action);
        QFETCH(QString, field);
        QFETCH(QString, stored);
        Shown shown(2);
        shown.model->setTool(tool);
        const Style before = shown.model->toolStyle();
        QVERIFY2(act(shown, title, action), qPrintable(title));
        const Style after = shown.model->toolStyle();
        QCOMPARE(PropertiesFixture::field(after, field), stored);
        // Nothing else changed.
        for (const QString &other : PropertiesFixture::fieldNames) {
            if (other != field)
                QCOMPARE(PropertiesFixture::field(after, other), PropertiesFixture::field(before, other));
        }
    }

    void selectedLayerIsEditedWithUndo()
    {
        Shown shown(1);
        const QUuid id = Fixtures::box(*shown.model, QRectF(10, 10, 100, 50));
        shown.model->select(id);
        QCOMPARE(shown.panel.subtitle(), QStringLiteral("Layer: Box"));
        auto *fill = shown.control<Swatches>("Fill color");
        QVERIFY(fill);
        QTest::mouseClick(fill->chips().at(7), Qt::LeftButton);
        QCOMPARE(hexString(*shown.model->selected()->style.fillColor), QStringLiteral("#FFFFFF"));
        QCOMPARE(fill->chosenChip(), fill->chips().at(7));
        QTest::mouseClick(fill->chips().first(), Qt::LeftButton);
        QVERIFY(!shown.model->selected()->style.fillColor.has_value());
        QCOMPARE(fill->chosenChip(), fill->chips().first());
        shown.model->undo();
        QVERIFY(shown.model->annotations().last().style.fillColor.has_value());
    }

    void setDefaultSavesTheShownToolStyle()
    {
        Shown shown(2);
        shown.model->setTool(Tool::rect);
        KiwanoButton *save = shown.panel.setDefaultButton();
        QVERIFY(save->isVisibleTo(&shown.panel));
        QTest::mouseClick(shown.control<Stepper>("Corner radius")->plusButton(), Qt::LeftButton);
        QTest::mouseClick(save, Qt::LeftButton);
        QCOMPARE(ToolDefaults::load(Tool::rect, 2).cornerRadius, 12.0);
        QCOMPARE(ToolDefaults::load(Tool::pen, 2).cornerRadius, 8.0);
        QCOMPARE(shown.model->toast(), std::optional<QString>("Saved Box default"));
    }

    void hiddenPanelCatchesUpWhenShown()
    {
        Shown shown(1);
        shown.model->setTool(Tool::pen);
        shown.panel.hide();
        shown.model->setTool(Tool::blur);
        Style style = shown.model->toolStyle();
        style.blurBlock = 30;
        shown.model->setToolStyle(style);
        shown.panel.show();
        QCOMPARE(shown.panel.subtitle(), QStringLiteral("New Blur"));
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
        QCOMPARE(hex->text(), QStringLiteral("#00FF00"));

        Widgets::retype(hex, "not a colour");
        QTest::keyClick(hex, Qt::Key_Return);
        QCOMPARE(hex->text(), QStringLiteral("#00FF00"));
        QCOMPARE(hexString(shown.model->toolStyle().color), QStringLiteral("#00FF00"));
    }

    void layerSizeFieldsKeepRatioAndSetSize()
    {
        Shown shown(1, 1000, 1000);
        const QUuid id = picture(*shown.model, QSize(400, 200));
        shown.model->select(id);
        QCOMPARE(shown.panel.subtitle(), QStringLiteral("Layer: Image"));
        auto *sizes = shown.panel.findChild<LayerSizeFields *>();
        QVERIFY(sizes);
        QCOMPARE(sizes->widthField()->text(), QStringLiteral("400"));
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
    }

    void sizeFieldsStartFreshForAnotherPicture()
    {
        Shown shown(1, 1000, 1000);
        const QUuid first = picture(*shown.model, QSize(400, 200));
        const QUuid second = picture(*shown.model, QSize(100, 300));
        shown.model->select(first);
        auto *sizes = shown.panel.findChild<LayerSizeFields *>();
        QTest::mouseClick(sizes->lockButton(), Qt::LeftButton);
        Widgets::retype(sizes->widthField(), "123");
        shown.model->select(second);
        QTRY_COMPARE(shown.panel.findChildren<LayerSizeFields *>().size(), 1);
        sizes = shown.panel.findChild<LayerSizeFields *>();
        QCOMPARE(sizes->widthField()->text(), QStringLiteral("100"));
        QCOMPARE(sizes->lockButton()->toolTip(), QStringLiteral("Ratio locked"));
        Widgets::retype(sizes->widthField(), "50");
        QCOMPARE(sizes->heightField()->text(), QStringLiteral("150"));
    }

    void textFieldEditsTheSelectedTextLayer()
    {
        Shown shown(1);
        shown.model->chooseTool(Tool::text);
        shown.model->setTextEntry(QPointF(10, 10));
        shown.model->commitText("hello");
        const QUuid first = shown.model->annotations().last().id;
        shown.model->setTextEntry(QPointF(10, 100));
        shown.model->commitText("second");
        shown.model->select(first);
        TextContentField *text = shown.panel.textField();
        QVERIFY(text);
        QCOMPARE(text->text(), QStringLiteral("hello"));
        QTest::keyClicks(text, " world");
        QTest::keyClick(text, Qt::Key_Return);
        QCOMPARE(std::get<Shapes::Text>(shown.model->selected()->shape).string, QStringLiteral("hello world"));

        QTest::keyClicks(text, "!");
        QFocusEvent out(QEvent::FocusOut);
        QApplication::sendEvent(text, &out);
        QCOMPARE(std::get<Shapes::Text>(shown.model->selected()->shape).string, QStringLiteral("hello world!"));

        // A field left after another layer was chosen must not rename that layer.
        TextContentField stale(shown.model.get(), "hello world!");
        QTest::keyClicks(&stale, "?");
        const QUuid second = shown.model->annotations().last().id;
        shown.model->select(second);
        QApplication::sendEvent(&stale, &out);
        QCOMPARE(std::get<Shapes::Text>(shown.model->selected()->shape).string, QStringLiteral("second"));
        QCOMPARE(shown.panel.textField()->text(), QStringLiteral("second"));
    }

    // Text changed on the canvas, or by undo, shows in the field at once; while the field has
    // the focus, what is typed there stays.
    void textFieldFollowsTheLayersText()
    {
        Shown shown(1);
        shown.model->chooseTool(Tool::text);
        shown.model->setTextEntry(QPointF(10, 10));
        shown.model->commitText("hello");
        const QUuid layer = shown.model->annotations().last().id;
        shown.model->select(layer);
        TextContentField *text = shown.panel.textField();
        shown.model->setLayerText(layer, "edited inline");
        QCOMPARE(shown.panel.textField(), text);
        QCOMPARE(text->text(), QStringLiteral("edited inline"));
        shown.model->undo();
        QCOMPARE(text->text(), QStringLiteral("hello"));

        QVERIFY(ViewFixtures::showActive(&shown.panel));
        text->setFocus();
        QTRY_VERIFY(text->hasFocus());
        text->setText(QStringLiteral("typing"));
        shown.model->setLayerText(layer, "elsewhere");
        QCOMPARE(text->text(), QStringLiteral("typing"));
        // Leaving the field takes what was typed there.
        text->clearFocus();
        QCOMPARE(std::get<Shapes::Text>(shown.model->selected()->shape).string, QStringLiteral("typing"));
    }
};

KIWANO_TEST_MAIN(TestPropertiesPanel)
#include "test_propertiespanel.moc"
