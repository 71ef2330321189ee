// Shows the runs as the console reporter does and keeps, per benchmark, the
// median of its repetitions (or its single run), so a program can close with
// the ratios its goals are stated in.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace q3::bench {

class SummaryReporter : public benchmark::ConsoleReporter {
  public:
    struct Figures {
        double bytes_per_second = 0;
        double items_per_second = 0;
        double cpu_time = 0;  // per iteration, in the run's unit
        double real_time = 0;
    };
    using benchmark::ConsoleReporter::ConsoleReporter;

    void ReportRuns(const std::vector<Run>& runs) override {
        benchmark::ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred)
                continue;
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (run.run_type == Run::RT_Aggregate && !median)
                continue;
            std::string key = run.run_name.function_name;
            if (!run.run_name.args.empty())
                key += "/" + run.run_name.args;
            if (!median && medians_.count(key))
                continue;
            if (median)
                medians_.insert(key);
            Figures f;
            if (auto b = run.counters.find("bytes_per_second"); b != run.counters.end())
                f.bytes_per_second = b->second.value;
            if (auto i = run.counters.find("items_per_second"); i != run.counters.end())
                f.items_per_second = i->second.value;
            f.cpu_time = run.GetAdjustedCPUTime();
            f.real_time = run.GetAdjustedRealTime();
            figures_[key] = f;
        }
    }

    const Figures* Find(const std::string& key) const {
        auto it = figures_.find(key);
        return it == figures_.end() ? nullptr : &it->second;
    }

  private:
    std::map<std::string, Figures> figures_;
    std::set<std::string> medians_;
};

}  // namespace q3::bench
