// SPDX-License-Identifier: MIT
#pragma once

#include <QRectF>
#include <QWidget>

class EditorModel;
class KiwanoButton;
class QLineEdit;

// Width and height of the selected layer in image pixels, with a ratio lock; Return sets the
// size. Made for one layer: the host makes a new one when the selection changes.
class LayerSizeFields : public QWidget
{
    Q_OBJECT

public:
    LayerSizeFields(EditorModel *model, const QRectF &bounds, QWidget *parent = nullptr);

    // Resets both texts to the rounded size, when the bounds differ from the shown ones.
    void setBounds(const QRectF &bounds);
    QLineEdit *widthField() const { return m_width; }
    QLineEdit *heightField() const { return m_height; }
    KiwanoButton *lockButton() const { return m_lock; }

private:
    void setLocked(bool locked);
    void edited(bool widthEdited);
    void commit();
    qreal aspect() const;

    EditorModel *m_model;
    QRectF m_bounds;
    QLineEdit *m_width;
    QLineEdit *m_height;
    KiwanoButton *m_lock;
    bool m_locked = true;
};
