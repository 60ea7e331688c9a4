// SPDX-License-Identifier: MIT
#include "look/kiwano.h"
#include "look/pixel.h"
#include "look/widgets/actiontoast.h"
#include "look/widgets/kiwanobutton.h"
#include "look/widgets/kiwanostyle.h"
#include "look/widgets/pixellabel.h"

#include <QFileDialog>
#include <QFontInfo>
#include <QLineEdit>
#include <QSet>
#include <QSignalSpy>
#include <QTreeView>

// Pixel art stays crisp when every pixel a widget paints is one of its flat colours: a box edge
// or an icon cell that falls between device pixels leaves blended colours behind. Each is drawn
// at 1x, 1.5x and 2x.
class TestLookWidgets : public QObject
{
    Q_OBJECT

private:
    static QImage grab(QWidget &widget, qreal ratio)
    {
        widget.ensurePolished();
        widget.resize(widget.sizeHint());
        QImage image(widget.size() * ratio, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::white);
        widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        return image;
    }
    static QSet<QRgb> colours(const QImage &image)
    {
        QSet<QRgb> found;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                found.insert(image.pixel(x, y));
        return found;
    }
    // The toast with an action, shown over a window as a host would place it.
    struct Host
    {
        QWidget window;
        QLineEdit *field = new QLineEdit(&window);
        ActionToast *toast = new ActionToast(&window);

        Host() { window.resize(600, 400), window.show(), field->setFocus(); }
    };

private slots:
    void buttonUsesOnlyItsFlatColours()
    {
        KiwanoButton button(QStringLiteral("lock"), QString());
        for (const qreal ratio : {1.0, 1.5, 2.0}) {
            const QImage image = grab(button, ratio);
            QCOMPARE(colours(image), (QSet<QRgb>{QColor(Qt::white).rgba(), Kiwano::peel.rgba(), Kiwano::cream.rgba()}));
            // The left border: whole device columns of peel from top to bottom of the face.
            const int border = qRound(2 * ratio);
            const int faceBottom = qRound((button.height() - 2) * ratio);
            for (int x = 0; x < border; ++x)
                for (int y = 0; y < faceBottom; ++y)
                    QCOMPARE(image.pixel(x, y), Kiwano::peel.rgba());
            QCOMPARE(image.pixel(border, faceBottom / 2), Kiwano::cream.rgba());
        }
    }

