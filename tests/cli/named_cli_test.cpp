// The command line for people: named operations and options, discovery, files and folders,
// recipes.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "cli/arguments.h"
#include "cli/cli.h"
#include "cli/recipe.h"
#include "folder.h"
#include "ops/registry.h"
#include "text/cp932.h"
#include "text/utf8.h"

namespace kivo {
namespace {

namespace fs = std::filesystem;

struct CliRun {
    int status;
    std::string out, err;
};

CliRun cli(const std::vector<std::string>& args, const std::string& input = "") {
    std::istringstream in(input);
    std::ostringstream out, err;
    const int status = runCli(args, in, out, err);
    return {status, out.str(), err.str()};
}

using test::Folder;
using test::read;

// The last operation code, which the usage errors name.
std::string lastCode() {
    return std::to_string(operations().size() - 1);
}

std::string sjis(const char* utf8Text) {
    return cp932::encode(*utf8::decode(utf8Text));
}

// Every operation's example gives its output, named and by control names alike.
TEST(NamedCli, EveryExampleGivesItsOutputInBothForms) {
    for (const OperationDeclaration* op : operations()) {
        const Example& example = op->example;
        const std::string input = utf8::encode(example.input);
        std::vector<std::string> named = {op->name};
        named.insert(named.end(), example.options.begin(), example.options.end());
        std::vector<std::string> byControls = {std::to_string(op->code)};
        for (const auto& [option, text] : parseStep(named).options)
            byControls.push_back(op->param(option)->control + "=" + utf8::encode(text));
        // The window's lower text: each line break as the operation makes it.
        named.push_back("--line-breaks=crlf");
        byControls.push_back("--line-breaks=crlf");
        const CliRun r = cli(named, input);
        EXPECT_EQ(r.status, 0) << op->name << ": " << r.err;
        EXPECT_EQ(r.out, utf8::encode(example.output)) << op->name;
        EXPECT_EQ(cli(byControls, input).out, r.out) << op->name;
    }
}

TEST(NamedCli, OptionValuesAndTheirRefusals) {
    const struct {
        std::vector<std::string> args;
        std::string input, out, err = {};
        int status = 0;
    } rows[] = {
        {{"add-text", "--side=右", "--text=!"}, "a", "a!"},
        {{"add-text", "--side=RIGHT", "--text", "!"}, "a", "a!"},
        {{"4", "--text=!", "Combo31=右"}, "a", "a!"},
        // Full-width digits, as the window's boxes take them.
        {{"fold", "--width=２"}, "abcde", "ab\r\ncd\r\ne"},
        {{"convert-width", "--katakana=no", "--spaces"}, "ＡB　ｶﾅ", "AB ｶﾅ"},
        {{"add-text", "--side=middle", "--text=!"},
         "a",
         "",
         "kivoautofill-cli: --side takes left (左), right (右), not 'middle'\n",
         2},
        {{"fold", "--width=1000"},
         "a",
         "",
         "kivoautofill-cli: --width takes a whole number from 1 to 999, not '1000'\n",
         2},
        {{"add-text", "--colour=red"},
         "a",
         "",
         "kivoautofill-cli: unknown option '--colour=red' for add-text (its options: --side, --text)\n",
         2},
        {{"add-text", "--text"}, "a", "", "kivoautofill-cli: --text needs a value\n", 2},
        {{"filter-lines", "--text=a\nb"},
         "a",
         "",
         "kivoautofill-cli: --text takes any text on one line, not 'a\nb'\n",
         2},
        // A list control's text that is none of its entries, as its option's value.
        {{"12", "Combo47=含む", "Text13=an"},
         "an",
         "",
         "kivoautofill-cli: the value of Combo47 must be one of: 次の文字を含む行を抜き出す, "
         "次の文字を含まない行を抜き出す\n",
         2},
        {{"33", "Combo54=Mon"},
         "",
         "",
         "kivoautofill-cli: the value of Combo54 must be one of: 日, 月, 火, 水, 木, 金, 土\n",
         2},
        // A clean-up with nothing to clean passes the text on.
        {{"shift-jis-check", "--action=remove"},
         "abc",
         "abc",
         "information: Shift-JISで表せない文字はありませんでした。削除した文字はありません。\n"},
        {{"month-ends", "--start=2024-02-30"},
         "",
         "",
         "kivoautofill-cli: --start takes a date yyyy/mm/dd, not '2024-02-30'\n",
         2},
        {{"no-such"},
         "a",
         "",
         "kivoautofill-cli: unknown operation 'no-such' (see 'kivoautofill-cli list'; codes 0 to " +
             lastCode() + ")\n",
         2},
        {{"convert-width", "Check5(3)=yes"},
         "a",
         "",
         "kivoautofill-cli: the value of Check5(3) must be 1 or 0\n",
         2},
        // The command line's own options before the operation, as after it.
        {{"--quiet", "--jobs=2", "--answer=yes", "add-text", "--text=!"}, "a", "!a"},
        {{"--line-breaks=crlf", "reverse"}, "ab\ncd", "dc\r\nba"},
        {{"--jobs=x", "reverse"},
         "a",
         "",
         "kivoautofill-cli: --jobs takes a number of at least 1, not 'x'\n",
         2},
        {{"--quiet", "list"},
         "",
         "",
         "kivoautofill-cli: the options before list belong to an operation or run\n",
         2},
    };
    for (const auto& row : rows) {
        const CliRun r = cli(row.args, row.input);
        EXPECT_EQ(r.out, row.out) << row.args[0];
        EXPECT_EQ(r.err, row.err) << row.args[0];
        EXPECT_EQ(r.status, row.status) << row.args[0];
    }
    // No option of an operation takes a name the command line keeps for itself.
    for (const OperationDeclaration* op : operations())
        for (const ParamDeclaration& p : op->params)
            for (const char* own : {"answer", "encoding", "output-encoding", "line-breaks", "unmappable",
                                    "output", "output-dir", "in-place", "jobs", "quiet", "help", "version"})
                EXPECT_NE(p.option, own) << op->name;
}

// A replacement list kept in a file is read as an input file is (its encoding detected); the counts
// of a replacement go to standard error, and a pattern that backtracks without end is refused.
TEST(NamedCli, PatternsTellTheirCountsAndTakeRulesFromAFile) {
    const Folder folder;
    const std::string rules = folder.file("rules.txt", sjis("# 社名\r\n株式会社\t(株)\r\n(株)\t㈱\r\n"));
    const struct {
        std::vector<std::string> args;
        std::string input, out, err;
        int status = 0;
    } rows[] = {
        {{"replace-list", "--rules=" + rules},
         "株式会社A (株)B",
         "㈱A ㈱B",
         "information: 3件置き換えました（1番目 1件、2番目 2件）。\n"},
        {{"replace-list", "--rules", folder.path("none.txt")},
         "a",
         "",
         "kivoautofill-cli: cannot read " + folder.path("none.txt") + ": No such file or directory\n",
         2},
        {{"regex-replace", "--pattern=\\d+", "--replacement=#"},
         "a1b22",
         "a#b#",
         "information: 2件置き換えました。\n"},
        {{"regex-extract", "--pattern=(a+)+b"},
         std::string(10000, 'a'),
         "",
         "exclamation: 照合が制限時間を超えました（U_REGEX_TIME_OUT）。\n",
         1},
    };
    for (const auto& row : rows) {
        const CliRun r = cli(row.args, row.input);
        EXPECT_EQ(r.out, row.out) << row.args[0];
        EXPECT_EQ(r.err, row.err) << row.args[0];
        EXPECT_EQ(r.status, row.status) << row.args[0];
    }
}

TEST(NamedCli, ListHelpAndCompletion) {
    const std::string list = cli({"list"}).out;
    EXPECT_NE(list.find(" 4 L add-text "), std::string::npos);
    EXPECT_NE(list.find(" 0   reverse "), std::string::npos);
    EXPECT_NE(list.find("(…に次の文字を追加する)"), std::string::npos);
    EXPECT_NE(list.find("22 N every-nth-line "), std::string::npos);
    // A line each, then the marks' legend.
    EXPECT_EQ(std::count(list.begin(), list.end(), '\n'), static_cast<long>(operations().size()) + 5);
    EXPECT_NE(cli({"help", "clean-blanks"}).out.find("line-local with some options (--mode=trim,trim-end)"),
              std::string::npos);
    const std::string help = cli({"help", "4"}).out;
    for (const char* part :
         {"add-text (code 4", "--side=VALUE", "left (左), right (右); default left  [Combo31]",
          "$ printf '東京\\n大阪' | kivoautofill-cli add-text --text=・", "  ・東京\n  ・大阪\n"})
        EXPECT_NE(help.find(part), std::string::npos) << part;
    EXPECT_EQ(cli({"help", "x"}).status, 2);
    EXPECT_EQ(cli({"complete", "0", "add-"}).out, "add-text\n");
    EXPECT_EQ(cli({"complete", "1", "add-text", "--si"}).out, "--side=\n");
    EXPECT_EQ(cli({"complete", "1", "add-text", "--side="}).out, "--side=left\n--side=right\n");
    EXPECT_EQ(cli({"complete", "1", "add-text", "--enc"}).out, "--encoding=\n");
    EXPECT_EQ(cli({"complete", "1", "help", "fold"}).out, "fold\nfold-bytes\n");
    EXPECT_EQ(cli({"complete", "2", "--quiet", "add-text", "Combo31="}).out, "Combo31=左\nCombo31=右\n");
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"complete", "1"}, {"complete", "99999999999999999999", "x"}, {"complete", "-1", "x"}})
        EXPECT_EQ(cli(args).status, 2) << args[1];
    EXPECT_NE(cli({"--help"}).out.find("Usage: kivoautofill-cli OPERATION"), std::string::npos);
}

