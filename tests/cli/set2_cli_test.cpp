// Condition set 2 through the command line: parameters, answers, messages and exit status.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/cli.h"

namespace kivo {
namespace {

TEST(Set2Cli, RunsThroughTheDispatchTable) {
    struct Case {
        std::vector<std::string> args;
        std::string in;
        int status;
        std::string out, err;
    };
    const Case cases[] = {
        {{"13"}, "a\r\nb\rc\n", 0, "行数：4", ""},
        // The empty line after two final breaks is found, with its message.
        {{"14", "Text11=2"}, "a\r\n\r\n", 0, "", "information: 「2」行目の文字が見つかりませんでした。\n"},
        {{"15", "--answer=no"}, "ab\r\na", 1, "", "question: 改行が含まれています、改行を削除しますか？\n"},
        {{"16", "Text12="},
         "a\r\nb\r\nc\r\nd",
         0,
         "b\r\nd",
         "question: 削除されて改行のみの行を削除しますか？\n"},
        {{"17", "Combo4=右"}, "abc", 1, "", "information: 右側から置き換える文字を入力して下さい。\n"},
        {{"19", "Text16=[", "Text17=]", "Text18=X"}, "[123456]x[y]zzzzzzzz]", 0, "XxXzzzzzzzz]", ""},
        {{"20"}, "abc", 1, "", "information: ●～▲を…の左側のテキストを入力して下さい。\n"},
        {{"21", "Combo6=300"},
         "abc",
         1,
         "",
         "exclamation: 条件が行えない行がある、または文字数、その他のエラーです。\n"},
        {{"23", "Combo10=2", "Combo11=1"}, "a\nb\nc\n", 0, "a\r\nc\r\n", ""},
        {{"24", "Combo16=右", "Combo12=3", "Combo13=2"}, "abcdef", 0, "de", ""},
    };
    for (const Case& c : cases) {
        std::istringstream in(c.in);
        std::ostringstream out, err;
        // The window's lower text: each line break as the operation makes it.
        std::vector<std::string> args = c.args;
        args.push_back("--line-breaks=crlf");
        EXPECT_EQ(runCli(args, in, out, err), c.status) << c.args[0] << ": " << err.str();
        EXPECT_EQ(out.str(), c.out) << c.args[0];
        EXPECT_EQ(err.str(), c.err) << c.args[0];
    }
}

}  // namespace
}  // namespace kivo
