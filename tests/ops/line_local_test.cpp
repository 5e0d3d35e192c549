#include <random>

#include "harness.h"
#include "text/utf8.h"

// An operation declared line-local is run by the command line a block of lines at a time, its
// blocks' results written one after the other: for any text and any cut after a line break (before
// a line that is not empty) the whole text's result must be the two parts' results joined, and a
// refusal of the whole must be a refusal of a part.
namespace kivo::test {
namespace {

// Lines that touch what the line-local operations look at: widths, kana, digits, dates, kanji
// numerals, blanks, characters outside Shift-JIS, a surrogate pair.
constexpr TextView kLines[] = {
    u"abc",
    u"東京都港区",
    u"１２３ＡＢＣ",
    u"a1b2c3",
    u"ｱｲｳｴｵ",
    u"  spaced  ",
    u"x",
    u"2024/1/31",
    u"令和6年1月31日",
    u"二千二十四",
    u"\tTab",
    u"ひらがなカタカナ",
    u"①㈱髙",
    u"😀",
    u"   ",
    u"　",
    u"a,\"b,c\"",
    u"abc=def",
    u"long line 12345 67890 の文字列",
    u"ab",
};

struct Sample {
    Text text;
    bool hasEmptyLines = false;
};

// Texts of 1 to 12 lines with Lf, CrLf or both, ending with a line break or not, some with
// empty lines; their lines come from kLines and from the operation's example.
std::vector<Sample> samples(const OperationDeclaration& op) {
    std::vector<TextView> pool(std::begin(kLines), std::end(kLines));
    LineReader exampleLines(op.example.input, LineEnds::Any);
    for (TextView line; exampleLines.next(line);)
        for (int twice = 0; twice < 2; ++twice)
            pool.push_back(line);
    std::mt19937 random(34);
    std::vector<Sample> all;
    for (int i = 0; i < 60; ++i) {
        Sample s;
        const int lines = 1 + static_cast<int>(random() % 12);
        const auto breaks = random() % 3;  // Lf, CrLf, either
        for (int l = 0; l < lines; ++l) {
            const bool empty = i % 4 == 3 && random() % 3 == 0;
            s.hasEmptyLines |= empty && l > 0;
            if (!empty) s.text += pool[random() % pool.size()];
            const bool crLf = breaks == 1 || (breaks == 2 && random() % 2 == 0);
            if (l + 1 < lines || random() % 2 == 0) s.text += crLf ? u"\r\n" : u"\n";
        }
        all.push_back(std::move(s));
    }
    return all;
}

// Where the command line may cut: after an Lf, before a line that is not empty.
std::vector<std::size_t> cuts(TextView text) {
    std::vector<std::size_t> at;
    for (std::size_t i = 1; i < text.size(); ++i)
        if (text[i - 1] == u'\n' && text[i] != u'\r' && text[i] != u'\n') at.push_back(i);
    return at;
}

// The example's options, and for an operation with several line-local modes each of them.
std::vector<Settings> settingsOf(const OperationDeclaration& op) {
    Settings example;
    for (const std::string& word : op.example.options) {
        const std::size_t equals = word.find('=');
        const std::string name = word.substr(2, equals - 2);
        example.emplace_back(
            name, equals == std::string::npos ? Text(u"1") : utf8::decode(word.substr(equals + 1)).value());
    }
    std::vector<Settings> all{example};
    Settings counts = example;  // each count at 3: steps and positions past the first
    for (const ParamDeclaration& p : op.params) {
        if (p.kind != ParamKind::Count) continue;
        std::erase_if(counts, [&](const auto& s) { return s.first == p.option; });
        counts.emplace_back(p.option, u"3");
    }
    if (counts != example && runsBlockByBlock(op, optionsOf(op, counts))) all.push_back(counts);
    for (const ParamDeclaration& p : op.params) {
        if (p.kind != ParamKind::List) continue;
        for (const ListEntry& entry : p.entries) {
            Settings changed = example;
            std::erase_if(changed, [&](const auto& s) { return s.first == p.option; });
            changed.emplace_back(p.option, entry.text);
            if (runsBlockByBlock(op, optionsOf(op, changed))) all.push_back(std::move(changed));
        }
    }
    return all;
}

// What the command line makes of two blocks' runs: their results one after the other; a block that
// kept no line adds nothing, and when it is the last the line break before it goes unless the text
// ended with one; the message when neither kept a line. Picks of lines by number are parted by a
// line break when the first ends without one.
std::optional<Text> joinedResults(const OperationDeclaration& op, const OpRun& first, const OpRun& second,
                                  TextView text) {
    const auto withMessage = [&](const OpRun& part) {
        return !part.out && !op.emptyResultMessage.empty() &&
               part.messages() == std::vector{Text(op.emptyResultMessage)};
    };
    const auto keptNone = [&](const OpRun& part) {
        return withMessage(part) || (op.countsLines && part.out && part.out->empty());
    };
    if (withMessage(first) && withMessage(second)) return std::nullopt;
    if ((!first.out && !keptNone(first)) || (!second.out && !keptNone(second))) return std::nullopt;
    Text joined = first.out.value_or(u"");
    if (op.countsLines && !keptNone(first) && !keptNone(second) && !joined.ends_with(u"\r\n"))
        joined += u"\r\n";
    joined += second.out.value_or(u"");
    const bool endsWithBreak = text.back() == u'\n' || text.back() == u'\r';
    if (keptNone(second) && !endsWithBreak && joined.ends_with(u"\r\n")) joined.resize(joined.size() - 2);
    return joined;
}

TEST(LineLocal, AWholeTextGivesItsBlocksResultsJoined) {
    for (const OperationDeclaration* op : operations()) {
        if (!op->lineLocal) continue;
        const std::vector<Sample> texts = samples(*op);
        for (const Settings& settings : settingsOf(*op)) {
            if (!runsBlockByBlock(*op, optionsOf(*op, settings))) continue;
            for (const Sample& sample : texts) {
                const OpRun whole = run(*op, sample.text, settings);
                if (op->hasUtf8Run) {
                    // The command line runs UTF-8 bytes as they are where the operation takes them.
                    FakeContext ctx;
                    const std::string bytes = utf8::encode(sample.text);
                    DispatchResult onBytes =
                        dispatch(*op, std::string_view(bytes), optionsOf(*op, settings), ctx);
                    const std::optional<std::string> got = onBytes.lowerUtf8 ? onBytes.lowerUtf8
                                                           : onBytes.lower
                                                               ? std::optional(utf8::encode(*onBytes.lower))
                                                               : std::nullopt;
                    EXPECT_EQ(got, whole.out ? std::optional(utf8::encode(*whole.out)) : std::nullopt)
                        << op->name << " on bytes: " << show(sample.text);
                }
                EXPECT_TRUE(whole.out || op->refusesSomeLines) << op->name << ": " << show(sample.text);
                if (whole.out) {
                    EXPECT_TRUE(whole.messages().empty()) << op->name << ": " << show(sample.text);
                }
                for (const std::size_t cut : cuts(sample.text)) {
                    const TextView text = sample.text;
                    const OpRun first = run(*op, text.substr(0, cut), settings);
                    FakeContext after;
                    after.setLinesBefore(lineCountOf(text.substr(0, cut)) - 1);
                    const OpRun second = run(*op, text.substr(cut), settings, std::move(after));
                    const std::optional<Text> joined = joinedResults(*op, first, second, text);
                    EXPECT_EQ(show(whole.out), show(joined))
                        << op->name << ": " << show(sample.text) << " cut at " << cut;
                }
            }
        }
    }
}

}  // namespace
}  // namespace kivo::test
