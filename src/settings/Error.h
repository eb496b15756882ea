#pragma once

#include <QString>

#include <exception>

// The one error type of the program. Its text is what the standard error box
// shows, so it is kept as a QString; what() gives the same text in UTF-8.
class TError : public std::exception
{
public:
    explicit TError(QString message)
        : FMessage(std::move(message))
        , FUtf8(FMessage.toUtf8())
    { }
    const QString &Message() const noexcept { return FMessage; }
    const char *what() const noexcept override { return FUtf8.constData(); }

private:
    QString FMessage;
    QByteArray FUtf8;
};
