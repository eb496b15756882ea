#include "MyDateTime.h"

#include "TextUtils.h"

TMyDateTime TMyDateTime::Create()
{
    return CreateAt(platform::localNow());
}

TMyDateTime TMyDateTime::CreateAt(const platform::LocalTime &moment)
{
    TMyDateTime t;
    t.FDay = moment.day;
    t.FMonth = moment.month;
    t.FYear = moment.year;
    t.FHour = moment.hour;
    t.FMinute = moment.minute;
    t.FSecond = moment.second;
    t.FMillisecond = moment.millisecond;
    return t;
}

QString TMyDateTime::DateStr(const QString &separator) const
{
    return ZeroPad(FYear, 4) + separator + ZeroPad(FMonth, 2) + separator + ZeroPad(FDay, 2);
}

QString TMyDateTime::TimeStr(const QString &separator) const
{
    return ZeroPad(FHour, 2) + separator + ZeroPad(FMinute, 2) + separator + ZeroPad(FSecond, 2);
}

QString TMyDateTime::Stamp() const
{
    return DateStr(QString()) + TimeStr(QString());
}
