// The label stocks and sheets: loading the template database, listing and searching every stock, and a
// 1,000-row list filled into sheets and written as a PDF or as ZPL, and read back label by label.
#include "labels/ReadBack.h"
#include "labels/Sheet.h"
#include "labels/StockLibrary.h"
#include "labels/Zpl.h"

#include <QBuffer>
#include <QGuiApplication>
#include <benchmark/benchmark.h>

#include <utility>

namespace {

void BM_LoadDatabase(benchmark::State& state)
{
    for (auto _ : state) {
        labels::StockLibrary library;
        library.loadDatabase();
        benchmark::DoNotOptimize(library.stocks().size());
    }
}
BENCHMARK(BM_LoadDatabase)->Unit(benchmark::kMillisecond);

// Each search runs over every stock; an empty one lists them all.
void BM_Search(benchmark::State& state, const char* words, const char* paper)
{
    labels::StockLibrary library;
    library.loadDatabase();
    for (auto _ : state)
        benchmark::DoNotOptimize(library.search(QString::fromUtf8(words), QString::fromUtf8(paper)));
    state.counters["stocks"] = double(library.stocks().size());
}
BENCHMARK_CAPTURE(BM_Search, list_all, "", "")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Search, part_5160, "5160", "")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Search, address_on_A4, "address labels", "A4")->Unit(benchmark::kMillisecond);

void BM_Find(benchmark::State& state)
{
    labels::StockLibrary library;
    library.loadDatabase();
    QString error;
    for (auto _ : state)
        benchmark::DoNotOptimize(library.find(QStringLiteral("Avery L7163"), error));
}
BENCHMARK(BM_Find)->Unit(benchmark::kMillisecond);

// The stock and rows the list benchmarks fill: count part numbers on lb060.
std::pair<labels::Stock, QStringList> PartNumbersOnLb060(qsizetype count)
{
    labels::StockLibrary library;
    library.loadDatabase();
    QString error;
    QStringList rows;
    for (qsizetype i = 0; i < count; ++i)
        rows.append(QStringLiteral("INV-2026-%1").arg(i, 4, 10, QLatin1Char('0')));
    return {library.stocks()[library.find(QStringLiteral("lb060"), error)], rows};
}

// Rows to sheets to PDF bytes, as code39 --labels does it (without the file write).
void BM_ListToPdf(benchmark::State& state)
{
    const auto [stock, rows] = PartNumbersOnLb060(state.range(0));
    QString error;
    for (auto _ : state) {
        const labels::Sheet sheet = labels::FillSheet(stock, rows, {});
        QByteArray pdf;
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        labels::WritePdf(sheet, {}, 300, buffer, error);
        state.counters["pages"] = sheet.pageCount();
        state.counters["bytes"] = double(pdf.size());
    }
}
BENCHMARK(BM_ListToPdf)->Arg(1000)->Unit(benchmark::kMillisecond);

// Rows to labels to ZPL bytes for a label printer at 203 dpi, as code39 --labels --zpl does it (without the
// file write).
void BM_ListToZpl(benchmark::State& state)
{
    const auto [stock, rows] = PartNumbersOnLb060(state.range(0));
    QString error;
    labels::FillOptions options;
    options.dpi = labels::kDefaultZplDpi;
    options = labels::ForZpl(options);
    for (auto _ : state) {
        const labels::Sheet sheet = labels::FillSheet(stock, rows, options);
        QByteArray zpl;
        QBuffer buffer(&zpl);
        buffer.open(QIODevice::WriteOnly);
        labels::WriteZpl(sheet, {}, buffer, error);
        state.counters["bytes"] = double(zpl.size());
    }
}
BENCHMARK(BM_ListToZpl)->Arg(1000)->Unit(benchmark::kMillisecond);

// Every label of a 1,000-row sheet read back as --verify does, on every core; per_label is the wall time
// per label.
void BM_ReadSheetBack(benchmark::State& state)
{
    labels::StockLibrary library;
    QString error;
    const labels::Stock stock = library.stocks()[library.find(QStringLiteral("lb060"), error)];
    QStringList rows;
    for (int i = 0; i < 1000; ++i)
        rows.append(QStringLiteral("INV-2026-%1").arg(i, 4, 10, QLatin1Char('0')));
    const labels::Sheet sheet = labels::FillSheet(stock, rows, {});
    for (auto _ : state) {
        const labels::SheetReading reading = labels::ReadSheetBack(sheet, {}, 300);
        state.counters["not_read"] = double(reading.notRead.size());
    }
    state.counters["per_label"] = benchmark::Counter(
        double(rows.size()), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ReadSheetBack)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
