// Time to load and to save INI files of 1 MB and 10 MB: both must grow in
// proportion to the file's size (the 10 MB figure at most 11 times the 1 MB
// one). Run by hand:
//   build/bench/bench_inifile [REPEATS [CASE [SMALL_MB LARGE_MB]]]
// Medians of REPEATS runs (default 5), in processor time (the machine may be
// busy with other work; wall time, printed after it, suffers from that), of:
//   load keys    the program's ten keys, then ordinary key=value lines in a
//                section of their own; the file is read and the ten keys looked up
//   load random  the ten keys, then random bytes
//   save keys    the file of "load keys" is read, its ten keys written anew and
//                the file saved
//   write keys   a new file gets as many keys of one section as fill the size,
//                each written on its own, and is saved
#include "IniFile.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <functional>
#include <random>
#include <vector>

namespace {

const QString kSection = QStringLiteral("DranelWispConfig");
const char *const kKeys[] = {"Baud", "HexInputfile", "ReadOutputDir", "Port", "RtsOn", "Verbose",
    "WispProgram", "Pause", "TargetEnabled", "Target"};

QByteArray programSection()
{
    return "[DranelWispConfig]\nBaud=19200\nHexInputFile=/home/user/pic/blink.hex\n"
           "ReadOutputDir=./\nPort=1\nRtsOn=1\nVerbose=1\nWispProgram=/usr/bin/xwisp2w\n"
           "Pause=\nTargetEnabled=0\nTarget=16F84A\n";
}

QByteArray withKeys(qsizetype size)
{
    QByteArray bytes = programSection() + "[Foreign]\n";
    bytes.reserve(size + 64);
    for (int i = 0; bytes.size() < size; ++i)
        bytes += "key" + QByteArray::number(i) + "=value number " + QByteArray::number(i) + '\n';
    return bytes;
}

QByteArray withRandomBytes(qsizetype size)
{
    QByteArray bytes = programSection();
    std::mt19937 random(15);
    while (bytes.size() < size)
        bytes += char(random() & 0xff);
    return bytes;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        std::abort();
}

void readTenKeys(const TIniFile &ini)
{
    for (const char *key : kKeys) {
        if (ini.ReadString(kSection, QLatin1String(key), QString()).isNull())
            std::abort();
    }
}

struct Times
{
    double cpu = 0; // ms of processor time
    double wall = 0; // ms
};

// Evicts the processor's caches, so a 1 MB file is not measured from them
// while a 10 MB one cannot be: a program that starts has neither in them.
void evictCaches()
{
    static std::vector<char> buffer(64 << 20);
    for (size_t i = 0; i < buffer.size(); i += 64)
        buffer[i] = char(buffer[i] + 1);
}

// One run first warms the allocator and the file system's cache, then the
// medians of the repeats, each with the processor's caches evicted.
Times median(int repeats, const std::function<void()> &prepare, const std::function<void()> &run)
{
    std::vector<double> cpu, wall;
    for (int i = 0; i <= repeats; ++i) {
        prepare();
        evictCaches();
        QElapsedTimer timer;
        const std::clock_t start = std::clock();
        timer.start();
        run();
        if (i == 0)
            continue;
        wall.push_back(double(timer.nsecsElapsed()) / 1e6);
        cpu.push_back(double(std::clock() - start) * 1e3 / CLOCKS_PER_SEC);
    }
    std::sort(cpu.begin(), cpu.end());
    std::sort(wall.begin(), wall.end());
    return {cpu[cpu.size() / 2], wall[wall.size() / 2]};
}

} // namespace

int main(int argc, char *argv[])
{
    const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const int smallMb = argc > 4 ? std::max(1, std::atoi(argv[3])) : 1;
    const int largeMb = argc > 4 ? std::max(1, std::atoi(argv[4])) : 10;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.ini"));
    const auto nothing = [] {
    };
    const auto fileOf = [&](const QByteArray &bytes) {
        return [&path, bytes] {
            writeFile(path, bytes);
        };
    };

    struct Case
    {
        const char *name;
        std::function<Times(qsizetype)> run;
    };
    const Case cases[] = {
        {"load keys",
            [&](qsizetype size) {
                writeFile(path, withKeys(size));
                return median(repeats, nothing, [&] { readTenKeys(TIniFile(path)); });
            }},
        {"load random",
            [&](qsizetype size) {
                writeFile(path, withRandomBytes(size));
                return median(repeats, nothing, [&] { readTenKeys(TIniFile(path)); });
            }},
        {"save keys",
            [&](qsizetype size) {
                return median(repeats, fileOf(withKeys(size)), [&] {
                    TIniFile ini(path);
                    for (const char *key : kKeys)
                        ini.WriteString(kSection, QLatin1String(key), QStringLiteral("1"));
                    ini.Save();
                });
            }},
        {"write keys",
            [&](qsizetype size) {
                // Lines of about 24 bytes: "key<n>=value number <n>".
                const int count = int(size / 24);
                return median(
                    repeats, [&] { QFile::remove(path); },
                    [&] {
                        TIniFile ini(path);
                        for (int i = 0; i < count; ++i)
                            ini.WriteString(QStringLiteral("Keys"),
                                QStringLiteral("key") + QString::number(i),
                                QStringLiteral("value number ") + QString::number(i));
                        ini.Save();
                    });
            }},
    };

    std::printf("%-12s %7d MB %7d MB %7s   %s\n", "processor", smallMb, largeMb, "ratio",
        "(wall: small, large, ratio)");
    bool ok = true;
    for (const Case &c : cases) {
        if (argc > 2 && std::strcmp(argv[2], "all") != 0 && std::strcmp(argv[2], c.name) != 0)
            continue;
        const Times small = c.run(qsizetype(smallMb) << 20);
        const Times large = c.run(qsizetype(largeMb) << 20);
        const double ratio = large.cpu / small.cpu;
        const double limit = 1.1 * largeMb / smallMb; // 11x for 1 and 10 MB
        ok = ok && ratio <= limit;
        std::printf("%-12s %7.1f ms %7.1f ms %6.2fx   (%.1f ms, %.1f ms, %.2fx)%s\n", c.name,
            small.cpu, large.cpu, ratio, small.wall, large.wall, large.wall / small.wall,
            ratio <= limit ? "" : "  more than linear allows");
        std::fflush(stdout);
    }
    return ok ? 0 : 1;
}
