#include <gtest/gtest.h>

#include <sstream>

#include "cli/cli.h"

namespace kivo {
namespace {

struct Set1Run {
    int status;
    std::string out, err;
};

Set1Run run(std::vector<std::string> args, const std::string& input) {
    // The window's lower text: each line break as the operation makes it.
    args.push_back("--line-breaks=crlf");
    std::istringstream in(input);
    std::ostringstream out, err;
    const int status = runCli(args, in, out, err);
    return {status, out.str(), err.str()};
}

TEST(Set1Cli, OperationsRunWithTheirParameters) {
    struct Case {
        std::vector<std::string> args;
        std::string input, out;
    };
    const Case cases[] = {
        {{"1", "Combo39=改行を2文字でカウントする"}, "ab\nc", "文字数：5"},
        {{"1", "Combo39=バイト数をカウントする(改行をカウントしない)"}, "あa\r\nb", "バイト数：6"},
        {{"2", "Text26=,"}, "a\r\nb\rc\nd", "a,b,c,d"},
        {{"3", "Combo19=全角英大文字「Ａ～Ｚ」"}, "ＡＢc", "全角英大文字の数：2"},
        {{"4", "Text3=> "}, "a\r\nb\r\n", "> a\r\n> b\r\n"},
        {{"4", "Combo31=右", "Text3=x\r\ny"}, "a", "ax\r\ny"},
        {{"5", "Combo34=半角全角", "Text4=#"}, "a12b３", "a##b#"},
        {{"6", "Combo32=右", "Combo1=2", "Text5=X"}, "abcd\r\nefg", "abX\r\neX"},
        {{"7", "Text7==", "Text8=k", "Combo2=右"}, "a=1\r\nb=2=3", "k1\r\nk3"},
        {{"8"}, "a1b2\r\nxyz\r\n３4", "12\r\n4"},
        {{"9"}, "abあいｱＡ", "あいＡ"},
        {{"10"}, "abあいｱＡ", "abｱ"},
        {{"11"}, "a\n\nb", "\ta\r\n\t\r\n\tb"},
        {{"12", "Combo47=次の文字を含まない行を抜き出す", "Text13=an"},
         "apple\nbanana\ncherry\n",
         "apple\r\ncherry\r\n"},
    };
    for (const Case& c : cases) {
        const Set1Run r = run(c.args, c.input);
        EXPECT_EQ(r.status, 0) << c.args[0] << ": " << r.err;
        EXPECT_EQ(r.out, c.out) << c.args[0];
    }
}

TEST(Set1Cli, RefusalsAndQuestionsGoToStandardError) {
    struct Case {
        std::vector<std::string> args;
        std::string input;
        int status;
        std::string out, err;
    };
    const Case cases[] = {
        {{"2", "--answer=no"},
         "a\r\nb",
         1,
         "",
         "question: すべての改行をLf(ラインフィード)に統一してから置き換えますがよろしいですか？\n"},
        {{"2", "Combo40=改行(Lf)ラインフィード", "Text26=|"},
         "a\r\nb",
         0,
         "a\r|b",
         "question: CrLf(改行)があります、分解されてしまいますがよろしいですか？\n"},
        {{"4", "Combo31=右"}, "a", 1, "", "information: 右側に足す文字、文字列を入力して下さい。\n"},
        {{"5"}, "abc", 1, "", "exclamation: 置き換える文字、文字列が見つかりませんでした。\n"},
        {{"6", "Combo1=4"},
         "abc",
         1,
         "",
         "information: 置き換える文字数が元のデータより大きい値になっています。\n"},
        {{"6", "Combo1=0"},
         "abc",
         1,
         "",
         "exclamation: 条件が行えない行がある、または文字数、その他のエラーです。\n"},
        {{"7"}, "a=b", 1, "", "information: 置き換える文字を入力して下さい。\n"},
        {{"8"}, "a\r\n\r\nb", 1, "", "information: 改行の連続があります。\n"},
        {{"12"}, "abc", 1, "", "information: 条件を満たす文字を入力して下さい。\n"},
        {{"12", "Text13=x"}, "abc", 1, "", "information: 条件を満たす行はありませんでした。\n"},
    };
    for (const Case& c : cases) {
        const Set1Run r = run(c.args, c.input);
        EXPECT_EQ(r.status, c.status) << c.args[0];
        EXPECT_EQ(r.out, c.out) << c.args[0];
        EXPECT_EQ(r.err, c.err) << c.args[0];
    }
}

// A text a variant control's rule would never leave would run nothing without a word.
TEST(Set1Cli, AVariantTextThatIsNoEntryIsAUsageError) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"3", "Combo19=abc"},
         "Combo19 must be one of: 半角英小文字「a～z」, 半角英大文字「A～Z」, "
         "全角英小文字「ａ～ｚ」, 全角英大文字「Ａ～Ｚ」"},
        {{"1", "Combo39=x"},
         "Combo39 must be one of: 改行をカウントしない, 改行を1文字でカウントする, "
         "改行を2文字でカウントする, バイト数をカウントする(改行をカウントしない), "
         "バイト数をカウントする(改行「Lf」「Cr」「CrLf」、バックスペース「BS」を含む)"},
        {{"2", "Combo40=x"},
         "Combo40 must be one of: 改行(CrLf), 改行(Lf)ラインフィード, "
         "改行(Cr)キャリッジリターン, BS(バックスペース), Tab(タブ)"},
        {{"0", "Combo41=x"}, "Combo41 must be one of: 全文リバースする, 数行おきにリバースする"},
    };
    for (const auto& [args, valid] : cases) {
        const Set1Run r = run(args, "abc");
        EXPECT_EQ(r.status, 2) << args[1];
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, "kivoautofill-cli: the value of " + valid + "\n");
    }
}

}  // namespace
}  // namespace kivo
