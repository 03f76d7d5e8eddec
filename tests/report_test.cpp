// The study's report page in a real browser (headless Chromium): the study run as the preset
// runs it, its page opened, every figure loaded, no console error, and no text of a figure
// over a plotted line; then the figures of the tables that used to hide data, checked the
// same way. Screenshots stay in the build folder. Skipped where Chromium is missing, except
// in CI, which installs it.
#include "harness.hpp"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {
// The check the browser runs once the page has loaded, its findings in <pre id="check">: the
// number of figures, then one line for each figure that is empty, each error the page met
// (resources, scripts, console.error) and each text of a figure whose box a polyline's
// segment crosses.
const char* checker = R"(<script>
(function () {
  var found = [];
  window.addEventListener('error', function (e) {
    found.push('error: ' + (e.message || (e.target && (e.target.src || e.target.href)) || '?'));
  }, true);
  var ce = console.error;
  console.error = function () {
    found.push('console: ' + Array.prototype.join.call(arguments, ' '));
    ce.apply(console, arguments);
  };
  // Whether segment a-b meets the rectangle r, by clipping (Liang-Barsky).
  function crosses(a, b, r) {
    var t0 = 0, t1 = 1, dx = b.x - a.x, dy = b.y - a.y;
    var p = [-dx, dx, -dy, dy], q = [a.x - r.left, r.right - a.x, a.y - r.top, r.bottom - a.y];
    for (var i = 0; i < 4; i++) {
      if (p[i] === 0) { if (q[i] < 0) return false; continue; }
      var t = q[i] / p[i];
      if (p[i] < 0) { if (t > t1) return false; if (t > t0) t0 = t; }
      else { if (t < t0) return false; if (t < t1) t1 = t; }
    }
    return true;
  }
  window.addEventListener('load', function () {
    var svgs = document.querySelectorAll('svg'), out = ['figures ' + svgs.length];
    svgs.forEach(function (svg, n) {
      var box = svg.getBoundingClientRect();
      if (box.width < 100 || box.height < 100) out.push('empty figure ' + n);
      var segs = [];
      svg.querySelectorAll('polyline').forEach(function (pl) {
        var m = pl.getScreenCTM(), prev = null;
        for (var k = 0; k < pl.points.numberOfItems; k++) {
          var p = pl.points.getItem(k);
          var q = {x: m.a * p.x + m.c * p.y + m.e, y: m.b * p.x + m.d * p.y + m.f};
          if (prev) segs.push([prev, q]);
          prev = q;
        }
      });
      svg.querySelectorAll('text').forEach(function (t) {
        var r = t.getBoundingClientRect();
        r = {left: r.left + 1, right: r.right - 1, top: r.top + 1, bottom: r.bottom - 1};
        for (var s = 0; s < segs.length; s++)
          if (crosses(segs[s][0], segs[s][1], r)) {
            out.push('overlap in figure ' + n + ': ' + t.textContent);
            break;
          }
      });
    });
    var pre = document.createElement('pre');
    pre.id = 'check';
    pre.textContent = out.concat(found).join('\n');
    document.body.appendChild(pre);
  });
})();
</script>
)";

// Whether chromium is missing; in CI, which installs it, that is a failure too.
bool chromium_missing() {
    bool missing = std::system("command -v chromium >/dev/null 2>&1") != 0;
    if (missing && std::getenv("CI") != nullptr)
        ADD_FAILURE() << "chromium is missing; .ci/run installs it";
    return missing;
}

// Chromium, headless, on the page at path with the given action (--dump-dom or
// --screenshot=FILE); as root it needs --no-sandbox.
RunResult chromium(const fs::path& dir, const fs::path& page, const std::string& action) {
    RunOpts o;
    o.timeout_s = 180;
    return run_opts(dir,
                    {"/usr/bin/chromium", "--headless", "--no-sandbox", "--disable-gpu",
                     "--disable-dev-shm-usage", "--hide-scrollbars", "--window-size=1100,9000",
                     "--virtual-time-budget=10000", action, "file://" + page.string()},
                    "", o);
}

// The page's findings, from Chromium's DOM of a copy with the checker in its head.
std::string findings(const fs::path& dir, const std::string& html) {
    std::string checked = html;
    std::size_t head = checked.find("<head>");
    checked.insert(head == std::string::npos ? 0 : head + 6, checker);
    fs::path page = dir / "checked.html";
    write_file(page, checked);
    RunResult r = chromium(dir, page, "--dump-dom");
    std::size_t a = r.out.find("<pre id=\"check\">"), b = r.out.find("</pre>", a);
    if (r.status != 0 || a == std::string::npos || b == std::string::npos)
        return "no findings (status " + std::to_string(r.status) + "): " + r.err.substr(0, 400);
    return r.out.substr(a + 16, b - a - 16);
}

