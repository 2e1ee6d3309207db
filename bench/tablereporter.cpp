#include "tablereporter.h"

#include <cstdio>
#include <utility>

namespace {

std::string format(const char* pattern, double value) {
    char text[64];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

std::string milliseconds(double seconds) {
    return format("%.3f ms", seconds * 1e3);
}

double counter(const benchmark::BenchmarkReporter::Run& run, const char* name) {
    const auto found = run.counters.find(name);
    return found == run.counters.end() ? 0.0 : double(found->second.value);
}

// The value of "k:<n>" in a run's arguments ("k:3/pictures:10"), 0 without one.
int factor(const std::string& args) {
    const auto at = args.find("k:");
    return at == std::string::npos ? 0 : std::stoi(args.substr(at + 2));
}

} // namespace

TableReporter::TableReporter(std::vector<Peak> peaks) : peaks(std::move(peaks)) {}

bool TableReporter::ReportContext(const Context& context) {
    std::fprintf(stderr, "%d CPUs at %.0f MHz; measuring", context.cpu_info.num_cpus,
                 context.cpu_info.cycles_per_second / 1e6);
    return true;
}

void TableReporter::ReportRuns(const std::vector<Run>& runs) {
    for (const Run& run : runs) {
        if (run.error_occurred) {
            std::fprintf(stderr, "\n%s failed: %s\n", run.benchmark_name().c_str(),
                         run.error_message.c_str());
            ++failed;
            continue;
        }
        if (run.run_type != Run::RT_Aggregate || run.aggregate_name != "median")
            continue;
        Figure figure;
        figure.family = run.run_name.function_name;
        figure.k = factor(run.run_name.args);
        figure.args = run.run_name.args;
        figure.label = run.report_label.empty() ? run.benchmark_name() : run.report_label;
        figure.seconds =
            run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
        figure.touched = counter(run, "touched");
        figure.targetSeconds = counter(run, "target_ms") / 1e3;
        figure.cpuSeconds = counter(run, "cpu_ms") / 1e3;
        figure.bytes = counter(run, "bytes");
        if (figure.family == "copy" && figure.seconds > 0)
            bandwidth[figure.k] = figure.touched / figure.seconds;
        figures.push_back(figure);
        std::fprintf(stderr, ".");
    }
}

void TableReporter::printRow(const std::string& figure, const std::string& median,
                             const std::string& cpu, const std::string& bytes,
                             const std::string& bound, const std::string& ratio,
                             const std::string& target) const {
    std::printf("| %-44s | %11s | %11s | %9s | %11s | %9s | %9s |\n", figure.c_str(),
                median.c_str(), cpu.c_str(), bytes.c_str(), bound.c_str(), ratio.c_str(),
                target.c_str());
}

void TableReporter::printFigure(const Figure& figure) const {
    const std::string target =
        figure.targetSeconds > 0 ? "<= " + format("%g ms", figure.targetSeconds * 1e3) : "";
    const auto speed = bandwidth.find(figure.k);
    const std::string cpu = figure.cpuSeconds > 0 ? milliseconds(figure.cpuSeconds) : "";
    const std::string bytes = figure.bytes > 0 ? format("%.0f", figure.bytes) : "";
    if (figure.family == "copy") {
        printRow(figure.label, milliseconds(figure.seconds), "", "", "",
                 format("%.1f GB/s", figure.touched / figure.seconds / 1e9), "");
        return;
    }
    if (figure.touched <= 0 || speed == bandwidth.end()) {
        printRow(figure.label, milliseconds(figure.seconds), cpu, bytes, "", "", target);
        return;
    }
    const double bound = figure.touched / speed->second;
    printRow(figure.label, milliseconds(figure.seconds), cpu, bytes, milliseconds(bound),
             format("%.1f x", figure.seconds / bound), target);
}

void TableReporter::printRatio(const Figure& ours, const std::string& family,
                               const std::string& args, const std::string& label,
                               const std::string& target) const {
    for (const Figure& theirs : figures) {
        if (theirs.family != family || theirs.args != args || theirs.seconds <= 0)
            continue;
        const std::string cpu =
            theirs.cpuSeconds > 0 ? format("%.2f", ours.cpuSeconds / theirs.cpuSeconds) : "";
        printRow("  " + label, "", cpu, "", "", format("%.2f", ours.seconds / theirs.seconds),
                 target);
    }
}

void TableReporter::Finalize() {
    std::fprintf(stderr, "\n");
    printRow("figure", "median", "cpu", "bytes", "bound", "ratio", "target");
    std::printf("|%s|%s|%s|%s|%s|%s|%s|\n", std::string(46, '-').c_str(),
                std::string(13, '-').c_str(), std::string(13, '-').c_str(),
                std::string(11, '-').c_str(), std::string(13, '-').c_str(),
                std::string(11, '-').c_str(), std::string(11, '-').c_str());
    for (const Figure& figure : figures) {
        printFigure(figure);
        if (figure.family == "writeIcoFile")
            printRatio(figure, "convert", figure.args, "writeIcoFile / convert, " + figure.args,
                       figure.k == 3 ? "<= 0.5" : "");
        if (figure.family == "intake")
            printRatio(figure, "decode", figure.args, "intake / decode", "<= 1.25");
        if (figure.family == "platformSets" && figure.args == "all:1")
            printRatio(figure, "platformSets", "all:0", "--all / (.ico + .icns)", "<= 2");
    }
    for (const Peak& peak : peaks)
        printRow("peak resident memory, " + peak.what, format("%.1f MB", peak.megabytes), "", "",
                 "", "", peak.targetMegabytes > 0 ? format("<= %g MB", peak.targetMegabytes) : "");
    std::printf("\ncpu: processor time of one iteration, every thread and the programs it ran "
                "(ratio rows: ours over theirs); bytes: what it wrote. ");
    std::printf("bound: the bytes a figure must touch (each full pass over an image of c x c x 4 "
                "bytes) at the copy bandwidth of the same canvas; ratio: median / bound "
                "(for copy rows: bandwidth, read + write).\n");
}
