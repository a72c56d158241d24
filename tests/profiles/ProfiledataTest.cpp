#include "profiles/BasicProfiledata.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <vector>

#include "PermissionChecks.h"
#include "TempDir.h"
#include "profiles/DataFileProblems.h"
#include "profiles/JsonAccess.h"

using vx::profiles::CBasicProfiledata;
using vx::profiles::DataFileProblem;
using vx::profiles::DataFileProblemKind;
using vx::profiles::JsonFile;
using vx::profiles::KeyEntry;
using vx::profiles::KeyFunction;
using vx::profiles::SetDataFileProblemHandler;

namespace fs = std::filesystem;

namespace {

// A small factory profile: light settings, a key list of three keys, and a member the base
// class does not know, which must travel along untouched.
Json::Value FactoryDocument() {
    Json::Value node;
    node["LightInfo"]["SelectItem"] = 4;
    node["LightInfo"]["Light"] = 3;
    node["LightInfo"]["Red"] = 255;
    for (int i = 0; i < 3; ++i) {
        node["KeyList"][i]["Assignment"] = 0x200004 + i;
        node["KeyList"][i]["DefaultAssignment"] = 0x200004 + i;
    }
    node["Extra"] = "kept";
    Json::Value document;
    document["profilename"] = "factory";
    document["profileUUID"] = "factory";
    document["Device"].append(node);
    return document;
}

class ProfiledataTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_factoryPath = m_dir / "keyboard.Json";
        m_profilePath = m_dir / "2024_03_07_14_05_09_042.Json";
        m_file.WriteJson(m_factoryPath, FactoryDocument());
        m_data.SetDefaultPath(m_factoryPath);
        m_data.SetProfilePath(m_profilePath);
        SetDataFileProblemHandler([this](const DataFileProblem& problem) { m_problems.push_back(problem); });
    }
    void TearDown() override { SetDataFileProblemHandler({}); }

    std::vector<DataFileProblem> m_problems;
    TempDir m_dir;
    JsonFile m_file;
    fs::path m_factoryPath;
    fs::path m_profilePath;
    CBasicProfiledata m_data;
};

}  // namespace

TEST_F(ProfiledataTest, PartialProfileIsCompletedFromTheFactoryKeepingItsNames) {
    Json::Value partial;
    partial["profilename"] = "Mein Profil \xc3\xa9";
    partial["profileUUID"] = "2024_03_07_14_05_09_042";
    m_file.WriteJson(m_profilePath, partial);

    const Json::Value node = m_data.LoadProfile(m_profilePath);
    EXPECT_EQ(node, FactoryDocument()["Device"][0]);
    const Json::Value written = m_file.ReadJson(m_profilePath);
    EXPECT_EQ(written["profilename"].asString(), "Mein Profil \xc3\xa9");
    EXPECT_EQ(written["profileUUID"].asString(), "2024_03_07_14_05_09_042");
    EXPECT_EQ(written["Device"][0], FactoryDocument()["Device"][0]);
}

TEST_F(ProfiledataTest, MissingProfileIsCreatedAndTheFactoryFileIsNeverWritten) {
    const std::string factoryBefore = ReadText(m_factoryPath);
    m_data.LoadProfile(m_profilePath);
    EXPECT_EQ(m_file.ReadJson(m_profilePath)["Device"][0], FactoryDocument()["Device"][0]);
    // Factory reset: loading the factory path itself reads it and leaves it alone.
    m_data.LoadProfile(m_factoryPath);
    EXPECT_EQ(ReadText(m_factoryPath), factoryBefore);
    // Even a factory file without a node is not rewritten.
    WriteText(m_factoryPath, "{\"profilename\": \"x\"}");
    EXPECT_TRUE(m_data.LoadProfile(m_factoryPath).isNull());
    EXPECT_EQ(ReadText(m_factoryPath), "{\"profilename\": \"x\"}");
}

