// The README block parser: one block per line, fences verbatim, and the exact
// boundaries between headings, bullets, rules and paragraphs.

#include "ui/readme/MarkdownParser.h"

#include <gtest/gtest.h>


using namespace stowage;
using B = MDBlock;

namespace {

struct Case { const char* name; QString input; QList<MDBlock> expected; };

class MarkdownLines : public ::testing::TestWithParam<Case> {};

TEST_P(MarkdownLines, ParseAsExpected)
{
    EXPECT_EQ(MarkdownParser::parse(GetParam().input), GetParam().expected);
}

const Case cases[] = {
    {"hashesWithoutSpaceCapAtFour", "#####Deep", {B::heading(4, "Deep")}},
    {"headingTextTrimmed", "  ###\t Three  \t", {B::heading(3, "Three")}},
    {"hyphenWithoutSpaceIsParagraph", "-word", {B::paragraph("-word")}},
    {"plusIsNotABullet", "+ word", {B::paragraph("+ word")}},
    {"indentedStarBullet", "  * item", {B::bullet("item")}},
    {"bulletKeepsInnerSpaces", "-   spaced", {B::bullet("  spaced")}},
    {"rules", "***\n___", {B::rule(), B::rule()}},
    {"spacedHyphensAreABullet", "- - -", {B::bullet("- -")}},
    {"fourHyphensAreAParagraph", "----", {B::paragraph("----")}},
    {"fenceKeepsLinesVerbatim",
     "```sh\n  indented\n# not a heading\n\n- not a bullet\n```",
     {B::code("  indented\n# not a heading\n\n- not a bullet")}},
    {"fenceInfoIgnoredAndIndentedFence", "  ```python extra\nx = 1\n   ```  ", {B::code("x = 1")}},
    {"unterminatedFenceStillYieldsCode", "intro\n```\na\nb", {B::paragraph("intro"), B::code("a\nb")}},
    {"unterminatedEmptyFenceYieldsNothing", "intro\n```", {B::paragraph("intro")}},
    {"carriageReturnsStayInTheLine",
     "# Title\r\n---\r\ntext\r",
     {B::heading(1, "Title\r"), B::paragraph("---\r"), B::paragraph("text\r")}},
    {"carriageReturnsKeptInCode", "```\r\ncode\r\n```\r", {B::code("code\r")}},
};

INSTANTIATE_TEST_SUITE_P(MarkdownParser, MarkdownLines, ::testing::ValuesIn(cases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
