#include "storage/ProjectList.h"

#include <gtest/gtest.h>

#include <sstream>

namespace ambrin {
namespace {

std::vector<std::string> Names(const ProjectList& list)
{
    std::vector<std::string> names;
    for (std::uint32_t i = 0; i < list.Count(); ++i) names.push_back(list.At(i));
    return names;
}

struct ReadListCase {
    const char* name;
    std::string text;
    std::vector<std::string> expected;
};

TEST(ProjectList, ReadListTable)
{
    const std::string longLine(600, 'x');
    const ReadListCase cases[] = {
        {"case and spaces", "Alpha\r\nalpha\r\n  Alpha  \r\n", {"Alpha"}},
        {"blank and control lines skipped", "\r\n\t\r\n\x01\x7f\r\nB\r\n", {"B"}},
        {"spaces give one empty name", "   \r\nA\r\n \r\n", {"", "A"}},
        {"leading tab kept, trailing tab cut", "\tA\t\r\n", {"\tA"}},
        {"long line stays whole", longLine + "\r\n", {longLine}},
        {"UTF-8 keeps its last byte", "Caf\xC3\xA9\r\n", {"Caf\xC3\xA9"}},
        {"LF only and no final line end", "A\nB", {"A", "B"}},
        {"NUL inside a name", std::string("a\0b\r\n", 5), {std::string("a\0b", 3)}},
        {"empty file", "", {}},
        {"order of first appearance", "Zeta\nalpha\nZETA\nBeta\n", {"Zeta", "alpha", "Beta"}},
        {"only ASCII letters fold", "Caf\xE9\r\nCAF\xC9\r\n", {"Caf\xE9", "CAF\xC9"}},
    };
    for (const ReadListCase& c : cases) {
        ProjectList list;
        list.AddName("stale");
        std::istringstream in(c.text);
        ASSERT_TRUE(list.ReadList(in)) << c.name;
        EXPECT_EQ(Names(list), c.expected) << c.name;
    }
}

TEST(ProjectList, WriteListRoundTrip)
{
    ProjectList list;
    for (const char* name : {"B", "", "a", "Caf\xC3\xA9"}) list.AddName(name);
    std::ostringstream out;
    ASSERT_TRUE(list.WriteList(out));
    EXPECT_EQ(out.str(), "B\r\n\r\na\r\nCaf\xC3\xA9\r\n");
    std::istringstream in(out.str());
    ProjectList back;
    ASSERT_TRUE(back.ReadList(in));
    EXPECT_EQ(Names(back), (std::vector<std::string>{"B", "a", "Caf\xC3\xA9"}))
        << "the empty name is skipped on reading";

    // A first name that starts as a byte-order mark (U+FEFF) keeps it through the file.
    ProjectList marked;
    marked.AddName("\xEF\xBB\xBFZ");
    std::istringstream markedIn(marked.Text());
    ASSERT_TRUE(back.ReadList(markedIn));
    EXPECT_EQ(Names(back), (std::vector<std::string>{"\xEF\xBB\xBFZ"}));
}

}  // namespace
}  // namespace ambrin
