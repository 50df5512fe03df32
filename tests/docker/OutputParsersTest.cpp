// The docker output parsers over edge cases and hostile input; real output
// of both docker clients is parsed by the end-to-end tests.

#include "docker/DockerClient.h"
#include "docker/EngineContext.h"

#include <gtest/gtest.h>

using namespace stowage;

TEST(ParseListings, SkipsWhatIsNotAnObjectAndBlanksWhatIsNotAString)
{
    const QString out = QStringLiteral("not json\n[1,2,3]\n{\"ID\":\"aaa\"\n\n"
                                       "{\"ID\":123,\"Names\":null,\"State\":[\"running\"],\"Image\":\"w\",\"Image\":\"x\"}\r\n");
    EXPECT_EQ(DockerClient::parseContainers(out), QList<SGContainer>{SGContainer{.image = "x"}});

    // Each image field from its own key; a size that is not a string reads as "" and 0 bytes.
    const auto images = DockerClient::parseImages(QByteArray(
        R"j({"ID":"sha256:01","Repository":"r","Tag":"1","Digest":"sha256:d","Size":12,"CreatedSince":"now"})j"));
    EXPECT_EQ(images, (QList<SGImage>{{"sha256:01", "r", "1", "", 0, "now"}}));
}

TEST(ParseListings, ComposeLabelsComeOnlyFromTheExactValues)
{
    // docker joins labels with bare commas: a value can forge another label in that text.
    const QString forged = R"j("Labels":"a=x,com.docker.compose.project=ledger,com.docker.compose.project=spoofproj")j";
    const struct {
        QString line;
        QString project;
        QString configFiles;
    } cases[] = {
        {R"j({"Listing":{"ID":"c1",)j" + forged
             + R"j(},"LabelValues":{"com.docker.compose.project":"spoofproj","com.docker.compose.project.config_files":"/p/a.yml,/p/b.yml"}})j",
         "spoofproj", "/p/a.yml"},
        {R"j({"Listing":{"ID":"c2","Labels":"a=x,com.docker.compose.project=ledger"},"LabelValues":{"com.docker.compose.project":""}})j",
         "", ""},
        {R"j({"Listing":{"ID":"c3"},"LabelValues":{"com.docker.compose.project":"a,b"}})j", "a,b", ""},
        // A plain listing object carries no exact values: its text is never trusted.
        {R"j({"ID":"c4","Labels":"com.docker.compose.project=shop"})j", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line.toStdString());
        const auto containers = DockerClient::parseContainers(c.line);
        ASSERT_EQ(containers.size(), 1);
        EXPECT_FALSE(containers[0].id.isEmpty());
        EXPECT_EQ(containers[0].project, c.project);
        EXPECT_EQ(containers[0].configFiles, c.configFiles);
        // The same shape for volumes.
        const QString volumeLine = QString(c.line).replace(R"j("ID")j", R"j("Name")j");
        EXPECT_EQ(DockerClient::parseVolumes(volumeLine).value(0).project, c.project);
    }
}

