// The field book file: reading and writing grow linearly with the book, for books of the sizes
// a survey reaches (up to a million points) and for hostile ones (unknown members, many GIS
// themes).
#include "core/FieldBook.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

namespace {

// A book of \p points GPS points as a receiver records them, a thousand to a group, every
// point linked to an entity of a GIS theme whose attributes hold its name and a value.
std::unique_ptr<gpsbook::FieldBook> surveyBook(std::int64_t points) {
    auto fb = std::make_unique<gpsbook::FieldBook>();
    gis::CTheme* theme = fb->gis.CreateTheme(kit::String("Pozzetti"), gis::ENT_TYPE_POINT);
    gis::CDBTable* table = fb->gis.GetTable(theme);
    fb->gis.AddField(table, "Nome", gis::FieldDataType::Text, gis::FIELD_KIND_POINT_NAME);
    fb->gis.AddField(table, "Profondita", gis::FieldDataType::Double, 0);
    CGrpGps* group = nullptr;
    for (std::int64_t i = 0; i < points; ++i) {
        if (i % 1000 == 0) {
            group = fb->book.AddGrp("Rilievo " + std::to_string(i / 1000));
            group->SetProjection("EPSG:6707");
            group->SetGeocCeFaMis(4468851.2369, 895117.5430, 4447121.6357);
        }
        CPunGps* p = group->AddPun();
        p->SetNome("P" + std::to_string(i));
        p->SetCode("CIGLIO STRADA");
        p->SetAltAnt(2.0);
        p->SetGeo(0.7764839281390925 + 1e-7 * static_cast<double>(i % 997),
                  0.19768990958048216 + 1e-7 * static_cast<double>(i % 991),
                  110.575 + 0.001 * static_cast<double>(i % 1000));
        p->SetCoordXY(684989.4162 + static_cast<double>(i % 1000),
                      4928859.1533 + static_cast<double>(i / 1000));
        p->SetCoordZ(63.412);
        p->SetPdop(1.9);
        p->SetGdop(2.4);
        p->SetPosCov_xx(0.0001f);
        p->SetPosCov_yy(0.0001f);
        p->SetPosCov_zz(0.0004f);
        p->SetCodeMask(EGN_CODE_IL);
        gis::CEnt* ent = fb->gis.CreateEnt(theme);
        gis::CEntVert* vertex =
            fb->gis.AddEntVert(fb->gis.AddEntPart(ent), {p->GetCoordX(), p->GetCoordY(), 63.412});
        kit::CPolyValue depth(1.25);
        fb->gis.SetRowValue(fb->gis.GetRow(ent), 1, depth);
        p->SetEntVert(vertex);
    }
    return fb;
}

std::string benchFile(const char* name) {
    return (std::filesystem::temp_directory_path() / name).string();
}

} // namespace

static void BM_SaveSurveyBook(benchmark::State& state) {
    std::unique_ptr<gpsbook::FieldBook> fb = surveyBook(state.range(0));
    const std::string path = benchFile("gpsbook-bench-save.gpsbook.json");
    for (auto _ : state) {
        gpsbook::SaveResult saved = gpsbook::writeFieldBook(path, *fb, true);
        if (!saved.ok()) state.SkipWithError(saved.message.c_str());
    }
    std::error_code ec;
    const auto bytes = std::filesystem::file_size(path, ec);
    state.counters["bytes_per_point"] =
        static_cast<double>(bytes) / static_cast<double>(state.range(0));
    std::filesystem::remove(path, ec);
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_SaveSurveyBook)
    ->Arg(100000)
    ->Arg(1000000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

static void BM_OpenSurveyBook(benchmark::State& state) {
    const std::string path = benchFile("gpsbook-bench-open.gpsbook.json");
    {
        std::unique_ptr<gpsbook::FieldBook> fb = surveyBook(state.range(0));
        gpsbook::SaveResult saved = gpsbook::writeFieldBook(path, *fb, true);
        if (!saved.ok()) {
            state.SkipWithError(saved.message.c_str());
            return;
        }
    }
    for (auto _ : state) {
        gpsbook::LoadResult loaded = gpsbook::loadFieldBook(path);
        if (!loaded.ok()) state.SkipWithError(loaded.error.c_str());
        benchmark::DoNotOptimize(loaded);
    }
    std::error_code ec;
    std::filesystem::remove(path, ec);
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_OpenSurveyBook)
    ->Arg(100000)
    ->Arg(1000000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

static void BM_ParseBookWithManyThemes(benchmark::State& state) {
    std::string text = R"({"format":"gpsbook-field-book","version":1,"gisThemes":[)";
    for (std::int64_t i = 0; i < state.range(0); ++i)
        text += std::string(i > 0 ? "," : "") + R"({"name":"T)" + std::to_string(i) +
                R"(","entityType":1,"fields":[{"name":"a","type":"long"}]})";
    text += R"(],"groups":[]})";
    for (auto _ : state) {
        gpsbook::LoadResult result = gpsbook::parseFieldBook(text, "bench.json");
        if (!result.ok()) state.SkipWithError(result.error.c_str());
        benchmark::DoNotOptimize(result);
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ParseBookWithManyThemes)
    ->RangeMultiplier(10)
    ->Range(1000, 100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

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
