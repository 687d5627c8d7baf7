// Throughput of the bar code builder: bytes of input data per second.
#include "code39/Code39.h"

#include <benchmark/benchmark.h>

namespace {

// Data of the given length: symbol characters only, or (for Full ASCII) mixed 7-bit text with
// small letters, punctuation and caret codes, the kind of text that expands.
std::u16string MakeData(std::size_t length, bool fullAscii)
{
    const std::u16string_view pattern = fullAscii ? u"Order #4711-b, qty 3 (^M) ok?" : u"ABCD4567 -./$+%XYZ";
    std::u16string data;
    while (data.size() < length)
        data += pattern;
    data.resize(length);
    if (fullAscii && data.back() == u'^')
        data.back() = u'x';
    return data;
}

void BM_Build(benchmark::State& state, bool fullAscii, bool checksum)
{
    const std::u16string data = MakeData(static_cast<std::size_t>(state.range(0)), fullAscii);
    for (auto _ : state) {
        code39::BuildResult result = code39::BuildBarCodeData(data, fullAscii, checksum);
        benchmark::DoNotOptimize(result);
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

// The storage-reusing form, as the command-line encoder calls it row after row.
void BM_BuildReuse(benchmark::State& state, bool fullAscii)
{
    const std::u16string data = MakeData(static_cast<std::size_t>(state.range(0)), fullAscii);
    code39::BuildResult result;
    for (auto _ : state) {
        benchmark::DoNotOptimize(code39::BuildBarCodeData(data, fullAscii, true, result));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

} // namespace

BENCHMARK_CAPTURE(BM_Build, plain, false, false)->Arg(8)->Arg(40)->Arg(4000);
BENCHMARK_CAPTURE(BM_Build, plain_checksum, false, true)->Arg(8)->Arg(40)->Arg(4000);
BENCHMARK_CAPTURE(BM_Build, full_ascii, true, false)->Arg(8)->Arg(40)->Arg(4000);
BENCHMARK_CAPTURE(BM_Build, full_ascii_checksum, true, true)->Arg(8)->Arg(40)->Arg(4000);
BENCHMARK_CAPTURE(BM_BuildReuse, plain, false)->Arg(8)->Arg(40)->Arg(4000);
BENCHMARK_CAPTURE(BM_BuildReuse, full_ascii, true)->Arg(8)->Arg(40)->Arg(4000);

BENCHMARK_MAIN();