TEST(NamedCli, OneFileGoesToStandardOutputInItsEncoding) {
    const Folder dir;
    const std::string file = dir.file("名簿.txt", sjis("東京\r\n大阪\r\n"));
    CliRun r = cli({"add-text", "--text=・", file});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, sjis("・東京\r\n・大阪\r\n"));
    r = cli({"add-text", "--text=・", "--output-encoding=utf-8", file});
    EXPECT_EQ(r.out, "・東京\r\n・大阪\r\n");
    const std::string marked = dir.file("marked.txt",
                                        "\xEF\xBB\xBF"
                                        "abc");
    EXPECT_EQ(cli({"reverse", marked}).out,
              "\xEF\xBB\xBF"
              "cba");
    r = cli({"reverse", "-o", dir.path("out.txt"), marked});
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(read(dir.path("out.txt")),
              "\xEF\xBB\xBF"
              "cba");
    // The file's messages start with its name.
    r = cli({"extract-digits", file});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, file + ": information: 半角数字は見つかりませんでした。\n");
}

// A result written out while it is made is the result a file gets, whatever its size, its line
// breaks and its encoding.
TEST(NamedCli, AResultWrittenAsItIsMadeIsTheWholeResult) {
    const Folder dir;
    std::string lf;
    for (int i = 0; i < 60000; ++i)
        lf += (i % 3 ? "行" + std::to_string(i * 7919 % 50000) + "\t  x" : "  ab\tc ") + std::string("\n");
    std::string crLf;
    for (char c : lf)
        crLf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    const std::vector<std::vector<std::string>> runs = {
        {"replace-special", "--character=tab", "--replacement=<T>"},
        {"replace-special", "--character=lf", "--replacement=|"},
        {"add-text", "--side=right", "--text=・"},
        {"indent"},
        {"filter-lines", "--text=1"},
        {"every-nth-line", "--first=2", "--skip=3"},
        {"every-nth-line-remainder"},
        {"sort", "--order=descending"},
        {"duplicate-lines", "--mode=count"},
        {"clean-blanks", "--mode=trim-end"},
        {"natural-sort"},
        {"fold-bytes", "--bytes=5"},
        {"fold", "--width=7"},
        {"add-text", "--text=あ", "--output-encoding=cp932"},
        {"sort", "--output-encoding=utf-8-bom"},
    };
    for (const auto& [name, input] : {std::pair{"Lf", lf}, std::pair{"CrLf", crLf}}) {
        for (const bool finalBreak : {true, false}) {
            const std::string text = finalBreak ? input : input.substr(0, input.find_last_not_of("\r\n") + 1);
            for (std::vector<std::string> args : runs) {
                SCOPED_TRACE(std::string(name) + (finalBreak ? " ending in a break: " : ": ") + args[0] +
                             (args.size() > 1 ? " " + args.back() : ""));
                const CliRun streamed = cli(args, text);
                args.insert(args.end(), {"-o", dir.path("out.txt")});
                const CliRun whole = cli(args, text);
                ASSERT_EQ(streamed.status, 0) << streamed.err;
                ASSERT_EQ(whole.status, 0) << whole.err;
                EXPECT_GT(streamed.out.size(), 100000u);
                EXPECT_TRUE(streamed.out == read(dir.path("out.txt")));
            }
        }
    }
}

