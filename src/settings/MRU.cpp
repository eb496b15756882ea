#include "MRU.h"

#include "Platform.h"

TMRU::TMRU(int maxCount)
    : FMaxCount(maxCount)
{ }

void TMRU::Add(const QString &name)
{
    Remove(name);
    FItems.insert(0, name);
    while (FItems.size() > FMaxCount && !FItems.isEmpty())
        FItems.removeLast();
}

void TMRU::Remove(const QString &name)
{
    for (qsizetype i = 0; i < FItems.size(); ++i) {
        if (platform::sameText(FItems.at(i), name)) {
            FItems.removeAt(i);
            return;
        }
    }
}
