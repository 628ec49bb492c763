#include "comm/DateiSenden.h"

#include "app/CodePage1252.h"
#include "app/Logbook.h"
#include "comm/DateiLesen.h"
#include "comm/SendUmwandeln.h"
#include "comm/SerialPort.h"
#include "comm/TraceSink.h"

#include <QEventLoop>
#include <QTimer>

namespace zep {

namespace {

enum class Waited { Empty, Cancelled, Failed };

// Waits on the port's own signal, with a short timer for the cancel
// request, so a transfer never spins the processor; events run meanwhile.
Waited waitUntilSent(SerialPort &port, const SendRequests &requests, QString &error)
{
    auto state = [&]() -> std::optional<Waited> {
        error = port.outputError();
        if (!error.isEmpty())
            return Waited::Failed;
        if (requests.cancel)
            return Waited::Cancelled;
        if (port.outBufferCount() == 0)
            return Waited::Empty;
        return std::nullopt;
    };
    if (const auto now = state())
        return *now;
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(20);
    std::optional<Waited> result;
    auto check = [&] {
        if ((result = state()))
            loop.quit();
    };
    QObject::connect(&port, &SerialPort::OutputWritten, &loop, check);
    QObject::connect(&poll, &QTimer::timeout, &loop, check);
    poll.start();
    loop.exec();
    return result.value_or(Waited::Failed);
}

} // namespace

QString DateiSenden(const QString &path, SerialPort &port, int connection, SendContext &ctx)
{
    auto fail = [&](const QString &description) {
        ctx.trace.raw(QStringLiteral("\r\nFEHLER: ") + description);
        // Red, not the transfer's yellow: the line is no longer sending.
        ctx.lamp(connection, LampColour::Red);
        ctx.progress(-1);
        return description;
    };

    const FileText file = DateiLesen(path);
    if (!file.ok())
        return fail(file.error);
    QByteArray text = file.text;
    SendUmwandeln(text, SendSettings::read(ctx.settings, connection), ctx.trace);

    int pieceSize = port.outBufferSize();
    if (pieceSize <= 0) {
        // A size that never advances would hang the transfer.
        ctx.logbook.LogbuchSchreiben(QStringLiteral("Sendepuffer von Maschine ") + QString::number(connection + 1)
                                     + QStringLiteral(" ist ") + QString::number(pieceSize)
                                     + QStringLiteral(" Bytes groß, es wird in Stücken zu ")
                                     + QString::number(kFallbackPieceSize) + QStringLiteral(" Bytes gesendet."));
        pieceSize = kFallbackPieceSize;
    }
    ctx.lamp(connection, LampColour::Yellow);
    ctx.trace.raw(QStringLiteral("\r\n>>> Datenübertragung start: <<<\r\n"));

    auto cancelled = [&] {
        port.clearOutput();
        ctx.lamp(connection, LampColour::Red);
        ctx.trace.raw(QStringLiteral("\r\nABBRUCH"));
        ctx.progress(-1);
        return QString();
    };
    auto send = [&](const QByteArray &piece) -> std::optional<QString> {
        ctx.trace.raw(CodePage1252::decode(piece));
        if (!piece.isEmpty() && !port.Output(piece))
            return port.errorDescription();
        return std::nullopt;
    };

    // Writes one piece and waits until it has left the buffer; the result
    // ends the transfer when there is one. The last piece's wait honours
    // "Abbruch" as well: a machine that stops reading must not hold the
    // program here for ever.
    auto sendPiece = [&](const QByteArray &piece) -> std::optional<QString> {
        if (const auto e = send(piece))
            return fail(*e);
        QString error;
        switch (waitUntilSent(port, ctx.requests, error)) {
        case Waited::Cancelled: return cancelled();
        case Waited::Failed: return fail(error);
        case Waited::Empty: break;
        }
        return std::nullopt;
    };

    const qsizetype length = text.size();
    qsizetype position = 1;
    while (position + pieceSize < length) {
        const int percent = int(100.0 / double(length) * double(position));
        ctx.status(QStringLiteral("Senden (") + QString::number(percent) + QStringLiteral(" %)"));
        ctx.progress(percent);
        if (const auto ended = sendPiece(text.mid(position - 1, pieceSize)))
            return *ended;
        position += pieceSize;
    }
    if (const auto ended = sendPiece(text.mid(position - 1)))
        return *ended;
    ctx.trace.raw(QStringLiteral("\r\nENDE DER ÜBERTRAGUNG"));
    ctx.lamp(connection, LampColour::Green);
    ctx.progress(-1);
    return {};
}

} // namespace zep
