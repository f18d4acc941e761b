// bench_report: gathers the rows the benchmarks appended to a CSV file (one
// per run) into a summary per case (median and spread over the runs), and
// writes it as a Markdown report, a CSV file and an SVG chart of upload
// throughput per line speed beside the floor and the line rate.
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace {

const char* const kUsage =
    "Usage: bench_report RUNS.csv OUTDIR [--note FILE]...\n"
    "Writes OUTDIR/report.md, OUTDIR/summary.csv and OUTDIR/upload-throughput.svg from the\n"
    "rows the benchmarks wrote with --csv, and prints the table. Each --note file is\n"
    "copied into the report under \"Conditions\".\n";

struct Row {
    std::string operation, label;
    int speed = 0;
    bool ok = false;
    double payload = 0, pcBytes = 0, camBytes = 0, measured = 0, floor = 0, ratio = 0, bps = 0, share = 0, cpu = 0,
           cpuShare = 0, rss = 0, emuCpu = 0, replay = -1;
};

struct Summary {
    std::string operation, label;
    int speed = 0;
    int runs = 0;
    int failed = 0;
    double payload = 0, pcBytes = 0, camBytes = 0;
    double measured = 0, floor = 0, ratio = 0, ratioMin = 0, ratioMax = 0, bps = 0, share = 0, cpu = 0,
           cpuShare = 0, cpuShareMax = 0, rss = 0, emuCpu = 0;
    int replays = 0;
    double replayRatio = 0, aboveReplay = 0; // medians; aboveReplay as a share of the floor
};

std::vector<std::string> SplitCsv(const std::string& line)
{
    std::vector<std::string> cells;
    std::stringstream in(line);
    std::string cell;
    while (std::getline(in, cell, ','))
        cells.push_back(cell);
    return cells;
}

bool ReadRows(const std::string& path, std::vector<Row>* rows)
{
    std::ifstream in(path);
    if (!in)
        return false;
    std::string line;
    std::getline(in, line); // header
    while (std::getline(in, line)) {
        const std::vector<std::string> c = SplitCsv(line);
        if (c.size() < 17)
            continue;
        Row r;
        r.operation = c[0];
        r.label = c[1];
        r.speed = std::atoi(c[2].c_str());
        r.ok = c[4] == "1";
        double* fields[] = {&r.payload, &r.pcBytes, &r.camBytes, &r.measured, &r.floor, &r.ratio,
                            &r.bps,     &r.share,   &r.cpu,      &r.cpuShare, &r.rss,   &r.emuCpu};
        for (size_t i = 0; i < 12; ++i)
            *fields[i] = std::atof(c[5 + i].c_str());
        if (c.size() > 17)
            r.replay = std::atof(c[17].c_str());
        rows->push_back(r);
    }
    return true;
}

double Median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 == 1 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2.0;
}

int OperationOrder(const std::string& op)
{
    return op == "upload" ? 0 : op == "listing" ? 1 : op == "connect" ? 2 : 3;
}

int LabelOrder(const std::string& label)
{
    static const char* const kOrder[] = {"2KB", "100KB", "500KB", "first-run", "stored"};
    for (int i = 0; i < 5; ++i) {
        if (label == kOrder[i])
            return i;
    }
    return 9;
}