TEST_F(ProfiledataTest, MalformedProfileIsRepairedKeptAsideAndReported) {
    WriteText(m_profilePath, "{\"profilename\": \"half");
    m_data.LoadProfile(m_profilePath);
    EXPECT_EQ(m_file.ReadJson(m_profilePath)["Device"][0], FactoryDocument()["Device"][0]);
    fs::path aside = m_profilePath;
    aside += ".broken";
    EXPECT_EQ(ReadText(aside), "{\"profilename\": \"half");
    ASSERT_EQ(m_problems.size(), 1u);
    EXPECT_EQ(m_problems[0].kind, DataFileProblemKind::Broken);
    EXPECT_EQ(m_problems[0].path, m_profilePath);
    EXPECT_EQ(m_problems[0].keptAs, aside);

    // Damaged again later: the first damaged copy is not overwritten by the second.
    WriteText(m_profilePath, "not json either");
    m_data.LoadProfile(m_profilePath);
    fs::path second = m_profilePath;
    second += ".broken2";
    EXPECT_EQ(ReadText(aside), "{\"profilename\": \"half");
    EXPECT_EQ(ReadText(second), "not json either");
    ASSERT_EQ(m_problems.size(), 2u);
    EXPECT_EQ(m_problems[1].keptAs, second);

    // Damaged over and over: the folder does not fill up, the earliest copies stay, and the
    // profile is still repaired.
    for (int n = 3; n <= 20; ++n) WriteText(m_profilePath.string() + ".broken" + std::to_string(n), "old");
    WriteText(m_profilePath, "damaged once more");
    m_data.LoadProfile(m_profilePath);
    EXPECT_EQ(ReadText(aside), "{\"profilename\": \"half");
    EXPECT_EQ(ReadText(m_profilePath.string() + ".broken20"), "damaged once more");
    EXPECT_FALSE(fs::exists(m_profilePath.string() + ".broken21"));
    EXPECT_EQ(m_file.ReadJson(m_profilePath)["Device"][0], FactoryDocument()["Device"][0]);
}

