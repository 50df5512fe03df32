#include "docker/Classify.h"

#include <gtest/gtest.h>

#include <QList>

#include <tuple>

using namespace stowage;

TEST(ClassifyLabel, Table)
{
    const struct {
        const char* labels;
        const char* key;
        const char* value;
    } cases[] = {
        {"a=1,b=2", "b", "2"}, {"a=1,b=2", "c", ""}, {"a=1, b=2", "b", ""},  // pieces are not trimmed
        {"a=,b=2", "a", ""}, {"b=2,b=3", "b", "2"},                          // first match wins
        {"ab=1,a=2", "a", "2"},                                              // a key is matched whole
        {"a=x=y", "a", "x=y"}, {",,a=1,,", "a", "1"}, {"", "a", ""}, {"a", "a", ""},
        {"com.docker.compose.project.config_files=/p/a.yml,/p/b.yml,com.docker.compose.project=p",
         "com.docker.compose.project.config_files", "/p/a.yml"},
        {"com.docker.compose.project.working_dir=/p,com.docker.compose.project=p", "com.docker.compose.project", "p"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Classify::label(c.labels, c.key), QString(c.value)) << c.labels << " / " << c.key;
}

TEST(ClassifyImageNames, IsBuiltImageAndLooksLocallyBuilt)
{
    const struct {
        const char* repository;
        const char* project;
        bool built;
    } cases[] = {
        {"Shop-API", "shop", true}, {"shop_worker", "shop", true}, {"shop-api", "SHOP", true}, {"shop", "shop", false},
        {"shop-", "shop", false}, {"shop_", "shop", false}, {"registry/shop-api", "shop", false},
        {"<none>", "shop", false}, {"", "shop", false}, {"shop-api", "", false}, {"shopping-api", "shop", false},
        {"my-shop-api", "shop", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Classify::isBuiltImage(c.repository, c.project), c.built) << c.repository << " / " << c.project;

    for (const char* local : {"myapp-web", "my_api", "My-App"})
        EXPECT_TRUE(Classify::looksLocallyBuilt(local)) << local;
    for (const char* pulled : {"", "<none>", "postgres", "library/nginx", "ghcr.io/me/my-app"})
        EXPECT_FALSE(Classify::looksLocallyBuilt(pulled)) << pulled;
}

TEST(ClassifyVolumeNames, IsAnonymousVolume)
{
    const QString hex64 = QString(64, u'a').replace(0, 10, QStringLiteral("0123456789"));
    const QString engineLabel = "com.docker.volume.anonymous=";
    // name, labels, anonymous on an engine that labels anonymous volumes, on one that labels none
    const QList<std::tuple<QString, QString, bool, bool>> cases = {
        {hex64, "", false, true}, {hex64, engineLabel, true, false}, {hex64, "purpose=customer-db", false, false},
        {hex64, engineLabel + ",purpose=customer-db", false, false},
        {hex64, "note=x," + engineLabel, false, false},  // forged by a label value holding a comma
        {"appdata", engineLabel, false, false}, {"appdata", "", false, false}, {hex64.left(63), "", false, false},
        {hex64 + u'0', "", false, false}, {hex64.toUpper(), "", false, false}, {QString(63, u'0') + u'g', "", false, false},
    };
    for (const auto& [name, labels, onLabellingEngine, onOlderEngine] : cases) {
        EXPECT_EQ(Classify::isAnonymousVolume(name, labels, true), onLabellingEngine) << name.toStdString() << labels.toStdString();
        EXPECT_EQ(Classify::isAnonymousVolume(name, labels, false), onOlderEngine) << name.toStdString() << labels.toStdString();
    }
    EXPECT_TRUE(Classify::hasLabel("a=1,com.docker.volume.anonymous=", "com.docker.volume.anonymous"));
    EXPECT_FALSE(Classify::hasLabel("a=com.docker.volume.anonymous=", "com.docker.volume.anonymous"));
}
