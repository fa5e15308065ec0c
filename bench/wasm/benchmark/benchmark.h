// The few parts of Google Benchmark that the frame benchmarks use, for the
// WebAssembly build under Node.js, where the library is not to be had. Each
// benchmark runs for at least its minimum time; the report is Google Benchmark's
// console table: wall time and processor time per iteration, then the counters.
#pragma once

#include <emscripten/emscripten.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <regex>
#include <string>
#include <vector>

namespace benchmark {

// The process's processor time in seconds, as Node.js counts it (the C library's
// clock() here is wall time): Google Benchmark's CPU column, which a busy machine
// disturbs less than the wall time.
inline double ProcessorSeconds() {
    return EM_ASM_DOUBLE({
        const used = process.cpuUsage();
        return (used.user + used.system) / 1e6;
    });
}

enum TimeUnit { kMicrosecond };

class State {
public:
    State(int64_t argument, double minSeconds) : argument_(argument), minSeconds_(minSeconds) {}
    int64_t range(int index) const { return index == 0 ? argument_ : 0; }
    void SkipWithError(const char* message) { error_ = message; }
    std::map<std::string, double> counters;

    struct Iterator {
        State* state;
        bool operator!=(const Iterator&) const { return state->KeepRunning(); }
        void operator++() {}
        // A value with a destructor of its own, so an unused loop variable raises no warning.
        struct Value {
            ~Value() {}
        };
        Value operator*() const { return {}; }
    };
    Iterator begin() {
        wallStart_ = std::chrono::steady_clock::now();
        cpuStart_ = ProcessorSeconds();
        return {this};
    }
    Iterator end() { return {this}; }

    bool KeepRunning() {
        const double elapsed =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart_).count();
        if (elapsed < minSeconds_ || iterations_ == 0) {
            ++iterations_;
            return true;
        }
        wallSeconds_ = elapsed;
        cpuSeconds_ = ProcessorSeconds() - cpuStart_;
        return false;
    }
    int64_t iterations_ = 0;
    double wallSeconds_ = 0, cpuSeconds_ = 0;
    std::string error_;

private:
    int64_t argument_;
    double minSeconds_;
    std::chrono::steady_clock::time_point wallStart_;
    double cpuStart_ = 0;
};

struct Benchmark {
    std::string name;
    std::function<void(State&)> function;
    std::vector<int64_t> arguments;
    double minSeconds = 0.5;
    Benchmark* Unit(TimeUnit) { return this; }
    Benchmark* MinTime(double seconds) { return minSeconds = seconds, this; }
    Benchmark* Arg(int64_t argument) { return arguments.push_back(argument), this; }
};

inline std::vector<Benchmark*>& Registry() {
    static std::vector<Benchmark*> benchmarks;
    return benchmarks;
}

inline Benchmark* Register(const char* name, void (*function)(State&)) {
    Registry().push_back(new Benchmark{name, function, {}, 0.5});
    return Registry().back();
}

// Runs every benchmark whose name matches --benchmark_filter=REGEX (all without one).
inline int RunAll(int argc, char** argv) {
    std::regex filter(".*");
    for (int k = 1; k < argc; ++k) {
        const std::string argument = argv[k];
        if (argument.starts_with("--benchmark_filter=")) filter = std::regex(argument.substr(19));
    }
    for (Benchmark* b : Registry()) {
        const std::vector<int64_t> arguments = b->arguments.empty() ? std::vector<int64_t>{-1} : b->arguments;
        for (const int64_t argument : arguments) {
            // Named as Google Benchmark names it, and filtered by that name.
            const std::string name = b->name + (argument < 0 ? "" : "/" + std::to_string(argument)) +
                                     "/min_time:" + std::to_string(b->minSeconds).substr(0, 5);
            if (!std::regex_search(name, filter)) continue;
            State state(argument, b->minSeconds);
            b->function(state);
            if (!state.error_.empty()) {
                std::printf("%-50s ERROR: %s\n", name.c_str(), state.error_.c_str());
                continue;
            }
            const double n = static_cast<double>(state.iterations_);
            std::printf("%-50s %10.0f us %10.0f us %10lld", name.c_str(), 1e6 * state.wallSeconds_ / n,
                        1e6 * state.cpuSeconds_ / n, static_cast<long long>(state.iterations_));
            for (const auto& [counter, value] : state.counters) std::printf(" %s=%g", counter.c_str(), value);
            std::printf("\n");
        }
    }
    return 0;
}

}  // namespace benchmark

#define BENCHMARK_NAME_(line) karnoltBenchmark##line
#define BENCHMARK_NAME(line) BENCHMARK_NAME_(line)
#define BENCHMARK(function)                                                    \
    [[maybe_unused]] static ::benchmark::Benchmark* BENCHMARK_NAME(__LINE__) = \
        ::benchmark::Register(#function, function)
#define BENCHMARK_MAIN()                        \
    int main(int argc, char** argv) {           \
        return ::benchmark::RunAll(argc, argv); \
    }
