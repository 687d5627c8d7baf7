#include "ControlCharacters.h"

#include <utility>

namespace kelm {

namespace {

// The control-character names that Insert knows whole, with their caret codes.
const std::pair<QString, QString> kNamedControls[] = {
    {QStringLiteral("Tab"), QStringLiteral("^I")},       {QStringLiteral("Null"), QStringLiteral("^0")},
    {QStringLiteral("Bell"), QStringLiteral("^G")},      {QStringLiteral("Line Feed"), QStringLiteral("^J")},
    {QStringLiteral("Form Feed"), QStringLiteral("^L")}, {QStringLiteral("Carriage Return"), QStringLiteral("^M")},
    {QStringLiteral("Escape"), QStringLiteral("^1")},
};
// The letters offered as "Ctrl-x" (the others have names of their own, and there is no Ctrl-O).
const QString kCtrlLetters = QStringLiteral("ABCDEFHKNPQRSTUVWXYZ");

} // namespace

QString CaretCodeFor(const QString& choice)
{
    for (const auto& [name, caretCode] : kNamedControls) {
        if (choice == name)
            return caretCode;
    }
    if (choice.size() >= 6 && kCtrlLetters.contains(choice.at(5)))
        return QStringLiteral("^") + choice.at(5);
    return {};
}

} // namespace kelm
