#include "main/SyncChart.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

#include "core/NumberFormat.hpp"

namespace pd {

namespace {

using F = SyncChartFrame;

// Dark enough on white for text-sized detail (contrast above 7:1 and 5:1), and told apart
// by the dash as well as the hue.
constexpr std::string_view heightColour = "#1a4d99";
constexpr std::string_view headersColour = "#a34700";
constexpr std::string_view noPeersFill = "#f6d5d0";
constexpr std::string_view inkColour = "#222222";
constexpr std::string_view gridColour = "#d8d8d8";
constexpr std::string_view failedColour = "#b3261e";
constexpr std::string_view failedFill = "#e8a39d";

std::string num(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.1f", v);
    return buf;
}

// A block number as people read it: "1,250,000".
std::string blockLabel(double v) {
    const double magnitude = std::fabs(v);
    if (magnitude >= 1e18) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.3g", v);
        return buf;
    }
    const auto digits = formatMasked(static_cast<std::uint64_t>(std::llround(magnitude)), 0, "###,##0", {});
    return v < 0 ? "-" + digits : digits;
}

// "1:05" or, for steps under a minute, "1:05:30": hours are not wrapped at a day.
std::string elapsedLabel(double seconds, bool withSeconds) {
    const auto s = static_cast<long long>(std::llround(seconds));
    char buf[48];
    if (withSeconds)
        std::snprintf(buf, sizeof buf, "%lld:%02lld:%02lld", s / 3600, s / 60 % 60, s % 60);
    else
        std::snprintf(buf, sizeof buf, "%lld:%02lld", s / 3600, s / 60 % 60);
    return buf;
}

// 1, 2 or 5 times a power of ten, at least `rough`.
double niceStep(double rough) {
    if (!(rough > 0)) return 1;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (m * power >= rough) return m * power;
    return 10 * power;
}

// Clock-friendly steps, then whole days.
double timeStep(double span) {
    constexpr std::array<double, 16> steps{5,   10,   15,   30,   60,    120,   300,   600,
                                           900, 1800, 3600, 7200, 10800, 21600, 43200, 86400};
    const double rough = span / 7;
    for (double s : steps)
        if (s >= rough) return s;
    return 86400 * niceStep(rough / 86400);
}

struct Range {
    double lo = 0, hi = 1;
    double at(double v, double from, double to) const { return from + (v - lo) / (hi - lo) * (to - from); }
};

class Svg {
  public:
    Svg& operator<<(std::string_view s) {
        out_ += s;
        return *this;
    }
    void text(double x, double y, std::string_view anchor, std::string_view body,
              std::string_view extra = "") {
        *this << "<text x=\"" << num(x) << "\" y=\"" << num(y) << "\" text-anchor=\"" << anchor << "\""
              << extra << ">" << xmlEscaped(body) << "</text>\n";
    }
    void line(double x1, double y1, double x2, double y2, std::string_view colour,
              std::string_view extra = "") {
        *this << "<line x1=\"" << num(x1) << "\" y1=\"" << num(y1) << "\" x2=\"" << num(x2) << "\" y2=\""
              << num(y2) << "\" stroke=\"" << colour << "\"" << extra << "/>\n";
    }
    void rect(double x, double y, double w, double h, std::string_view fill, std::string_view extra = "") {
        *this << "<rect x=\"" << num(x) << "\" y=\"" << num(y) << "\" width=\"" << num(w) << "\" height=\""
              << num(h) << "\" fill=\"" << fill << "\"" << extra << "/>\n";
    }
    void circle(double cx, double cy, double r, std::string_view fill) {
        *this << "<circle cx=\"" << num(cx) << "\" cy=\"" << num(cy) << "\" r=\"" << num(r) << "\" fill=\""
              << fill << "\"/>\n";
    }
    // A standalone document: a white page with its title on top.
    void open(std::string_view title) {
        *this << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                 "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"800\" height=\"400\" "
                 "viewBox=\"0 0 800 400\" font-family=\"DejaVu Sans, Arial, sans-serif\" font-size=\"12\" "
                 "fill=\""
              << inkColour << "\">\n";
        *this << "<title>" << xmlEscaped(title) << "</title>\n";
        rect(0, 0, F::width, F::height, "#ffffff");
        text(F::left, 22, "start", title, " font-size=\"15\" font-weight=\"bold\"");
    }
    std::string close() {
        *this << "</svg>\n";
        return std::move(out_);
    }

