// SPDX-License-Identifier: MIT
#pragma once

#include <QRect>
#include <QSize>
#include <QString>

#include <optional>

class QSettings;

// Where a grab came from, so that it can be taken again without the overlay: a region, a picked
// window's frame or a monitor, in device pixels of the screen it was taken on, with that screen's
// size. The capture tool tells it after each grab, in one line on standard output.
struct GrabPlace
{
    enum class Kind { region, window, screen };

    Kind kind = Kind::region;
    QRect rect;
    QSize screen;

    bool operator==(const GrabPlace &) const = default;

    // "place region 10,20,300,200 1920x1080"
    QString toLine() const;
    // The place the line tells; nothing for any other line, or for one that makes no sense (an
    // empty rectangle, one outside its screen, a screen too large for any display).
    static std::optional<GrabPlace> fromLine(QStringView line);
    // The last such line of the tool's output.
    static std::optional<GrabPlace> lastIn(const QByteArray &output);

    // The same place on a screen of that size: the same where the size did not change, else
    // moved and sized in proportion, kept inside, and never empty.
    GrabPlace onScreen(const QSize &size) const;

    // The last grab's place, kept under "LastGrab" in the store given (the program's own state,
    // not the user's settings file).
    static std::optional<GrabPlace> load(QSettings &settings);
    void save(QSettings &settings) const;
};
