#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <fstream>

#include "PlatformTestSupport.hpp"
#include "main/SyncChart.hpp"

namespace pd::test {

namespace {

// Python's XML parser reads the picture: a malformed one fails here, and every point of
// the two lines must fall inside the plot area.
constexpr const char* checker = R"(
import sys, xml.etree.ElementTree as ET
ns = '{http://www.w3.org/2000/svg}'
root = ET.parse(sys.argv[1]).getroot()
l, t, r, b = map(float, sys.argv[2:6])
assert root.tag == ns + 'svg' and root.get('version') == '1.1'
points = [[tuple(map(float, p.split(','))) for p in pl.get('points').split()] for pl in root.iter(ns + 'polyline')]
outside = sum(1 for line in points for x, y in line if not (l <= x <= r and t <= y <= b))
xs = [x for x, _ in points[-1]] if points else []
print(len(points), sum(map(len, points)), outside, int(xs == sorted(xs)))
texts = [''.join(e.itertext()) for e in root.iter(ns + 'text')]
assert root.find(ns + 'title').text == texts[0]
print('|'.join(texts))
)";

// The checker's two lines: "<lines> <points> <outside> <ascending>", then every text, '|'-joined.
std::vector<std::string> check(const std::string& svg) {
    Scratch dir;
    std::ofstream(dir / "chart.svg") << svg;
    std::ofstream(dir / "check.py") << checker;
    using F = SyncChartFrame;
    const auto command = "/usr/bin/python3 " + dir / "check.py" + " " + dir / "chart.svg" + " " +
                         std::to_string(F::left) + " " + std::to_string(F::top) + " " +
                         std::to_string(F::right) + " " + std::to_string(F::bottom) + " 2>&1";
    std::string out;
    if (FILE* p = ::popen(command.c_str(), "r")) {
        char buf[4096];
        while (auto n = std::fread(buf, 1, sizeof buf, p)) out.append(buf, n);
        ::pclose(p);
    }
    auto lines = linesOf(out);
    lines.resize(2);
    return lines;
}

}  // namespace

TEST(SyncChartXml, EveryRunShapeIsWellFormedWithItsLinesInsideThePlotAndItsTitleAsText) {
    const std::int64_t t0 = 1'796'000'000;
    struct Case {
        const char* name;
        std::vector<SyncSample> samples;
        std::string summary;
        std::string mustShow;  // a text the picture holds
    };
    const std::vector<Case> cases = {
        {"no samples", {}, "0 0 0 1", "no samples"},
        {"one sample", {{t0, 1000, 1200, 8}}, "2 2 0 1", "height"},
        {"flat", {{t0, 500, 500, 3}, {t0 + 60, 500, 500, 3}, {t0 + 120, 500, 500, 3}}, "2 6 0 1", "500"},
        {"millions",
         {{t0, 2'500'000, 2'600'000, 8},
          {t0 + 3600, 2'550'000, 2'600'010, 8},
          {t0 + 7200, 2'600'010, 2'600'010, 8}},
         "2 6 0 1",
         "2,600,000"},
        {"clock set back",
         {{t0, 10, 20, 1}, {t0 + 600, 15, 20, 1}, {t0 + 300, 18, 20, 1}},
         "2 6 0 0",
         "0:10"},
        {"no peers", {{t0, 10, 90, 0}, {t0 + 30, 10, 90, 0}, {t0 + 60, 40, 90, 5}}, "2 6 0 1", "no peers"},
        {"extremes", {{t0, LLONG_MIN, -5, 0}, {t0 + 1, LLONG_MAX, LLONG_MAX, 1}}, "2 4 0 1", "headers"},
        {"one instant", {{t0, 7, 9, 2}, {t0, 8, 9, 2}}, "2 4 0 1", "0:00:00"},
    };
    // A coin name may hold markup characters, and a control character has no place in XML.
    const std::string title = "PACEDECK - <A&B> \"coin\" 'x'\x01";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto seen = check(syncChartSvg(c.samples, title));
        EXPECT_EQ(seen[0], c.summary) << seen[1];
        EXPECT_TRUE(seen[1].starts_with("PACEDECK - <A&B> \"coin\" 'x' |")) << seen[1];
        EXPECT_NE((seen[1] + "|").find("|" + c.mustShow + "|"), std::string::npos) << seen[1];
    }
}

}  // namespace pd::test
