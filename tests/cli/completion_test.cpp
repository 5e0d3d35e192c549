// The bash completion installed for kivoautofill-cli, run by bash on the words readline would pass
// it, against what the command line takes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <algorithm>
#include <array>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "ops/registry.h"

namespace kivo {
namespace {

std::string shellQuoted(const std::string& word) {
    std::string quoted = "'";
    for (const char c : word)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// The completions offered for the last of `words` (readline breaks NAME=VALUE into NAME, "=",
// VALUE), sorted. compopt only works inside real completion, so it does nothing here.
std::vector<std::string> complete(const std::vector<std::string>& words) {
    const std::string cli = KIVO_CLI_PATH;
    std::string cmd =
        "PATH=" + shellQuoted(cli.substr(0, cli.rfind('/'))) + ":\"$PATH\" " +
        "bash --norc --noprofile -c 'compopt() { :; }; source \"$1\"; shift; COMP_WORDS=(\"$@\"); "
        "COMP_CWORD=$(($# - 1)); _kivoautofill_cli; printf \"%s\\n\" \"${COMPREPLY[@]}\"' bash " +
        shellQuoted(KIVO_COMPLETION_PATH);
    for (const std::string& word : words)
        cmd += ' ' + shellQuoted(word);
    FILE* pipe = popen(cmd.c_str(), "r");
    if (!pipe) return {"(bash did not start)"};
    std::string out;
    std::array<char, 4096> buf{};
    for (std::size_t n; (n = fread(buf.data(), 1, buf.size(), pipe)) > 0;)
        out.append(buf.data(), n);
    if (WEXITSTATUS(pclose(pipe)) != 0) return {"(the completion failed)"};
    std::vector<std::string> completions;
    for (std::size_t start = 0, end; (end = out.find('\n', start)) != std::string::npos; start = end + 1)
        if (end > start) completions.push_back(out.substr(start, end - start));
    std::sort(completions.begin(), completions.end());
    return completions;
}

std::vector<std::string> sorted(std::vector<std::string> words) {
    std::sort(words.begin(), words.end());
    return words;
}

TEST(Completion, OffersWhatTheCommandLineTakes) {
    std::vector<std::string> first = {"list", "help", "run", "--help", "--version"};
    for (const OperationDeclaration* op : operations()) {
        first.push_back(op->name);
        first.push_back(std::to_string(op->code));
    }
    std::vector<std::string> addTextOptions = {
        "--side=",        "--text=",       "--answer=", "--encoding=",   "--output-encoding=",
        "--line-breaks=", "--unmappable=", "--output=", "--output-dir=", "--in-place",
        "--jobs=",        "--quiet"};
    std::vector<std::string> settingOptions(addTextOptions.begin() + 2, addTextOptions.end());
    settingOptions.insert(settingOptions.end(), {"--help", "--version"});
    // A path after -o, --output= and --output-dir= is the shell's.
    const std::string path = testing::TempDir() + "kivo-completion-path.txt";
    std::fclose(std::fopen(path.c_str(), "w"));
    const std::string typedPath = path.substr(0, path.size() - 6);
    struct Case {
        std::vector<std::string> words;
        std::vector<std::string> completions;
    };
    const Case cases[] = {
        {{"kivoautofill-cli", ""}, first},
        {{"kivoautofill-cli", "3"}, {"3", "30", "31", "32", "33", "34", "35", "36", "37", "38", "39"}},
        {{"kivoautofill-cli", "fold"}, {"fold", "fold-bytes"}},
        {{"kivoautofill-cli", "help", "natural"}, {"natural-sort"}},
        {{"kivoautofill-cli", "add-text", "-"}, addTextOptions},
        {{"kivoautofill-cli", "4", "--s"}, {"--side="}},
        // The values after "=", as readline splits them off.
        {{"kivoautofill-cli", "add-text", "--side", "=", ""}, {"left", "right"}},
        {{"kivoautofill-cli", "add-text", "--side", "="}, {"left", "right"}},
        {{"kivoautofill-cli", "add-text", "--side", "=", "r"}, {"right"}},
        {{"kivoautofill-cli", "0", "--answer", "=", ""}, {"cancel", "no", "yes"}},
        {{"kivoautofill-cli", "0", "--encoding", "=", "c"}, {"cp932"}},
        {{"kivoautofill-cli", "0", "--output-encoding", "=", "utf-16"}, {"utf-16be", "utf-16le"}},
        {{"kivoautofill-cli", "0", "--line-breaks", "="}, {"crlf", "keep", "lf"}},
        {{"kivoautofill-cli", "convert-width", "--katakana", "=", ""}, {"no", "yes"}},
        // The window's names for the exact form, with their parentheses as bash quotes them.
        {{"kivoautofill-cli", "0", "Combo4"}, {"Combo41=", "Combo42="}},
        {{"kivoautofill-cli", "26", "Check1\\(1"},
         {"Check1(1)=", "Check1(10)=", "Check1(11)=", "Check1(12)=", "Check1(13)=", "Check1(14)=",
          "Check1(15)=", "Check1(16)="}},
        {{"kivoautofill-cli", "26", "'ComboId(3"}, {"ComboId(3)="}},
        // A control's values after its name: a list's entries, a check box's 1 or 0.
        {{"kivoautofill-cli", "add-text", "Combo31", "=", ""}, {"右", "左"}},
        {{"kivoautofill-cli", "2", "Combo40", "=", "Tab"}, {"Tab(タブ)"}},
        {{"kivoautofill-cli", "convert-width", "Check5\\(3\\)", "=", ""}, {"0", "1"}},
        // The command line's own options before the operation.
        {{"kivoautofill-cli", "--"}, settingOptions},
        {{"kivoautofill-cli", "--jobs", "=", "2", "-o", "x", "add-"}, {"add-text"}},
        {{"kivoautofill-cli", "--quiet", "add-text", "Combo3"}, {"Combo31="}},
        {{"kivoautofill-cli", "add-text", "-o", typedPath}, {path}},
        {{"kivoautofill-cli", "add-text", "--output", "=", typedPath}, {path}},
        {{"kivoautofill-cli", "-o", typedPath}, {path}},
        {{"kivoautofill-cli", "add-text", "--output-dir", "=", typedPath}, {path}},
    };
    for (const Case& c : cases)
        EXPECT_THAT(complete(c.words), testing::ContainerEq(sorted(c.completions))) << c.words.back();
}

}  // namespace
}  // namespace kivo
