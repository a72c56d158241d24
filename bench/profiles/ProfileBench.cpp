// Loading a profile, reading every record and saving it, on the keyboard's factory profile (the
// largest one: 170 keys, 170 light-list entries, a 170-colour custom group). Target: under 2 ms
// per load-and-save.

#include "BuildPaths.h"
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

#include "profiles/FactoryKeyFunctions.h"
#include "profiles/KeyboardProfiledata.h"

namespace fs = std::filesystem;

namespace {

struct Workspace {
    fs::path folder;
    fs::path factory = fs::path(VX_SOURCE_DIR) / "DefaultData" / "keyboard.Json";
    fs::path profile;

    Workspace() {
        std::string pattern = (fs::temp_directory_path() / "vx-bench-XXXXXX").string();
        folder = ::mkdtemp(pattern.data());
        profile = folder / "2026_01_01_00_00_00_000.Json";
        fs::copy_file(factory, profile);
    }
    ~Workspace() {
        std::error_code ec;
        fs::remove_all(folder, ec);
    }
};

void ReadEveryRecord(CKeyboardProfiledata& data) {
    benchmark::DoNotOptimize(data.GetLightInfo());
    benchmark::DoNotOptimize(data.GetAudioLightInfo());
    benchmark::DoNotOptimize(data.GetLightList());
    benchmark::DoNotOptimize(data.GetKeyList());
    benchmark::DoNotOptimize(data.GetKeyboardSystemStages());
    const int32_t group = data.GetCustomGroupIndex();
    benchmark::DoNotOptimize(data.GetCustomLightColors(group, kKeyboardLogicalKeys));
}

void BM_KeyboardProfileLoadReadSave(benchmark::State& state) {
    Workspace ws;
    CKeyboardProfiledata data;
    data.SetDefaultPath(ws.factory);
    data.SetProfilePath(ws.profile);
    for (auto _ : state) {
        data.LoadProfile(ws.profile);
        ReadEveryRecord(data);
        data.SaveProfile();
    }
}
BENCHMARK(BM_KeyboardProfileLoadReadSave)->Unit(benchmark::kMillisecond);

void BM_KeyboardProfileLoadAndRead(benchmark::State& state) {
    Workspace ws;
    CKeyboardProfiledata data;
    data.SetDefaultPath(ws.factory);
    for (auto _ : state) {
        data.LoadProfile(ws.profile);
        ReadEveryRecord(data);
    }
}
BENCHMARK(BM_KeyboardProfileLoadAndRead)->Unit(benchmark::kMillisecond);

// The two halves of the file layer on the same document.
void BM_ParseKeyboardProfile(benchmark::State& state) {
    const std::string text =
        JsonFile().readjsonFile(fs::path(VX_SOURCE_DIR) / "DefaultData" / "keyboard.Json");
    for (auto _ : state) benchmark::DoNotOptimize(JsonFile::ParseText(text));
}
BENCHMARK(BM_ParseKeyboardProfile)->Unit(benchmark::kMillisecond);

void BM_StyleKeyboardProfile(benchmark::State& state) {
    const Json::Value document =
        JsonFile().ReadJson(fs::path(VX_SOURCE_DIR) / "DefaultData" / "keyboard.Json");
    for (auto _ : state) benchmark::DoNotOptimize(JsonFile::StyledText(document));
}
BENCHMARK(BM_StyleKeyboardProfile)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