// A profile the user may not read is the user's file in an unknown state: it is never renamed
// or replaced, the factory node stands in for it, and saves do not write over it, also after the
// rights were taken away while the program held the profile.
TEST_F(ProfiledataTest, ProfileUnreadableForItsPermissionsIsLeftAloneAndReported) {
    PermissionChecks permissions;
    if (!permissions.Active()) GTEST_SKIP() << PermissionChecks::kWhyNot;
    m_data.LoadProfile(m_profilePath);
    m_data.SetLightInfo(LightInfo{9});
    m_data.SaveProfile();
    const std::string before = ReadText(m_profilePath);
    ASSERT_FALSE(before.empty());
    ASSERT_TRUE(m_problems.empty());

    fs::permissions(m_profilePath, fs::perms::none);
    // Held by this object, which cached what it last wrote: a save must not go past the chmod.
    m_data.SetLightInfo(LightInfo{5});
    m_data.SaveProfile();
    // Loaded afresh, as at the next start.
    CBasicProfiledata fresh;
    fresh.SetDefaultPath(m_factoryPath);
    EXPECT_EQ(fresh.LoadProfile(m_profilePath), FactoryDocument()["Device"][0]);
    fresh.SetLightInfo(LightInfo{6});
    fresh.SaveProfile();
    fresh.SaveNode(fresh.GetNode(), m_profilePath);

    fs::permissions(m_profilePath, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(ReadText(m_profilePath), before);
    std::vector<std::string> names;
    for (const auto& item : fs::directory_iterator(m_dir.Path())) names.push_back(item.path().filename().string());
    EXPECT_EQ(names.size(), 2u) << "a file was added beside the profile";
    ASSERT_FALSE(m_problems.empty());
    for (const DataFileProblem& problem : m_problems) {
        EXPECT_EQ(problem.kind, DataFileProblemKind::Unreadable);
        EXPECT_EQ(problem.path, m_profilePath);
        EXPECT_EQ(problem.error, EACCES);
    }
}

TEST_F(ProfiledataTest, SaveIntoAFolderThatCannotBeWrittenIsReported) {
    PermissionChecks permissions;
    if (!permissions.Active()) GTEST_SKIP() << PermissionChecks::kWhyNot;
    m_data.LoadProfile(m_profilePath);
    const std::string before = ReadText(m_profilePath);
    fs::permissions(m_dir.Path(), fs::perms::owner_read | fs::perms::owner_exec);
    m_data.SetLightInfo(LightInfo{9});
    m_data.SaveProfile();
    fs::permissions(m_dir.Path(), fs::perms::owner_all);
    EXPECT_EQ(ReadText(m_profilePath), before);
    ASSERT_EQ(m_problems.size(), 1u);
    EXPECT_EQ(m_problems[0].kind, DataFileProblemKind::NotSaved);
    EXPECT_EQ(m_problems[0].path, m_profilePath);
    EXPECT_EQ(m_problems[0].error, EACCES);
}

TEST_F(ProfiledataTest, WrongTypedDocumentAndNodeAreReplacedNotFatal) {
    WriteText(m_profilePath, "{\"profilename\": \"p\", \"Device\": 7}");
    EXPECT_EQ(m_data.LoadProfile(m_profilePath), FactoryDocument()["Device"][0]);
    EXPECT_EQ(m_file.ReadJson(m_profilePath)["profilename"].asString(), "p");
    WriteText(m_profilePath, "[1, 2, 3]");
    EXPECT_EQ(m_data.LoadProfile(m_profilePath), FactoryDocument()["Device"][0]);
    EXPECT_TRUE(m_file.ReadJson(m_profilePath).isObject());
}

TEST_F(ProfiledataTest, SaveNodeReplacesOnlyTheDeviceElement) {
    m_data.LoadProfile(m_profilePath);
    Json::Value document = m_file.ReadJson(m_profilePath);
    document["profilename"] = "renamed meanwhile";
    document["Device"][1]["other"] = 1;
    m_file.WriteJson(m_profilePath, document);

    LightInfo info;
    info.selectItem = 7;
    m_data.SetLightInfo(info);
    m_data.SaveProfile();
    const Json::Value saved = m_file.ReadJson(m_profilePath);
    EXPECT_EQ(saved["profilename"].asString(), "renamed meanwhile");
    EXPECT_EQ(saved["Device"][1]["other"].asInt(), 1);
    EXPECT_EQ(saved["Device"][0]["LightInfo"]["SelectItem"].asInt(), 7);
    EXPECT_EQ(saved["Device"][0]["Extra"].asString(), "kept");
}

TEST_F(ProfiledataTest, SavesSeeEveryOutsideChangeBetweenThem) {
    m_data.LoadProfile(m_profilePath);
    m_data.SaveProfile();
    // Rewritten in place (same inode, other size) by another writer after our save.
    Json::Value document = m_file.ReadJson(m_profilePath);
    document["profilename"] = "changed in place by someone else";
    WriteText(m_profilePath, JsonFile::StyledText(document));
    m_data.SetLightInfo(LightInfo{3});
    m_data.SaveProfile();
    const Json::Value saved = m_file.ReadJson(m_profilePath);
    EXPECT_EQ(saved["profilename"].asString(), "changed in place by someone else");
    EXPECT_EQ(saved["Device"][0]["LightInfo"]["SelectItem"].asInt(), 3);
    // Deleted meanwhile: the next save creates the file with the node only.
    fs::remove(m_profilePath);
    m_data.SaveProfile();
    const Json::Value recreated = m_file.ReadJson(m_profilePath);
    EXPECT_FALSE(recreated.isMember("profilename"));
    EXPECT_EQ(recreated["Device"][0]["LightInfo"]["SelectItem"].asInt(), 3);
}

TEST_F(ProfiledataTest, SaveIntoAVanishedFolderChangesNothingElsewhere) {
    const fs::path gone = m_dir / "gone" / "p.Json";
    m_data.SetProfilePath(gone);
    m_data.LoadProfile(gone);  // the factory node, but no file can be made
    EXPECT_EQ(m_data.GetLightInfo().selectItem, 4);
    m_data.SaveProfile();
    EXPECT_FALSE(fs::exists(m_dir / "gone"));
    EXPECT_EQ(m_file.ReadJson(m_factoryPath), FactoryDocument());
}

TEST_F(ProfiledataTest, LightInfoRoundTripClearsTheUnstoredBytes) {
    LightInfo info{9, 4, 3, 1, 1, 10, 20, 30, 0xAA, 0xBB, 0xCC, 2, 5, 6};
    m_data.SetLightInfo(info);
    EXPECT_EQ(m_data.GetNode()["LightInfo"].getMemberNames().size(), 11u);
    m_data.SaveProfile();
    CBasicProfiledata reread;
    reread.LoadProfile(m_profilePath);
    LightInfo expected = info;
    expected.reserved8 = expected.reserved9 = expected.present = 0;
    EXPECT_EQ(reread.GetLightInfo(), expected);
    // A missing member object reads as zeros.
    CBasicProfiledata empty;
    EXPECT_EQ(empty.GetLightInfo(), LightInfo{});
}

TEST_F(ProfiledataTest, AudioLightInfoRoundTrip) {
    AudioLightInfo info{3, 1, 2, 3, 4, 5, 6, 1, 1};
    m_data.SetAudioLightInfo(info);
    m_data.SaveProfile();
    CBasicProfiledata reread;
    reread.LoadProfile(m_profilePath);
    EXPECT_EQ(reread.GetAudioLightInfo(), info);
    EXPECT_EQ(m_data.GetNode()["AudioLightInfo"]["7ColorFlags"].asInt(), 1);
}

TEST_F(ProfiledataTest, WrongTypedMembersReadAsZero) {
    Json::Value document = FactoryDocument();
    Json::Value& light = document["Device"][0]["LightInfo"];
    light["SelectItem"] = "5";  // text where a number belongs
    light["Light"] = Json::Value(Json::objectValue);
    light["Speed"] = Json::Value(Json::arrayValue);
    light["Fx"] = 1e300;  // no 64-bit integer
    light["Red"] = 300;   // low byte
    light["Green"] = -1;  // low byte
    light["Blue"] = true;
    light["MultiColor"] = 2;  // boolean: non-zero reads as 1
    document["Device"][0]["KeyList"][1]["Assignment"] = "x";
    document["Device"][0]["KeyList"][2] = 17;
    m_file.WriteJson(m_profilePath, document);
    m_data.LoadProfile(m_profilePath);
    const LightInfo info = m_data.GetLightInfo();
    EXPECT_EQ(info.selectItem, 0);
    EXPECT_EQ(info.light, 0);
    EXPECT_EQ(info.speed, 0);
    EXPECT_EQ(info.fx, 0);
    EXPECT_EQ(info.red, 44);
    EXPECT_EQ(info.green, 255);
    EXPECT_EQ(info.blue, 1);
    EXPECT_EQ(info.multiColor, 1);
    const auto keys = m_data.GetKeyList();
    ASSERT_EQ(keys.size(), 3u);
    EXPECT_EQ(keys[1].current.Code(), 0u);
    EXPECT_EQ(keys[1].defaults.Code(), 0x200005u);
    EXPECT_EQ(keys[2].current.Code(), 0u);
    // "LightInfo" as a number, then written over: the setter replaces it.
    Json::Value odd = FactoryDocument();
    odd["Device"][0]["LightInfo"] = 12;
    m_file.WriteJson(m_profilePath, odd);
    m_data.LoadProfile(m_profilePath);
    EXPECT_EQ(m_data.GetLightInfo(), LightInfo{});
    m_data.SetLightInfo(LightInfo{1});
    EXPECT_EQ(m_data.GetLightInfo().selectItem, 1);
}

TEST_F(ProfiledataTest, LightListWithNullElements) {
    Json::Value document = FactoryDocument();
    Json::Value& list = document["Device"][0]["LightList"];
    list[0]["LEDREGMode"] = 2;
    list[0]["LEDBrightness"] = 4;
    list[0]["LEDSpeed"] = 3;
    list[0]["LEDDirection"] = 5;
    list[0]["LEDMultiColor"] = 1;
    list[0]["red"] = 1;
    list[0]["green"] = 2;
    list[0]["blue"] = 3;
    list[1] = Json::Value();
    list[2]["LEDREGMode"] = 1;
    list[2]["Red"] = 200;  // the light list's colour keys are lower-case
    m_file.WriteJson(m_profilePath, document);
    m_data.LoadProfile(m_profilePath);
    const auto entries = m_data.GetLightList();
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0], (LightListEntry{2, 4, 3, 1, 1, 1, 2, 3, 0, 0, 1, 0, 0, 0}));
    EXPECT_EQ(entries[1], LightListEntry{});
    EXPECT_EQ(entries[2].selectItem, 1);
    EXPECT_EQ(entries[2].red, 0);
    EXPECT_EQ(entries[2].present, 1);
}

