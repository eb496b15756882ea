#pragma once

#include "Platform.h"

#include <QString>
#include <QtGlobal>

// One moment broken down into its parts, with the fixed-width texts of the
// read-back file names. Millisecond is kept but no text uses it.
class TMyDateTime
{
public:
    // The current local date and time: one reading of the clock, so date and
    // time of a stamp never come from two different readings.
    static TMyDateTime Create();
    static TMyDateTime CreateAt(const platform::LocalTime &moment);

    // Year (4 digits), separator, month (2), separator, day (2).
    QString DateStr(const QString &separator) const;
    // Hour, separator, minute, separator, second; 2 digits each.
    QString TimeStr(const QString &separator) const;
    // Year to second in 14 digits: DateStr("") followed by TimeStr("").
    QString Stamp() const;

    quint16 Day() const { return FDay; }
    quint16 Month() const { return FMonth; }
    quint16 Year() const { return FYear; }
    quint16 Hour() const { return FHour; }
    quint16 Minute() const { return FMinute; }
    quint16 Second() const { return FSecond; }
    quint16 Millisecond() const { return FMillisecond; }

private:
    TMyDateTime() = default;

    quint16 FDay = 0;
    quint16 FMonth = 0;
    quint16 FYear = 0;
    quint16 FHour = 0;
    quint16 FMinute = 0;
    quint16 FSecond = 0;
    quint16 FMillisecond = 0;
};