    void iconViewIsCrisp()
    {
        PixelIconView icon(QStringLiteral("check"), 18);
        for (const qreal ratio : {1.0, 1.5, 2.0}) {
            const QImage image = grab(icon, ratio);
            QCOMPARE(colours(image), (QSet<QRgb>{QColor(Qt::white).rgba(), Kiwano::peel.rgba()}));
            // Every cell of the icon's grid is the same whole number of device pixels: each run
            // of ink along a row is a multiple of the shortest one.
            QList<int> runs;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0, run = 0; x <= image.width(); ++x)
                    if (x < image.width() && image.pixel(x, y) == Kiwano::peel.rgba())
                        ++run;
                    else if (run > 0)
                        runs.append(run), run = 0;
            const int cell = *std::min_element(runs.begin(), runs.end());
            for (int run : runs)
                QCOMPARE(run % cell, 0);
        }
    }

    void textFieldIsAPixelBoxThatShowsFocus()
    {
        KiwanoStyle style;
        QLineEdit *field = Look::textField(6, 96);
        field->setStyle(&style);
        for (const qreal ratio : {1.0, 1.5, 2.0}) {
            const QImage unfocused = grab(*field, ratio);
            // Cream and one border colour, peel at 0.35 over cream; nothing blended at the edges.
            QCOMPARE(colours(unfocused).size(), 2);
            QCOMPARE(unfocused.pixel(unfocused.width() / 2, unfocused.height() / 2), Kiwano::cream.rgba());
            QVERIFY(unfocused.pixel(0, 0) != Kiwano::peel.rgba());
        }
        QWidget window;
        field->setParent(&window);
        window.show();
        field->setFocus();
        QTRY_VERIFY(field->hasFocus());
        for (const qreal ratio : {1.0, 1.5, 2.0}) {
            const QImage focused = grab(*field, ratio);
            QCOMPARE(focused.pixel(0, 0), Kiwano::peel.rgba());
            QCOMPARE(focused.pixel(qRound(2 * ratio), focused.height() / 2), Kiwano::peel.rgba());
        }
        field->setStyle(nullptr);
    }

    void theActionTakesTheKeyboardAndGivesItBack()
    {
        Host host;
        QVERIFY(QTest::qWaitForWindowActive(&host.window));
        QTRY_VERIFY(host.field->hasFocus());
        QSignalSpy triggered(host.toast, &ActionToast::actionTriggered);
        QSignalSpy closed(host.toast, &ActionToast::closed);
        host.toast->post({QStringLiteral("Moved grab.png to the Trash"), QStringLiteral("Undo"),
                          QStringLiteral("trash"), 200});
        KiwanoButton *undo = host.toast->actionButton();
        QVERIFY(undo->isVisible());
        QCOMPARE(undo->accessibleName(), QStringLiteral("Undo"));
        QCOMPARE(host.toast->accessibleName(), QStringLiteral("Moved grab.png to the Trash"));

        QTest::keyClick(host.field, Qt::Key_Tab);
        QVERIFY(undo->hasFocus());
        // Its time runs out while the focus is on it (a twin posted with it has gone): it waits
        // for the person. The pointer is away from both.
        ActionToast twin(&host.window);
        QSignalSpy twinClosed(&twin, &ActionToast::closed);
        twin.post({QStringLiteral("twin"), {}, QStringLiteral("trash"), 200});
        QTest::mouseMove(&host.window, twin.geometry().center());
        QTest::mouseMove(&host.window, QPoint(5, 5));
        QVERIFY(!twin.underMouse() && !host.toast->underMouse());
        QVERIFY(twinClosed.wait(5000));
        QVERIFY(host.toast->isPosted());
        QTest::keyClick(undo, Qt::Key_Space);
        QCOMPARE(triggered.size(), 1);
        QCOMPARE(closed.size(), 0);
        QVERIFY(host.field->hasFocus());
        QTRY_VERIFY(!host.toast->isVisible());
    }

    void noticesGoWhenTheirTimeIsUp()
    {
        Host host;
        QSignalSpy closed(host.toast, &ActionToast::closed);
        host.toast->post({QStringLiteral("first"), QStringLiteral("Undo"), QStringLiteral("trash"), 60000});
        // A newer notice takes the place of the one showing; only the newer one closes.
        host.toast->post({QStringLiteral("Kept grab.png"), {}, QStringLiteral("kiwano"), 100});
        QVERIFY(host.toast->actionButton()->isHidden());
        QCOMPARE(host.toast->text(), QStringLiteral("Kept grab.png"));
        QTRY_COMPARE(closed.size(), 1);
        QTRY_VERIFY(!host.toast->isVisible());
        QCOMPARE(closed.size(), 1);
    }

    // Last, as it gives the whole application the pixel font. Our windows speak it; the desktop's
    // standard dialogs, laid out for the desktop's font, must not inherit it, down to their file
    // lists.
    void standardDialogsKeepTheSystemFont()
    {
        Look::apply(*qApp);
        const QString pixel = QFontInfo(Pixel::font(12)).family();
        QCOMPARE(QFontInfo(QApplication::font()).family(), pixel);

        QFileDialog files(nullptr, QStringLiteral("Open Image"), QDir::tempPath());
        files.setOption(QFileDialog::DontUseNativeDialog);
        QVERIFY(QFontInfo(files.font()).family() != pixel);
        const QList<QTreeView *> lists = files.findChildren<QTreeView *>();
        QVERIFY(!lists.isEmpty());
        for (QTreeView *list : lists)
            QVERIFY2(QFontInfo(list->font()).family() != pixel, "a file list drew in the pixel font");
    }
};

KIWANO_TEST_MAIN(TestLookWidgets)
#include "test_lookwidgets.moc"
