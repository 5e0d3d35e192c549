// The notices text of a server text, the server text of an answer, and the InfoLog.txt record.
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "app/notices.h"
#include "app/program_folder.h"
#include "text/cp932.h"

using namespace kivo;
using namespace kivo::app;

namespace {

const Text kMarker(kNoticesMarker);

Text body(TextView notices) {
    return u"<HTML><BODY>" + kMarker + Text(notices) + u"</BODY></HTML>";
}

}  // namespace

TEST(NoticesText, BreakTagsInAnyCaseBecomeCrLf) {
    const struct {
        TextView after;
        TextView shown;
    } rows[] = {
        {u"最新版<br>公開", u"最新版\r\n公開"},
        {u"a<BR>b<Br />c<bR />d", u"a\r\nb\r\nc\r\nd"},
        {u"a<br/>b", u"a<br/>b"},        // only the two spellings
        {u"a<b r>b", u"a<b r>b"},        // not a break tag
        {u"a\nb\r\nc", u"a\r\nb\r\nc"},  // every line break CrLf
        {u"a\rb", u"a\rb"},              // a lone Cr is left alone
        {u"<BR", u"<BR"},
    };
    int i = 0;
    for (const auto& row : rows) {
        SCOPED_TRACE(i++);
        EXPECT_EQ(noticesText(kMarker + Text(row.after)), Text(row.shown));
    }
}

// What the notice holds is what it shows: no control character but the line breaks, and nothing
// that turns the direction of the text.
TEST(NoticesText, ShowsNoControlOrDirectionOverride) {
    using namespace std::string_literals;
    const struct {
        Text after;
        std::optional<Text> shown;
    } rows[] = {
        {u"a\x01"
         u"b\x1B[31mc\td\x7F",
         u"ab[31mcd\x7F"},
        {u"\x08  最新版\r公開\n", u"最新版\r公開\r\n"},
        {u"請求書\u202Efdp.exe", u"請求書fdp.exe"},
        {u"\u202Aa\u202Bb\u202Cc\u202Dd\u2066e\u2067f\u2068g\u2069h\u200Fi", u"abcdefgh\u200Fi"},
        {u"<B\0R>x"s, u"\r\nx"},
        {u"\u202E\x07", std::nullopt},
    };
    int i = 0;
    for (const auto& row : rows) {
        SCOPED_TRACE(i++);
        EXPECT_EQ(noticesText(kMarker + row.after), row.shown);
    }
}

TEST(NoticesText, TextAfterTheFirstEmptyLineIsDropped) {
    EXPECT_EQ(noticesText(kMarker + u"一行目<br>二行目<br><br>三行目<br><br>四行目"),
              u"一行目\r\n二行目\r\n");
    EXPECT_EQ(noticesText(kMarker + u"a\r\n\r\nb"), u"a\r\n");
    EXPECT_EQ(noticesText(kMarker + u"a<BR>\r\nb"), u"a\r\n");  // a tag and a line break make an empty line
    EXPECT_EQ(noticesText(kMarker + u"<br><br>a"), u"\r\n");
}

TEST(NoticesText, CutTo500CharactersBeforeTagsAreConverted) {
    EXPECT_EQ(noticesText(kMarker + Text(600, u'あ')), Text(500, u'あ'));
    EXPECT_EQ(noticesText(kMarker + Text(500, u'x')), Text(500, u'x'));
    // The cut falls inside the tag, which then stays as text.
    EXPECT_EQ(noticesText(kMarker + Text(497, u'x') + u"<BR>y"), Text(497, u'x') + u"<BR");
    EXPECT_EQ(noticesText(kMarker + Text(496, u'x') + u"<BR>y"), Text(496, u'x') + u"\r\n");
    // Spaces are trimmed after the cut: the 500 include the leading ones.
    EXPECT_EQ(noticesText(kMarker + u"  " + Text(600, u'x')), Text(498, u'x'));
}

