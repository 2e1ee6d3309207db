#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

// Prints one table at the end of a run: each figure's median beside its physical bound (the bytes
// it must touch at the copy bandwidth measured in the same run) and its target.
//
// Conventions the benchmarks follow: the label names the figure; the counter "touched" gives the
// bytes one iteration must touch; "target_ms" an optional target; "cpu_ms" the processor time of
// one iteration (every thread, and the processes it waited for); "bytes" the bytes it wrote; the
// argument "k" the canvas factor; the family "copy" measures bandwidth over one canvas of factor k
// (k 0: a buffer far beyond every cache); "convert" is ImageMagick's tool, set beside
// "writeIcoFile" of the same k; "intake" is set beside "decode".
class TableReporter : public benchmark::BenchmarkReporter {
public:
    // Peak resident memory measured in a process of its own, for the end of the table.
    struct Peak {
        std::string what;
        double megabytes = 0;
        double targetMegabytes = 0;
    };

    explicit TableReporter(std::vector<Peak> peaks);

    bool ReportContext(const Context& context) override;
    void ReportRuns(const std::vector<Run>& runs) override;
    void Finalize() override;
    // How many runs failed (a benchmark that skipped with an error): the program then fails.
    int failures() const { return failed; }

private:
    struct Figure {
        std::string family;
        std::string args;
        int k = 0;
        std::string label;
        double seconds = 0;
        double touched = 0;
        double targetSeconds = 0;
        double cpuSeconds = 0;
        double bytes = 0;
    };

    std::vector<Peak> peaks;
    std::vector<Figure> figures;
    std::map<int, double> bandwidth;
    int failed = 0;

    void printRow(const std::string& figure, const std::string& median, const std::string& cpu,
                  const std::string& bytes, const std::string& bound, const std::string& ratio,
                  const std::string& target) const;
    void printFigure(const Figure& figure) const;
    // A row of `ours` over the figure of `family` with the arguments `args`, when that ran.
    void printRatio(const Figure& ours, const std::string& family, const std::string& args,
                    const std::string& label, const std::string& target) const;
};
