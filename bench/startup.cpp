// Start-up: the time from the entry point to the first presented frame, and
// the game's pictures read by the engine beside libtiff's own RGBA reader.
//
//   Startup/tarvo     WinMain on the scripted backend (engine start, the
//                     game's 57 picture loads of 33 files, conversion to the
//                     screen format) up to the return of the first frame's
//                     presentation (the backend copies and hashes the frame).
//                     Static initialisation is not included.
//   Startup/libtiff   the same 57 loads, in the same order, with
//                     TIFFReadRGBAImage into a 32-bit raster, nothing else.
//   Pictures/tarvo    the 33 files once each through LoadTiff (read, then
//                     PrepareForScreen with the game's alpha mode).
//   Pictures/libtiff  the 33 files once each with TIFFReadRGBAImage.
//
// Files come from the page cache after the first run: this measures decoding,
// not the disk.
#include <benchmark/benchmark.h>
#include <tiffio.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/pixel_format.h"
#include "bench/frame_scene.h"
#include "file/data_path.h"
#include "image/image.h"
#include "image/tiff_image.h"
#include "tools/replay/replay_runner.h"

namespace {

struct Load {
    std::string name;  // as the game names it
    int alphaMode;
};

// The game's loads in the order initialize() makes them.
std::vector<Load> GameLoads() {
    std::vector<Load> loads{{"Images\\wall.tif", 1}, {"Images\\player_ship.tif", 1}, {"Images\\player_ship_boost.tif", 1}};
    for (int round = 0; round < 2; ++round) {
        for (int i = 1; i <= 3; ++i) loads.push_back({"Images\\player_ship_spawn" + std::to_string(i) + ".tif", 1});
        if (round == 0)
            for (int i = 1; i <= 6; ++i) loads.push_back({"Images\\player_ship_dest" + std::to_string(i) + ".tif", 1});
    }
    loads.push_back({"Images\\photon.tif", 3});
    for (const char* colour : {"blue", "green", "yellow"}) {
        loads.push_back({std::string("Images\\ship-") + colour + ".tif", 1});
        for (int i = 1; i <= 3; ++i) loads.push_back({std::string("Images\\") + colour + "_spawn" + std::to_string(i) + ".tif", 1});
        for (int i = 1; i <= 6; ++i) loads.push_back({"Images\\player_ship_dest" + std::to_string(i) + ".tif", 1});
        loads.push_back({"Images\\photon.tif", 3});
    }
    loads.push_back({"Images\\health.tif", 1});
    for (const char* name : {"tile", "health_bar_g", "health_bar_y", "health_bar_r", "health_bar_b"})
        loads.push_back({std::string("Images\\") + name + ".tif", 0});
    loads.push_back({"Images\\intro_text.tif", 1});
    loads.push_back({"Images\\end_text.tif", 1});
    return loads;
}

std::vector<Load> DistinctLoads() {
    std::vector<Load> distinct;
    for (const Load& load : GameLoads()) {
        bool seen = false;
        for (const Load& d : distinct) seen = seen || d.name == load.name;
        if (!seen) distinct.push_back(load);
    }
    return distinct;
}

// One picture through libtiff's RGBA interface; false when it failed.
bool ReadWithLibtiff(const std::string& name) {
    const std::string path = FindDataFile(name.c_str());
    TIFF* tif = TIFFOpen(path.c_str(), "r");
    if (tif == nullptr) return false;
    uint32_t w = 0, h = 0;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &w);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &h);
    auto* raster = static_cast<uint32_t*>(_TIFFmalloc(static_cast<tmsize_t>(w) * h * sizeof(uint32_t)));
    const bool ok = raster != nullptr && TIFFReadRGBAImage(tif, w, h, raster, 0) == 1;
    benchmark::DoNotOptimize(raster);
    _TIFFfree(raster);
    TIFFClose(tif);
    return ok;
}

void Check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "%s failed: are the pictures in Images/ (target `pictures`)?\n", what);
        std::exit(1);
    }
}

void StartupTarvo(benchmark::State& state) {
    ClaimEngine(EngineUser::kStartup);
    for (auto _ : state) {
        platform::ScriptedPlatform machine;
        std::chrono::steady_clock::time_point stop{};
        size_t presented = 0;
        const auto start = std::chrono::steady_clock::now();
        RunReplay(machine, {}, 1, [&](int) {
            stop = std::chrono::steady_clock::now();
            presented = machine.frames.size();
        });
        Check(presented == 1, "Startup/tarvo: presenting the first frame");
        state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
    }
    state.counters["pictures"] = static_cast<double>(GameLoads().size());
}

void StartupLibtiff(benchmark::State& state) {
    const std::vector<Load> loads = GameLoads();
    for (auto _ : state)
        for (const Load& load : loads) Check(ReadWithLibtiff(load.name), "TIFFReadRGBAImage");
    state.counters["pictures"] = static_cast<double>(loads.size());
}

void PicturesTarvo(benchmark::State& state) {
    const std::vector<Load> loads = DistinctLoads();
    // The screen format the game's engine sets up (5-6-5).
    SetPixelFormat(0xF800, 0x07E0, 0x001F);
    std::vector<Image> images(loads.size());
    for (auto _ : state) {
        for (size_t i = 0; i < loads.size(); ++i) {
            TiffImage reader;
            reader.LoadTiff(loads[i].name.c_str(), &images[i], loads[i].alphaMode);
            Check(images[i].data != nullptr, "LoadTiff");
        }
        benchmark::ClobberMemory();
    }
    state.counters["pictures"] = static_cast<double>(loads.size());
}

void PicturesLibtiff(benchmark::State& state) {
    const std::vector<Load> loads = DistinctLoads();
    for (auto _ : state)
        for (const Load& load : loads) Check(ReadWithLibtiff(load.name), "TIFFReadRGBAImage");
    state.counters["pictures"] = static_cast<double>(loads.size());
}

}  // namespace

void RegisterStartupBenchmarks() {
    TIFFSetWarningHandler(nullptr);
    benchmark::RegisterBenchmark("Startup/tarvo", StartupTarvo)->UseManualTime()->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("Startup/libtiff", StartupLibtiff)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("Pictures/tarvo", PicturesTarvo)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("Pictures/libtiff", PicturesLibtiff)->Unit(benchmark::kMicrosecond);
}
