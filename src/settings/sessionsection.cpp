// SPDX-License-Identifier: MIT
#include "settings/sessionsection.h"

#include "look/kiwano.h"
#include "look/pixel.h"
#include "look/widgets/kiwanobutton.h"
#include "look/widgets/pixellabel.h"
#include "look/widgets/pixelpaint.h"
#include "settings/settingsparts.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QPointer>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace {

// The state as a small pixel box: ripe for native, cream for a fallback, and a faded face for
// what is missing.
class StateChip : public QLabel
{
public:
    explicit StateChip(ServiceAccount::State state)
        : QLabel(chipText(state)), m_state(state)
    {
        setFont(Pixel::uiFont());
        setAlignment(Qt::AlignCenter);
        setContentsMargins(8, 4, 8, 4);
        Look::setTextColor(this, Kiwano::peel);
    }

    static QString chipText(ServiceAccount::State state)
    {
        QString text = ServiceAccount::stateText(state);
        text[0] = text.at(0).toUpper();
        return text;
    }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QPainter painter(this);
        const QColor fill = m_state == ServiceAccount::State::native ? Kiwano::ripe
            : m_state == ServiceAccount::State::fallsBack           ? Kiwano::yellow
                                                                    : Kiwano::cream;
        Look::paintPixelBox(painter, rect(), fill, m_state == ServiceAccount::State::native);
        painter.end();
        QLabel::paintEvent(event);
    }

private:
    ServiceAccount::State m_state;
};

} // namespace

SessionSection::SessionSection(const QList<ServiceAccount> &account, QWidget *parent) : QWidget(parent)
{
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto *column = SettingsParts::section(outer, QStringLiteral("desktop"), tr("This session"));
    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(8);
    grid->setColumnStretch(2, 1);
    for (const ServiceAccount &service : account) {
        const int row = grid->rowCount();
        QLabel *name = SettingsParts::text(service.service);
        name->setWordWrap(false);
        grid->addWidget(name, row, 0, Qt::AlignTop);
        auto *chip = new StateChip(service.state);
        grid->addWidget(chip, row, 1, Qt::AlignTop);
        QLabel *detail = SettingsParts::caption(service.detail());
        detail->setAccessibleName(service.text());
        grid->addWidget(detail, row, 2, Qt::AlignTop);
        m_details << detail;
    }
    column->addLayout(grid);
    m_column = column;
}

KiwanoButton *SessionSection::addOffer(const QString &why, const QString &icon, const QString &button,
                                       const QString &done, Work work)
{
    auto *row = new QHBoxLayout;
    row->setSpacing(10);
    QLabel *line = SettingsParts::caption(why);
    line->setWordWrap(true);
    auto *press = new KiwanoButton(icon, button);
    press->setIconSize(12);
    press->setAccessibleName(button);
    press->setAccessibleDescription(why);
    row->addWidget(press, 0, Qt::AlignTop);
    row->addWidget(line, 1, Qt::AlignTop);
    m_column->addLayout(row);
    m_offers << line;
    connect(press, &QAbstractButton::clicked, this, [press, line, done, work] {
        press->setEnabled(false);
        QPointer<QLabel> shown(line);
        QPointer<KiwanoButton> again(press);
        work([shown, again, done](const QString &error) {
            if (!shown)
                return;
            shown->setText(error.isEmpty() ? done : tr("That didn't work: %1.").arg(error));
            shown->setAccessibleName(shown->text());
            if (again && !error.isEmpty())
                again->setEnabled(true);
        });
    });
    return press;
}

QString SessionSection::offerLine(int index) const
{
    const QLabel *line = m_offers.value(index);
    return line ? line->text() : QString();
}

QStringList SessionSection::lines() const
{
    QStringList lines;
    for (const QLabel *detail : m_details)
        lines << detail->accessibleName();
    return lines;
}