TEST_F(ProfiledataTest, KeyListIntegerFormAndShortLists) {
    m_data.LoadProfile(m_profilePath);
    auto keys = m_data.GetKeyList();
    ASSERT_EQ(keys.size(), 3u);
    EXPECT_EQ(keys[2].current, (KeyFunction{2, 0x20, 0x00, 0x06}));
    EXPECT_EQ(keys[2].defaults, (KeyFunction{2, 0x20, 0x00, 0x06}));
    // A macro key: type 0x70, macro 3, mode 0 is stored as 7340800.
    std::vector<KeyEntry> shorter{keys[0]};
    shorter[0].current = {99, 0x70, 3, 0};  // the stored position is not used as the index
    m_data.SetKeyList(shorter);
    m_data.SaveProfile();
    const Json::Value saved = m_file.ReadJson(m_profilePath)["Device"][0]["KeyList"];
    EXPECT_EQ(saved[0]["Assignment"].asInt(), 7340800);
    EXPECT_EQ(saved[0]["DefaultAssignment"].asInt(), 0x200004);
    EXPECT_EQ(saved[1]["Assignment"].asInt(), 0x200005);  // the tail stays
    EXPECT_EQ(saved[2]["Assignment"].asInt(), 0x200006);
}

TEST_F(ProfiledataTest, OtherNodeEditsAnotherProfileOnly) {
    const fs::path other = m_dir / "other.Json";
    m_data.LoadProfile(m_profilePath);
    m_data.LoadOtherProfile(other);  // created from the factory profile as well
    auto keys = m_data.GetOtherKeyList();
    keys[0].current = {0, 0x71, 1, 5};
    m_data.SetOtherKeyList(keys);
    m_data.SaveOtherProfile(other);
    EXPECT_EQ(m_file.ReadJson(other)["Device"][0]["KeyList"][0]["Assignment"].asInt(), 0x710105);
    EXPECT_EQ(m_file.ReadJson(m_profilePath)["Device"][0]["KeyList"][0]["Assignment"].asInt(), 0x200004);
    EXPECT_EQ(m_data.GetKeyList()[0].current.type, 0x20);
}

