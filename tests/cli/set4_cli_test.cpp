#include <gtest/gtest.h>

#include <sstream>

#include "cli/cli.h"

namespace kivo {
namespace {

struct CliRun {
    int status;
    std::string out, err;
};

CliRun cli(std::vector<std::string> args, const std::string& input) {
    // The window's lower text: each line break as the operation makes it.
    args.push_back("--line-breaks=crlf");
    std::istringstream in(input);
    std::ostringstream out, err;
    const int status = runCli(args, in, out, err);
    return {status, out.str(), err.str()};
}

TEST(Set4Cli, Results) {
    struct Case {
        std::vector<std::string> args;
        std::string input, out;
    };
    const Case cases[] = {
        {{"27", "Combo20=降順でソートする"}, "b\r\na\r\nc", "c\r\nb\r\na"},
        {{"27"}, "b\r\na\r\n", "\r\na\r\nb\r\n"},
        {{"28", "Combo27=2", "Combo26=1", "Combo25=00"},
         "a\r\nb\r\nc\r\nd\r\ne",
         "a\r\n01b\r\nc\r\n02d\r\ne"},
        {{"29", "Text41=3", "Combo36=0"}, "No.5 abc", "No.5 abc\r\nNo.6 abc\r\nNo.7 abc"},
        {{"29", "Text41=2", "Combo36=0"}, "a1\nb", "a1\r\nb\r\na2\r\nb"},
        {{"30", "Text15==", "Combo50=右", "Combo49=2", "Text22=:"}, "id=12\r\nname=ab", "id:\r\nname:"},
        {{"31", "Combo52=月", "Text24=3"},
         "2024/01/31",
         "2024/01/31\r\n2024/02/29\r\n2024/03/31\r\n2024/04/30\r\n"},
        {{"32", "Text27=3", "DTPicker1=2024/01/15", "chkYoubi=1"},
         "",
         "2024/01/31 水\r\n2024/02/29 木\r\n2024/03/31 日\r\n"},
        {{"33", "Text28=3", "DTPicker2=2024/01/20", "Combo54=月"},
         "",
         "2024/01/01\r\n2024/02/05\r\n2024/03/04\r\n"},
        {{"34", "Text29=2", "DTPicker3=2024/01/20", "Combo56=2"},
         "ignored",
         "2024/01/07\r\n2024/01/21\r\n2024/02/04\r\n2024/02/18\r\n"},
    };
    for (const Case& c : cases) {
        const CliRun r = cli(c.args, c.input);
        EXPECT_EQ(r.status, 0) << c.args[0] << r.err;
        EXPECT_EQ(r.out, c.out) << c.args[0];
        EXPECT_EQ(r.err, "") << c.args[0];
    }
}

TEST(Set4Cli, MessagesAndQuestions) {
    struct Case {
        std::vector<std::string> args;
        std::string input, err;
    };
    const Case cases[] = {
        {{"27"}, "one line", "information: 1行なのでソートできません。\n"},
        {{"28", "Combo24=右", "--answer=no"},
         "ab",
         "question: "
         "文字列の最も右側に数値を入れ込む場合は「▲文字目後に…」の▲の値を1にして下さい。1に設定しますか？\n"},
        {{"28", "Combo21=300"},
         "ab",
         "exclamation: "
         "デクリメントする数値を差し込む為の文字数が足らない行があるまたは文字数オーバーです。\n"},
        {{"29", "Text41=1", "Combo28=デクリメント"},
         "x1",
         "information: デクリメント～し改行して追加する行数を「2」以上で入力して下さい。\n"},
        {{"29", "--answer=cancel"},
         "5-3",
         "question: 半角数字の前に「 - 」記号があります、数式は使えませんがよろしいですか？\n"},
        {{"30"}, "a=1", "information: …から見つけた●●●を含む文字を入力して下さい。\n"},
        {{"31", "Text23="}, "2024/01/01", "information: ステップを入力して下さい。\n"},
        {{"31"}, "2024-01-01", "information: 使用できる文字は半角数字および「/スラッシュ」です。\n"},
        {{"32", "Text27=1e999"}, "", "information: 2以上2000000以下の数値を入力して下さい。\n"},
        {{"32", "DTPicker1=0050/06/30"}, "", "information: 西暦100年01/01より以前の日付は扱えません。\n"},
        {{"32", "DTPicker1=9999/11/01"}, "", "exclamation: 月末の日付を取得の際にエラーしました。\n"},
        {{"34", "Text29=2000000"},
         "",
         "exclamation: 日付が「9999/12/31」を超えた、もしくはエラーしました。\n"},
    };
    for (const Case& c : cases) {
        const CliRun r = cli(c.args, c.input);
        EXPECT_EQ(r.status, 1) << c.args[0];
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, c.err) << c.args[0];
    }
}

}  // namespace
}  // namespace kivo
