// The building blocks: SGButton and the segmented control.
#include "ui/SGButton.h"
#include "ui/SegmentedControl.h"
#include "ui/Theme.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

namespace stowage {
namespace {

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
