#include "WindowLook.h"

#include <QAbstractButton>
#include <QDir>
#include <QStringList>
#include <utility>

namespace kelm {

void SubstituteLayoutFaces()
{
    static bool done = false;
    if (std::exchange(done, true))
        return;
    const QStringList sans = {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans Condensed"),
                              QStringLiteral("DejaVu Sans")};
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"), sans);
    QFont::insertSubstitutions(QStringLiteral("Arial"), sans);
    QFont::insertSubstitutions(QStringLiteral("Courier New"),
                               {QStringLiteral("Liberation Mono"), QStringLiteral("DejaVu Sans Mono")});
}

QFont LayoutFont(int pixels, bool bold)
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

void SetButtonPictures(std::initializer_list<QAbstractButton*> buttons)
{
    for (QAbstractButton* button : buttons) {
        const QIcon picture(QStringLiteral(":/glyphs/MainWindow/%1.png").arg(button->objectName()));
        if (!picture.availableSizes().isEmpty()) {
            button->setIcon(picture);
            button->setIconSize(QSize(24, 24));
        }
    }
}

QIcon ProgramIcon()
{
    QIcon icon;
    const QDir icons(QStringLiteral(":/icons"));
    for (const QString& name : icons.entryList({QStringLiteral("kelm-*.png")}, QDir::Files))
        icon.addFile(icons.filePath(name));
    return icon;
}

} // namespace kelm
