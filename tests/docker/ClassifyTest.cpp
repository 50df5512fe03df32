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
        {"a=1,b=2", "b", "2"},
        {"a=1,b=2", "c", ""},
        {"a=1, b=2", "b", ""},  // pieces are not trimmed
        {"a=,b=2", "a", ""},
        {"b=2,b=3", "b", "2"},  // first match wins
        {"ab=1,a=2", "a", "2"}, // a key is matched whole, not as a prefix
        {"a=x=y", "a", "x=y"},
        {",,a=1,,", "a", "1"},
        {"", "a", ""},
        {"a", "a", ""},
        {"com.docker.compose.project.config_files=/p/a.yml,/p/b.yml,com.docker.compose.project=p",
         "com.docker.compose.project.config_files", "/p/a.yml"},
        {"com.docker.compose.project.working_dir=/p,com.docker.compose.project=p", "com.docker.compose.project", "p"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Classify::label(c.labels, c.key), QString(c.value)) << c.labels << " / " << c.key;
}

TEST(ClassifyImageNames, IsBuiltImage)
{
    const struct {
        const char* repository;
        const char* project;
        bool built;
    } cases[] = {
        {"Shop-API", "shop", true},
        {"shop_worker", "shop", true},
        {"shop-api", "SHOP", true},
        {"shop", "shop", false},
        {"shop-", "shop", false},
        {"shop_", "shop", false},
        {"registry/shop-api", "shop", false},
        {"<none>", "shop", false},
        {"", "shop", false},
        {"shop-api", "", false},
        {"shopping-api", "shop", false},
        {"my-shop-api", "shop", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Classify::isBuiltImage(c.repository, c.project), c.built) << c.repository << " / " << c.project;
}

TEST(ClassifyImageNames, LooksLocallyBuilt)
{
    const struct {
        const char* repository;
        bool local;
    } cases[] = {
        {"", false},           {"<none>", false},         {"postgres", false},
        {"library/nginx", false}, {"ghcr.io/me/my-app", false}, {"myapp-web", true},
        {"my_api", true},      {"My-App", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Classify::looksLocallyBuilt(c.repository), c.local) << c.repository;
}

TEST(ClassifyVolumeNames, IsAnonymousVolume)
{
    const QString hex64 = QString(64, u'a').replace(0, 10, QStringLiteral("0123456789"));
    const struct {
        QString name;
        bool anonymous;
    } cases[] = {
        {hex64, true},
        {"appdata", false},
        {hex64.left(63), false},
        {hex64 + u'0', false},
        {hex64.toUpper(), false},
        {QString(63, u'0') + u'g', false},
        {QString(64, u'-'), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Classify::isAnonymousVolume(c.name), c.anonymous) << c.name.toStdString();
}
