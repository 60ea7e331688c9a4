// SPDX-License-Identifier: MIT
#pragma once

#include <QLineEdit>
#include <QUuid>

#include <optional>

class EditorModel;

// The selected text layer's text; Return or leaving the field replaces the layer's text. Made for
// one layer: the host makes a new one when the selection changes.
class TextContentField : public QLineEdit
{
    Q_OBJECT

public:
    TextContentField(EditorModel *model, const QString &text, QWidget *parent = nullptr);

protected:
    void focusOutEvent(QFocusEvent *event) override;

private:
    void commit();

    EditorModel *m_model;
    // The layer this field edits; focus can leave after another layer has been selected.
    std::optional<QUuid> m_layer;
};
