// A stand-in for the PIC programmer tool, so the front end can be tried and
// tested without hardware. It accepts exactly the command words the front end
// composes, in their order:
//
//   [VERBOSE] PORT <n> BAUD <n> [RTS ON] [TARGET <pic>]
//       (GO <hexfile> | READ <hexfile> RUN) [PAUSE <text>]
//
// It prints what a real programmer would do, checks that the hex file after
// GO exists and is Intel HEX, writes a small Intel HEX file for READ ... RUN,
// and with PAUSE prints the text and waits for Enter. Anything else is
// rejected with a message and a non-zero exit.
//
// When XWISP2W_ARGS_LOG names a file, every run first appends its arguments
// there as one JSON array line, so tests can see exactly what arrived. A byte
// that is not valid in the local encoding is recorded as the lone surrogate
// U+DC80 + byte (a "\udcXX" escape), so every argument keeps its bytes.

#include "LocalText.h"

#include <QByteArray>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QStringList>

#include <cstdio>
#include <iostream>
#include <optional>
#include <string>

namespace {

enum ExitCode { Ok = 0, UsageError = 2, FileError = 3 };

struct Request
{
    bool verbose = false;
    qint32 port = 0;
    qint32 baud = 0;
    bool rts = false;
    std::optional<QString> target;
    bool read = false; // READ ... RUN, otherwise GO
    QString hexFile;
    std::optional<QString> pause;
};

void say(const QString &text)
{
    std::cout << text.toLocal8Bit().constData() << std::endl;
}

int fail(ExitCode code, const QString &text)
{
    std::cerr << "xwisp2w: " << text.toLocal8Bit().constData() << std::endl;
    return code;
}

void logArguments(const QStringList &args)
{
    const QByteArray path = qgetenv("XWISP2W_ARGS_LOG");
    if (path.isEmpty())
        return;
    QFile log(QString::fromLocal8Bit(path));
    if (!log.open(QIODevice::Append))
        return;
    log.write(QJsonDocument(QJsonArray::fromStringList(args)).toJson(QJsonDocument::Compact));
    log.write("\n");
}

bool toInt32(const QString &text, qint32 &out)
{
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    if (ok)
        out = value;
    return ok;
}

// Parses the words in their fixed order; returns an error text or nothing.
std::optional<QString> parse(const QStringList &args, Request &request)
{
    qsizetype i = 0;
    const auto at = [&](qsizetype k) {
        return k < args.size() ? args.at(k) : QString();
    };
    const auto expectWord = [&](const char *word) -> std::optional<QString> {
        if (at(i) != QLatin1String(word))
            return QStringLiteral("expected %1 but found \"%2\"").arg(QLatin1String(word), at(i));
        ++i;
        return std::nullopt;
    };
    const auto expectValue = [&](const char *after) -> std::optional<QString> {
        if (i >= args.size())
            return QStringLiteral("%1 needs a value").arg(QLatin1String(after));
        return std::nullopt;
    };

    if (at(i) == QLatin1String("VERBOSE")) {
        request.verbose = true;
        ++i;
    }
    if (auto e = expectWord("PORT"))
        return e;
    if (auto e = expectValue("PORT"))
        return e;
    if (!toInt32(args.at(i++), request.port))
        return QStringLiteral("PORT needs a whole number, not \"%1\"").arg(args.at(i - 1));
    if (auto e = expectWord("BAUD"))
        return e;
    if (auto e = expectValue("BAUD"))
        return e;
    if (!toInt32(args.at(i++), request.baud))
        return QStringLiteral("BAUD needs a whole number, not \"%1\"").arg(args.at(i - 1));
    if (at(i) == QLatin1String("RTS")) {
        ++i;
        if (auto e = expectWord("ON"))
            return e;
        request.rts = true;
    }
    if (at(i) == QLatin1String("TARGET")) {
        ++i;
        const QString pic = at(i);
        if (pic.isEmpty() || pic == QLatin1String("GO") || pic == QLatin1String("READ"))
            return QStringLiteral("TARGET needs a PIC type");
        request.target = pic;
        ++i;
    }
    if (at(i) == QLatin1String("GO")) {
        ++i;
        if (auto e = expectValue("GO"))
            return e;
        request.hexFile = args.at(i++);
    } else if (at(i) == QLatin1String("READ")) {
        ++i;
        if (auto e = expectValue("READ"))
            return e;
        request.read = true;
        request.hexFile = args.at(i++);
        if (auto e = expectWord("RUN"))
            return e;
    } else {
        return QStringLiteral("expected GO or READ but found \"%1\"").arg(at(i));
    }
    if (at(i) == QLatin1String("PAUSE")) {
        ++i;
        if (auto e = expectValue("PAUSE"))
            return e;
        request.pause = args.at(i++);
    }
    if (i < args.size())
        return QStringLiteral("unexpected \"%1\"").arg(args.at(i));
    return std::nullopt;
}

// One Intel HEX record: ":" count, address, type, data, checksum.
QByteArray hexRecord(quint16 address, quint8 type, const QByteArray &data)
{
    QByteArray raw;
    raw.append(char(data.size()));
    raw.append(char(address >> 8));
    raw.append(char(address & 0xFF));
    raw.append(char(type));
    raw.append(data);
    quint8 sum = 0;
    for (char c : raw)
        sum = quint8(sum + quint8(c));
    raw.append(char(quint8(0x100 - sum)));
    return ':' + raw.toHex().toUpper() + "\r\n";
}

bool isIntelHex(const QByteArray &content, QString &why)
{
    const QList<QByteArray> lines = content.split('\n');
    bool sawEnd = false;
    int number = 0;
    for (QByteArray line : lines) {
        ++number;
        line = line.trimmed();
        if (line.isEmpty())
            continue;
        if (sawEnd) {
            why = QStringLiteral("line %1 follows the end record").arg(number);
            return false;
        }
        if (!line.startsWith(':') || line.size() < 11 || (line.size() - 1) % 2 != 0) {
            why = QStringLiteral("line %1 is not an Intel HEX record").arg(number);
            return false;
        }
        const QByteArray bytes = QByteArray::fromHex(line.mid(1));
        if (bytes.toHex().size() != line.size() - 1 || bytes.size() != quint8(bytes.at(0)) + 5) {
            why = QStringLiteral("line %1 has a bad length or digit").arg(number);
            return false;
        }
        quint8 sum = 0;
        for (char c : bytes)
            sum = quint8(sum + quint8(c));
        if (sum != 0) {
            why = QStringLiteral("line %1 has a bad checksum").arg(number);
            return false;
        }
        if (quint8(bytes.at(3)) == 1)
            sawEnd = true;
    }
    if (!sawEnd)
        why = QStringLiteral("no end record");
    return sawEnd;
}

} // namespace