TEST(ParseBuildCache, Table)
{
    const QString images = QStringLiteral(
        R"j({"Active":"2","Reclaimable":"1.2GB (45%)","Size":"2.6GB","TotalCount":"10","Type":"Images"})j");
    const struct {
        QString out;
        BuildCache expected;
    } cases[] = {
        {images + "\n" + R"j({"Active":"0","Reclaimable":"1.2GB (100%)","Size":"1.2GB","TotalCount":"30","Type":"Build Cache"})j",
         {"1.2GB", 1200000000, "1.2GB (100%)", 1200000000}},
        {images + "\n" + R"j({"Reclaimable":"512kB","Size":"1MB","Type":"Build Cache"})j", {"1MB", 1000000, "512kB", 512000}},
        {images, {"0B", 0, "0B", 0}},  // no build-cache line at all
        // The first build-cache line counts.
        {R"j({"Type":"Build Cache","Size":"1KB","Reclaimable":"1KB"})j"
         "\n"
         R"j({"Type":"Build Cache","Size":"2KB","Reclaimable":"2KB"})j",
         {"1KB", 1000, "1KB", 1000}},
        {R"j({"Type":"Build Cache","Size":"1KB","Reclaimable":" \t(2KB"})j", {"1KB", 1000, " \t(2KB", 2000}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DockerClient::parseBuildCache(c.out), c.expected) << c.out.toStdString();
}

TEST(ParseDiskUsage, TheEnginesImageTotalAndEveryRowSummed)
{
    const QString out = QStringLiteral(
        R"j({"Active":"2","Reclaimable":"1MB (45%)","Size":"2MB","TotalCount":"10","Type":"Images"})j"
        "\n"
        R"j({"Size":"1kB","Type":"Containers"})j"
        "\n"
        R"j({"Reclaimable":"3MB","Size":"3MB","Type":"Build Cache"})j");
    const DockerClient::DiskUsage usage = DockerClient::parseDiskUsage(out);
    EXPECT_EQ(usage.images, (EngineImageTotals{true, 10, "2MB", 2000000}));
    EXPECT_EQ(usage.buildCache.sizeBytes, 3000000);
    EXPECT_EQ(usage.totalBytes, 2000000 + 1000 + 3000000);
    // No Images row: not known; a numeric count is taken as well.
    EXPECT_FALSE(DockerClient::parseEngineImageTotals(R"j({"Type":"Build Cache","Size":"1MB"})j").known);
    EXPECT_EQ(DockerClient::parseEngineImageTotals(R"j({"Type":"Images","TotalCount":3})j").count, 3);
}

TEST(ParseImageLayers, ReadsWholeLinesOnly)
{
    const QString out = QStringLiteral("sha256:a@@sha256:p@@1982256@@[\"sha256:l1\",\"sha256:l2\"]\n"
                                       "sha256:empty@@@@0@@null\n"
                                       "sha256:short@@@@12\n"
                                       "sha256:nan@@@@12kB@@[]\n"
                                       "sha256:broken@@@@12@@[\n"
                                       "@@@@12@@[]\n"
                                       "sha256:pulled@@@@5@@[]@@[\"pg@sha256:d\"]\n"
                                       "sha256:built@@@@5@@[]@@null\n"
                                       "sha256:baddigests@@@@5@@[]@@[\n");
    const auto layers = DockerClient::parseImageLayers(out);
    EXPECT_EQ(layers.keys().size(), 4);
    EXPECT_EQ(layers.value("sha256:a"), (ImageLayers{"sha256:a", "sha256:p", 1982256, {"sha256:l1", "sha256:l2"}}));
    EXPECT_EQ(layers.value("sha256:empty"), (ImageLayers{"sha256:empty", "", 0, {}}));
    // Without the digests part the origin is not known; "null" is no digest.
    EXPECT_EQ(layers.value("sha256:a").pulled(), std::nullopt);
    EXPECT_EQ(layers.value("sha256:pulled").pulled(), true);
    EXPECT_EQ(layers.value("sha256:built").pulled(), false);
}

TEST(ParseDeletedImages, TheImageAndTheParentsThatWentWithIt)
{
    EXPECT_EQ(DockerClient::parseDeletedImages("Untagged: a:1\nDeleted: sha256:child\n  Deleted: sha256:parent \n"),
              (QStringList{"sha256:child", "sha256:parent"}));
    EXPECT_EQ(DockerClient::parseDeletedImages("Untagged: a:1\n"), QStringList{});
}

TEST(ParseVolumeSizes, ReadsTheVolumesArray)
{
    const QString out = QStringLiteral(
        R"j({"Images":[],"Volumes":[{"Driver":"local","Mountpoint":"/m","Name":"shop_pgdata","Size":"48.2MB"},{"Name":"empty","Size":"0B"},{"Name":"nosize"},{"Size":"1KB"},{"Name":7,"Size":"1KB"},{"Name":"twice","Size":"1KB"},{"Name":"twice","Size":"2KB"}],"BuildCache":[]})j");
    const QHash<QString, qint64> expected{
        {"shop_pgdata", 48200000}, {"empty", 0}, {"nosize", 0}, {"twice", 2000}};
    EXPECT_EQ(DockerClient::parseVolumeSizes(out), expected);
    // Wrong shapes give nothing.
    for (const char* bad : {"", "not json", "[]", R"j({"Volumes":null})j", R"j({"Volumes":{"Name":"a"}})j",
                            R"j({"Volumes":[{"Name":"a","Size":"1KB"},"b"]})j",
                            "{\"Volumes\":[]}\n{\"Volumes\":[{\"Name\":\"a\",\"Size\":\"1KB\"}]}"})
        EXPECT_TRUE(DockerClient::parseVolumeSizes(QByteArray(bad)).isEmpty()) << bad;
}

TEST(NamedVolumes, KeepsNamedVolumeMountsInOrder)
{
    const QString mounts = QStringLiteral(
        R"j([{"Type":"bind","Source":"/Users/me/shop","Name":"bound","Destination":"/app"},)j"
        R"j({"Type":"volume","Name":"shop_pgdata","Source":"/var/lib/docker/volumes/shop_pgdata/_data","Destination":"/data"},)j"
        R"j({"Type":"tmpfs","Destination":"/tmp"},{"Type":"volume","Name":"","Destination":"/x"},)j"
        R"j({"Type":"volume","Destination":"/y"},{"Type":"volume","Name":42},{"Type":"Volume","Name":"cased"},)j"
        R"j({"Type":"volume","Name":"3b1f9e0c7d2a","Destination":"/anon"}])j");
    EXPECT_EQ(DockerClient::namedVolumes(mounts), (QStringList{"shop_pgdata", "3b1f9e0c7d2a"}));
    for (const char* bad : {"", "null", "{}", "[1]", R"j([{"Type":"volume","Name":"a"},2])j", "[[]]", "[{"})
        EXPECT_TRUE(DockerClient::namedVolumes(bad).isEmpty()) << bad;
}

TEST(ParseInspect, ReadsDetailsKeyedByShortId)
{
    const QString out = QStringLiteral(
        "3f2a9c1d0b7e5a4f3e2d1c0b9a8f7e6d5c4b3a2f1e0d9c8b7a6f5e4d3c2b1a0f@@sha256:4e1f2c3b@@"
        R"j([{"Type":"volume","Name":"shop_pgdata","Source":"/var/lib/docker/volumes/shop_pgdata/_data"}])j"
        "@@2024-05-01T08:11:12.123456789Z@@0001-01-01T00:00:00Z\n"
        // A bind mount whose path holds "@@": the times are still the last two parts.
        "9c8b7a6f5e4d0000@@sha256:abc@@"
        R"j([{"Type":"bind","Source":"/odd@@path","Destination":"/x"},{"Type":"volume","Name":"v@@w"}])j"
        "@@2024-05-01T08:00:00Z@@2024-05-01T09:00:00.5Z\n"
        // Hostile lines: too few parts, blank ids; a short id with bad mounts and times.
        "too@@few@@parts@@here\n \t@@sha256:x@@[]@@@@\n@@@@@@@@\n"
        "short@@ sha256:img \t@@not json@@garbage@@\n"
        "aaaaaaaaaaaa1111@@first@@[]@@@@\n"
        "aaaaaaaaaaaa2222@@second@@[]@@@@\n");  // same 12-character key: the later line wins
    const auto details = DockerClient::parseInspect(out);
    const auto at = [](const char* utc) { return QDateTime::fromString(utc, Qt::ISODateWithMs); };
    ASSERT_EQ(details.size(), 4);
    EXPECT_EQ(details.value("3f2a9c1d0b7e"),
              (ContainerDetail{"sha256:4e1f2c3b", {"shop_pgdata"}, at("2024-05-01T08:11:12Z"), std::nullopt}));
    EXPECT_EQ(details.value("9c8b7a6f5e4d"),
              (ContainerDetail{"sha256:abc", {"v@@w"}, at("2024-05-01T08:00:00Z"), at("2024-05-01T09:00:00.500Z")}));
    EXPECT_EQ(details.value("short"), (ContainerDetail{"sha256:img", {}, std::nullopt, std::nullopt}));
    EXPECT_EQ(details.value("aaaaaaaaaaaa").imageID, "second");
}

TEST(ParseContextList, BothClientsShapesUntrustedFieldsTheEnvironmentAndRemoteHosts)
{
    // As `docker context ls --format '{{json .}}'` prints them: 20.10, 28.x, then a broken context.
    const QString out = R"j({"Current":true,"Description":"d","DockerEndpoint":"unix:///d.sock","KubernetesEndpoint":"","Name":"default","StackOrchestrator":"swarm"}
{"Current":false,"Description":"","DockerEndpoint":"ssh://me@box","Error":"","Name":"remote"}
{"Current":false,"Description":"<b>x</b>","Error":"meta.json: invalid","Name":"odd name"}
{"Current":"yes","Name":""}
not json)j";
    const QList<EngineContext> listed{{"default", "d", "unix:///d.sock", true, false, ""},
                                      {"remote", "", "ssh://me@box", false, false, ""},
                                      {"odd name", "<b>x</b>", "", false, false, "meta.json: invalid"}};
    EXPECT_EQ(parseContextList(out, {}), listed);
    // DOCKER_HOST or DOCKER_CONTEXT chose the current engine.
    for (const Environment& env : {Environment{{"DOCKER_HOST", "tcp://h:2375"}}, Environment{{"DOCKER_CONTEXT", "default"}}}) {
        const auto contexts = parseContextList(out, env);
        EXPECT_TRUE(contexts.size() == 3 && contexts[0].fromEnvironment && !contexts[1].fromEnvironment);
    }
    EXPECT_EQ(findContext(listed, "Remote"), std::nullopt);
    // The host of each endpoint: none for a local socket.
    const QList<std::pair<QString, QString>> hosts = {
        {"", ""}, {"unix:///var/run/docker.sock", ""}, {"UNIX:///run/user/1000/docker.sock", ""},
        {"npipe:////./pipe/docker_engine", ""}, {"ssh://me@build.example.com", "me@build.example.com"},
        {"ssh://build.example.com:2222", "build.example.com"}, {"tcp://10.0.0.5:2376", "10.0.0.5"},
        {"tcp://[fe80::1]:2375", "[fe80::1]"}, {"ssh://me@host/sub", "me@host"}, {"weird", "weird"}};
    for (const auto& [endpoint, host] : hosts)
        EXPECT_EQ(remoteHost(endpoint), host) << endpoint.toStdString();
}