// A page of the SVG figures in dir, inline, for the checker.
std::string page_of(const fs::path& dir, const std::vector<std::string>& figures) {
    std::string html = "<!DOCTYPE html><html><head><meta charset=\"utf-8\"></head><body>\n";
    for (const std::string& f : figures) {
        std::string svg = read_file(dir / f);
        html += svg.substr(svg.rfind("<?xml", 0) == 0 ? svg.find('\n') + 1 : 0);
    }
    return html + "</body></html>\n";
}
} // namespace

TEST(Report, StudyPageInChromium) {
    if (chromium_missing())
        GTEST_SKIP() << "chromium is not installed";
    TempDir d;
    fs::path work = d.path / "study";
    RunResult s = run_args(
        d.path, {"/usr/bin/cmake", "-DBIN=" + fs::path(bin("lorgen")).parent_path().string(),
                 "-DWORK=" + work.string(), "-P", SOURCE_DIR "/cmake/study.cmake"});
    ASSERT_EQ(s.status, 0) << s.err;
    // The page's path is the study's last line.
    std::string last = (work / "index.html").string() + "\n";
    ASSERT_GE(s.err.size(), last.size());
    EXPECT_EQ(s.err.substr(s.err.size() - last.size()), last);
    std::string html = read_file(work / "index.html");
    // It opens with the answer: both methods' largest errors, the orders, the rows for 1e-8.
    EXPECT_LT(html.find("Which method."), html.find("<svg"));
    EXPECT_NE(html.find("the natural cubic spline errs by at most <b>"), std::string::npos);
    EXPECT_NE(html.find("How the error shrinks."), std::string::npos);
    EXPECT_NE(html.find("Rows that keep each method within 1e-8 on [0, 7]"), std::string::npos);
    // Self-contained: nothing fetched, no script.
    for (const char* fetch : {"src=", "href=", "<link", "<script"})
        EXPECT_EQ(html.find(fetch), std::string::npos) << fetch;
    EXPECT_EQ(findings(work, html), "figures 5");
    RunResult shot = chromium(work, work / "index.html", "--screenshot=" TESTS_DIR "/report.png");
    EXPECT_EQ(shot.status, 0);
    EXPECT_TRUE(fs::exists(TESTS_DIR "/report.png"));
}

// The tables whose figures used to hide data: each one's three figures, and on [3, 4] the
// convergence figure too.
TEST(Report, FiguresNeverHideTheData) {
    if (chromium_missing())
        GTEST_SKIP() << "chromium is not installed";
    // The check itself finds a text over a line and a figure that does not load.
    {
        TempDir d;
        EXPECT_EQ(findings(d.path, "<html><head></head><body><svg width=\"300\" height=\"200\">"
                                   "<polyline points=\"0,50 300,50\" stroke=\"#000\"/>"
                                   "<text x=\"10\" y=\"55\">over</text></svg>"
                                   "<img src=\"nope.png\"></body></html>"),
                  "figures 1\noverlap in figure 0: over\nerror: file://" +
                      (d.path / "nope.png").string());
    }
    const std::vector<std::vector<std::string>> tables = {
        {"5"}, {"8", "-1000", "1000"}, {"300", "3", "4"}, {"1000000"}};
    std::string bin_dir = fs::path(bin("gplot")).parent_path().string();
    for (const std::vector<std::string>& t : tables) {
        std::string name = "lorgen";
        for (const std::string& a : t)
            name += " " + a;
        SCOPED_TRACE(name);
        TempDir d;
        std::vector<std::string> args = {bin("lorgen")};
        args.insert(args.end(), t.begin(), t.end());
        RunResult g = run_args(d.path, args);
        ASSERT_EQ(g.status, 0);
        write_file(d.path / "loren.out", g.out);
        for (const char* p : {"splerr", "quaderr"})
            ASSERT_EQ(run_in(d.path, bin(p), "-10000", bin_dir).status, 0) << p;
        ASSERT_EQ(run_args(d.path, {bin("gplot"), "loren.out", "errsp.out", "errq.out"}).status, 0);
        std::vector<std::string> figures = {"errsp.svg", "errq.svg", "compare.svg"};
        if (t.size() == 3 && t[1] == "3") {
            ASSERT_EQ(run_args(d.path, {bin("lorconv"), "8", "512", "3", "4"}).status, 0);
            figures.push_back("conv.svg");
        }
        EXPECT_EQ(findings(d.path, page_of(d.path, figures)),
                  "figures " + std::to_string(figures.size()));
    }
}