std::vector<Summary> Summarise(const std::vector<Row>& rows)
{
    std::map<std::tuple<int, int, std::string, int>, std::vector<const Row*>> groups;
    for (const Row& r : rows)
        groups[{OperationOrder(r.operation), LabelOrder(r.label), r.label, r.speed}].push_back(&r);
    std::vector<Summary> out;
    for (const auto& [key, group] : groups) {
        Summary s;
        s.operation = group.front()->operation;
        s.label = group.front()->label;
        s.speed = group.front()->speed;
        s.runs = static_cast<int>(group.size());
        // The figures come from the runs that did what they were asked; a
        // failed run's time and throughput describe something else.
        std::vector<const Row*> good;
        for (const Row* r : group) {
            s.failed += r->ok ? 0 : 1;
            if (r->ok)
                good.push_back(r);
        }
        if (good.empty()) {
            out.push_back(s);
            continue;
        }
        auto col = [&](double Row::*field) {
            std::vector<double> v;
            for (const Row* r : good)
                v.push_back(r->*field);
            return v;
        };
        s.payload = Median(col(&Row::payload));
        s.pcBytes = Median(col(&Row::pcBytes));
        s.camBytes = Median(col(&Row::camBytes));
        s.measured = Median(col(&Row::measured));
        s.floor = Median(col(&Row::floor));
        const std::vector<double> ratios = col(&Row::ratio);
        s.ratio = Median(ratios);
        s.ratioMin = *std::min_element(ratios.begin(), ratios.end());
        s.ratioMax = *std::max_element(ratios.begin(), ratios.end());
        s.bps = Median(col(&Row::bps));
        s.share = Median(col(&Row::share));
        s.cpu = Median(col(&Row::cpu));
        const std::vector<double> shares = col(&Row::cpuShare);
        s.cpuShare = Median(shares);
        s.cpuShareMax = *std::max_element(shares.begin(), shares.end());
        const std::vector<double> rss = col(&Row::rss);
        s.rss = *std::max_element(rss.begin(), rss.end());
        s.emuCpu = Median(col(&Row::emuCpu));
        std::vector<double> replayRatios, above;
        for (const Row* r : good) {
            if (r->replay > 0 && r->floor > 0) {
                replayRatios.push_back(r->replay / r->floor);
                above.push_back((r->measured - r->replay) / r->floor);
            }
        }
        s.replays = static_cast<int>(replayRatios.size());
        s.replayRatio = Median(replayRatios);
        s.aboveReplay = Median(above);
        out.push_back(s);
    }
    return out;
}

std::string Format(const char* format, double a)
{
    char text[64];
    std::snprintf(text, sizeof text, format, a);
    return text;
}

std::string Table(const std::vector<Summary>& all)
{
    std::string t =
        "| operation | case | bit/s | runs (ok) | measured ms | floor ms | ratio (median) | ratio min-max | payload B/s | "
        "share of line rate | CPU ms | CPU share | peak RSS KB | emulator CPU ms | replay ratio | program above replay |\n"
        "|---|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n";
    for (const Summary& s : all) {
        if (s.failed == s.runs) {
            t += "| " + s.operation + " | " + s.label + " | " + std::to_string(s.speed) + " | " + std::to_string(s.runs) +
                 " | all runs failed | | | | | | | | | | | |\n";
            continue;
        }
        const bool hasPayload = s.payload > 0;
        t += "| " + s.operation + " | " + s.label + " | " + std::to_string(s.speed) + " | " +
             std::to_string(s.runs - s.failed) + (s.failed > 0 ? " (+" + std::to_string(s.failed) + " failed)" : "") + " | " + Format("%.1f", s.measured) +
             " | " + Format("%.1f", s.floor) + " | " + Format("%.4f", s.ratio) + (s.ratio > 1.02 ? " **>1.02**" : "") +
             " | " + Format("%.4f", s.ratioMin) + "-" + Format("%.4f", s.ratioMax) + " | " +
             (hasPayload ? Format("%.0f", s.bps) : "-") + " | " + (hasPayload ? Format("%.1f %%", 100 * s.share) : "-") +
             " | " + Format("%.1f", s.cpu) + " | " + Format("%.1f %%", 100 * s.cpuShare) + " | " +
             Format("%.0f", s.rss) + " | " + (s.emuCpu >= 0 ? Format("%.0f", s.emuCpu) : "-") + " | " +
             (s.replays > 0 ? Format("%.4f", s.replayRatio) : "-") + " | " +
             (s.replays > 0 ? Format("%+.2f %%", 100 * s.aboveReplay) : "-") + " |\n";
    }
    return t;
}

bool WriteSummaryCsv(const std::string& path, const std::vector<Summary>& all)
{
    std::ofstream out(path);
    out << "operation,case,speed,runs,failed,payload_bytes,bytes_pc_to_camera,bytes_camera_to_pc,measured_ms,floor_ms,"
           "ratio_median,ratio_min,ratio_max,payload_Bps,line_share,cpu_ms,cpu_share,cpu_share_max,peak_rss_kb,"
           "emulator_cpu_ms,replay_ratio,above_replay\n";
    for (const Summary& s : all) {
        char line[512];
        std::snprintf(line, sizeof line,
                      "%s,%s,%d,%d,%d,%.0f,%.0f,%.0f,%.2f,%.2f,%.4f,%.4f,%.4f,%.1f,%.4f,%.2f,%.4f,%.4f,%.0f,%.1f,%.4f,%.4f\n",
                      s.operation.c_str(), s.label.c_str(), s.speed, s.runs, s.failed, s.payload, s.pcBytes, s.camBytes,
                      s.measured, s.floor, s.ratio, s.ratioMin, s.ratioMax, s.bps, s.share, s.cpu, s.cpuShare,
                      s.cpuShareMax, s.rss, s.emuCpu, s.replays > 0 ? s.replayRatio : 0.0,
                      s.replays > 0 ? s.aboveReplay : 0.0);
        out << line;
    }
    return static_cast<bool>(out);
}

