// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

class EditorModel;
class KiwanoButton;
class QLabel;
class QLineEdit;

// Width and height fields with a ratio lock and presets; Apply resizes the model's image.
// The host shows it in a popup and closes the popup on closeRequested. Made fresh for each
// opening: the lock starts on and the fields start at the current size.
class ResizePanel : public QWidget
{
    Q_OBJECT

public:
    explicit ResizePanel(EditorModel *model, QWidget *parent = nullptr);

    QLineEdit *widthField() const { return m_width; }
    QLineEdit *heightField() const { return m_height; }
    // Fills both fields with the current size times scale, as whole numbers.
    void setScale(qreal scale);
    // Resizes the model to the typed size and asks to close; nothing while the size is invalid.
    void apply();

signals:
    // Cancel, Escape or Apply: the host closes the popover.
    void closeRequested();

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void widthEdited(const QString &text);
    void heightEdited(const QString &text);
    void setLocked(bool locked);
    void updateApply();
    qreal aspect() const;

    EditorModel *m_model;
    QLabel *m_now = nullptr;
    QLineEdit *m_width = nullptr;
    QLineEdit *m_height = nullptr;
    KiwanoButton *m_lock = nullptr;
    KiwanoButton *m_apply = nullptr;
    bool m_locked = true;
};
