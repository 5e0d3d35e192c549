// Recipe lines: what the window writes for a step is what the command line reads back.

#include "ops/recipe.h"

#include <gtest/gtest.h>

#include "ops/registry.h"

namespace kivo {
namespace {

constexpr Date kDay{2024, 5, 1};

OptionTexts readBack(const std::string& line) {
    return parseStep(splitWords(line)).texts(kDay);
}

TEST(Recipe, EveryExampleComesBackFromItsLine) {
    for (const OperationDeclaration* op : operations()) {
        std::vector<std::string> words = {op->name};
        words.insert(words.end(), op->example.options.begin(), op->example.options.end());
        const OptionTexts texts = parseStep(words).texts(kDay);
        const RecipeLine line = recipeLine(*op, texts);
        ASSERT_TRUE(line.refusal.empty()) << op->name;
        const OptionTexts back = readBack(line.line);
        EXPECT_EQ(back.all(), texts.all()) << line.line;
    }
}

TEST(Recipe, ValuesAreQuotedAsThePageQuotesThem) {
    const struct {
        Text side, text;
        std::string line;
    } rows[] = {
        {u"左", u"・", "add-text '--text=・'"},
        {u"右", u"x=y,1.5", "add-text --side=right --text=x=y,1.5"},
        {u"左", u" ", "add-text '--text= '"},
        {u"左", u"it's", "add-text '--text=it'\\''s'"},
        {u"左", u"a\\b \"c\"", "add-text '--text=a\\b \"c\"'"},
        {u"左", u"#$`", "add-text '--text=#$`'"},
        // A side the list does not hold reads as its last entry.
        {u"まんなか", u"a", "add-text --side=right --text=a"},
    };
    const OperationDeclaration& op = *operationNamed("add-text");
    for (const auto& row : rows) {
        OptionTexts texts = OptionTexts::defaults(op, kDay);
        texts.set("side", row.side);
        texts.set("text", row.text);
        EXPECT_EQ(recipeLine(op, texts).line, row.line);
        EXPECT_EQ(readBack(row.line).text("text"), row.text) << row.line;
    }
}

TEST(Recipe, ALineBreakOrAValueTheReaderRefusesMakesNoLine) {
    const OperationDeclaration& op = *operationNamed("add-text");
    for (const Text& text : {Text(u"a\r\nb"), Text(u"a\n"), Text(u"\r")}) {
        OptionTexts texts = OptionTexts::defaults(op, kDay);
        texts.set("text", text);
        EXPECT_TRUE(recipeLine(op, texts).refusal == kRecipeLineBreak);
    }
    for (const OperationDeclaration* other : operations()) {
        for (const ParamDeclaration& p : other->params) {
            if (p.kind != ParamKind::Count) continue;
            OptionTexts texts = OptionTexts::defaults(*other, kDay);
            texts.set(p.option, decimalText(static_cast<long long>(p.max) + 1));
            EXPECT_TRUE(recipeLine(*other, texts).refusal == kRecipeValueRefused)
                << other->name << " " << p.option;
        }
    }
}

TEST(Recipe, AStepReadFromAFileIsWrittenInTheNamedForm) {
    const struct {
        std::vector<std::string> words;
        std::string line;
    } rows[] = {
        {{"4", "Combo31=右", "Text3=!"}, "add-text --side=right '--text=!'"},
        {{"add-text", "--text=a", "--text=b"}, "add-text --text=b"},
        {{"add-text", "--side=left"}, "add-text --side=left"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(recipeLine(parseStep(row.words)).line, row.line);
}

}  // namespace
}  // namespace kivo
