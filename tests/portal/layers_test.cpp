// The layer order of src/: a folder includes only from itself and the folders below it, and the
// engine folders use no Qt.
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <regex>
#include <string>
#include <unistd.h>

namespace fundlens {
namespace {

namespace fs = std::filesystem;

// Folder -> level; folders on one level may not include each other.
const std::map<std::string, int>& Levels() {
    static const std::map<std::string, int> levels{
        {"text", 0},   {"web", 1},     {"portal", 2}, {"shell", 3}, {"lists", 4},
        {"detail", 4}, {"compare", 4}, {"update", 4}, {"app", 5},
    };
    return levels;
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
    return Levels().count(folder) || folder == "demo-portal" ? folder : std::string();
}

bool IsQtInclude(const std::string& target) {
    return target.starts_with("Q") || target.starts_with("qt");
}

// Every violation in the tree below `src`, one line each.
std::vector<std::string> LayerViolations(const fs::path& src) {
    std::vector<std::string> violations;
    for (const auto& [folder, level] : Levels()) {
        const fs::path dir = src / folder;
        if (!fs::exists(dir))
            continue;
        for (const auto& entry : fs::recursive_directory_iterator(dir)) {
            const std::string ext = entry.path().extension().string();
            if (ext != ".h" && ext != ".cpp")
                continue;
            for (const Include& include : IncludesOf(entry.path())) {
                const std::string where = include.file + ":" + std::to_string(include.line) + ": ";
                const std::string target = FolderOf(include.target);
                if (level <= Levels().at("portal") && IsQtInclude(include.target))
                    violations.push_back(where + "Qt in " + folder);
                if (target.empty() || target == folder)
                    continue;
                const int targetLevel =
                    target == "demo-portal" ? Levels().at("app") : Levels().at(target);
                if (target == "demo-portal" ? folder != "app" : targetLevel >= level)
                    violations.push_back(where + folder + " includes " + include.target);
            }
        }
    }
    return violations;
}

TEST(Layers, NoFolderIncludesOneAboveItAndTheEngineHasNoQt) {
    const std::vector<std::string> violations =
        LayerViolations(fs::path(FUNDLENS_SOURCE_DIR) / "src");
    std::string report;
    for (const std::string& v : violations)
        report += v + "\n";
    EXPECT_TRUE(violations.empty()) << report;
}

TEST(Layers, TheCheckSeesAViolation) {
    const fs::path root =
        fs::temp_directory_path() / ("fundlens_layers_" + std::to_string(::getpid()));
    fs::create_directories(root / "portal");
    fs::create_directories(root / "shell");
    std::ofstream(root / "portal" / "a.cpp")
        << "#include \"shell/controls.h\"\n#include <QString>\n";
    std::ofstream(root / "shell" / "b.cpp") << "#include \"portal/a.h\"\n#include <QWidget>\n";
    const std::vector<std::string> violations = LayerViolations(root);
    fs::remove_all(root);
    ASSERT_EQ(violations.size(), 2u);
    EXPECT_NE(violations[0].find("portal/a.cpp:1: portal includes shell/controls.h"),
              std::string::npos);
    EXPECT_NE(violations[1].find("portal/a.cpp:2: Qt in portal"), std::string::npos);
}

} // namespace
} // namespace fundlens
