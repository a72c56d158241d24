#include "profiles/JsonFile.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <regex>
#include <set>

#include "TempDir.h"

using vx::profiles::JsonFile;

namespace fs = std::filesystem;

TEST(JsonFileRead, MissingEmptyBlankAndTruncatedFilesReadAsNull) {
    TempDir dir;
    JsonFile file;
    EXPECT_TRUE(file.ReadJson(dir / "missing.json").isNull());
    WriteText(dir / "empty.json", "");
    EXPECT_TRUE(file.ReadJson(dir / "empty.json").isNull());
    WriteText(dir / "blank.json", "  \n\t \r\n");
    EXPECT_TRUE(file.ReadJson(dir / "blank.json").isNull());
    WriteText(dir / "cut.json", "{\"a\": [1, 2");
    EXPECT_TRUE(file.ReadJson(dir / "cut.json").isNull());
}

TEST(JsonFileRead, BareRootsCommentsAndCrLfAreAccepted) {
    TempDir dir;
    JsonFile file;
    WriteText(dir / "n.json", "42");
    EXPECT_EQ(file.ReadJson(dir / "n.json").asInt(), 42);
    WriteText(dir / "s.json", "\"text\"");
    EXPECT_EQ(file.ReadJson(dir / "s.json").asString(), "text");
    WriteText(dir / "c.json", "{\r\n   // note\r\n   \"a\" : 1 /* two */\r\n}\r\n\r\n");
    EXPECT_EQ(file.ReadJson(dir / "c.json")["a"].asInt(), 1);
}

TEST(JsonFileRead, HostileInputReadsAsNullWithoutThrowing) {
    TempDir dir;
    JsonFile file;
    WriteText(dir / "deep.json", std::string(100000, '[') + std::string(100000, ']'));
    EXPECT_TRUE(file.ReadJson(dir / "deep.json").isNull());
    // Larger than the input limit: refused before it is read.
    {
        std::ofstream out(dir / "huge.json", std::ios::binary);
        out << "[";
        const std::string chunk(1 << 20, ' ');
        for (int i = 0; i < 9; ++i) out << chunk;
        out << "]";
    }
    EXPECT_TRUE(file.readjsonFile(dir / "huge.json").empty());
    EXPECT_TRUE(file.ReadJson(dir / "huge.json").isNull());
    // A folder or a FIFO in place of a file must neither block nor throw.
    fs::create_directory(dir / "folder.json");
    EXPECT_TRUE(file.ReadJson(dir / "folder.json").isNull());
    ASSERT_EQ(::mkfifo((dir / "fifo.json").c_str(), 0600), 0);
    EXPECT_TRUE(file.ReadJson(dir / "fifo.json").isNull());
}

TEST(JsonFileWrite, StyledFormSortedKeysAndExtraLineEnd) {
    TempDir dir;
    JsonFile file;
    Json::Value v;
    v["b"] = 2;
    v["a"]["z"] = "x";
    v["a"]["c"] = Json::Value(Json::arrayValue);
    v["a"]["c"].append(1);
    v["a"]["c"].append(2);
    EXPECT_EQ(file.WriteJson(dir / "w.json", v), 0);
    EXPECT_EQ(ReadText(dir / "w.json"),
              "{\n   \"a\" : {\n      \"c\" : [ 1, 2 ],\n      \"z\" : \"x\"\n   },\n   \"b\" : 2\n}\n\n");
    EXPECT_EQ(file.ReadJson(dir / "w.json"), v);
}

TEST(JsonFileWrite, MissingFolderGivesNoFileAndNoError) {
    TempDir dir;
    JsonFile file;
    Json::Value v(1);
    EXPECT_EQ(file.WriteJson(dir / "no" / "such" / "x.json", v), 0);
    EXPECT_FALSE(file.TryWriteJson(dir / "no" / "x.json", v));
    EXPECT_FALSE(fs::exists(dir / "no"));
}

TEST(JsonFileWrite, FailedWriteLeavesTheOldFileWhole) {
    TempDir dir;
    JsonFile file;
    const fs::path target = dir / "p.Json";
    Json::Value old;
    old["profilename"] = "keep me";
    ASSERT_TRUE(file.TryWriteJson(target, old));
    const std::string before = ReadText(target);

    // A file-size limit makes the write itself fail half-way, for any user (root included):
    // the disk-full case.
    Json::Value replacement;
    replacement["profilename"] = std::string(64 * 1024, 'x');
    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = file.TryWriteJson(target, replacement);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(written);
    EXPECT_EQ(ReadText(target), before);
}

TEST(JsonFileWrite, FailedWriteLeavesNoTemporaryFile) {
    TempDir dir;
    JsonFile file;
    const fs::path target = dir / "p.Json";
    Json::Value old;
    old["profilename"] = "keep me";
    ASSERT_TRUE(file.TryWriteJson(target, old));
    const std::string before = ReadText(target);
    struct rlimit saved {};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 16;
    ::setrlimit(RLIMIT_FSIZE, &small);
    Json::Value replacement;
    replacement["profilename"] = "a longer name than sixteen bytes";
    const bool written = file.TryWriteJson(target, replacement);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(written);
    EXPECT_EQ(ReadText(target), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
}

TEST(JsonFileWrite, RewriteReplacesContentAndLeavesNoTemporaryFiles) {
    TempDir dir;
    JsonFile file;
    Json::Value v;
    for (int i = 0; i < 5; ++i) {
        v["n"] = i;
        file.WriteJson(dir / "x.json", v);
    }
    EXPECT_EQ(file.ReadJson(dir / "x.json")["n"].asInt(), 4);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
}

TEST(JsonFileIds, TimestampFormatAndUniqueness) {
    const std::regex format(R"(\d{4,}_\d\d_\d\d_\d\d_\d\d_\d\d_\d\d\d)");
    std::set<std::string> ids;
    std::string previous;
    for (int i = 0; i < 2000; ++i) {
        const std::string id = JsonFile::MakeTimestampId();
        ASSERT_TRUE(std::regex_match(id, format)) << id;
        ids.insert(id);
    }
    EXPECT_EQ(ids.size(), 2000u);
    EXPECT_EQ(JsonFile::FileStem("/a/b/2024_03_07_14_05_09_042.Json"), "2024_03_07_14_05_09_042");
    EXPECT_EQ(JsonFile::FileStem("name.mac"), "name");
}
