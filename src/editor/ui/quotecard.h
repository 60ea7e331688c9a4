// SPDX-License-Identifier: MIT
#pragma once

#include "editor/model/zogquote.h"

#include <QScrollArea>

// ZOG's card: the mascot, the lines leading up to the quote, the quote and the signature, on a
// cream box with a hard shadow, scrolling when the sidebar is short.
class QuoteCard : public QScrollArea
{
    Q_OBJECT

public:
    explicit QuoteCard(const ZogQuote &quote, QWidget *parent = nullptr);
    const ZogQuote &quote() const { return m_quote; }

private:
    ZogQuote m_quote;
};
