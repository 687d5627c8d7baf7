// The smallest Qt Widgets window that shows a line of text: beside bare_window it tells what the font
// database and the first glyphs cost any program with a caption, for comparing start-up times in the
// same run.
#include <QApplication>
#include <QLabel>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QLabel window(QStringLiteral("Make a bar code"));
    window.setWindowTitle(QStringLiteral("Bare Qt window with text"));
    window.resize(465, 382);
    window.show();
    window.activateWindow(); // as the program does, so that all are measured alike
    return QApplication::exec();
}
