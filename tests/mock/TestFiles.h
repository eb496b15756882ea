#pragma once

// Whole-file reads and writes for tests that check exact file bytes.

#include <QFile>
#include <QtTest>

inline QByteArray readAll(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray("<unreadable>");
    return f.readAll();
}

inline void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

// A file the owner may run, such as a script standing in for a program.
inline void writeExecutable(const QString &path, const QByteArray &bytes)
{
    writeAll(path, bytes);
    QVERIFY(QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner));
}
