// The report page in a real browser (headless Chromium): the study run as the preset runs it,
// and lorstudy on tables of one's own, each page opened, every figure loaded, no console
// error, no text of a figure over a plotted line, no markers over a curve, the four answers,
// the commands one a line, the link resolving; the figures of the tables that used to hide
// data, checked the same way. Screenshots stay in the build folder. Skipped where Chromium is
// missing, except in CI, which installs it. Then what lorreport refuses: inputs it cannot
// trust, each named, and no page.
#include "harness.hpp"

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
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
      // A curve a quarter or more of whose points lie under markers drawn after it.
      var dots = [];
      svg.querySelectorAll('circle').forEach(function (c) {
        dots.push({r: c.getBoundingClientRect(), el: c});
      });
      svg.querySelectorAll('polyline').forEach(function (pl) {
        var m = pl.getScreenCTM(), count = pl.points.numberOfItems, step = Math.max(1, count / 400 | 0);
        var under = 0, all = 0;
        for (var k = 0; k < count; k += step) {
          var p = pl.points.getItem(k), x = m.a * p.x + m.c * p.y + m.e, y = m.b * p.x + m.d * p.y + m.f;
          all++;
          for (var j = 0; j < dots.length; j++) {
            var r = dots[j].r;
            if (x >= r.left && x <= r.right && y >= r.top && y <= r.bottom &&
                (pl.compareDocumentPosition(dots[j].el) & Node.DOCUMENT_POSITION_FOLLOWING)) {
              under++;
              break;
            }
          }
        }
        if (all >= 20 && under * 4 >= all) out.push('markers over a curve in figure ' + n);
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
    document.querySelectorAll('table').forEach(function (t, n) {
      if (t.getBoundingClientRect().right > document.body.getBoundingClientRect().right + 1)
        out.push('table ' + n + ' wider than the page');
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

// The page in dir, as a user sees it: the four answers, the commands one a line, the link to
// the bound's derivation there, every figure loaded with nothing over its data.
void check_page(const fs::path& dir, const std::string& shot) {
    std::string html = read_file(dir / "index.html");
    for (const char* answer : {"id=\"which\"><b>Which method.", "id=\"rows\"><b>How many rows.",
                               "id=\"stored\"><b>Stored how.", "id=\"sure\"><b>How sure."})
        EXPECT_LT(html.find(answer), html.find("<svg")) << answer;
    EXPECT_NE(html.find("<b>fewest rows</b>"), std::string::npos);
    EXPECT_NE(html.find("<a href=\"bound.html\">"), std::string::npos);
    EXPECT_NE(read_file(dir / "bound.html").find("How sure is a bound"), std::string::npos);
    // The commands: eight lines, each a command of the suite's.
    std::size_t a = html.find("<pre id=\"commands\">"), b = html.find("</pre>", a);
    ASSERT_NE(b, std::string::npos);
    std::string commands = html.substr(a + 19, b - a - 19) + "\n";
    int lines = 0;
    for (std::size_t at = 0, end; (end = commands.find('\n', at)) != std::string::npos;
         at = end + 1) {
        std::string line = commands.substr(at, end - at);
        EXPECT_TRUE(line.rfind("gplot --data ", 0) == 0 || line.rfind("lorconv --data ", 0) == 0 ||
                    line.rfind("lorgen --tol ", 0) == 0 || line == "lorreport")
            << line;
        ++lines;
    }
    EXPECT_EQ(lines, 8);
    // Self-contained: nothing fetched, no script.
    for (const char* fetch : {"src=", "<link", "<script"})
        EXPECT_EQ(html.find(fetch), std::string::npos) << fetch;
    EXPECT_EQ(findings(dir, html), "figures 5");
    RunResult r = chromium(dir, dir / "index.html", "--screenshot=" TESTS_DIR "/" + shot);
    EXPECT_EQ(r.status, 0);
}

TEST(Report, PagesInChromium) {
    if (chromium_missing())
        GTEST_SKIP() << "chromium is not installed";
    {
        SCOPED_TRACE("the study");
        TempDir d;
        fs::path work = d.path / "study";
        RunOpts o;
        o.timeout_s = 900; // every method at 1e-8: minutes under the sanitizers
        RunResult s =
            run_opts(d.path,
                     {"/usr/bin/cmake", "-DBIN=" + fs::path(bin("lorgen")).parent_path().string(),
                      "-DWORK=" + work.string(), "-P", SOURCE_DIR "/cmake/study.cmake"},
                     "", o);
        ASSERT_EQ(s.status, 0) << s.err;
        // The page's path is the study's last line.
        std::string last = (work / "index.html").string() + "\n";
        ASSERT_GE(s.out.size(), last.size());
        EXPECT_EQ(s.out.substr(s.out.size() - last.size()), last);
        check_page(work, "report.png");
    }
    // Tables of one's own: lorstudy in their folder.
    for (const std::vector<std::string>& t :
         std::vector<std::vector<std::string>>{{"2000", "3", "4"}, {"40", "-5", "12"}}) {
        SCOPED_TRACE("lorgen " + t[0] + " " + t[1] + " " + t[2]);
        TempDir d;
        RunResult g = run_args(d.path, {bin("lorgen"), t[0], t[1], t[2]});
        write_file(d.path / "loren.out", g.out);
        RunOpts o;
        o.timeout_s = 900;
        RunResult s = run_opts(d.path, {bin("lorstudy")}, "", o);
        ASSERT_EQ(s.status, 0) << s.err;
        std::string html = read_file(d.path / "index.html");
        EXPECT_NE(html.find("On loren.out, " + t[0] + " rows on [" + t[1] + ", " + t[2] + "]"),
                  std::string::npos);
        check_page(d.path, "report-" + t[0] + ".png");
    }
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

namespace {
// The 64-bit FNV-1a checksum as 16 hex digits, written here as the companions state it: a
// planted figure can be given its companion's checksum, as a hostile user could.
std::string fnv(const std::string& bytes) {
    unsigned long long h = 0xcbf29ce484222325ULL;
    for (char c : bytes) {
        h ^= static_cast<unsigned char>(c);
        h *= 0x100000001b3ULL;
    }
    char b[17];
    std::snprintf(b, sizeof b, "%016llx", h);
    return b;
}

// svg, with `what` put after its root element's start, into dir's errsp.svg, and errsp.dat's
// checksum and size made to match it.
void plant(const fs::path& dir, const std::string& what) {
    std::string svg = read_file(dir / "errsp.svg"), data = read_file(dir / "errsp.dat");
    svg.insert(svg.find(">\n", svg.find("<svg")) + 2, what);
    write_file(dir / "errsp.svg", svg);
    auto set = [&](const std::string& key, const std::string& v) {
        std::size_t a = data.find("\n" + key + " ") + key.size() + 2, b = data.find('\n', a);
        data.replace(a, b - a, v);
    };
    set("figure-checksum", fnv(svg));
    set("figure-bytes", std::to_string(svg.size()));
    write_file(dir / "errsp.dat", data);
}
} // namespace

// What lorreport cannot trust: each case named on standard error with its cause, status 1,
// and no page; a FIFO and a 3 GB figure neither hang it nor fill its memory.
TEST(Report, RefusesWhatItCannotTrust) {
    TempDir study;
    RunResult g = run_args(study.path, {bin("lorgen")});
    write_file(study.path / "loren.out", g.out);
    RunOpts o;
    o.timeout_s = 900;
    ASSERT_EQ(run_opts(study.path, {bin("lorstudy")}, "", o).status, 0);
    struct Case {
        const char* what;
        std::function<void(const fs::path&)> make;
        const char* said;
    };
    const std::vector<Case> cases = {
        {"a script planted in a figure",
         [](const fs::path& d) { plant(d, "<script>document.title='ran'</script>\n"); },
         "lorreport: errsp.svg is refused: the element <script>; no page written\n"},
        {"an event attribute",
         [](const fs::path& d) { plant(d, "<rect width=\"1\" height=\"1\" onload=\"x()\"/>\n"); },
         "lorreport: errsp.svg is refused: the attribute onload; no page written\n"},
        {"an outside reference",
         [](const fs::path& d) { plant(d, "<rect fill=\"url(http://x/y#z)\"/>\n"); },
         "lorreport: errsp.svg is refused: a reference in fill; no page written\n"},
        {"a figure of another run",
         [](const fs::path& d) { write_file(d / "errq.svg", read_file(d / "errsp.svg")); },
         "lorreport: errq.svg is not the figure of errq.dat: another run made it; no page "
         "written\n"},
        {"another loren.out",
         [](const fs::path& d) {
             write_file(d / "loren.out", run_args(d, {bin("lorgen"), "57", "0", "14"}).out);
         },
         "lorreport: errsp.dat was made from another loren.out than the one here; no page "
         "written\n"},
        {"no loren.out", [](const fs::path& d) { fs::remove(d / "loren.out"); },
         "lorreport: cannot read loren.out, which errsp.dat was made from; no page written\n"},
        {"an empty companion", [](const fs::path& d) { write_file(d / "compare.dat", ""); },
         "lorreport: compare.dat is not a companion the suite wrote: it is empty; no page "
         "written\n"},
        {"a companion without a field",
         [](const fs::path& d) {
             std::string t = read_file(d / "conv.dat");
             t.erase(t.find("clamped-ends "),
                     t.find('\n', t.find("clamped-ends ")) - t.find("clamped-ends ") + 1);
             write_file(d / "conv.dat", t);
         },
         "lorreport: conv.dat lacks the field clamped-ends; no page written\n"},
        {"a FIFO as a figure",
         [](const fs::path& d) {
             fs::remove(d / "errsp.svg");
             ASSERT_EQ(mkfifo((d / "errsp.svg").c_str(), 0600), 0);
         },
         "lorreport: errsp.svg is not a regular file; no page written\n"},
        {"a FIFO as loren.out",
         [](const fs::path& d) {
             fs::remove(d / "loren.out");
             ASSERT_EQ(mkfifo((d / "loren.out").c_str(), 0600), 0);
         },
         "lorreport: cannot read loren.out, which errsp.dat was made from; no page written\n"},
        {"a 3 GB figure", [](const fs::path& d) { fs::resize_file(d / "conv.svg", 3000000000ULL); },
         "lorreport: conv.svg is longer than 16777216 bytes; no page written\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir d;
        fs::copy(study.path, d.path, fs::copy_options::recursive);
        fs::remove(d.path / "index.html");
        c.make(d.path);
        RunOpts o;
        o.timeout_s = 20;
        // A 3 GB figure read whole would pass the limit; the sanitizers' own reservations do.
#if !defined(__SANITIZE_ADDRESS__)
        o.memory_mb = 512;
#endif
        RunResult r = run_opts(d.path, {bin("lorreport")}, "", o);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, c.said);
        EXPECT_FALSE(fs::exists(d.path / "index.html"));
    }
}
