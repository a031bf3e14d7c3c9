#include "text/text_buffer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

std::string Str(const CTextRef& t) { return std::string(t.Data(), size_t(t.Length())); }

// An empty buffer may still be without storage of its own (its text is a shared
// terminator); any other buffer holds its terminator inside its capacity.
bool Terminated(const CTextBuffer& t)
{
    return t.Data()[t.Length()] == 0 && (t.Length() == 0 || t.Capacity() >= t.Length() + 1);
}

} // namespace

TEST(GrowCapacity, FollowsTheRule)
{
    struct Case { const char* name; int32_t capacity; int64_t need; int32_t expected; };
    const Case cases[] = {
        {"fits", 16, 16, 16},
        {"minimum eight", 0, 1, 8},
        {"doubles once", 8, 9, 16},
        {"double not enough", 8, 101, 112},
        {"rounds past need", 8, 17, 24},
        {"large doubling", 1024, 1500, 2048},
        {"overflow refused", 8, int64_t(INT32_MAX) + 5, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GrowCapacity(c.capacity, c.need), c.expected) << c.name;
}

TEST(TextBuffer, AppendingByteByByteFollowsTheGrowthFigures)
{
    CTextBuffer text;
    EXPECT_TRUE(Terminated(text));
    EXPECT_EQ(text.Length(), 0);
    for (int i = 1; i <= 32; ++i) {
        text.Append('x');
        int32_t expected = i < 8 ? 8 : i < 16 ? 16 : i < 32 ? 32 : 64;
        ASSERT_EQ(text.Capacity(), expected) << "after " << i << " bytes";
        ASSERT_TRUE(Terminated(text));
    }
}

TEST(TextBuffer, ResizeBeyondDoublingAndNeverShrinks)
{
    CTextBuffer text("abc");
    EXPECT_EQ(text.Capacity(), 8);
    text.Resize(100);
    EXPECT_EQ(text.Capacity(), 112);
    text.Resize(2);
    EXPECT_EQ(text.Capacity(), 112);
    EXPECT_EQ(Str(text), "ab");
    EXPECT_TRUE(Terminated(text));
}

TEST(TextBuffer, SubstringsAndErase)
{
    CTextBuffer abc("abc");
    EXPECT_EQ(Str(abc.Left(10)), "abc");
    EXPECT_EQ(Str(abc.Left(-1)), "");
    EXPECT_EQ(Str(abc.Right(2)), "bc");
    EXPECT_EQ(Str(abc.Right(7)), "abc");
    EXPECT_EQ(Str(abc.Mid(1)), "bc");
    EXPECT_EQ(Str(abc.Mid(1, 1)), "b");
    EXPECT_EQ(Str(abc.Mid(3)), "");
    EXPECT_EQ(Str(abc.Mid(9, 2)), "");

    CTextBuffer erased("abc");
    erased.Erase(1, 10);
    EXPECT_EQ(Str(erased), "a");
    CTextBuffer middle("abcdef");
    middle.Erase(1, 2);
    EXPECT_EQ(Str(middle), "adef");
    middle.Erase(4, 1);
    EXPECT_EQ(Str(middle), "adef");
    EXPECT_TRUE(Terminated(middle));
}

TEST(TextBuffer, InsertGapAndAliasedAppend)
{
    CTextBuffer text("held");
    char* gap = text.InsertGap(1, 2);
    ASSERT_NE(gap, nullptr);
    std::memcpy(gap, "XY", 2);
    EXPECT_EQ(Str(text), "hXYeld");
    EXPECT_EQ(text.InsertGap(7, 1), nullptr);
    char* end = text.InsertGap(text.Length(), 1);
    ASSERT_NE(end, nullptr);
    *end = '!';
    EXPECT_EQ(Str(text), "hXYeld!");

    // Appending a buffer to itself must survive the reallocation it causes.
    CTextBuffer twice("0123456");
    twice.Append(twice);
    EXPECT_EQ(Str(twice), "01234560123456");
}

TEST(TextBuffer, InnerZeroBytesAreCounted)
{
    CTextBuffer text("a\0b", 3);
    EXPECT_EQ(text.Length(), 3);
    EXPECT_EQ(std::strlen(text.Data()), 1u);
    EXPECT_EQ(text.CharAt(2), 'b');
    EXPECT_EQ(text.CharAt(3, '#'), '#');
    EXPECT_EQ(text.CharAt(-1, '#'), '#');
}

TEST(TextBuffer, CopiesAndMovesOwnTheirStorage)
{
    CTextBuffer a("first");
    CTextBuffer b(a);
    b.Append("!");
    EXPECT_EQ(Str(a), "first");
    CTextBuffer c(std::move(b));
    EXPECT_EQ(Str(c), "first!");
    EXPECT_EQ(b.Length(), 0);
    EXPECT_TRUE(Terminated(b));
    a = c;
    EXPECT_EQ(Str(a), "first!");
}

TEST(TextBuffer, Comparisons)
{
    struct Case { const char* name; const char* a; const char* b; bool equal; bool equalNoCase; bool aPrefixOfB; };
    const Case cases[] = {
        {"same", "true", "true", true, true, true},
        {"capitals", "true", "TRUE", false, true, false},
        {"trailing blank", "true", "true ", false, false, true},
        {"both empty", "", "", true, true, true},
        {"empty prefix", "", "abc", false, false, true},
        {"prefix option", "-XstartOnFirstThread", "-XstartOnFirstThread=1", false, false, true},
        {"longer is no prefix", "abc", "ab", false, false, false},
        {"other case is no prefix", "-xstartonfirstthread", "-XstartOnFirstThread", false, true, false},
    };
    for (const Case& c : cases) {
        CTextBuffer a(c.a);
        EXPECT_EQ(a.Compare(c.b) == 0, c.equal) << c.name;
        EXPECT_EQ(a.CompareNoCase(c.b) == 0, c.equalNoCase) << c.name;
        EXPECT_EQ(a.IsPrefixOf(c.b) == 0, c.aPrefixOfB) << c.name;
    }
    // The difference is taken from the bytes as they stand, not upper-cased.
    EXPECT_EQ(CTextBuffer("a").CompareNoCase("c"), 'a' - 'c');
    EXPECT_EQ(CTextBuffer("ab").Compare("a"), 'b');
}

TEST(Arrays, GrowthAndInsert)
{
    CInt32Array array;
    array.Resize(1);
    EXPECT_EQ(array.Capacity(), 8);   // n entries for an array, no terminator
    array.Resize(8);
    EXPECT_EQ(array.Capacity(), 8);
    array.Resize(9);
    EXPECT_EQ(array.Capacity(), 16);
    for (int32_t i = 0; i < 9; ++i)
        array[i] = i;
    int32_t* gap = array.InsertGap(0, 2);
    ASSERT_NE(gap, nullptr);
    gap[0] = -1;
    gap[1] = -2;
    EXPECT_EQ(array.Count(), 11);
    EXPECT_EQ(array[0], -1);
    EXPECT_EQ(array[2], 0);
    EXPECT_EQ(array[10], 8);
    EXPECT_EQ(array.InsertGap(12, 1), nullptr);
}

TEST(TextList, OffsetsPoolAndNulSeparators)
{
    CTextList list;
    list.AddString("a");
    list.AddString("");
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list[0], 0);
    EXPECT_EQ(list[1], 2);
    EXPECT_EQ(list.Pool().Length(), 3);
    EXPECT_STREQ(list.StringAt(0), "a");
    EXPECT_STREQ(list.StringAt(1), "");

    // Offsets survive the pool moving as it grows.
    for (int i = 0; i < 200; ++i)
        list.AddString("some longer text");
    EXPECT_STREQ(list.StringAt(0), "a");
    EXPECT_STREQ(list.StringAt(201), "some longer text");
}
