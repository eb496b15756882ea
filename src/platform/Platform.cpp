#include "Platform.h"

#include "FileReplace.h"
#include "LocalText.h"

#include <QCollator>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

namespace platform {

namespace {

#ifdef Q_OS_WIN
constexpr PathStyle kNativeStyle = PathStyle::Windows;
#else
constexpr PathStyle kNativeStyle = PathStyle::Posix;
#endif

// Constant-initialised, so it holds before any code runs.
PathStyle g_style = kNativeStyle;

ClockFunction &clockOverride()
{
    static ClockFunction clock;
    return clock;
}

LocalTime systemNow()
{
    const QDateTime now = QDateTime::currentDateTime();
    const QDate d = now.date();
    const QTime t = now.time();
    LocalTime lt;
    lt.year = quint16(d.year());
    lt.month = quint16(d.month());
    lt.day = quint16(d.day());
    lt.hour = quint16(t.hour());
    lt.minute = quint16(t.minute());
    lt.second = quint16(t.second());
    lt.millisecond = quint16(t.msec());
    return lt;
}

} // namespace

PathStyle nativePathStyle()
{
    return kNativeStyle;
}

const Conventions &conventionsFor(PathStyle style)
{
    // Built on first use, so that code running before main() may ask for them.
    static const Conventions windows {PathStyle::Windows, u'\\', QStringLiteral(".\\"),
        QStringLiteral("xwisp2w.exe"), QStringLiteral("Executables (*.exe)"), QStringLiteral("exe"),
        QByteArrayLiteral("\r\n")};
    // On POSIX systems executables carry no extension; the filter shows every
    // file and the dialog itself is asked to list executables.
    static const Conventions posix {PathStyle::Posix, u'/', QStringLiteral("./"),
        QStringLiteral("xwisp2w"), QStringLiteral("Executables (*)"), QString(),
        QByteArrayLiteral("\n")};
    return style == PathStyle::Windows ? windows : posix;
}

const Conventions &conventions()
{
    return conventionsFor(g_style);
}

void setPathStyle(PathStyle style)
{
    g_style = style;
}

QString executablePath()
{
    return QDir::toNativeSeparators(QCoreApplication::applicationFilePath());
}

QString iniPathFor(const QString &executable)
{
    const bool windows = conventions().style == PathStyle::Windows;
    qsizetype dot = -1;
    for (qsizetype i = executable.size() - 1; i >= 0; --i) {
        const QChar c = executable.at(i);
        if (c == u'.') {
            dot = i;
            break;
        }
        if (c == u'/' || (windows && (c == u'\\' || c == u':')))
            break;
    }
    return (dot < 0 ? executable : executable.left(dot)) + QStringLiteral(".ini");
}

QString settingsIniPath(const QString &executable, bool portable, const QString &configFolder)
{
    const QString beside = iniPathFor(executable);
    if (portable || fileExists(beside))
        return beside;
    return configFolder + conventions().delimiter + QStringLiteral("dranelwisp.ini");
}

QString settingsIniPath()
{
    // Set by the build (DRANELWISP_PORTABLE); nothing else depends on it.
    constexpr bool portable = DW_PORTABLE_BUILD;
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/dranelwisp");
    return settingsIniPath(executablePath(), portable, QDir::toNativeSeparators(folder));
}

bool fileExists(const QString &path)
{
    if (path.isEmpty())
        return false;
#ifdef Q_OS_WIN
    const QFileInfo info(path);
    return info.exists() && !info.isDir();
#else
    // QFileInfo would look up the replacement character in place of a byte
    // that is not valid in the local encoding.
    struct stat info;
    return ::stat(encodeLocal(path).constData(), &info) == 0 && !S_ISDIR(info.st_mode);
#endif
}

bool replaceFile(const QString &path, const QByteArray &bytes)
{
    if (path.isEmpty())
        return false;
#ifdef Q_OS_WIN
    const QString native = QDir::toNativeSeparators(path);
    return replaceFileContents(reinterpret_cast<const wchar_t *>(native.utf16()), bytes.constData(),
        std::size_t(bytes.size()));
#else
    return replaceFileContents(
        encodeLocal(path).constData(), bytes.constData(), std::size_t(bytes.size()));
#endif
}

bool sameText(const QString &a, const QString &b)
{
    if (a.size() == b.size() && a == b)
        return true;
    // Bytes of an unknown encoding have no letter case, and a collator may
    // weigh lone surrogates alike: escaped bytes match exactly, the rest
    // without regard to case.
    if (hasEscapedBytes(a) || hasEscapedBytes(b))
        return a.compare(b, Qt::CaseInsensitive) == 0;
    static const QCollator collator = [] {
        QCollator c(QLocale::system());
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    return collator.compare(a, b) == 0;
}

LocalTime localNow()
{
    const ClockFunction &clock = clockOverride();
    return clock ? clock() : systemNow();
}

void setClock(ClockFunction clock)
{
    clockOverride() = std::move(clock);
}

} // namespace platform
