// SPDX-License-Identifier: MIT
#pragma once

#include "platform/session.h"

#include <QList>
#include <QWidget>

#include <functional>

class KiwanoButton;
class QLabel;
class QVBoxLayout;

// "This session": for each service, whether it works natively here, falls back or is not
// available, what serves it and what the user can do.
class SessionSection : public QWidget
{
    Q_OBJECT
public:
    explicit SessionSection(const QList<ServiceAccount> &account, QWidget *parent = nullptr);

    // One line per service, as a screen reader hears it.
    QStringList lines() const;

    // Something the user can do to get more of this session: a line saying why, and a button
    // that runs the work. The work reports once, with an error in the user's words or an empty
    // one, and the line then says how it went (done on success).
    using Work = std::function<void(std::function<void(const QString &error)> finished)>;
    KiwanoButton *addOffer(const QString &why, const QString &icon, const QString &button, const QString &done,
                           Work work);
    // The offer's line as it reads now.
    QString offerLine(int index) const;

private:
    QVBoxLayout *m_column = nullptr;
    QList<QLabel *> m_details;
    QList<QLabel *> m_offers;
};