// Grouped bars, one group per line speed: the line rate, then for each
// upload size its floor throughput and the measured one.
bool WriteSvg(const std::string& path, const std::vector<Summary>& all)
{
    std::vector<int> speeds;
    std::vector<std::string> sizes;
    for (const Summary& s : all) {
        if (s.operation != "upload")
            continue;
        if (std::find(speeds.begin(), speeds.end(), s.speed) == speeds.end())
            speeds.push_back(s.speed);
        if (std::find(sizes.begin(), sizes.end(), s.label) == sizes.end())
            sizes.push_back(s.label);
    }
    std::sort(speeds.begin(), speeds.end());
    auto find = [&](int speed, const std::string& label) -> const Summary* {
        for (const Summary& s : all) {
            if (s.operation == "upload" && s.speed == speed && s.label == label)
                return &s;
        }
        return nullptr;
    };
    double top = 1;
    for (int speed : speeds)
        top = std::max(top, speed / 10.0);
    const int bars = 1 + 2 * static_cast<int>(sizes.size());
    const double barW = 14, groupGap = 30, left = 70, chartH = 300, topM = 40, bottomM = 60;
    const double groupW = bars * barW + groupGap;
    const double width = left + static_cast<double>(std::max<size_t>(speeds.size(), 1)) * groupW + 200;
    const double height = topM + chartH + bottomM;
    static const char* const kLineColour = "#9e9e9e";
    static const char* const kFloorColours[] = {"#c6dbef", "#9ecae1", "#6baed6"};
    static const char* const kMeasuredColours[] = {"#fdd0a2", "#fd8d3c", "#d94801"};
    std::ofstream out(path);
    char buf[512];
    std::snprintf(buf, sizeof buf,
                  "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%.0f\" height=\"%.0f\" font-family=\"sans-serif\" "
                  "font-size=\"11\">\n<rect width=\"100%%\" height=\"100%%\" fill=\"white\"/>\n"
                  "<text x=\"%.0f\" y=\"20\" font-size=\"14\">Upload throughput per line speed (bytes/s): line rate, "
                  "floor and measured</text>\n",
                  width, height, left);
    out << buf;
    const double base = topM + chartH;
    for (int i = 0; i <= 4; ++i) {
        const double v = top * i / 4.0;
        const double y = base - chartH * i / 4.0;
        std::snprintf(buf, sizeof buf,
                      "<line x1=\"%.0f\" y1=\"%.1f\" x2=\"%.0f\" y2=\"%.1f\" stroke=\"#e0e0e0\"/>\n"
                      "<text x=\"%.0f\" y=\"%.1f\" text-anchor=\"end\">%.0f</text>\n",
                      left, y, width - 200, y, left - 6, y + 4, v);
        out << buf;
    }
    auto bar = [&](double x, double value, const char* colour, const std::string& title) {
        const double h = chartH * std::min(value, top) / top;
        std::snprintf(buf, sizeof buf,
                      "<rect x=\"%.1f\" y=\"%.1f\" width=\"%.1f\" height=\"%.1f\" fill=\"%s\"><title>%s: %.0f B/s</title>"
                      "</rect>\n",
                      x, base - h, barW - 2, h, colour, title.c_str(), value);
        out << buf;
    };
    for (size_t g = 0; g < speeds.size(); ++g) {
        const int speed = speeds[g];
        double x = left + static_cast<double>(g) * groupW + groupGap / 2;
        bar(x, speed / 10.0, kLineColour, "line rate " + std::to_string(speed));
        x += barW;
        for (size_t k = 0; k < sizes.size(); ++k) {
            const Summary* s = find(speed, sizes[k]);
            const double floorBps = s != nullptr && s->floor > 0 ? s->payload * 1000.0 / s->floor : 0;
            bar(x, floorBps, kFloorColours[k % 3], sizes[k] + " floor");
            x += barW;
            bar(x, s != nullptr ? s->bps : 0, kMeasuredColours[k % 3], sizes[k] + " measured");
            x += barW;
        }
        std::snprintf(buf, sizeof buf, "<text x=\"%.1f\" y=\"%.1f\" text-anchor=\"middle\">%d bit/s</text>\n",
                      left + static_cast<double>(g) * groupW + groupGap / 2 + bars * barW / 2, base + 18, speed);
        out << buf;
    }
    double ly = topM + 10;
    const double lx = width - 190;
    auto legend = [&](const char* colour, const std::string& text) {
        std::snprintf(buf, sizeof buf,
                      "<rect x=\"%.0f\" y=\"%.0f\" width=\"12\" height=\"12\" fill=\"%s\"/>"
                      "<text x=\"%.0f\" y=\"%.0f\">%s</text>\n",
                      lx, ly, colour, lx + 18, ly + 10, text.c_str());
        out << buf;
        ly += 18;
    };
    legend(kLineColour, "line rate (bit/s / 10)");
    for (size_t k = 0; k < sizes.size(); ++k) {
        legend(kFloorColours[k % 3], sizes[k] + " floor");
        legend(kMeasuredColours[k % 3], sizes[k] + " measured");
    }
    std::snprintf(buf, sizeof buf,
                  "<text x=\"%.0f\" y=\"%.0f\" fill=\"#555\">Throughput = program bytes / time of the whole upload "
                  "(free memory, count, transfer, action 11, ENQ, count).</text>\n</svg>\n",
                  left, height - 12);
    out << buf;
    return static_cast<bool>(out);
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> positional;
    std::vector<std::string> notes;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (a == "--note" && i + 1 < argc) {
            notes.push_back(argv[++i]);
            continue;
        }
        positional.push_back(a);
    }
    if (positional.size() != 2) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    std::vector<Row> rows;
    if (!ReadRows(positional[0], &rows) || rows.empty()) {
        std::fprintf(stderr, "bench_report: no runs in %s\n", positional[0].c_str());
        return 1;
    }
    const std::vector<Summary> all = Summarise(rows);
    const std::string dir = positional[1];
    std::string report = "# Benchmark report\n\n"
                         "Each operation ran over the real termios serial code against `camera-emulator` on a "
                         "pseudo-terminal. *floor* is the least time the protocol allows for exactly the traffic of "
                         "that run: the wire time of every byte each way at the speed it was sent (10 bits a byte), "
                         "the fixed pauses (WaitMs, DelayCalibrate, the 1 ms gaps inside a split packet), read "
                         "time-outs that ended with nothing, and the camera's configured delays (answer delay, ENQ "
                         "and readiness). *ratio* = measured / floor; median over the runs, with the spread. "
                         "Throughput is payload bytes (the program file, or the directory records) per second of the "
                         "whole operation; *share of line rate* divides it by bit/s / 10. CPU is this process's user "
                         "+ system time over the operation (getrusage); the emulator's own CPU time is listed apart. A run that "
                         "did not complete its operation counts as failed and is left out of the figures. *replay "
                         "ratio*: the same line played back to a fresh emulator by a bare client (write, wait out the "
                         "wire time, sleep in poll() for the answer; no protocol code), over the floor: what the "
                         "pseudo-terminal and this machine's wake-ups cost by themselves. *program above replay*: "
                         "(measured - replay) / floor, the program's own share.\n\n";
    report += Table(all);
    for (const Summary& s : all) {
        if (s.operation == "upload" && s.label == "500KB" && s.speed == 230400 && s.failed < s.runs)
            report += "\nCPU during the 500 KB upload at 230400 bit/s: " + Format("%.1f %%", 100 * s.cpuShare) +
                      " of wall time (median; highest run " + Format("%.1f %%", 100 * s.cpuShareMax) + ").\n";
    }
    report += "\n![upload throughput](upload-throughput.svg)\n";
    if (!notes.empty()) {
        report += "\n## Conditions\n\n";
        for (const std::string& n : notes) {
            std::ifstream in(n);
            std::stringstream text;
            text << in.rdbuf();
            report += text.str() + "\n";
        }
    }
    std::ofstream(dir + "/report.md") << report;
    const bool ok = WriteSummaryCsv(dir + "/summary.csv", all) && WriteSvg(dir + "/upload-throughput.svg", all);
    std::fputs(report.c_str(), stdout);
    std::printf("\nwritten: %s/report.md, %s/summary.csv, %s/upload-throughput.svg\n", dir.c_str(), dir.c_str(),
                dir.c_str());
    return ok ? 0 : 1;
}
