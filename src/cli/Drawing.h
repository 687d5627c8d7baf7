#pragma once
// What the command's drawing modes (pictures, label sheets) share: how they read option values, how they
// complain, and the offscreen Qt they draw with.

#include <QGuiApplication>
#include <QString>

#include <memory>
#include <string>
#include <string_view>

namespace cli {

// "code39: <message>" on standard error, control characters escaped so they cannot act on the terminal.
void Complain(std::string_view message);
void Complain(const QString& message);
inline void Complain(const char* message)
{
    Complain(std::string_view(message));
}

// "--name VALUE" or "--name=VALUE" at argv[i]: true when it is that option, with value set (empty when
// the value is missing) and i advanced past it.
bool TakeValue(int argc, char** argv, int& i, std::string_view name, std::string& value);

// A plain decimal number in [low, high]: digits, one inner dot unless integer, a leading minus only when
// low is negative; no blanks, exponents, "nan" or "inf".
bool ParseNumber(std::string_view text, double low, double high, bool integer, double& value);
bool ParseNumber(const QString& text, double low, double high, bool integer, double& value);

// The Qt the drawing needs, offscreen unless the caller chose a platform, with Qt's own start-up chatter
// (runtime folder, font cache) kept from the command's user.
std::unique_ptr<QGuiApplication> StartOffscreenQt(char* programName);

} // namespace cli
