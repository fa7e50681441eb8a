// Time per 1920 x 1080 frame of the roll's composition at many offsets, against one memcpy of
// the same bytes (the limit) and a per-pixel modulo loop (what a naive renderer does).
#include "engine/roll_compose.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int32_t W = 1920, H = 1080;

struct TFrames {
    std::vector<uint32_t> Picture, Frame;
    std::vector<const uint8_t*> Src;
    std::vector<uint8_t*> Dst;
    TFrames() : Picture(size_t(W) * H), Frame(size_t(W) * H) {
        for (size_t i = 0; i < Picture.size(); ++i)
            Picture[i] = static_cast<uint32_t>(i * 2654435761u);
        for (int32_t y = 0; y < H; ++y) {
            Src.push_back(reinterpret_cast<const uint8_t*>(&Picture[size_t(y) * W]));
            Dst.push_back(reinterpret_cast<uint8_t*>(&Frame[size_t(y) * W]));
        }
    }
};

TFrames& Frames() {
    static TFrames frames;
    return frames;
}

// Offsets spread over the whole plane, so every piece layout and alignment comes up.
std::pair<int32_t, int32_t> OffsetFor(int64_t i) {
    return {static_cast<int32_t>((i * 397) % W), static_cast<int32_t>((i * 211) % H)};
}

void Composition(benchmark::State& state) {
    TFrames& f = Frames();
    int64_t i = 0;
    for (auto _ : state) {
        const auto [ix, iy] = OffsetFor(i++);
        ComposeFrame(f.Dst.data(), f.Src.data(), W, H, ix, iy);
        benchmark::DoNotOptimize(f.Frame.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * int64_t(W) * H * 4);
}

void Memcpy(benchmark::State& state) {
    TFrames& f = Frames();
    for (auto _ : state) {
        std::memcpy(f.Frame.data(), f.Picture.data(), size_t(W) * H * 4);
        benchmark::DoNotOptimize(f.Frame.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * int64_t(W) * H * 4);
}

void NaiveModulo(benchmark::State& state) {
    TFrames& f = Frames();
    int64_t i = 0;
    for (auto _ : state) {
        const auto [ix, iy] = OffsetFor(i++);
        for (int32_t y = 0; y < H; ++y)
            for (int32_t x = 0; x < W; ++x)
                f.Frame[size_t(y) * W + x] = f.Picture[size_t((y + iy) % H) * W + (x + ix) % W];
        benchmark::DoNotOptimize(f.Frame.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * int64_t(W) * H * 4);
}

BENCHMARK(Composition)->Unit(benchmark::kMillisecond);
BENCHMARK(Memcpy)->Unit(benchmark::kMillisecond);
BENCHMARK(NaiveModulo)->Unit(benchmark::kMillisecond);

// Keeps each benchmark's real time per frame for the ratios printed at the end.
class TRecordingReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        // With repetitions the median stands for the benchmark; otherwise its one run.
        for (const Run& run : runs) {
            const std::string& name = run.run_name.function_name;
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                Median[name] = run.GetAdjustedRealTime();
            else if (run.run_type == Run::RT_Iteration)
                Single[name] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    double Ms(const std::string& name) { return Median.count(name) ? Median[name] : Single[name]; }
    std::map<std::string, double> Median, Single;
};

} // namespace

int main(int argc, char** argv) {
    // Repeated and interleaved by default, so a busy machine affects all three alike.
    std::vector<char*> args(argv, argv + argc);
    char repetitions[] = "--benchmark_repetitions=7";
    char interleave[] = "--benchmark_enable_random_interleaving=true";
    char reportAggregates[] = "--benchmark_report_aggregates_only=true";
    args.insert(args.begin() + 1, {repetitions, interleave, reportAggregates});
    argc = static_cast<int>(args.size());
    argv = args.data();
    benchmark::Initialize(&argc, argv);
    TRecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double compose = reporter.Ms("Composition"), copy = reporter.Ms("Memcpy"),
                 naive = reporter.Ms("NaiveModulo");
    if (compose > 0 && copy > 0 && naive > 0) {
        std::printf("\n%d x %d frame: composition %.3f ms, memcpy %.3f ms, naive modulo %.3f ms\n",
                    W, H, compose, copy, naive);
        std::printf("composition reaches %.0f %% of the memcpy speed; %.1f times the naive loop\n",
                    100.0 * copy / compose, naive / compose);
    }
    benchmark::Shutdown();
    return 0;
}
