#include "data/Messages.h"

#include <QtGlobal>
#include <cstdio>
#include <exception>

namespace {

void StderrSink(TMsgKind, const QString& text)
{
    std::fprintf(stderr, "%s\n", qPrintable(QString(text).replace(QLatin1Char('\r'), QLatin1Char('\n'))));
}

TMessageSink& Sink()
{
    static TMessageSink sink = StderrSink;
    return sink;
}

} // namespace

TMessageSink SetMessageSink(TMessageSink sink)
{
    TMessageSink previous = std::move(Sink());
    Sink() = sink ? std::move(sink) : TMessageSink(StderrSink);
    return previous;
}

void ShowMessage(const QString& text)
{
    Sink()(TMsgKind::Info, text);
}

QString ErrorText(const QString& text)
{
    if (!text.isEmpty() && text.back() > QLatin1Char('.'))
        return text + QLatin1Char('.');
    return text;
}

void HandleError(const QString& text)
{
    Sink()(TMsgKind::Error, ErrorText(text));
}

bool Guard(const std::function<void()>& handler)
{
    try {
        handler();
        return true;
    } catch (const std::exception& e) {
        HandleError(QString::fromUtf8(e.what()));
    } catch (...) {
        HandleError(QStringLiteral("Unknown error"));
    }
    return false;
}