  private:
    std::string out_;
};

void legend(Svg& svg, bool noPeers) {
    double x = F::right - (noPeers ? 300 : 190);
    const double y = 42;
    auto entry = [&](std::string_view colour, std::string_view dash, std::string_view name) {
        svg.line(x, y - 4, x + 28, y - 4, colour, std::string(" stroke-width=\"2.5\"") + std::string(dash));
        svg.text(x + 34, y, "start", name);
        x += 100;
    };
    entry(heightColour, "", "height");
    entry(headersColour, " stroke-dasharray=\"7 4\"", "headers");
    if (noPeers) {
        svg.rect(x, y - 11, 28, 12, noPeersFill);
        svg.text(x + 34, y, "start", "no peers");
    }
}

std::string points(const std::vector<SyncSample>& samples, long long SyncSample::*field, const Range& time,
                   const Range& blocks) {
    std::string out;
    for (const auto& s : samples) {
        if (!out.empty()) out += ' ';
        out += num(time.at(double(s.unixSeconds), F::left, F::right)) + ',' +
               num(blocks.at(double(s.*field), F::bottom, F::top));
    }
    return out;
}

}  // namespace

std::string xmlEscaped(std::string_view text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&apos;";
                break;
            default:
                // Control characters are not allowed in XML 1.0 at all.
                out += static_cast<unsigned char>(c) < 0x20 ? ' ' : c;
        }
    }
    return out;
}