TEST(NamedCli, SeveralFilesInPlaceOrIntoAFolder) {
    const Folder dir;
    const std::string a = dir.file("a.txt", "b\na\n");
    const std::string b = dir.file("b.txt", sjis("い\nあ"));
    const std::string one = dir.file("one.txt", "only");
    ::chmod(a.c_str(), 0640);
    CliRun r = cli({"sort", "--output-dir=" + dir.path("sorted"), a, b});
    EXPECT_EQ(r.status, 0) << r.err;
    // A final line break makes an empty last line, which sorts first.
    EXPECT_EQ(read(dir.path("sorted/a.txt")), "\na\nb\n");
    EXPECT_EQ(read(dir.path("sorted/b.txt")), sjis("あ\nい"));
    // A file without a result is named and stays as it was; the others are replaced.
    r = cli({"sort", "--in-place", "--jobs=2", a, one, b});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, one +
                         ": information: 1行なのでソートできません。\n"
                         "kivoautofill-cli: no result for 1 of 3 files: " +
                         one + "\n");
    EXPECT_EQ(read(a), "\na\nb\n");
    EXPECT_EQ(read(one), "only");
    struct stat s {};
    ::stat(a.c_str(), &s);
    EXPECT_EQ(s.st_mode & 0777, 0640u);
    for (const fs::directory_entry& e : fs::directory_iterator(dir.path("")))
        EXPECT_EQ(e.path().filename().string().find(".kivo-"), std::string::npos) << e.path();
    // Mistakes are found before anything is written.
    const struct {
        std::vector<std::string> args;
        std::string err;
    } refused[] = {
        {{"sort", a, b}, "several files need --output-dir=DIR or --in-place"},
        {{"sort", "--in-place", a, dir.path("missing.txt")}, "no such file: " + dir.path("missing.txt")},
        {{"sort", "--in-place"}, "--in-place needs FILE arguments"},
        {{"sort", "-o", dir.path("x"), "--in-place", a}, "-o excludes --in-place and --output-dir"},
        {{"sort", "--output-dir=" + dir.path("d"), a, a},
         "two files would be written to " + dir.path("d") + "/a.txt"},
        {{"sort", "--jobs=0", a}, "--jobs takes a number of at least 1, not '0'"},
        {{"sort", dir.path("")}, dir.path("") + " is a directory"},
        {{"run", dir.path("")}, dir.path("") + " is a directory"},
        {{"sort", "--in-place", a, "-"}, "- (standard input) cannot be one of several files"},
    };
    for (const auto& row : refused) {
        r = cli(row.args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.err, "kivoautofill-cli: " + row.err + "\n");
    }
    EXPECT_EQ(read(one), "only");
}

