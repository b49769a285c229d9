// The rules checked on the source tree.  The one that keeps Qt inside the
// platform layer: no production file above platform/ includes a Qt header,
// or a platform header that brings one in (directly or through other
// platform headers); and the public headers of platform/base, gfx and ui
// name no Qt type.  The checker is tried on a made-up tree first, so that a
// checker that finds nothing cannot pass for a tree that is clean.  And the
// README names every benchmark program.

#include <gtest/gtest.h>

#include <filesystem>
#include <algorithm>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFile(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

bool isSource(const fs::path& path) {
    std::string extension = path.extension().string();
    return extension == ".h" || extension == ".cpp";
}

// The text without comments and string literals, so that a word in a
// comment ("the QWidget behind the peer") is not taken for code.
std::string codeOnly(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 2, "//") == 0) {
            while (i < text.size() && text[i] != '\n')
                ++i;
            out += '\n';
        } else if (text.compare(i, 2, "/*") == 0) {
            size_t end = text.find("*/", i + 2);
            i = end == std::string::npos ? text.size() : end + 1;
        } else if (text[i] == '"') {
            out += '"';
            for (++i; i < text.size() && text[i] != '"' && text[i] != '\n'; ++i)
                if (text[i] == '\\')
                    ++i;
            out += '"';
        } else {
            out += text[i];
        }
    }
    return out;
}

struct TInclude {
    bool System; // <...>
    std::string Name;
};

std::vector<TInclude> includesOf(const std::string& text) {
    static const std::regex line(R"(^\s*#\s*include\s*([<"])([^>"]+)[>"])");
    std::vector<TInclude> result;
    std::istringstream lines(text);
    std::string current;
    while (std::getline(lines, current)) {
        std::smatch match;
        if (std::regex_search(current, match, line))
            result.push_back({match[1] == "<", match[2]});
    }
    return result;
}

bool isQtHeader(const TInclude& include) {
    return include.System && (include.Name.rfind("Q", 0) == 0 || include.Name.rfind("qt", 0) == 0);
}

class TQtRuleChecker {
public:
    explicit TQtRuleChecker(fs::path root) : root_(std::move(root)) {
        // Which platform headers bring Qt in: a fixpoint over their includes.
        std::map<std::string, std::vector<TInclude>> headers;
        if (fs::exists(root_ / "platform"))
            for (const auto& entry : fs::recursive_directory_iterator(root_ / "platform"))
                if (entry.path().extension() == ".h")
                    headers[fs::relative(entry.path(), root_).generic_string()] = includesOf(readFile(entry.path()));
        bool grew = true;
        while (grew) {
            grew = false;
            for (const auto& [name, includes] : headers) {
                if (qtHeaders_.count(name) != 0)
                    continue;
                for (const TInclude& include : includes)
                    if (isQtHeader(include) || (!include.System && qtHeaders_.count(include.Name) != 0)) {
                        qtHeaders_.insert(name);
                        grew = true;
                        break;
                    }
            }
        }
    }

    // Files above platform/ that include Qt, with the offending include.
    std::vector<std::string> IncludeViolations() const {
        std::vector<std::string> found;
        for (const char* folder : {"editor", "gif", "app", "toolbars", "shell", "tools"}) {
            if (!fs::exists(root_ / folder))
                continue;
            for (const auto& entry : fs::recursive_directory_iterator(root_ / folder)) {
                if (!entry.is_regular_file() || !isSource(entry.path()))
                    continue;
                for (const TInclude& include : includesOf(readFile(entry.path())))
                    if (isQtHeader(include) || (!include.System && qtHeaders_.count(include.Name) != 0))
                        found.push_back(fs::relative(entry.path(), root_).generic_string() + ": " + include.Name);
            }
        }
        return found;
    }

    // Public headers of base, gfx and ui that include or name Qt.
    std::vector<std::string> PublicHeaderViolations() const {
        static const std::regex qtName(R"(\bQ[A-Z][A-Za-z]+\b|\bQt::|\bqRgb\b)");
        std::vector<std::string> found;
        for (const char* folder : {"platform/base", "platform/gfx", "platform/ui"}) {
            if (!fs::exists(root_ / folder))
                continue;
            for (const auto& entry : fs::directory_iterator(root_ / folder)) {
                if (entry.path().extension() != ".h" || entry.path().filename() == "QtBridge.h")
                    continue;
                std::string name = fs::relative(entry.path(), root_).generic_string();
                std::string code = codeOnly(readFile(entry.path()));
                std::smatch match;
                if (qtHeaders_.count(name) != 0)
                    found.push_back(name + ": includes Qt");
                else if (std::regex_search(code, match, qtName))
                    found.push_back(name + ": names " + match.str());
            }
        }
        return found;
    }