std::string syncChartSvg(const std::vector<SyncSample>& samples, std::string_view title) {
    Svg svg;
    svg.open(title);
    svg.text(18, (F::top + F::bottom) / 2, "middle", "block number",
             " transform=\"rotate(-90 18 " + num((F::top + F::bottom) / 2) + ")\"");

    if (samples.empty()) {
        svg.rect(F::left, F::top, F::right - F::left, F::bottom - F::top, "none",
                 " stroke=\"" + std::string(inkColour) + "\"");
        svg.text((F::left + F::right) / 2, (F::top + F::bottom) / 2, "middle", "no samples",
                 " font-size=\"16\"");
        svg.text((F::left + F::right) / 2, F::height - 20, "middle", "elapsed time (h:mm)");
        return svg.close();
    }

    // Time runs from the earliest poll to the latest whatever their order in the file; a
    // single instant is given a minute so that it stands at the left edge.
    const auto [tMin, tMax] = std::minmax_element(
        samples.begin(), samples.end(), [](auto& a, auto& b) { return a.unixSeconds < b.unixSeconds; });
    Range time{double(tMin->unixSeconds), double(tMax->unixSeconds)};
    if (time.hi <= time.lo) time.hi = time.lo + 60;

    double vMin = double(samples.front().height), vMax = vMin;
    for (const auto& s : samples) {
        vMin = std::min({vMin, double(s.height), double(s.headers)});
        vMax = std::max({vMax, double(s.height), double(s.headers)});
    }
    // Whole blocks only, so a flat run gets a scale one block high rather than none.
    const double step = std::max(1.0, niceStep((vMax - vMin) / 5));
    Range blocks{std::floor(vMin / step) * step, std::ceil(vMax / step) * step};
    if (blocks.hi <= blocks.lo) blocks.hi = blocks.lo + step;

    // Shaded spans without peers go under everything else: from the first poll of a run of
    // polls with none to the next poll with some (or a thin band at the end), one rectangle
    // a run so that no seams show between polls.
    bool anyNoPeers = false;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        if (samples[i].peers != 0) continue;
        anyNoPeers = true;
        std::size_t last = i;
        while (last + 1 < samples.size() && samples[last + 1].peers == 0) ++last;
        const std::size_t until = std::min(last + 1, samples.size() - 1);
        double from = F::right, to = F::left;
        for (std::size_t k = i; k <= until; ++k) {
            const double x = time.at(double(samples[k].unixSeconds), F::left, F::right);
            from = std::min(from, x);
            to = std::max(to, x);
        }
        from = std::min(from, F::right - 3);
        to = std::max(to, from + 3);
        svg.rect(from, F::top, to - from, F::bottom - F::top, noPeersFill);
        i = last;
    }

    // Block axis: grid lines and labels at each step.
    const int blockTicks = int(std::llround((blocks.hi - blocks.lo) / step));
    for (int i = 0; i <= blockTicks; ++i) {
        const double v = blocks.lo + i * step;
        const double y = blocks.at(v, F::bottom, F::top);
        svg.line(F::left, y, F::right, y, gridColour);
        svg.text(F::left - 6, y + 4, "end", blockLabel(v));
    }
    // Time axis: elapsed time since the earliest poll.
    const double tStep = timeStep(time.hi - time.lo);
    const bool withSeconds = tStep < 60;
    for (double t = 0; t <= time.hi - time.lo + 1e-9; t += tStep) {
        const double x = time.at(time.lo + t, F::left, F::right);
        svg.line(x, F::top, x, F::bottom, gridColour);
        svg.line(x, F::bottom, x, F::bottom + 5, inkColour);
        svg.text(x, F::bottom + 18, "middle", elapsedLabel(t, withSeconds));
    }
    svg.rect(F::left, F::top, F::right - F::left, F::bottom - F::top, "none",
             " stroke=\"" + std::string(inkColour) + "\"");
    svg.text((F::left + F::right) / 2, F::height - 24, "middle",
             std::string("elapsed time (") + (withSeconds ? "h:mm:ss" : "h:mm") + ") since " +
                 utcStamp(tMin->unixSeconds) + " (UTC)");

    const auto headers = points(samples, &SyncSample::headers, time, blocks);
    const auto height = points(samples, &SyncSample::height, time, blocks);
    svg << "<polyline fill=\"none\" stroke=\"" << headersColour
        << "\" stroke-width=\"2.5\" stroke-dasharray=\"7 4\" stroke-linejoin=\"round\" points=\"" << headers
        << "\"/>\n";
    svg << "<polyline fill=\"none\" stroke=\"" << heightColour
        << "\" stroke-width=\"2.5\" stroke-linejoin=\"round\" points=\"" << height << "\"/>\n";
    // A single poll has no line to draw: mark it.
    if (samples.size() == 1) {
        const auto& s = samples.front();
        const double x = time.at(double(s.unixSeconds), F::left, F::right);
        for (auto [v, colour] : {std::pair{s.headers, headersColour}, std::pair{s.height, heightColour}})
            svg.circle(x, blocks.at(double(v), F::bottom, F::top), 4, colour);
    }
    legend(svg, anyNoPeers);
    return svg.close();
}

namespace {

// "12-08": a weekly run is told by its day; the year is in the title.
std::string dayLabel(std::int64_t unixSeconds) {
    return utcStamp(unixSeconds).substr(5, 5);
}

// The run time's scale is the right-hand one: the legend names its unit.
void runHistoryLegend(Svg& svg, bool anyFailed, bool withSeconds) {
    double x = F::right - (anyFailed ? 470 : 350);
    const double y = 42;
    svg.rect(x, y - 11, 24, 12, heightColour);
    svg.text(x + 30, y, "start", "blocks downloaded");
    x += 150;
    svg.line(x, y - 5, x + 28, y - 5, headersColour, " stroke-width=\"2.5\" stroke-dasharray=\"7 4\"");
    svg.circle(x + 14, y - 5, 3.5, headersColour);
    svg.text(x + 34, y, "start", withSeconds ? "run time (h:mm:ss, right)" : "run time (h:mm, right)");
    x += 200;
    if (anyFailed) {
        svg.rect(x, y - 11, 24, 12, failedFill, " stroke=\"" + std::string(failedColour) + "\"");
        svg.text(x + 30, y, "start", "failed run", " fill=\"" + std::string(failedColour) + "\"");
    }
}

}  // namespace

