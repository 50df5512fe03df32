// The buttons the window is built of.
#include "ui/SGButton.h"
#include "ui/Theme.h"

#include <gtest/gtest.h>


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

}  // namespace
}  // namespace stowage
