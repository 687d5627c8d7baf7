// The settings file at its largest: 16 MiB of one-character lines ahead of the program's sections, so
// that every lookup has to pass them all. Measures what closing the main window costs (its eleven writes)
// and what starting it costs (its reads). Also the cost of the lock that every write takes.
#include "platform/Profile.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

const QString kSettings = QStringLiteral("Settings");

QByteArray LargestFile()
{
    const QByteArray sections =
        "[TipoftheDay]\r\nEnabled=1\r\nPosition=3\r\nMaximum=20\r\n[Settings]\r\nCount=1\r\n"
        "Left=100\r\nTop=100\r\nType=B\r\nFontSize=D\r\nPointSize=22\r\nData=ABC\r\n"
        "Checksum=0\r\nFullASCII=0\r\nLabelSize=4\r\nLabelExplain=1\r\n";
    QByteArray bytes;
    bytes.reserve(platform::kMaxProfileFileSize);
    while (bytes.size() + 3 + sections.size() <= platform::kMaxProfileFileSize)
        bytes.append("x\r\n");
    return bytes + sections;
}

struct File {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("kelmtips.ini"));
    explicit File(const QByteArray& bytes)
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            std::abort();
    }
};

// The main window's save on close.
void Save(const QString& file, int round)
{
    platform::WriteBool(QStringLiteral("TipoftheDay"), QStringLiteral("Enabled"), round % 2, file);
    platform::WriteInteger(kSettings, QStringLiteral("Left"), 100 + round, file);
    platform::WriteInteger(kSettings, QStringLiteral("Top"), 100 + round, file);
    platform::WriteString(kSettings, QStringLiteral("Type"), QStringLiteral("B"), file);
    platform::WriteString(kSettings, QStringLiteral("FontSize"), QStringLiteral("D"), file);
    platform::WriteString(kSettings, QStringLiteral("PointSize"), QStringLiteral("22"), file);
    platform::WriteString(kSettings, QStringLiteral("Data"), QStringLiteral("ABC%1").arg(round), file);
    platform::WriteBool(kSettings, QStringLiteral("Checksum"), round % 2, file);
    platform::WriteBool(kSettings, QStringLiteral("FullASCII"), false, file);
    platform::WriteInteger(kSettings, QStringLiteral("LabelSize"), 4, file);
    platform::WriteBool(kSettings, QStringLiteral("LabelExplain"), true, file);
}

// The main window's reads at start.
int Load(const QString& file)
{
    int sum = platform::SectionExists(QStringLiteral("Sizes"), file);
    sum += platform::SectionExists(QStringLiteral("TipoftheDay"), file);
    sum += platform::ReadBool(QStringLiteral("TipoftheDay"), QStringLiteral("Enabled"), true, file);
    sum += platform::SectionExists(kSettings, file);
    sum += platform::ReadInteger(kSettings, QStringLiteral("Left"), 0, file);
    sum += platform::ReadInteger(kSettings, QStringLiteral("Top"), 0, file);
    for (const char* key : {"Type", "FontSize", "PointSize", "Data"})
        sum += platform::GetPrivateProfileString(kSettings, QString::fromLatin1(key), {}, file).size();
    sum += platform::ReadBool(kSettings, QStringLiteral("Checksum"), false, file);
    sum += platform::ReadBool(kSettings, QStringLiteral("FullASCII"), false, file);
    sum += platform::ReadInteger(kSettings, QStringLiteral("LabelSize"), 4, file);
    sum += platform::ReadBool(kSettings, QStringLiteral("LabelExplain"), true, file);
    return sum;
}

void BM_CloseLargestFile(benchmark::State& state)
{
    File file(LargestFile());
    int round = 0;
    for (auto _ : state)
        Save(file.path, ++round);
}

void BM_StartLargestFile(benchmark::State& state)
{
    File file(LargestFile());
    for (auto _ : state)
        benchmark::DoNotOptimize(Load(file.path));
}

// The file as installed, a few hundred bytes: what every user pays per close.
void BM_CloseSmallFile(benchmark::State& state)
{
    File file("[TipoftheDay]\r\nEnabled=1\r\n[Settings]\r\nCount=1\r\n");
    int round = 0;
    for (auto _ : state)
        Save(file.path, ++round);
}

// What the lock beside the settings file adds to every write: taking and releasing it.
void BM_SettingsLock(benchmark::State& state)
{
    File file("[Settings]\r\n");
    for (auto _ : state) {
        QLockFile lock(file.path + QStringLiteral(".lock"));
        benchmark::DoNotOptimize(lock.tryLock(0));
    }
}

} // namespace

BENCHMARK(BM_SettingsLock)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CloseLargestFile)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_StartLargestFile)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_CloseSmallFile)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