TEST(NoticesText, MarkerAndSpaces) {
    EXPECT_EQ(noticesText(u"前置き" + kMarker + u"  お知らせ　 "), u"お知らせ　");  // ASCII spaces only
    EXPECT_EQ(noticesText(u"Kivoオートフィルお知らせ:全角でない"), std::nullopt);
    EXPECT_EQ(noticesText(u"kivoオートフィルお知らせ：小文字"), std::nullopt);
    EXPECT_EQ(noticesText(u""), std::nullopt);
    EXPECT_EQ(noticesText(kMarker + u"   "), std::nullopt);  // nothing to show
    EXPECT_EQ(noticesText(kMarker + u"一つ目" + kMarker + u"二つ目"), u"一つ目" + kMarker + u"二つ目");
}

TEST(ServerText, NeedsUpperCaseBody) {
    EXPECT_EQ(serverText(body(u"x"), ""), body(u"x"));
    EXPECT_EQ(serverText(u"<body>" + kMarker + u"x", ""), u"");
    EXPECT_EQ(serverText(kMarker + u"x", ""), u"");
}

TEST(ServerText, ShiftJisTakesOverAWrongOrMissingDecoding) {
    const Text page = body(u"新機能");
    const std::string shiftJis = cp932::encode(page);
    EXPECT_EQ(serverText(std::nullopt, shiftJis), page);
    EXPECT_EQ(serverText(Text(), shiftJis), page);
    EXPECT_EQ(serverText(u"<BODY>???", shiftJis), page);
    // "???" stays when the raw bytes are no Shift-JIS.
    EXPECT_EQ(serverText(u"<BODY>a???", "<BODY>a???\x80"), u"<BODY>a???");
    EXPECT_EQ(serverText(u"<BODY>a???", ""), u"<BODY>a???");
    // A decoding without "???" is kept even when the bytes say otherwise.
    EXPECT_EQ(serverText(u"<BODY>ok", shiftJis), u"<BODY>ok");
    EXPECT_EQ(serverText(std::nullopt, ""), u"");
}

TEST(ServerText, ShiftJisCharsetLabels) {
    for (const char* label : {"Shift_JIS", "shift-jis", "SJIS", "windows-31j", "CP932", "\"x-sjis\""})
        EXPECT_TRUE(isShiftJisCharset(label)) << label;
    for (const char* label : {"", "utf-8", "euc-jp", "iso-2022-jp", "shift_jisx0213"})
        EXPECT_FALSE(isShiftJisCharset(label)) << label;
}

TEST(InfoLog, RecordOfAcknowledgedNotices) {
    EXPECT_TRUE(logHoldsNotice(u"古い\r\n新しい\r\n\r\n", u"新しい\r\n"));
    EXPECT_FALSE(logHoldsNotice(u"新しい\r\n", u"新しい\r\n追記"));
    EXPECT_FALSE(logHoldsNotice(u"abc\r\n", u"ABC"));  // case-sensitive
    EXPECT_FALSE(logHoldsNotice(u"", u"a"));

    // Each write adds one more CrLf after the whole log, which is read back as part of it.
    Text log = logWithNotice(u"", u"一件目");
    EXPECT_EQ(log, u"一件目\r\n");
    EXPECT_EQ(infoLogBytes(log), cp932::encode(u"一件目\r\n\r\n"));
    log = logWithNotice(u"一件目\r\n\r\n", u"二件目");
    EXPECT_EQ(infoLogBytes(log), cp932::encode(u"一件目\r\n\r\n二件目\r\n\r\n"));
    EXPECT_EQ(infoLogBytes(u"～"), "\x81\x60\r\n");
}

TEST(ProgramFolder, TrailingSeparatorAndLength) {
    EXPECT_EQ(programFolder(u"/opt/kivo"), u"/opt/kivo/");
    EXPECT_EQ(programFolder(u"/opt/kivo/"), u"/opt/kivo/");
    EXPECT_EQ(programFolder(u""), u"/");

    const Text at232 = u"/" + Text(230, u'長') + u"/";
    ASSERT_EQ(at232.size(), 232u);
    EXPECT_FALSE(programFolderTooLong(at232));
    EXPECT_TRUE(programFolderTooLong(u"/" + Text(231, u'a') + u"/"));
    EXPECT_FALSE(programFolderTooLong(u"/"));
}
