// The settings object on any INI file: loaded and saved, the saved file loads
// to the same settings, and saving those again gives the same bytes.
#include "DWInterface.h"

#include <QFile>
#include <QTemporaryDir>

#define CHECK(ok) ((ok) ? void() : __builtin_trap())

namespace {

QByteArray readFile(const QString &path)
{
    QFile f(path);
    CHECK(f.open(QIODevice::ReadOnly));
    return f.readAll();
}

bool sameSettings(const TDWInterface &a, const TDWInterface &b)
{
    return a.Verbose() == b.Verbose() && a.WispProgram() == b.WispProgram()
        && a.RtsOn() == b.RtsOn() && a.Port() == b.Port() && a.Baud() == b.Baud()
        && a.HexInputFile() == b.HexInputFile() && a.Pause() == b.Pause()
        && a.TargetEnabled() == b.TargetEnabled() && a.Target() == b.Target()
        && a.ReadOutputDir() == b.ReadOutputDir() && a.MRUList() == b.MRUList();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, std::size_t size)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath("dranelwisp.ini");
    QFile f(path);
    CHECK(f.open(QIODevice::WriteOnly | QIODevice::Truncate)
        && f.write((const char *)data, qint64(size)) == qint64(size));
    f.close();

    TDWInterface loaded(path);
    loaded.SaveConfig();
    const QByteArray saved = readFile(path);
    TDWInterface reloaded(path);
    CHECK(sameSettings(loaded, reloaded));
    reloaded.SaveConfig();
    CHECK(readFile(path) == saved);
    return 0;
}