// Standard input as -, a FIFO and a process substitution (/dev/fd/63) are read as streams.
TEST(NamedCli, InputFromStandardInputAFifoOrAProcessSubstitution) {
    const Folder dir;
    EXPECT_EQ(cli({"reverse", "-"}, "ab\ncd").out, "dc\nba");
    const std::string fifo = dir.path("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::thread writer([&] { std::ofstream(fifo) << "ab\ncd"; });
    const CliRun r = cli({"reverse", fifo});
    // A writer still waiting for its reader is let go.
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    writer.join();
    ::close(reader);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "dc\nba");
    const std::string command = "bash -c '" + std::string(KIVO_CLI_PATH) + " reverse <(printf \"ab\\ncd\")'";
    FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string out(64, '\0');
    out.resize(std::fread(out.data(), 1, out.size(), pipe));
    EXPECT_EQ(WEXITSTATUS(::pclose(pipe)), 0);
    EXPECT_EQ(out, "dc\nba");
}

// Killed at any moment, an in-place run leaves every file old or new, never partial.
TEST(NamedCli, AnInterruptedInPlaceRunLeavesEveryFileOldOrNew) {
    const Folder dir;
    const std::string old(200'000, 'x');
    std::vector<std::string> args = {"kivoautofill-cli", "add-text", "--text=> ", "--in-place", "--jobs=2"};
    for (int i = 0; i < 200; ++i)
        args.push_back(dir.path("f" + std::to_string(i) + ".txt"));
    const std::string fresh = "> " + old + "\n> " + old;
    for (int delayMs : {20, 60, 150}) {
        for (std::size_t i = 5; i < args.size(); ++i)
            dir.file(args[i].substr(args[i].rfind('/') + 1), old + "\n" + old);
        const pid_t pid = ::fork();
        if (pid == 0) {
            std::vector<char*> argv;
            for (std::string& a : args)
                argv.push_back(a.data());
            argv.push_back(nullptr);
            ::execv(KIVO_CLI_PATH, argv.data());
            ::_exit(127);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        for (std::size_t i = 5; i < args.size(); ++i) {
            const std::string now = read(args[i]);
            EXPECT_TRUE(now == old + "\n" + old || now == fresh) << args[i];
        }
    }
}

TEST(NamedCli, RecipesRunTheirStepsInOrder) {
    const Folder dir;
    const std::string recipe = dir.file("clean.recipe",
                                        "# a comment, then a blank line\n\n"
                                        "clean-blanks --mode=trim   # blanks at both ends\n"
                                        "duplicate-lines\n"
                                        "add-text '--text=・ '\n");
    const std::string input = sjis("  東京 \r\n大阪\r\n東京\r\n");
    const std::string file = dir.file("in.txt", input);
    CliRun r = cli({"run", recipe, file});
    EXPECT_EQ(r.status, 0) << r.err;
    // The same bytes as the three commands piped in code page 932.
    std::string piped = input;
    for (const std::vector<std::string>& step :
         {std::vector<std::string>{"clean-blanks", "--encoding=cp932"},
          std::vector<std::string>{"duplicate-lines", "--encoding=cp932"},
          std::vector<std::string>{"add-text", "--text=・ ", "--encoding=cp932"}})
        piped = cli(step, piped).out;
    EXPECT_EQ(r.out, piped);
    EXPECT_EQ(r.out, sjis("・ 東京\r\n・ 大阪\r\n"));

    // A recipe written with codes and control names, as the first recipes were, runs as its
    // named form does.
    const std::string controls = dir.file("controls.recipe", "4 Combo31=右 Text3=・\n22 Combo8=2 Combo9=1\n");
    const std::string named =
        dir.file("named.recipe", "add-text --side=right --text=・\nevery-nth-line --first=2 --skip=1\n");
    r = cli({"run", controls}, "a\nb\nc\nd\n");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "b・\nd・");
    EXPECT_EQ(cli({"run", named}, "a\nb\nc\nd\n").out, r.out);

    // A step without a result stops the recipe: its line and message.
    const std::string stops = dir.file("stops.recipe", "reverse\nextract-digits\nsort\n");
    r = cli({"run", stops}, "abc");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, stops + ":2: information: 半角数字は見つかりませんでした。\n");
    // Questions take the answers in order across the steps.
    const std::string asks =
        dir.file("asks.recipe", "replace-special --character=lf --replacement=X\nremove-repeats\n");
    r = cli({"run", asks, "--answer=yes", "--answer=no"}, "ab\r\nab");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find(asks + ":2: question: 改行が含まれています、改行を削除しますか？"),
              std::string::npos);

    // A line ending in a backslash goes on with the next, the Cr of a CrLf aside.
    const std::string continued =
        dir.file("continued.recipe", "add-text \\\r\n  --side=right \\\n--te\\\nxt=!\n");
    EXPECT_EQ(cli({"--quiet", "run", continued}, "a").out, "a!");

    // A malformed recipe runs no step.
    const struct {
        std::string text, err;
    } malformed[] = {
        {"reverse\nno-such-step\n",
         ":2: unknown operation 'no-such-step' (see 'kivoautofill-cli list'; codes 0 to " + lastCode() + ")"},
        {"add-text --side=up\n", ":1: --side takes left (左), right (右), not 'up'"},
        {"add-text '--text=x\n", ":1: a ' is not closed"},
        {"reverse\nadd-text \\\n  --side=up\n", ":2: --side takes left (左), right (右), not 'up'"},
        {"# nothing\n\n", ": the recipe has no step"},
    };
    for (const auto& row : malformed) {
        const std::string path = dir.file("bad.recipe", row.text);
        r = cli({"run", path, file});
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, "kivoautofill-cli: " + path + row.err + "\n");
    }
}

TEST(NamedCli, RecipeWordsAreQuotedAsInAShell) {
    const struct {
        std::string line;
        std::vector<std::string> words;
    } rows[] = {
        {"add-text --text=a", {"add-text", "--text=a"}},
        {"  a\t'b c'  \"d \\\" e\" f\\ g # comment", {"a", "b c", "d \" e", "f g"}},
        {"a'b'\"c\"", {"abc"}},
        {"a #b", {"a"}},
        {"a#b", {"a#b"}},
        {"''", {""}},
        {"a \\", {"a"}},
        {"", {}},
    };
    for (const auto& row : rows)
        EXPECT_EQ(splitWords(row.line), row.words) << row.line;
}

}  // namespace
}  // namespace kivo
