// The layers of src/ hold by their includes: the widget-free core never reaches the window or
// the command line, the window's widgets never reach its frame, and no unit (a header with its source) depends
// on itself through others. The build alone cannot tell a circle, and a prefixed Qt Widgets
// include would compile against the core's include path and fail only when linked.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Graph = std::map<std::string, std::set<std::string>>;

struct Include {
    std::string file;  // below src/
    std::string target;
    bool quoted;
};

std::vector<Include> ReadIncludes(const fs::path& root) {
    static const std::regex kInclude(R"(^\s*#\s*include\s*([<"])([^>"]+)[>"])");
    std::vector<Include> includes;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const std::string extension = entry.path().extension().string();
        if (!entry.is_regular_file() || (extension != ".h" && extension != ".cpp")) continue;
        const std::string file = fs::relative(entry.path(), root).generic_string();
        std::ifstream in(entry.path());
        std::smatch match;
        for (std::string line; std::getline(in, line);) {
            if (std::regex_search(line, match, kInclude))
                includes.push_back({file, match[2], match[1] == "\""});
        }
    }
    return includes;
}

std::string UnitOf(const std::string& file) { return file.substr(0, file.rfind('.')); }

std::string LayerOf(const std::string& file) { return file.substr(0, file.find('/')); }

// One circle of units, or an empty list when there is none.
std::vector<std::string> FindCircle(const Graph& graph) {
    enum class Mark { Unvisited, OnPath, Done };
    std::map<std::string, Mark> marks;
    std::vector<std::string> path;
    std::vector<std::string> circle;
    const auto visit = [&](const auto& self, const std::string& unit) -> bool {
        marks[unit] = Mark::OnPath;
        path.push_back(unit);
        if (const auto found = graph.find(unit); found != graph.end()) {
            for (const std::string& next : found->second) {
                if (marks[next] == Mark::OnPath) {
                    circle.assign(std::find(path.begin(), path.end(), next), path.end());
                    circle.push_back(next);
                    return true;
                }
                if (marks[next] == Mark::Unvisited && self(self, next)) return true;
            }
        }
        path.pop_back();
        marks[unit] = Mark::Done;
        return false;
    };
    for (const auto& [unit, _] : graph) {
        if (marks[unit] == Mark::Unvisited && visit(visit, unit)) return circle;
    }
    return {};
}

std::string Joined(const std::vector<std::string>& units) {
    std::string text;
    for (const std::string& unit : units) text += (text.empty() ? "" : " -> ") + unit;
    return text;
}

TEST(SourceLayersTest, TheCircleFinderFindsACircleThroughOthersAndNoneInATree) {
    EXPECT_EQ(Joined(FindCircle({{"a", {"b"}}, {"b", {"c"}}, {"c", {"a"}}})), "a -> b -> c -> a");
    EXPECT_TRUE(FindCircle({{"a", {"b", "c"}}, {"b", {"c"}}, {"c", {}}}).empty());
}

TEST(SourceLayersTest, NoUnitOfSrcDependsOnItselfThroughOthers) {
    const fs::path root = TARVIK_SOURCE_DIR "/src";
    std::set<std::string> units;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (entry.is_regular_file()) units.insert(UnitOf(fs::relative(entry.path(), root).generic_string()));
    }
    Graph graph;
    for (const Include& include : ReadIncludes(root)) {
        const std::string target = UnitOf(include.target);
        if (include.quoted && units.count(target) && target != UnitOf(include.file))
            graph[UnitOf(include.file)].insert(target);
    }
    ASSERT_GT(graph.size(), 40u);
    EXPECT_EQ(Joined(FindCircle(graph)), "");
}

TEST(SourceLayersTest, TheCoreNeverReachesAProgramNorTheWidgetsTheirFrame) {
    // The programs built on the core: the window (its widgets and its frame) and the command
    // line. Neither reaches into the other.
    const std::set<std::string> programs = {"ui", "app", "cli"};
    size_t checked = 0;
    for (const Include& include : ReadIncludes(TARVIK_SOURCE_DIR "/src")) {
        const std::string from = LayerOf(include.file);
        const std::string to = LayerOf(include.target);
        const std::string where = include.file + ": " + include.target;
        const bool widgets = !include.quoted && (include.target.rfind("QtWidgets/", 0) == 0 ||
                                                 include.target.rfind("QtGui/", 0) == 0);
        if (!programs.count(from)) {
            EXPECT_FALSE(include.quoted && programs.count(to)) << where;
            EXPECT_FALSE(widgets) << where;
            ++checked;
        }
        if (from == "ui") {
            EXPECT_FALSE(include.quoted && (to == "app" || to == "cli")) << where;
        }
        if (from == "cli") {
            EXPECT_FALSE(include.quoted && (to == "app" || to == "ui")) << where;
            EXPECT_FALSE(widgets) << where;
        }
    }
    EXPECT_GT(checked, 100u);
}

}  // namespace
