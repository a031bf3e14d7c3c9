#include "vm/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> Split(const std::string& line, std::vector<int>* marks = nullptr)
{
    CTextBuffer text(line.c_str());
    CPointerArray arguments;
    CInt32Array markArray;
    int32_t n = SplitCommandLine(arguments, text.Data(), marks ? &markArray : nullptr);
    std::vector<std::string> out;
    for (int32_t i = 0; i < n; ++i)
        out.push_back(arguments[i]);
    if (marks)
        for (int32_t i = 0; i < markArray.Count(); ++i)
            marks->push_back(markArray[i]);
    return out;
}

} // namespace

TEST(SplitCommandLine, Table)
{
    struct Case { const char* name; const char* line; std::vector<std::string> arguments; };
    const std::vector<Case> cases = {
        {"blank inside quotes", "-a \"b c\" d", {"-a", "b c", "d"}},
        {"escaped quote", "a\\\"b", {"a\"b"}},
        {"two backslashes then a grouping quote", "a\\\\\"b c\"", {"a\\b c"}},
        {"backslashes elsewhere are literal", "a\\\\b", {"a\\\\b"}},
        {"adjacent quoted parts", "\"a\"\"b\"", {"ab"}},
        {"empty argument", "\"\"", {""}},
        {"only blanks", "   ", {}},
        {"tabs separate", "x\ty", {"x", "y"}},
        {"three backslashes and a quote", "a\\\\\\\"b", {"a\\\"b"}},
        {"unterminated quote runs to the end", "\"a b", {"a b"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Split(c.line), c.arguments) << c.name;
}

TEST(SplitCommandLine, WildcardMarks)
{
    std::vector<int> marks;
    EXPECT_EQ(Split("plain *.txt \"*.csv\" \"a\"*b ?\"*\"", &marks),
              (std::vector<std::string>{"plain", "*.txt", "*.csv", "a*b", "?*"}));
    // A wildcard that stood inside quotes marks its argument for good.
    EXPECT_EQ(marks, (std::vector<int>{0, 1, -1, 1, -1}));
}
