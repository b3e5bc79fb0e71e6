// The layer order of the tree: a folder of src/ includes only from itself and the folders below
// it, and the engine folders use no Qt; the demo portal uses only the engine's text, web,
// portal and analysis folders; the fuzz targets only what builds without Qt; nothing in src/ or
// the demo portal includes the benchmarks, the fuzz targets or the tests.
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <unistd.h>

namespace fundlens {
namespace {

namespace fs = std::filesystem;

// Folders of src/ -> level; folders on one level may not include each other.
const std::map<std::string, int>& Levels() {
    static const std::map<std::string, int> levels{
        {"text", 0},    {"web", 1},    {"portal", 2},    {"analysis", 3}, {"store", 4},
        {"shell", 5},   {"runs", 6},   {"chart", 7},     {"lists", 8},    {"detail", 8},
        {"compare", 8}, {"update", 8}, {"watchlist", 8}, {"basket", 8},   {"app", 9},
    };
    return levels;
}

// The highest level whose folders link no Qt.
constexpr int LastPlainLevel = 4; // store

// The files of a Qt folder that the Qt-free fuzz build compiles: they include no Qt either.
const std::set<std::string>& PlainFilesOfQtFolders() {
    static const std::set<std::string> files{
        "chart/chart_geometry.h",     "chart/chart_geometry.cpp", "chart/readout_geometry.h",
        "chart/readout_geometry.cpp", "chart/periods.h",          "chart/periods.cpp"};
    return files;
}

// Folders beside src/: what each may include (besides itself) and whether it may use Qt.
struct Outside {
    std::string folder;
    std::set<std::string> mayInclude; // "*": any folder of src/ and the demo portal
    bool qt;
};
const std::vector<Outside>& OutsideFolders() {
    static const std::vector<Outside> outside{
        // The demo portal draws its chart images with QtGui, never the program's windows.
        {"demo-portal", {"text", "web", "portal", "analysis"}, true},
        {"fuzz", {"text", "web", "portal", "analysis", "store"}, false},
        {"bench", {"*", "support"}, true},
    };
    return outside;
}

// Folders nothing in src/ or the demo portal may include.
const std::set<std::string>& Leaves() {
    static const std::set<std::string> leaves{"bench", "fuzz", "support", "tests"};
    return leaves;
}

struct Include {
    std::string file;
    int line;
    std::string target;
};

std::vector<Include> IncludesOf(const fs::path& file) {
    static const std::regex pattern(R"(^\s*#\s*include\s*[<"]([^>"]+)[>"])");
    std::vector<Include> includes;
    std::ifstream in(file);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        std::smatch match;
        if (std::regex_search(line, match, pattern))
            includes.push_back({file.string(), number, match[1]});
    }
    return includes;
}

// The project folder an include names ("shell/controls.h" -> "shell"); empty for others.
std::string FolderOf(const std::string& target) {
    const std::size_t slash = target.find('/');
    if (slash == std::string::npos)
        return {};
    const std::string folder = target.substr(0, slash);
    const bool known = Levels().count(folder) || folder == "demo-portal" || Leaves().count(folder);
    return known ? folder : std::string();
}

bool IsQtInclude(const std::string& target) {
    return target.starts_with("Q") || target.starts_with("qt");
}

bool IsSource(const fs::path& path) {
    const std::string ext = path.extension().string();
    return ext == ".h" || ext == ".cpp";
}

template <class Check>
void ForEachInclude(const fs::path& dir, Check check) {
    if (!fs::exists(dir))
        return;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        if (!IsSource(entry.path()))
            continue;
        for (const Include& include : IncludesOf(entry.path()))
            check(include, include.file + ":" + std::to_string(include.line) + ": ");
    }
}

// A folder of src/ including `target` (a folder name), by the levels.
bool SrcMayInclude(const std::string& folder, const std::string& target) {
    if (target.empty() || target == folder)
        return true;
    if (Leaves().count(target))
        return false;
    if (target == "demo-portal")
        return folder == "app";
    return Levels().at(target) < Levels().at(folder);
}

