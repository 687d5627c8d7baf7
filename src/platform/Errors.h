#pragma once
// The errors that reach the standard error report. The program's own code raises none of its own;
// these stand for the errors the toolkit raises (conversion, INI writes, printing).

#include <QString>
#include <exception>
#include <string>

namespace platform {

class Error : public std::exception {
public:
    explicit Error(QString message) : m_message(std::move(message)), m_utf8(m_message.toStdString()) {}
    const QString& message() const { return m_message; }
    const char* what() const noexcept override { return m_utf8.c_str(); }

private:
    QString m_message;
    std::string m_utf8;
};

class IniError : public Error {
    using Error::Error;
};
class ConvertError : public Error {
    using Error::Error;
};
class PrinterError : public Error {
    using Error::Error;
};

// The text as a decimal integer (optional sign); throws ConvertError "''%s'' is not a valid integer value".
int StrToInt(const QString& text);

// The text the standard error box shows: the message, with "." appended when its last character's
// code is above that of ".".
QString StandardErrorText(const QString& message);

} // namespace platform