int main(int argc, char *argv[])
{
    QStringList args;
    for (int k = 1; k < argc; ++k)
        args << platform::decodeLocal(argv[k]);
    logArguments(args);

    Request request;
    if (const auto error = parse(args, request)) {
        fail(UsageError, *error);
        return fail(UsageError,
            QStringLiteral("usage: xwisp2w [VERBOSE] PORT <n> BAUD <n> [RTS ON] "
                           "[TARGET <pic>] (GO <hexfile> | READ <hexfile> RUN) "
                           "[PAUSE <text>]"));
    }

    say(QStringLiteral("xwisp2w stand-in: port %1, %2 baud%3%4")
            .arg(request.port)
            .arg(request.baud)
            .arg(request.rts ? QStringLiteral(", RTS on") : QString())
            .arg(request.verbose ? QStringLiteral(", verbose") : QString()));
    say(request.target ? QStringLiteral("target PIC %1 (as told)").arg(*request.target)
                       : QStringLiteral("target PIC detected: 16F84A (simulated)"));

    // Opened by the name's own bytes: QFile would look up another name for a
    // byte that is not valid in the local encoding.
    int code = Ok;
    QFile file;
    std::FILE *stream = std::fopen(
        platform::encodeLocal(request.hexFile).constData(), request.read ? "wb" : "rb");
    const bool opened = stream
        && file.open(stream, request.read ? QIODevice::WriteOnly : QIODevice::ReadOnly,
            QFileDevice::AutoCloseHandle);
    if (request.read) {
        QByteArray image;
        image += hexRecord(0x0000, 0x00, QByteArray::fromHex("8316FF30860083120800"));
        image += hexRecord(0x0000, 0x01, QByteArray());
        if (!opened || file.write(image) != image.size()) {
            code = fail(FileError, QStringLiteral("cannot write \"%1\"").arg(request.hexFile));
        } else {
            file.close();
            say(QStringLiteral("read the PIC into \"%1\"").arg(request.hexFile));
        }
    } else {
        QString why;
        if (!opened) {
            code = fail(FileError, QStringLiteral("cannot open \"%1\"").arg(request.hexFile));
        } else if (!isIntelHex(file.readAll(), why)) {
            code = fail(
                FileError, QStringLiteral("\"%1\" is not Intel HEX: %2").arg(request.hexFile, why));
        } else {
            say(QStringLiteral("programmed \"%1\" into the PIC (simulated)").arg(request.hexFile));
        }
    }

    if (request.pause) {
        say(*request.pause);
        std::string line;
        std::getline(std::cin, line);
    }
    return code;
}
