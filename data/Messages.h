#pragma once

#include <QString>
#include <functional>

// The one way the program tells the user something. The shell installs a sink that shows a modal message
// box; tests install one that records. Without a sink, messages go to stderr so nothing ever blocks.

enum class TMsgKind { Info, Error };

using TMessageSink = std::function<void(TMsgKind kind, const QString& text)>;

// Installs the sink and returns the previous one.
TMessageSink SetMessageSink(TMessageSink sink);

// A plain message: application title as caption, one OK button. '\r' starts a new line.
void ShowMessage(const QString& text);

// The default error handler: shows the error with an error icon after ErrorText().
void HandleError(const QString& text);

// The error's text with a period added when its last character sorts after the period.
QString ErrorText(const QString& text);

// Runs one handler: any error it raises ends it and goes to the default error handler, so no exception
// ever crosses the event loop. Returns false when the handler raised.
bool Guard(const std::function<void()>& handler);
