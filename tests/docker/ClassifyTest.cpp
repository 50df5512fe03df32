#include "docker/Classify.h"

#include <gtest/gtest.h>

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
    const struct {
        QString name;
        QString labels;
        bool onLabellingEngine;
        bool onOlderEngine;
    } cases[] = {
        {hex64, "", false, true},
        {hex64, engineLabel, true, false},
        {hex64, "purpose=customer-db", false, false},
        {hex64, engineLabel + ",purpose=customer-db", false, false},
        {hex64, "note=x," + engineLabel, false, false},  // forged by a label value holding a comma
        {"appdata", engineLabel, false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Classify::isAnonymousVolume(c.name, c.labels, true), c.onLabellingEngine) << c.labels.toStdString();
        EXPECT_EQ(Classify::isAnonymousVolume(c.name, c.labels, false), c.onOlderEngine) << c.labels.toStdString();
    }
    for (const QString& name : {QString("appdata"), hex64.left(63), hex64 + u'0', hex64.toUpper(),
                                QString(63, u'0') + u'g', QString(64, u'-')})
        EXPECT_FALSE(Classify::isAnonymousVolume(name, {}, false)) << name.toStdString();
    EXPECT_TRUE(Classify::hasLabel("a=1,com.docker.volume.anonymous=", "com.docker.volume.anonymous"));
    EXPECT_FALSE(Classify::hasLabel("a=com.docker.volume.anonymous=", "com.docker.volume.anonymous"));
}
