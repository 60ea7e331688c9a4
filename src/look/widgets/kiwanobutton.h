// SPDX-License-Identifier: MIT
#pragma once

#include <QAbstractButton>
#include <QFont>
#include <QString>

#include <optional>

// The one button of the application's look: a cream (or ripe when selected) face with a peel
// border over a hard shadow, which the face covers when pressed or selected. It shows a pixel
// icon, a title, or both: beside each other (PixelLabel style) or the icon above a small title
// (toolbar style). Keyboard focus is drawn as a dashed outline. The accessible name is the title,
// else the tooltip, so icon-only buttons must have a tooltip or an accessible name.
class KiwanoButton : public QAbstractButton
{
    Q_OBJECT

public:
    enum class Layout { beside, under };

    explicit KiwanoButton(QWidget *parent = nullptr);
    KiwanoButton(const QString &icon, const QString &title, QWidget *parent = nullptr);

    QString iconName() const { return m_icon; }
    void setIconName(const QString &name);
    Layout layout() const { return m_layout; }
    void setLayout(Layout layout);
    bool isSelected() const { return m_selected; }
    void setSelected(bool selected);
    // Point size of the icon, 18 unless set. The title is in the look's body text.
    void setIconSize(qreal size);
    // The title's face, in place of the pixel font (a font menu shows each face in itself).
    void setTitleFont(const QFont &font);
    // A minimum width for the face, for rows of buttons of equal width.
    void setMinimumFaceWidth(int width);
    // Hides the title from the face, for rows squeezed narrower than they ask; it stays the
    // button's accessible name and becomes its tooltip. The minimum face width goes with it.
    void setTitleShown(bool shown);
    bool isTitleShown() const { return m_titleShown; }
    // The size the button asks for with its title shown, whether or not it is.
    QSize titledSizeHint() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool event(QEvent *event) override;

private:
    QSize faceSize(bool titled) const;
    QFont titleFont() const;
    void updateAccessibleName();

    QString m_icon;
    Layout m_layout = Layout::beside;
    bool m_selected = false;
    qreal m_iconSize = 18;
    int m_minimumFaceWidth = 0;
    bool m_titleShown = true;
    std::optional<QFont> m_titleFont;
    // The accessible name this button gave itself, replaced when its title or tooltip changes.
    QString m_autoAccessibleName;
};
