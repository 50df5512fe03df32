// The building blocks: colours from hex, SGButton and the segmented control.
#include "ui/SGButton.h"
#include "ui/SegmentedControl.h"
#include "ui/Theme.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

namespace stowage {
namespace {

TEST(ThemeTest, ColourFromHexIgnoresHashesAtEitherEndAndFallsBackToBlack)
{
    const std::pair<const char*, QColor> cases[] = {
        {"#1C1C1E", QColor(0x1c, 0x1c, 0x1e)}, {"##0A84FF#", QColor(0x0a, 0x84, 0xff)},
        {"not hex", QColor(0, 0, 0)},          {"", QColor(0, 0, 0)},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(Theme::colorFromHex(QString::fromLatin1(text)), expected) << text;
}

TEST(SGButtonTest, TheIconTakesRoomBesideATitleThatIsNeverCut)
{
    SGButton plain("Copy", {}, Theme::accent(), false);
    SGButton withIcon("Copy", "doc.on.doc", Theme::accent(), true);
    EXPECT_TRUE(plain.icon().isNull());
    EXPECT_GT(withIcon.sizeHint().width(), plain.sizeHint().width());
    EXPECT_GE(plain.sizeHint().width(), Theme::textWidth(plain.font(), "Copy"));
}

TEST(SegmentedControlTest, SelectionChangesOnlyWithinRangeAndReportsOnce)
{
    SegmentedControl control({"All", "Info+", "Warnings+", "Errors"});
    QSignalSpy changes(&control, &SegmentedControl::currentIndexChanged);
    for (int index : {3, 3, 7, -1})
        control.setCurrentIndex(index);
    EXPECT_EQ(control.currentIndex(), 3);
    ASSERT_EQ(changes.size(), 1);
    EXPECT_EQ(changes.first().first().toInt(), 3);
}

}  // namespace
}  // namespace stowage
