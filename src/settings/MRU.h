#pragma once

#include <QStringList>

// Recently used file names, most recent first. Add() moves or inserts a name
// at the head and cuts the tail to MaxCount; names are compared without
// regard to case, in the user's locale.
class TMRU
{
public:
    explicit TMRU(int maxCount);

    void Add(const QString &name);
    void Remove(const QString &name);

    // The list itself: the owner may fill it directly (unbounded until the next Add).
    QStringList &Items() { return FItems; }
    const QStringList &Items() const { return FItems; }
    int MaxCount() const { return FMaxCount; }

private:
    QStringList FItems;
    int FMaxCount;
};