    bool BringsQt(const std::string& header) const { return qtHeaders_.count(header) != 0; }

private:
    fs::path root_;
    std::set<std::string> qtHeaders_;
};

TEST(QtIncludeRule, TheCheckerFindsQtDirectOrThroughPlatformHeaders) {
    fs::path root = fs::temp_directory_path() / ("ondrill-qt-rule-" + std::to_string(::getpid()));
    fs::remove_all(root);
    writeFile(root / "platform/gfx/QtBridge.h", "#include <QImage>\n");
    writeFile(root / "platform/gfx/Deep.h", "#include \"platform/gfx/QtBridge.h\"\n");
    writeFile(root / "platform/gfx/Clean.h", "// the QImage behind it\n#include <string>\nclass TClean;\n");
    writeFile(root / "platform/ui/Leaky.h", "#include <vector>\nQImage Picture();\n");
    writeFile(root / "editor/Direct.cpp", "#include \"platform/gfx/Clean.h\"\n  #  include <QtEndian>\n");
    writeFile(root / "toolbars/Indirect.h", "#include \"platform/gfx/Deep.h\"\n");
    writeFile(root / "app/Fine.cpp", "#include \"platform/gfx/Clean.h\"\n// #include <QWidget> is a comment\n");
    TQtRuleChecker checker(root);
    EXPECT_TRUE(checker.BringsQt("platform/gfx/Deep.h")) << "through another platform header";
    EXPECT_FALSE(checker.BringsQt("platform/gfx/Clean.h"));
    std::vector<std::string> includes = checker.IncludeViolations();
    std::sort(includes.begin(), includes.end());
    EXPECT_EQ(includes, (std::vector<std::string>{"editor/Direct.cpp: QtEndian",
                                                   "toolbars/Indirect.h: platform/gfx/Deep.h"}));
    std::vector<std::string> headers = checker.PublicHeaderViolations();
    std::sort(headers.begin(), headers.end());
    EXPECT_EQ(headers, (std::vector<std::string>{"platform/gfx/Deep.h: includes Qt", "platform/ui/Leaky.h: names QImage"}));
    fs::remove_all(root);
}

TEST(QtIncludeRule, NoProductionCodeAbovePlatformIncludesQt) {
    TQtRuleChecker checker(ONDRILL_SOURCE_DIR);
    ASSERT_TRUE(checker.BringsQt("platform/gfx/QtBridge.h")) << "the checker reads the real tree";
    std::vector<std::string> violations = checker.IncludeViolations();
    for (const std::string& violation : violations)
        ADD_FAILURE() << violation;
}

TEST(QtIncludeRule, ThePublicPlatformHeadersNameNoQtType) {
    TQtRuleChecker checker(ONDRILL_SOURCE_DIR);
    for (const std::string& violation : checker.PublicHeaderViolations())
        ADD_FAILURE() << violation;
}

// The README tells a new user how to run every benchmark program: a
// program added under bench/ without a line there is an error, so that
// none is left for a user to find by listing build/bench.
TEST(ReadmeRule, EveryBenchmarkProgramIsNamedInTheReadme) {
    const fs::path source = ONDRILL_SOURCE_DIR;
    const std::string readme = readFile(source / "README.md");
    ASSERT_FALSE(readme.empty());
    const std::regex declared(R"(ondrill_add_benchmark\(\s*(\w+))");
    std::vector<std::string> programs, missing;
    for (const auto& entry : fs::recursive_directory_iterator(source / "bench")) {
        if (entry.path().filename() != "CMakeLists.txt")
            continue;
        const std::string list = readFile(entry.path());
        for (std::sregex_iterator it(list.begin(), list.end(), declared), end; it != end; ++it) {
            const std::string name = (*it)[1];
            programs.push_back(name);
            if (readme.find("`" + name + "`") == std::string::npos && readme.find("/" + name) == std::string::npos)
                missing.push_back(name);
        }
    }
    EXPECT_GT(programs.size(), 3u) << "the benchmark lists were not found";
    EXPECT_EQ(missing, std::vector<std::string>{});
}

} // namespace
