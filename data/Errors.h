#pragma once

#include <QString>
#include <stdexcept>
#include <string>

// Every error of the program is one of these, thrown by value. The message is the text the user reads;
// the default error handler adds the final period.

// The message as what() carries it: a zero character would end the text there, so it is shown as U+FFFD.
inline std::string ErrorBytes(const QString& message)
{
    return QString(message).replace(QChar(0), QChar(0xFFFD)).toStdString();
}

// Base of all errors raised by the data layer.
class EDatabaseError : public std::runtime_error {
public:
    explicit EDatabaseError(const QString& message) : std::runtime_error(ErrorBytes(message)) {}
    QString Message() const { return QString::fromUtf8(what()); }
};

// A state check of a dataset failed; the text starts with the component name, a colon and a blank.
class EDatasetError : public EDatabaseError {
public:
    EDatasetError(const QString& component, const QString& message)
        : EDatabaseError(component + QStringLiteral(": ") + message)
    {
    }
};

// The engine itself refused an operation: bad statement, foreign file, lock, I/O. No prefix.
class EEngineError : public EDatabaseError {
public:
    explicit EEngineError(const QString& message, int code = 0) : EDatabaseError(message), m_code(code) {}
    int Code() const { return m_code; }

private:
    int m_code;
};

// A text could not be converted for a field ("'x' is not a valid time", ...).
class EConvertError : public std::runtime_error {
public:
    explicit EConvertError(const QString& message) : std::runtime_error(ErrorBytes(message)) {}
};

// A field value could not be read as the requested type ("Could not convert variant of type ...").
class EVariantError : public std::runtime_error {
public:
    explicit EVariantError(const QString& message) : std::runtime_error(ErrorBytes(message)) {}
};

// A settings value could not be read ("Invalid data type for '%s'", "Failed to get data for '%s'").
class ERegistryError : public std::runtime_error {
public:
    explicit ERegistryError(const QString& message) : std::runtime_error(ErrorBytes(message)) {}
};
