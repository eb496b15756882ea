// The settings object on any INI file: loaded and saved, the saved file loads
// to the same settings, and saving those again gives the same bytes.
#include "DWInterface.h"

#include <QFile>
#include <QTemporaryDir>

#define CHECK(ok) ((ok) ? void() : __builtin_trap())

#include "FuzzFiles.h"

namespace {

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
    static const QString path = dir.filePath("dranelwisp.ini");
    static const QByteArray nativePath = QFile::encodeName(path);
    static std::string saved, again;
    writeFile(nativePath.constData(), (const char *)data, size);

    TDWInterface loaded(path);
    loaded.SaveConfig();
    readFile(nativePath.constData(), saved);
    TDWInterface reloaded(path);
    CHECK(sameSettings(loaded, reloaded));
    reloaded.SaveConfig();
    readFile(nativePath.constData(), again);
    CHECK(again == saved);
    return 0;
}
