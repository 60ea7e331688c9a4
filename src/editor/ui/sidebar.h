// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

class EditorActions;
class ColorPanelBridge;
class EditorModel;
class LayersPanel;
class PropertiesPanel;
class QuoteCard;
class QVariantAnimation;

// The column at the editor's right edge: the layers above the properties, or ZOG's quote card
// while the model holds a quote. The card slides in from the right and back out.
class Sidebar : public QWidget
{
    Q_OBJECT

public:
    static constexpr int columnWidth = 224;

    Sidebar(EditorModel *model, EditorActions *actions, ColorPanelBridge *chooser,
            QWidget *parent = nullptr);

    LayersPanel *layersPanel() const { return m_layers; }
    PropertiesPanel *propertiesPanel() const { return m_properties; }
    // The card on show or sliding out; nothing otherwise.
    QuoteCard *quoteCard() const { return m_card; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void followQuote();
    void placeCard();

    EditorModel *m_model;
    QWidget *m_normal;
    LayersPanel *m_layers;
    PropertiesPanel *m_properties;
    QuoteCard *m_card = nullptr;
    QVariantAnimation *m_slide;
    // 0 outside the right edge, 1 in place.
    qreal m_cardIn = 0;
};
