#include "Launcher.h"

// Placeholder until the launcher lands; keeps the tree building.
namespace platform {

QStringList splitCommandLine(const QString &commandLine)
{
    return {commandLine};
}

bool startDetached(const QString &)
{
    return false;
}

} // namespace platform
