// The warning above the Images and Volumes lists: shown exactly while usage
// data is incomplete and there are volumes, with the reason when it is known.
#include "SampleInventory.h"
#include "UiTestSupport.h"

#include "ui/UsageWarningBanner.h"

#include <gtest/gtest.h>


namespace stowage::test {
namespace {

struct Banner {
    explicit Banner(const QList<FakeRule>& rules) : rig(rules), banner(*new UsageWarningBanner(*rig.model, &host))
    {
        host.show();
    }
    UiRig rig;
    QWidget host;
    UsageWarningBanner& banner;
};

TEST(UsageWarningBannerTest, ShownOnlyWhileUsageIsUnverifiedAndVolumesExist)
{
    Banner before(sample::incompleteRules());
    EXPECT_FALSE(before.banner.isVisible());  // no volumes yet
    ASSERT_TRUE(before.rig.refreshAndWait());
    EXPECT_TRUE(before.banner.isVisible());
    EXPECT_EQ(before.banner.detailText(),
              "2 of 9 containers could not be inspected — Error: No such object: d1d1d1d1d1d1");

    Banner complete(sample::rules());
    ASSERT_TRUE(complete.rig.refreshAndWait());
    EXPECT_FALSE(complete.banner.isVisible());

    Banner empty(sample::emptyEngineRules());
    ASSERT_TRUE(empty.rig.refreshAndWait());
    EXPECT_FALSE(empty.banner.isVisible());
}

TEST(UsageWarningBannerTest, WithoutAKnownReasonItAsksForARefresh)
{
    // During the first refresh the volumes are listed before any container was inspected.
    Banner first(sample::rules({FakeRule{"inspect", sample::inspectOut(), "", 0, 30}}));
    first.rig.model->refresh();
    ASSERT_TRUE(waitUntil([&] { return first.rig.model->statusText().startsWith("[2/2]"); }));
    ASSERT_TRUE(first.rig.model->usageDataProblem().isEmpty());
    EXPECT_TRUE(first.banner.isVisible());
    EXPECT_EQ(first.banner.detailText(), "Press Refresh to read which containers hold which volumes.");
    first.rig.model->cancelCurrentOperation();
    EXPECT_TRUE(first.rig.waitIdle());
}

}  // namespace
}  // namespace stowage::test