TEST_F(ProfiledataTest, CustomLightStepsFromTheLightConfigFolder) {
    fs::create_directory(m_dir / "dev");
    const fs::path config = m_dir / "dev" / "qorin_light.config";
    Json::Value lightConfig;
    lightConfig["LightInfo"][0][0]["LightName"] = "mine";
    lightConfig["LightInfo"][0][0]["Guid"] = "steps_a";
    lightConfig["LightInfo"][0][1]["LightName"] = "escape";
    lightConfig["LightInfo"][0][1]["Guid"] = "../escape";
    lightConfig["LightInfo"][0][2]["LightName"] = "no guid";
    lightConfig["LightInfo"][1][0]["Guid"] = "steps_mouse";
    m_file.WriteJson(config, lightConfig);
    Json::Value steps;
    steps["LEDEffectList"][0]["LEDREGMode"] = 4;
    steps["LEDEffectList"][0]["LEDDirection"] = 3;  // read as an integer here, not as a flag
    steps["LEDEffectList"][0]["LEDMultiColor"] = 2;
    steps["LEDEffectList"][0]["red"] = 9;
    steps["LEDEffectList"][0]["Time"] = 1500;
    steps["LEDEffectList"][0]["Cyle"] = -2;
    steps["LEDEffectList"][1]["LEDREGMode"] = 5;
    m_file.WriteJson(m_dir / "dev" / "steps_a.light", steps);
    m_file.WriteJson(m_dir / "dev" / "steps_mouse.light", steps);
    m_file.WriteJson(m_dir / "escape.light", steps);

    m_data.SetLightConfigPath(config);
    m_data.LoadLightConfig(config);
    m_data.SetLightInfo(LightInfo{0});
    m_data.GetLightInfo();
    auto list = m_data.GetCustomLightSteps();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].light.selectItem, 4);
    EXPECT_EQ(list[0].light.fx, 3);
    EXPECT_EQ(list[0].light.multiColor, 2);
    EXPECT_EQ(list[0].light.red, 9);
    EXPECT_EQ(list[0].time, 1500);
    EXPECT_EQ(list[0].cyle, -2);
    EXPECT_EQ(list[1].light.selectItem, 5);

    m_data.SetLightInfo(LightInfo{1});
    m_data.GetLightInfo();
    EXPECT_TRUE(m_data.GetCustomLightSteps().empty());  // "../escape" never becomes a path
    m_data.SetLightInfo(LightInfo{2});
    m_data.GetLightInfo();
    EXPECT_TRUE(m_data.GetCustomLightSteps().empty());  // no Guid
    // The mouse's steps come from the mouse's element of the light config.
    m_data.SetLightTableIndex(1);
    m_data.SetLightInfo(LightInfo{0});
    m_data.GetLightInfo();
    EXPECT_EQ(m_data.GetCustomLightSteps().size(), 2u);
    // With a custom-mode base, modes below it have no steps and mode base + k plays entry k.
    m_data.SetLightTableIndex(0);
    m_data.SetCustomModeBase(32);
    m_data.SetLightInfo(LightInfo{31});
    m_data.GetLightInfo();
    EXPECT_TRUE(m_data.GetCustomLightSteps().empty());
    m_data.SetLightInfo(LightInfo{32});
    m_data.GetLightInfo();
    EXPECT_EQ(m_data.GetCustomLightSteps().size(), 2u);
}

TEST(MacroEventToRecord, PacksDelayTypeAndButton) {
    Json::Value event;
    event["Action"] = "down";
    event["Type"] = 1;
    event["Button"] = 4;
    event["Delay"] = "300";
    std::array<uint8_t, 4> out{};
    ASSERT_TRUE(CBasicProfiledata::MacroEventToRecord(event, out));
    EXPECT_EQ(out, (std::array<uint8_t, 4>{0x2C, 0x01, 0x81, 0x04}));
    event["Action"] = "Down";  // only the exact text means "down"
    event["Type"] = 10;
    event["Button"] = 0x104;
    event["Delay"] = 70000;  // shoot files store numbers
    CBasicProfiledata::MacroEventToRecord(event, out);
    EXPECT_EQ(out, (std::array<uint8_t, 4>{0xFF, 0xFF, 0x0A, 0x04}));
    CBasicProfiledata::MacroEventToRecord(Json::Value("not an object"), out);
    EXPECT_EQ(out, (std::array<uint8_t, 4>{0, 0, 0, 0}));
}
