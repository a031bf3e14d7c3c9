#include "config/message_table.h"

#include <gtest/gtest.h>

#include <string>

TEST(MessageTable, BuiltInTextsWithoutConfiguration)
{
    struct Case { unsigned id; const char* text; };
    const Case cases[] = {
        {1, "Java Runtime Environment not found."},
        {6, "Java virtual machine version %s is too low, require %s or higher."},
        {10, "Error"},
        {13, "There is already an instance of this program running."},
        {9, ""},
        {0, ""},
        {400, ""},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(GetMessage(c.id).Data(), c.text) << "message " << c.id;
}

TEST(FormatMessageText, PlacesArgumentsAndStaysSafe)
{
    const char* arguments[] = {"1.6.0_45", "1.7", "9.0", "", ""};
    struct Case { const char* name; const char* format; const char* text; };
    const Case cases[] = {
        {"too low", "Java virtual machine version %s is too low, require %s or higher.",
         "Java virtual machine version 1.6.0_45 is too low, require 1.7 or higher."},
        {"too high", "version %s; between %s and %s", "version 1.6.0_45; between 1.7 and 9.0"},
        {"percent escapes", "100%% %d %n %", "100% %d %n %"},
        {"more than five", "%s%s%s%s%s%s%s|", "1.6.0_451.79.0|"},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(FormatMessageText(c.format, arguments, 5).Data(), c.text) << c.name;

    std::string longFormat(5000, 'x');
    longFormat += "%s";
    EXPECT_EQ(FormatMessageText(longFormat.c_str(), arguments, 5).Length(), 5008) << "no fixed limit";
}

TEST(UnescapeMessageText, Table)
{
    struct Case { const char* in; const char* out; };
    const Case cases[] = {{"a\\nb", "a\nb"}, {"\\r\\t", "\r\t"}, {"back\\\\slash", "back\\slash"},
                          {"\\q", "q"}, {"end\\", "end"}, {"", ""}};
    for (const Case& c : cases)
        EXPECT_STREQ(UnescapeMessageText(c.in).Data(), c.out) << c.in;
}
