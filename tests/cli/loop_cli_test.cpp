#include <gtest/gtest.h>

#include <sys/wait.h>
#include <array>
#include <cstdio>
#include <sstream>

#include "cli/cli.h"

namespace kivo {
namespace {

struct LoopCliRun {
    int status;
    std::string out, err;
};

LoopCliRun runLoopCli(std::vector<std::string> args, const std::string& input) {
    // The window's lower text: each line break as the operation makes it.
    args.push_back("--line-breaks=crlf");
    std::istringstream in(input);
    std::ostringstream out, err;
    const int status = runCli(args, in, out, err);
    return {status, out.str(), err.str()};
}

TEST(LoopCli, GeneratesCopies) {
    struct Case {
        std::vector<std::string> args;
        std::string input, out;
    };
    const Case cases[] = {
        {{"26", "Check1(0)=1", "Text6=3"}, "No.1", "No.1\r\nNo.2\r\nNo.3"},
        {{"26", "Check1(0)=1", "Check1(1)=1", "ComboFm(1)=00", "Text6=3"},
         "item1, file1.txt\n",
         "item1, file01.txt\r\nitem2, file02.txt\r\nitem3, file03.txt\r\n"},
        {{"26", "Check1(0)=1", "ComboId(0)=デクリメント", "ComboFm(0)=00", "Text6=3"},
         "x1",
         "x01\r\nx00\r\nx-01"},
        {{"26", "Check1(0)=1", "Check4=1", "Combo58=右", "Text30=#", "Text6=2"}, "a1\r\n", "a1#\r\na2#\r\n"},
        // Text6 keeps its load default of 5.
        {{"26", "Check1(0)=1", "ComboStep(0)=5000"}, "n1", "n1\r\nn5001\r\nn10001\r\nn15001\r\nn20001"},
    };
    for (const Case& c : cases) {
        const LoopCliRun r = runLoopCli(c.args, c.input);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, c.out);
        EXPECT_EQ(r.err, "");
    }
}

TEST(LoopCli, QuestionsTakeTheGivenAnswers) {
    const std::vector<std::string> args = {"26", "Check1(0)=1", "Text6=2"};
    const std::string question =
        "question: マイナス記号が数字と数字の間にあります、計算式の計算は行いませんがよろしいですか？。\n";
    LoopCliRun r = runLoopCli(args, "5-3x");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "5x\r\n6x");
    EXPECT_EQ(r.err, question);

    std::vector<std::string> declined = args;
    declined.push_back("--answer=no");
    r = runLoopCli(declined, "5-3x");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, question);
}

TEST(LoopCli, MessagesAndErrors) {
    struct Case {
        std::vector<std::string> args;
        std::string input, err;
    };
    const Case cases[] = {
        {{"26", "Check1(0)=1", "Text6="}, "a1", "information: ループ回数を入力して下さい。\n"},
        {{"26"}, "a1", "information: 1回目の数値～17回目の数値いずれかにチェックを入れて下さい。\n"},
        {{"26", "Check1(2)=1"}, "a1b2", "information: 3個目以降の半角数字は見つかりませんでした。\n"},
        {{"26", "Check1(0)=1"}, "a9200000000000000000", "information: 数値の最大値を超えました。\n"},
        {{"26", "Check1(0)=1"}, "a9999999999999999", "exclamation: 文字数オーバーまたはその他エラーです。\n"},
        {{"26", "Check1(0)=1", "ComboStep(0)=40000"},
         "a1",
         "exclamation: 文字数オーバーまたはその他エラーです。\n"},
        {{"26", "Check1(0)=1", "Text6=abc"}, "a1", "exclamation: 文字数オーバーまたはその他エラーです。\n"},
        {{"26", "Check1(0)=1", "Text6=9999999999"},
         "a1",
         "exclamation: 文字数オーバーまたはその他エラーです。\n"},
        {{"26", "Check1(0)=1"}, "", "information: 上部テキストボックスに文字、文字列を入力して下さい。\n"},
    };
    for (const Case& c : cases) {
        const LoopCliRun r = runLoopCli(c.args, c.input);
        EXPECT_EQ(r.status, 1) << c.input;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, c.err) << c.input;
    }
}

TEST(LoopCliExecutable, EndToEnd) {
    const std::string cmd = std::string("printf 'a1b2\\r\\n' | ") + KIVO_CLI_PATH +
                            " 26 'Check1(0)=1' 'Check1(1)=1' 'ComboFm(1)=000' Text6=2";
    FILE* pipe = popen(cmd.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string out;
    std::array<char, 256> buf{};
    for (std::size_t n; (n = fread(buf.data(), 1, buf.size(), pipe)) > 0;)
        out.append(buf.data(), n);
    EXPECT_EQ(WEXITSTATUS(pclose(pipe)), 0);
    EXPECT_EQ(out, "a1b002\r\na2b003\r\n");
}

}  // namespace
}  // namespace kivo
