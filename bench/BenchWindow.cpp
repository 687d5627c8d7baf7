// The main window's own work, offscreen: Make with the preview laid out and painted, a restyle, and
// Copy, for short, typical and long data, the pictures Copy adds on its own, and the Fill a Sheet
// window's first opening.
#include "app/BarCodeExport.h"
#include "app/FillSheetDialog.h"
#include "app/MainWindow.h"
#include "platform/Recorder.h"
#include "render/Typefaces.h"

#include <QApplication>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

// One window for every benchmark, with the desktop recorded and the settings in a throw-away home.
struct Bench {
    platform::Recorder recorder;
    MainWindow window{QStringLiteral("kelmtips.ini")};
    QTextEdit* preview = window.findChild<QTextEdit*>(QStringLiteral("preview"));
    QPushButton* makeButton = window.findChild<QPushButton*>(QStringLiteral("makeButton"));
    QRadioButton* textAbove = window.findChild<QRadioButton*>(QStringLiteral("textAboveButton"));
    QRadioButton* textBelow = window.findChild<QRadioButton*>(QStringLiteral("textBelowButton"));
};
Bench* g_bench = nullptr;

QString Data(qsizetype length)
{
    const QString pattern = QStringLiteral("ABCD4567 -./$+%XYZ");
    return pattern.repeated(length / pattern.size() + 1).left(length);
}

// Make as the button does it, then the preview laid out and painted as the screen would show it.
void MakeAndShow(const QString& data)
{
    g_bench->window.findChild<QLineEdit*>(QStringLiteral("dataEdit"))->setText(data);
    g_bench->makeButton->click();
    g_bench->preview->viewport()->repaint();
}

void BM_MakeAndPreview(benchmark::State& state)
{
    const QString data = Data(state.range(0));
    for (auto _ : state)
        MakeAndShow(data);
}

void BM_Restyle(benchmark::State& state)
{
    MakeAndShow(Data(state.range(0)));
    bool above = false;
    for (auto _ : state) {
        (above ? g_bench->textBelow : g_bench->textAbove)->click();
        above = !above;
        g_bench->preview->viewport()->repaint();
    }
}

void BM_Copy(benchmark::State& state)
{
    MakeAndShow(Data(state.range(0)));
    for (auto _ : state)
        g_bench->window.copy();
}

// The PNG and SVG of the bar code that Copy puts beside the text forms.
void BM_CopyPictures(benchmark::State& state)
{
    MakeAndShow(Data(state.range(0)));
    const kelm::MadeBarCode made{Data(state.range(0)), g_bench->window.barCodeText(), false, 22};
    for (auto _ : state) {
        const std::unique_ptr<QMimeData> mime(kelm::WithPictures(QMimeData(), made, kelm::kPictureDpi));
        // Drawn when a program asks for them, as a paste does.
        benchmark::DoNotOptimize(mime->data(QStringLiteral("image/png")));
        benchmark::DoNotOptimize(mime->data(QStringLiteral("image/svg+xml")));
    }
}

// What the first Ctrl+P costs before the window shows: the stock library read (our stocks and the
// label-template database) and the window made with the current bar code on its first stock.
void BM_FillSheetFirstOpen(benchmark::State& state)
{
    for (auto _ : state) {
        labels::StockLibrary library;
        library.loadDatabase();
        FillSheetDialog dialog(library);
        dialog.setBarCodeData(QStringLiteral("INV-2026-0042"));
        benchmark::DoNotOptimize(dialog.sheet().labels.size());
    }
}

BENCHMARK(BM_MakeAndPreview)->Arg(8)->Arg(40)->Arg(4000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Restyle)->Arg(8)->Arg(40)->Arg(4000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Copy)->Arg(8)->Arg(40)->Arg(4000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CopyPictures)->Arg(8)->Arg(40)->Arg(4000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillSheetFirstOpen)->Iterations(5)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    render::RegisterBarCodeTypefaces();
    const QTemporaryDir home;
    qputenv("HOME", QFile::encodeName(home.path()));
    Bench bench;
    g_bench = &bench;
    bench.window.show();
    QCoreApplication::processEvents();
    // The first copy of a run may bring up the clipboard warning: answer it once, before measuring.
    MakeAndShow(Data(8));
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [] {
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });
    closer.start(10);
    bench.window.copy();
    closer.stop();

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
