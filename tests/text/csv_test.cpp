#include "text/csv.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "text/utf8.h"

namespace kivo {
namespace {

namespace fs = std::filesystem;

CsvTable read(TextView text, char16_t separator = u',', MalformedRows malformed = MalformedRows::Stop) {
    std::optional<CsvTable> table = CsvTable::read(text, separator, malformed, {});
    if (!table) throw std::logic_error("stopped without Stop");
    return std::move(*table);
}

// The rows as csv_reference.py writes them.
std::string rowsOf(const CsvTable& table) {
    std::string out;
    for (std::size_t r = 0; r < table.rowCount(); ++r) {
        out += 'R';
        for (std::size_t c = 0; c < table.fieldCount(r); ++c) {
            out += '|';
            for (const char16_t unit : table.field(r, c)) {
                char hex[5];
                std::snprintf(hex, sizeof hex, "%02x%02x", unit & 0xFF, unit >> 8);
                out += hex;
            }
        }
        out += '\n';
    }
    return out;
}

std::string fileText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFile(const fs::path& path, TextView text) {
    std::ofstream(path, std::ios::binary) << utf8::encode(text);
}

struct ReferenceCase {
    TextView text;
    char16_t separator = u',';
};

const ReferenceCase kReferenceCases[] = {
    {u"a,b,c\r\n1,2,3\r\n"},
    {u"\"a,b\",c\r\n"},
    {u"\"say \"\"hi\"\"\",x\r\n\"\"\"\",\"a\"\"\"\r\n"},
    {u"\"line1\r\nline2\",b\r\nc,d"},
    {u"\"x\ny\",z\r\n\"p\rq\",r\r\n"},
    {u",,\r\na,,b\r\n"},
    {u"a,b,\r\n,\r\n"},
    {u"a\r\nb,c,d\r\n\r\ne,f"},
    {u"a,b\nc,d\n"},
    {u"a,b\rc,d"},
    {u"ab\"c,d\"\r\n"},
    {u"\"\",\"\"\r\n\"\"\r\n"},
    {u"名前,住所\r\n山田,\"東京都, 千代田区\"\r\n鈴木,\"大阪府\r\n大阪市\"\r\n"},
    {u"a\tb\t\"c\td\"\r\n\"e,f\"\tg\r\n", u'\t'},
    {u"a;\"b;c\";d\r\ne,f;g", u';'},
    {u"😀,\"😀\"\"x\"\r\n"},
    {u"\r\n\r\n"},
    {u"a,\"b\""},
    {u" a , b \r\n\" c \", d"},
    {u"x|y|\"|\"\r\n", u'|'},
    {u"a,\"b\r\nc,d"},
    {u"a,\"b\"c,d\r\ne,f\r\n"},
    {u"x\r\ny\r\n\"ab\" ,c\r\n"},
    {u"\"ab\"\""},
};

// Python's csv module reads each text and writes its rows back, once for all cases.
TEST(Csv, AgreesWithPython) {
#ifndef KIVO_PYTHON3
    GTEST_SKIP() << "python3 was not found when the build was configured";
#else
    char folder[] = "/tmp/kivo-csv-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const fs::path dir(folder);
    const auto path = [&](std::size_t i, const char* suffix) {
        return dir / ("case" + std::to_string(i) + suffix);
    };
    for (std::size_t i = 0; i < std::size(kReferenceCases); ++i) {
        writeFile(path(i, ".txt"), kReferenceCases[i].text);
        writeFile(path(i, ".sep"), TextView(&kReferenceCases[i].separator, 1));
    }
    const std::string command = std::string(KIVO_PYTHON3) + " " + KIVO_CSV_REFERENCE + " " + dir.string();
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    for (std::size_t i = 0; i < std::size(kReferenceCases); ++i) {
        const ReferenceCase& c = kReferenceCases[i];
        SCOPED_TRACE("case" + std::to_string(i) + ": " + utf8::encode(c.text));
        const std::string rows = fileText(path(i, ".rows"));
        const bool refused = rows.ends_with("ERROR\n");
        try {
            const CsvTable table = read(c.text, c.separator);
            EXPECT_FALSE(refused);
            EXPECT_EQ(rowsOf(table), rows);
            // Python ends every row with CrLf; ours ends the last one only where the text did.
            const auto written = [&](const char* suffix) {
                std::string python = fileText(path(i, suffix));
                if (!table.endsWithLineBreak() && python.ends_with("\r\n")) python.resize(python.size() - 2);
                return python;
            };
            EXPECT_EQ(utf8::encode(*writeCsv(table, c.separator, {})), written(".same"));
            EXPECT_EQ(utf8::encode(*writeCsv(table, u'\t', {})), written(".tab"));
        } catch (const CsvError&) {
            EXPECT_TRUE(refused);
            // The rows before the malformed one read the same as Python's.
            const CsvTable kept = read(c.text, c.separator, MalformedRows::LeaveOut);
            ASSERT_FALSE(kept.leftOut().empty());
            EXPECT_TRUE(rowsOf(kept).starts_with(rows.substr(0, rows.size() - std::strlen("ERROR\n"))));
        }
    }
    fs::remove_all(dir);
#endif
}

TEST(Csv, MalformedRows) {
    struct Case {
        TextView text;
        std::size_t line;
        CsvFault fault;
        TextView keptRows;  // written back with the row left out
    };
    const Case cases[] = {
        // A quote never closed takes only its own line with it.
        {u"a\r\n\"b,c\r\nd\r\ne", 2, CsvFault::UnclosedQuote, u"a\r\nd\r\ne"},
        {u"a\r\n\"b\"\"\r\n", 2, CsvFault::UnclosedQuote, u"a\r\n"},
        // Text after a closing quote: the row ends where it would if the text were read leniently.
        {u"a\r\n\"b,c\r\nd\r\n\"e\"f,g\r\nh\r\n", 2, CsvFault::TextAfterQuote, u"a\r\nh\r\n"},
        {u"x\ny\r\"1\"2,3\r\nz", 3, CsvFault::TextAfterQuote, u"x\r\ny\r\nz"},
        {u"\"a\r\nb\"\r\nc,\"d\" \r\ne", 3, CsvFault::TextAfterQuote, u"\"a\r\nb\"\r\ne"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(utf8::encode(c.text));
        try {
            read(c.text);
            ADD_FAILURE() << "not refused";
        } catch (const CsvError& e) {
            EXPECT_EQ(e.row().line, c.line);
            EXPECT_EQ(e.row().fault, c.fault);
        }
        const CsvTable kept = read(c.text, u',', MalformedRows::LeaveOut);
        ASSERT_EQ(kept.leftOut().size(), 1u);
        EXPECT_EQ(kept.leftOut()[0].line, c.line);
        EXPECT_EQ(*writeCsv(kept, u',', {}), c.keptRows);
    }
    try {
        read(u"a\r\n\"b");
    } catch (const CsvError& e) {
        EXPECT_EQ(e.japanese(), u"2行目：「\"」で始まる項目が閉じられていません。");
    }
    EXPECT_THROW(read(u"a", u'"'), RefusedInput);
    EXPECT_THROW(read(u"a", u'\n'), RefusedInput);
}

TEST(Csv, ColumnLists) {
    struct Case {
        TextView list;
        std::vector<std::size_t> columns;
    };
    const Case cases[] = {
        {u"3,1,2", {2, 0, 1}},
        {u"2-4", {1, 2, 3}},
        {u"1, 3-4 ,1", {0, 2, 3, 0}},
        {u"　１，３－４、２", {0, 2, 3, 1}},
        {u"5-5", {4}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parseColumns(c.list), c.columns) << utf8::encode(c.list);
    const TextView refused[] = {u"",     u"  ", u"0",  u"1,0", u"4-2",     u"a",
                                u"1,,2", u"1-", u"-2", u"1 2", u"2000000", u"1.5"};
    for (const TextView list : refused)
        EXPECT_THROW(parseColumns(list), RefusedInput) << utf8::encode(list);
    try {
        parseColumns(u"1,x");
    } catch (const RefusedInput& e) {
        EXPECT_EQ(e.japanese(), u"列の指定の3文字目が読めません（例：3,1,2 や 2-4）。");
    }
}

TEST(Csv, Columns) {
    const CsvTable table = read(u"a,b,c\r\nd\r\n\r\n\"e,1\",\"f\"\"\",g\r\n");
    EXPECT_EQ(*takeColumns(table, {2, 0}, u',', {}), u"c,a\r\n,d\r\n\r\ng,\"e,1\"\r\n");
    EXPECT_EQ(*takeColumns(table, {1}, u',', {}), u"b\r\n\"\"\r\n\r\n\"f\"\"\"\r\n");
    EXPECT_EQ(*removeColumns(table, {1, 5}, u',', {}), u"a,c\r\nd\r\n\r\n\"e,1\",g\r\n");
    EXPECT_EQ(*removeColumns(table, {0}, u'\t', {}), u"b\tc\r\n\r\n\r\n\"f\"\"\"\tg\r\n");
}

int byLength(TextView a, TextView b) {
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    return a.compare(b);
}

TEST(Csv, SortRows) {
    struct Case {
        RowSort sort;
        TextView result;
    };
    const TextView text = u"名前,点\r\nb,10\r\na,9\r\nc,10円\r\nd\r\ne,-1";
    const Case cases[] = {
        {{.column = 0, .order = {}}, u"a,9\r\nb,10\r\nc,10円\r\nd\r\ne,-1\r\n名前,点"},
        {{.column = 1, .order = {}, .header = true}, u"名前,点\r\nd\r\ne,-1\r\nb,10\r\nc,10円\r\na,9"},
        {{.column = 1, .order = {KeyOrder::Kind::Numeric}, .header = true},
         u"名前,点\r\ne,-1\r\nd\r\na,9\r\nb,10\r\nc,10円"},
        // Descending keeps rows of equal keys in their order.
        {{.column = 1, .order = {KeyOrder::Kind::Numeric}, .descending = true, .header = true},
         u"名前,点\r\nb,10\r\nc,10円\r\na,9\r\nd\r\ne,-1"},
        {{.column = 1, .order = {KeyOrder::Kind::Custom, byLength}, .header = true},
         u"名前,点\r\nd\r\na,9\r\ne,-1\r\nb,10\r\nc,10円"},
    };
    const CsvTable table = read(text);
    for (const Case& c : cases)
        EXPECT_EQ(*sortRows(table, c.sort, u',', {}), c.result);
    // Keys alike in their first eight units are told apart by the rest, U+0000 included.
    using namespace std::string_view_literals;
    const TextView keys = u"abcdefghZ\r\nabcdefghA\r\nabcdefgh\r\na\0\r\na\r\nabcdefgh\0\r\n"sv;
    EXPECT_EQ(*sortRows(read(keys), {.column = 0, .order = {}}, u',', {}),
              u"a\r\na\0\r\nabcdefgh\r\nabcdefgh\0\r\nabcdefghA\r\nabcdefghZ\r\n"sv);
    // The final line break stays at the end of the text, wherever its row goes.
    EXPECT_EQ(*sortRows(read(u"b\r\na\r\n"), {}, u',', {}), u"a\r\nb\r\n");
    EXPECT_EQ(*sortRows(read(u"\"x\r\ny\",1\r\n\"x\",0"), {.column = 1, .order = {}}, u',', {}),
              u"x,0\r\n\"x\r\ny\",1");
}

TEST(Csv, RemoveDuplicateRows) {
    const CsvTable table = read(u"id,v\r\n1,a\r\n2,b\r\n1,c\r\nid,d\r\n3\r\n4,\r\n");
    // The header takes no part in the comparison.
    EXPECT_EQ(*removeDuplicateRows(table, 0, true, u',', {}), u"id,v\r\n1,a\r\n2,b\r\nid,d\r\n3\r\n4,\r\n");
    EXPECT_EQ(*removeDuplicateRows(table, 0, false, u',', {}), u"id,v\r\n1,a\r\n2,b\r\n3\r\n4,\r\n");
    // A missing key is an empty one.
    EXPECT_EQ(*removeDuplicateRows(table, 1, true, u',', {}), u"id,v\r\n1,a\r\n2,b\r\n1,c\r\nid,d\r\n3\r\n");
}

TEST(Csv, StopAndBudget) {
    const Text text(100000, u'\n');
    const RunControl stop{.stop = [] { return true; }};
    EXPECT_FALSE(CsvTable::read(text, u',', MalformedRows::Stop, stop));
    const CsvTable table = read(u"a,b\r\nc,d\r\n");
    EXPECT_FALSE(writeCsv(table, u',', stop));
    RunControl budget;
    budget.resultBudget = 6;
    EXPECT_THROW(writeCsv(table, u',', budget), RunTimeError);
}

}  // namespace
}  // namespace kivo
