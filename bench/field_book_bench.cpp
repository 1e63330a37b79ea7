// The field book loader: its time grows linearly with the members of the file, known or not.
#include "core/FieldBook.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

static void BM_ParseFieldBookWithUnknownMembers(benchmark::State& state) {
    std::string text = R"({"format":"gpsbook-field-book","version":1,)";
    for (int i = 0; i < state.range(0); ++i)
        text += "\"u" + std::to_string(i) + "\":" + std::to_string(i) + ",";
    text += R"("groups":[{"name":"G","station":{"name":"B"}}]})";
    for (auto _ : state) {
        gpsbook::LoadResult result = gpsbook::parseFieldBook(text, "bench.json");
        if (!result.ok()) state.SkipWithError(result.error.c_str());
        benchmark::DoNotOptimize(result);
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ParseFieldBookWithUnknownMembers)
    ->RangeMultiplier(4)
    ->Range(1 << 10, 1 << 17)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

static void BM_ParseSampleFieldBook(benchmark::State& state) {
    std::string text;
    {
        gpsbook::LoadResult sample =
            gpsbook::loadFieldBook(GPS_SOURCE_DIR "/examples/sample.gpsbook.json");
        if (!sample.ok()) {
            state.SkipWithError(sample.error.c_str());
            return;
        }
        std::string error;
        text = gpsbook::fieldBookToText(sample.fieldBook->book, sample.fieldBook->context,
                                        &sample.fieldBook->drawings, &sample.fieldBook->gis, error);
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(gpsbook::parseFieldBook(text, "sample.json"));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ParseSampleFieldBook)->Unit(benchmark::kMicrosecond);