std::string runHistoryChartSvg(const std::vector<RunRecord>& runs, std::string_view title) {
    Svg svg;
    svg.open(title);
    svg.text(18, (F::top + F::bottom) / 2, "middle", "blocks downloaded",
             " transform=\"rotate(-90 18 " + num((F::top + F::bottom) / 2) + ")\"");
    const auto frame = [&svg] {
        svg.rect(F::left, F::top, F::right - F::left, F::bottom - F::top, "none",
                 " stroke=\"" + std::string(inkColour) + "\"");
    };
    if (runs.empty()) {
        frame();
        svg.text((F::left + F::right) / 2, (F::top + F::bottom) / 2, "middle", "no runs",
                 " font-size=\"16\"");
        return svg.close();
    }

    // Blocks on the left from zero; a run that lost blocks or never knew them has no bar.
    long long most = 0;
    std::int64_t longest = 0;
    for (const auto& r : runs) {
        most = std::max(most, r.downloaded.value_or(0));
        longest = std::max(longest, r.runSeconds);
    }
    const double step = std::max(1.0, niceStep(double(most) / 5));
    const Range blocks{0, std::max(step, std::ceil(double(most) / step) * step)};
    const double tStep = timeStep(std::max<double>(double(longest), 60));
    const Range time{0, std::max(tStep, std::ceil(double(longest) / tStep) * tStep)};
    const bool withSeconds = tStep < 60;
    for (int i = 0; i <= int(std::llround(blocks.hi / step)); ++i) {
        const double y = blocks.at(i * step, F::bottom, F::top);
        svg.line(F::left, y, F::right, y, gridColour);
        svg.text(F::left - 6, y + 4, "end", blockLabel(i * step));
    }
    for (double t = 0; t <= time.hi + 1e-9; t += tStep)
        svg.text(F::right + 6, time.at(t, F::bottom, F::top) + 4, "start", elapsedLabel(t, withSeconds));

    // One slot a run, oldest on the left; the dates thin out so that they never overlap.
    const double slot = (F::right - F::left) / double(runs.size());
    const std::size_t every = std::max<std::size_t>(1, (runs.size() + 11) / 12);
    std::string timeLine;
    bool anyFailed = false;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        const auto& r = runs[i];
        const double mid = F::left + slot * (double(i) + 0.5);
        const double width = std::max(2.0, slot * 0.6);
        const bool failed = !r.succeeded();
        anyFailed = anyFailed || failed;
        double top = F::bottom;
        if (r.downloaded && *r.downloaded > 0) {
            top = blocks.at(double(*r.downloaded), F::bottom, F::top);
            svg.rect(mid - width / 2, top, width, F::bottom - top, failed ? failedFill : heightColour,
                     failed ? " stroke=\"" + std::string(failedColour) + "\"" : "");
        }
        // A failure is marked above its bar, or above the axis without one: a cross in the
        // failure's colour.
        if (failed) {
            const double y = std::max(F::top + 8, top - 12);
            svg.line(mid - 5, y - 5, mid + 5, y + 5, failedColour, " stroke-width=\"2.5\"");
            svg.line(mid - 5, y + 5, mid + 5, y - 5, failedColour, " stroke-width=\"2.5\"");
        }
        if (i % every == 0 || i + 1 == runs.size()) {
            svg.line(mid, F::bottom, mid, F::bottom + 5, inkColour);
            svg.text(mid, F::bottom + 18, "middle", dayLabel(r.start));
        }
        if (!timeLine.empty()) timeLine += ' ';
        timeLine += num(mid) + ',' + num(time.at(double(r.runSeconds), F::bottom, F::top));
    }
    frame();
    svg << "<polyline fill=\"none\" stroke=\"" << headersColour
        << "\" stroke-width=\"2.5\" stroke-dasharray=\"7 4\" stroke-linejoin=\"round\" points=\"" << timeLine
        << "\"/>\n";
    for (std::size_t i = 0; i < runs.size(); ++i)
        svg.circle(F::left + slot * (double(i) + 0.5), time.at(double(runs[i].runSeconds), F::bottom, F::top),
                   3.5, headersColour);
    svg.text((F::left + F::right) / 2, F::height - 24, "middle",
             "runs from " + utcStamp(runs.front().start) + " to " + utcStamp(runs.back().start) + " (UTC)");
    runHistoryLegend(svg, anyFailed, withSeconds);
    return svg.close();
}

}  // namespace pd