bool OutsideMayInclude(const Outside& outside, const std::string& target) {
    if (target.empty() || target == outside.folder || outside.mayInclude.count(target))
        return true;
    return outside.mayInclude.count("*") && !Leaves().count(target);
}

// Every violation in the tree at `root` (holding src/ and the folders beside it), one line each.
std::vector<std::string> LayerViolations(const fs::path& root) {
    std::vector<std::string> violations;
    for (const auto& [folder, level] : Levels()) {
        const std::string name = folder;
        const int at = level;
        ForEachInclude(root / "src" / folder, [&](const Include& include,
                                                  const std::string& where) {
            const std::string relative = fs::relative(include.file, root / "src").generic_string();
            const bool plain = at <= LastPlainLevel || PlainFilesOfQtFolders().count(relative);
            if (plain && IsQtInclude(include.target))
                violations.push_back(where + "Qt in " + name);
            if (!SrcMayInclude(name, FolderOf(include.target)))
                violations.push_back(where + name + " includes " + include.target);
        });
    }
    for (const Outside& outside : OutsideFolders()) {
        ForEachInclude(
            root / outside.folder, [&](const Include& include, const std::string& where) {
                if (!outside.qt && IsQtInclude(include.target))
                    violations.push_back(where + "Qt in " + outside.folder);
                if (!OutsideMayInclude(outside, FolderOf(include.target)) &&
                    !PlainFilesOfQtFolders().count(include.target))
                    violations.push_back(where + outside.folder + " includes " + include.target);
            });
    }
    return violations;
}

TEST(Layers, NoFolderIncludesOneAboveItAndTheEngineHasNoQt) {
    const std::vector<std::string> violations = LayerViolations(fs::path(FUNDLENS_SOURCE_DIR));
    std::string report;
    for (const std::string& v : violations)
        report += v + "\n";
    EXPECT_TRUE(violations.empty()) << report;
}

TEST(Layers, TheCheckSeesEveryKindOfViolation) {
    const fs::path root =
        fs::temp_directory_path() / ("fundlens_layers_" + std::to_string(::getpid()));
    auto write = [&](const fs::path& file, const std::string& text) {
        fs::create_directories((root / file).parent_path());
        std::ofstream(root / file) << text;
    };
    write("src/portal/a.cpp", "#include \"shell/controls.h\"\n#include <QString>\n");
    write("src/shell/b.cpp", "#include \"portal/a.h\"\n#include <QWidget>\n");
    write("src/analysis/c.cpp", "#include \"store/d.h\"\n#include \"support/gui_test.h\"\n");
    write("src/chart/chart_geometry.cpp", "#include <QPoint>\n#include \"runs/runs.h\"\n");
    write("demo-portal/e.cpp",
          "#include \"shell/windows.h\"\n#include \"portal/sector_table.h\"\n");
    write("fuzz/f.cpp", "#include <QString>\n#include \"chart/chart_geometry.h\"\n"
                        "#include \"lists/rank_list.h\"\n");
    write("bench/g.cpp", "#include \"app/startup.h\"\n#include \"fuzz/f.h\"\n");
    const std::vector<std::string> violations = LayerViolations(root);
    fs::remove_all(root);
    const std::vector<std::string> expected{
        "analysis/c.cpp:1: analysis includes store/d.h",
        "analysis/c.cpp:2: analysis includes support/gui_test.h",
        "chart/chart_geometry.cpp:1: Qt in chart",
        "portal/a.cpp:1: portal includes shell/controls.h",
        "portal/a.cpp:2: Qt in portal",
        "demo-portal/e.cpp:1: demo-portal includes shell/windows.h",
        "fuzz/f.cpp:1: Qt in fuzz",
        "fuzz/f.cpp:3: fuzz includes lists/rank_list.h",
        "bench/g.cpp:2: bench includes fuzz/f.h",
    };
    ASSERT_EQ(violations.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_NE(violations[i].find(expected[i]), std::string::npos) << violations[i];
}

} // namespace
} // namespace fundlens
