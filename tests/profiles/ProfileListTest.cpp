#include "profiles/ProfileList.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "PermissionChecks.h"
#include "TempDir.h"
#include "profiles/DataFileProblems.h"
#include "profiles/StringUtil.h"

using vx::profiles::DataFileProblem;
using vx::profiles::DataFileProblemKind;
using vx::profiles::JsonFile;
using vx::profiles::ProfileList;
using vx::profiles::RemoveLeftoverTemporaryFiles;
using vx::profiles::SetDataFileProblemHandler;
using vx::profiles::WideToUtf8;
using vx::profiles::kMaxNewProfiles;
using vx::profiles::kProfileFileExtension;
using vx::profiles::kProfileIncomplete;
using vx::profiles::kProfileListFile;
using vx::profiles::kProfileRefused;
using vx::profiles::kProfileUnreadable;
using vx::profiles::kProfileWriteFailed;
using vx::profiles::kRenameBlank;
using vx::profiles::kRenameDone;
using vx::profiles::kRenameTaken;

namespace fs = std::filesystem;

namespace {

Json::Value FactoryDocument() {
    Json::Value node;
    node["LightInfo"]["SelectItem"] = 2;
    node["LightInfo"]["Red"] = 255;
    node["CustomEQNameInfo"] = Json::Value(Json::arrayValue);
    Json::Value document;
    document["profilename"] = "factory";
    document["profileUUID"] = "factory";
    document["Device"].append(node);
    return document;
}

// Every regular file below a folder with its content, to compare a whole tree before and after.
std::map<fs::path, std::string> Snapshot(const fs::path& root) {
    std::map<fs::path, std::string> files;
    for (const auto& item : fs::recursive_directory_iterator(root)) {
        if (item.is_regular_file()) files[fs::relative(item.path(), root)] = ReadText(item.path());
    }
    return files;
}

class ProfileListTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_deviceFolder = m_dir / "user" / "keyboard";
        fs::create_directories(m_deviceFolder);
        fs::create_directories(m_dir / "factory");
        m_factoryPath = m_dir / "factory" / "keyboard.Json";
        m_file.WriteJson(m_factoryPath, FactoryDocument());
        m_list.SetProfileFolders(m_deviceFolder, m_factoryPath);
        m_list.SetDeviceKind(1);
    }

    Json::Value ListFile() const { return m_file.ReadJson(m_deviceFolder / kProfileListFile); }
    Json::Value ProfileFile(int position) const {
        return m_file.ReadJson(m_list.ProfilePath(m_list.Entries().at(position).identifier));
    }
    std::string Name(int position) const { return WideToUtf8(m_list.Entries().at(position).name); }
    size_t ProfileFileCount() const {
        size_t count = 0;
        for (const auto& item : fs::directory_iterator(m_deviceFolder)) {
            if (item.path().extension() == kProfileFileExtension) ++count;
        }
        return count;
    }
    void WriteList(const Json::Value& list) { m_file.WriteJson(m_deviceFolder / kProfileListFile, list); }

    TempDir m_dir;
    JsonFile m_file;
    fs::path m_deviceFolder;
    fs::path m_factoryPath;
    ProfileList m_list;
};

}  // namespace

TEST(ProfileIdentifierTest, OnlyTheTimestampShapeIsAnIdentifier) {
    EXPECT_TRUE(ProfileList::IsProfileIdentifier(JsonFile::MakeTimestampId()));
    EXPECT_TRUE(ProfileList::IsProfileIdentifier("2024_03_07_14_05_09_042"));
    ProfileList list;
    list.SetProfileFolders("/data/keyboard", "/factory/keyboard.Json");
    EXPECT_EQ(list.ProfilePath("2024_03_07_14_05_09_042"),
              fs::path("/data/keyboard/2024_03_07_14_05_09_042.Json"));
    for (const char* bad : {"", "..", "../2024_03_07_14_05_09_042", "2024_03_07_14_05_09_042/..",
                            "2024_03_07_14_05_09_42", "2024_03_07_14_05_09_0420", "2024-03-07_14_05_09_042",
                            "2024_03_07_14_05_09", "a024_03_07_14_05_09_042", "2024_03_07_14_05_09_042 ",
                            "2024_03_07_14_05_09_04\\", "12345678_03_07_14_05_09_042"}) {
        EXPECT_FALSE(ProfileList::IsProfileIdentifier(bad)) << bad;
        EXPECT_TRUE(list.ProfilePath(bad).empty()) << bad;
    }
}

TEST_F(ProfileListTest, FirstLoadMakesProfile1FromTheFactoryProfile) {
    ASSERT_EQ(m_list.Load(), 0);
    ASSERT_EQ(m_list.Count(), 1);
    EXPECT_EQ(Name(0), "profile1");
    const std::string id = m_list.GetSelectedIdentifier();
    EXPECT_TRUE(ProfileList::IsProfileIdentifier(id));

    const Json::Value list = ListFile();
    EXPECT_EQ(list["profileselect"].asInt(), 0);
    ASSERT_EQ(list["profilelist"].size(), 1u);
    EXPECT_EQ(list["profilelist"][0]["profilename"].asString(), "profile1");
    EXPECT_EQ(list["profilelist"][0]["profileUUID"].asString(), id);
    EXPECT_EQ(list["profilelist"][0]["profileislink"].asInt(), 0);
    EXPECT_EQ(list["profilelist"][0]["profilelinkmame"].asString(), "");

    const Json::Value profile = m_file.ReadJson(m_deviceFolder / (id + ".Json"));
    EXPECT_EQ(profile["profilename"].asString(), "profile1");
    EXPECT_EQ(profile["profileUUID"].asString(), id);
    EXPECT_EQ(profile["Device"], FactoryDocument()["Device"]);

    // A second load keeps the list as it is.
    ProfileList again;
    again.SetProfileFolders(m_deviceFolder, m_factoryPath);
    EXPECT_EQ(again.Load(), 0);
    EXPECT_EQ(again.GetSelectedIdentifier(), id);
    EXPECT_EQ(ProfileFileCount(), 1u);
}

TEST_F(ProfileListTest, UnusableListsAreReplacedAndSelectionIsClamped) {
    for (const char* text : {"", "{ garbage", "[1,2,3]", "{\"profilelist\": {}}", "{\"profilelist\": []}"}) {
        WriteText(m_deviceFolder / kProfileListFile, text);
        ProfileList list;
        list.SetProfileFolders(m_deviceFolder, m_factoryPath);
        EXPECT_EQ(list.Load(), 0) << text;
        ASSERT_EQ(list.Count(), 1) << text;
        EXPECT_EQ(WideToUtf8(list.Entries()[0].name), "profile1") << text;
    }
    ASSERT_EQ(m_list.Load(), 0);
    m_list.NewProfile();
    Json::Value list = ListFile();
    list["profileselect"] = 99;
    WriteList(list);
    EXPECT_EQ(m_list.Load(), 0);
    list["profileselect"] = 1;
    WriteList(list);
    EXPECT_EQ(m_list.Load(), 1);
    EXPECT_EQ(m_list.GetSelectedIdentifier(), m_list.Entries()[1].identifier);
}

TEST_F(ProfileListTest, NewProfileNamesTheFirstFreeNumberAndStopsAtFifty) {
    ASSERT_EQ(m_list.Load(), 0);
    ASSERT_EQ(m_list.RenameProfile(0, u"Profile2"), kRenameDone);
    Json::Value list = ListFile();
    list["profilelist"].append(list["profilelist"][0]);
    list["profilelist"][1]["profilename"] = "profile1";
    list["profilelist"][1]["profileUUID"] = JsonFile::MakeTimestampId();
    WriteList(list);
    ASSERT_EQ(m_list.Load(), 0);

    const int third = m_list.NewProfile();
    ASSERT_EQ(third, 2);
    EXPECT_EQ(Name(2), "profile3");
    // The list names the new profile as its selection.
    EXPECT_EQ(ListFile()["profileselect"].asInt(), 2);
    EXPECT_EQ(m_list.GetSelectedPosition(), 2);
    EXPECT_EQ(ProfileFile(2)["Device"], FactoryDocument()["Device"]);
    EXPECT_EQ(ProfileFile(2)["profilename"].asString(), "profile3");

    while (m_list.Count() < kMaxNewProfiles) ASSERT_GE(m_list.NewProfile(), 0);
    const auto before = Snapshot(m_dir.Path());
    EXPECT_EQ(m_list.NewProfile(), kProfileRefused);
    EXPECT_EQ(Snapshot(m_dir.Path()), before);
    EXPECT_EQ(m_list.Count(), kMaxNewProfiles);

    // Copy has no limit.
    EXPECT_EQ(m_list.CopyProfile(0), kMaxNewProfiles);
    EXPECT_EQ(static_cast<int>(ListFile()["profilelist"].size()), kMaxNewProfiles + 1);

    std::set<std::string> ids;
    for (const auto& entry : m_list.Entries()) ids.insert(entry.identifier);
    EXPECT_EQ(ids.size(), m_list.Entries().size());
}

TEST_F(ProfileListTest, CopyAppendsCopyUntilTheNameIsFree) {
    ASSERT_EQ(m_list.Load(), 0);
    ASSERT_EQ(m_list.RenameProfile(0, u"A"), kRenameDone);
    Json::Value profile = ProfileFile(0);
    profile["Device"][0]["LightInfo"]["Red"] = 17;
    m_file.WriteJson(m_list.ProfilePath(m_list.Entries()[0].identifier), profile);

    ASSERT_EQ(m_list.CopyProfile(0), 1);
    EXPECT_EQ(Name(1), "A copy");
    ASSERT_EQ(m_list.CopyProfile(0), 2);
    EXPECT_EQ(Name(2), "A copy copy");
    ASSERT_EQ(m_list.RenameProfile(2, u"a COPY copy x"), kRenameDone);
    ASSERT_EQ(m_list.CopyProfile(1), 3);
    EXPECT_EQ(Name(3), "A copy copy");

    const Json::Value copy = ProfileFile(1);
    EXPECT_EQ(copy["Device"][0]["LightInfo"]["Red"].asInt(), 17);
    EXPECT_EQ(copy["profilename"].asString(), "A copy");
    EXPECT_EQ(copy["profileUUID"].asString(), m_list.Entries()[1].identifier);
    EXPECT_NE(m_list.Entries()[1].identifier, m_list.Entries()[0].identifier);
    // Copying leaves the selection where it was.
    EXPECT_EQ(ListFile()["profileselect"].asInt(), 0);
    EXPECT_EQ(m_list.GetSelectedPosition(), 0);

    // A source without a file gives a file with the two names only.
    fs::remove(m_list.ProfilePath(m_list.Entries()[0].identifier));
    ASSERT_EQ(m_list.CopyProfile(0), 4);
    const Json::Value bare = ProfileFile(4);
    EXPECT_EQ(bare.size(), 2u);
    EXPECT_EQ(bare["profilename"].asString(), Name(4));
}

TEST_F(ProfileListTest, DeleteSelectsTheOneBeforeAndNeverTheLast) {
    ASSERT_EQ(m_list.Load(), 0);
    ASSERT_EQ(m_list.NewProfile(), 1);
    ASSERT_EQ(m_list.NewProfile(), 2);
    const std::string first = m_list.Entries()[0].identifier;
    const std::string second = m_list.Entries()[1].identifier;
    const std::string third = m_list.Entries()[2].identifier;

    EXPECT_EQ(m_list.DeleteProfile(3), kProfileRefused);
    EXPECT_EQ(m_list.DeleteProfile(0), 0);
    EXPECT_EQ(ListFile()["profileselect"].asInt(), 0);
    EXPECT_FALSE(fs::exists(m_list.ProfilePath(first)));
    EXPECT_TRUE(fs::exists(m_list.ProfilePath(second)));
    EXPECT_EQ(m_list.GetSelectedIdentifier(), second);

    ASSERT_EQ(m_list.NewProfile(), 2);
    EXPECT_EQ(m_list.DeleteProfile(2), 1);
    EXPECT_EQ(ListFile()["profileselect"].asInt(), 1);
    EXPECT_EQ(m_list.GetSelectedIdentifier(), third);

    EXPECT_EQ(m_list.DeleteProfile(1), 0);
    ASSERT_EQ(m_list.Count(), 1);
    const auto before = Snapshot(m_dir.Path());
    EXPECT_EQ(m_list.DeleteProfile(0), kProfileRefused);
    EXPECT_EQ(Snapshot(m_dir.Path()), before);
    EXPECT_EQ(ProfileFileCount(), 1u);
}

TEST_F(ProfileListTest, RenameResults) {
    ASSERT_EQ(m_list.Load(), 0);
    ASSERT_EQ(m_list.NewProfile(), 1);
    const auto before = Snapshot(m_dir.Path());
    EXPECT_EQ(m_list.RenameProfile(0, u"PROFILE2"), kRenameTaken);
    EXPECT_EQ(m_list.RenameProfile(0, u""), kRenameBlank);
    EXPECT_EQ(m_list.RenameProfile(0, u" \t "), kRenameBlank);
    EXPECT_EQ(m_list.RenameProfile(5, u"x"), kRenameTaken);
    EXPECT_EQ(Snapshot(m_dir.Path()), before);

    // The entry's own name in another case is no clash.
    EXPECT_EQ(m_list.RenameProfile(0, u"Profile1"), kRenameDone);
    EXPECT_EQ(m_list.RenameProfile(0, u"Spiel \u00e9t\u00e9"), kRenameDone);
    EXPECT_EQ(ListFile()["profilelist"][0]["profilename"].asString(), "Spiel \xc3\xa9t\xc3\xa9");
    EXPECT_EQ(ProfileFile(0)["profilename"].asString(), "Spiel \xc3\xa9t\xc3\xa9");
    EXPECT_EQ(ProfileFile(0)["Device"], FactoryDocument()["Device"]);
}

TEST_F(ProfileListTest, ResetKeepsTheNamesAndOnTheHeadsetTheEqualiserPresets) {
    ASSERT_EQ(m_list.Load(), 0);
    ASSERT_EQ(m_list.RenameProfile(0, u"mine"), kRenameDone);
    const fs::path path = m_list.ProfilePath(m_list.Entries()[0].identifier);
    Json::Value changed = ProfileFile(0);
    changed["Device"][0]["LightInfo"]["Red"] = 3;
    changed["Device"][0]["CustomEQNameInfo"].append("Bass");
    changed["Device"][0]["CustomEQHzValueInfo"].append(7);
    m_file.WriteJson(path, changed);

    ASSERT_TRUE(m_list.ResetProfile(0));
    Json::Value expected = FactoryDocument();
    expected["profilename"] = "mine";
    expected["profileUUID"] = m_list.Entries()[0].identifier;
    EXPECT_EQ(m_file.ReadJson(path), expected);

    m_file.WriteJson(path, changed);
    m_list.SetDeviceKind(7);
    ASSERT_TRUE(m_list.ResetProfile(0));
    const Json::Value headset = m_file.ReadJson(path);
    EXPECT_EQ(headset["Device"][0]["LightInfo"]["Red"].asInt(), 255);
    EXPECT_EQ(headset["Device"][0]["CustomEQNameInfo"], changed["Device"][0]["CustomEQNameInfo"]);
    EXPECT_EQ(headset["Device"][0]["CustomEQHzValueInfo"], changed["Device"][0]["CustomEQHzValueInfo"]);

    // Without a factory profile the user's profile is left alone.
    m_file.WriteJson(path, changed);
    fs::remove(m_factoryPath);
    EXPECT_FALSE(m_list.ResetProfile(0));
    EXPECT_EQ(m_file.ReadJson(path), changed);
    EXPECT_FALSE(m_list.ResetProfile(1));
}

TEST_F(ProfileListTest, ExportAndImportRoundTrip) {
    ASSERT_EQ(m_list.Load(), 0);
    Json::Value profile = ProfileFile(0);
    profile["Device"][0]["LightInfo"]["Green"] = 99;
    m_file.WriteJson(m_list.ProfilePath(m_list.Entries()[0].identifier), profile);
    ASSERT_EQ(m_list.RenameProfile(0, u"game"), kRenameDone);

    const fs::path exported = m_dir / "Game.json";
    ASSERT_TRUE(m_list.ExportProfile(0, exported));
    EXPECT_EQ(ReadText(exported), ReadText(m_list.ProfilePath(m_list.Entries()[0].identifier)));
    EXPECT_FALSE(m_list.ExportProfile(0, fs::path()));
    EXPECT_FALSE(m_list.ExportProfile(4, m_dir / "none.json"));
    EXPECT_FALSE(fs::exists(m_dir / "none.json"));

    ASSERT_EQ(m_list.ImportProfile(exported), 1);
    EXPECT_EQ(Name(1), "Game(1)");
    ASSERT_EQ(m_list.ImportProfile(exported), 2);
    EXPECT_EQ(Name(2), "Game(1)(2)");
    EXPECT_EQ(ListFile()["profileselect"].asInt(), 0);

    const Json::Value imported = ProfileFile(1);
    EXPECT_EQ(imported["Device"], profile["Device"]);
    EXPECT_EQ(imported["profilename"].asString(), "Game(1)");
    EXPECT_EQ(imported["profileUUID"].asString(), m_list.Entries()[1].identifier);
    EXPECT_NE(m_list.Entries()[1].identifier, m_list.Entries()[0].identifier);
}

TEST_F(ProfileListTest, MalformedImportsChangeNothing) {
    ASSERT_EQ(m_list.Load(), 0);
    const fs::path bad = m_dir / "bad.json";
    const auto expectUnchanged = [&](const std::string& text, int result) {
        WriteText(bad, text);
        const auto before = Snapshot(m_deviceFolder);
        EXPECT_EQ(m_list.ImportProfile(bad), result) << text;
        EXPECT_EQ(Snapshot(m_deviceFolder), before) << text;
        EXPECT_EQ(m_list.Count(), 1) << text;
    };
    expectUnchanged("", kProfileUnreadable);
    expectUnchanged("{\"profilename\": \"x\", ", kProfileUnreadable);
    expectUnchanged("[{\"profilename\": \"x\", \"profileUUID\": \"y\"}]", kProfileUnreadable);
    expectUnchanged("\"text\"", kProfileUnreadable);
    expectUnchanged("{\"profilename\": \"x\"}", kProfileIncomplete);
    expectUnchanged("{\"profileUUID\": \"2024_03_07_14_05_09_042\", \"Device\": []}", kProfileIncomplete);
    expectUnchanged(std::string(20000, '[') + std::string(20000, ']'), kProfileUnreadable);
    EXPECT_EQ(m_list.ImportProfile(m_dir / "missing.json"), kProfileUnreadable);
    EXPECT_EQ(m_list.ImportDocument(u"x", Json::Value(3)), kProfileUnreadable);
}

TEST_F(ProfileListTest, HostileImportIsConfinedToTheDeviceFolder) {
    fs::create_directories(m_dir / "outside");
    WriteText(m_dir / "outside" / "victim.Json", "precious");
    ASSERT_EQ(m_list.Load(), 0);
    const auto before = Snapshot(m_dir.Path());

    const char* hostile[] = {"../../outside/victim",
                             "../outside/new",
                             "/tmp/vx-escape",
                             "..\\..\\outside\\victim",
                             "..",
                             "",
                             "2024_03_07_14_05_09_042/../../../outside/victim"};
    int imported = 0;
    for (const char* id : hostile) {
        Json::Value document;
        document["profilename"] = "evil";
        document["profileUUID"] = id;
        document["Device"][0]["LightInfo"]["Red"] = 1;
        const fs::path file = m_dir / "import" / "evil.json";
        fs::create_directories(file.parent_path());
        m_file.WriteJson(file, document);
        const int position = m_list.ImportProfile(file);
        ASSERT_GE(position, 1) << id;
        ++imported;
        EXPECT_TRUE(ProfileList::IsProfileIdentifier(m_list.Entries()[position].identifier)) << id;
        EXPECT_EQ(ProfileFile(position)["profileUUID"].asString(), m_list.Entries()[position].identifier);
        fs::remove_all(m_dir / "import");
    }
    EXPECT_FALSE(fs::exists("/tmp/vx-escape.Json"));

    // Everything new is a profile of the list inside the device folder, and nothing else changed.
    const auto after = Snapshot(m_dir.Path());
    std::set<fs::path> listed;
    for (const auto& entry : m_list.Entries()) {
        listed.insert(fs::relative(m_list.ProfilePath(entry.identifier), m_dir.Path()));
    }
    for (const auto& [path, content] : after) {
        const auto old = before.find(path);
        if (old != before.end() && old->second == content) continue;
        const bool isList = path == fs::relative(m_deviceFolder / kProfileListFile, m_dir.Path());
        EXPECT_TRUE(isList || listed.count(path)) << path;
    }
    for (const auto& [path, content] : before) EXPECT_TRUE(after.count(path)) << path;
    EXPECT_EQ(ReadText(m_dir / "outside" / "victim.Json"), "precious");
    EXPECT_EQ(static_cast<int>(ProfileFileCount()), 1 + imported);
}

TEST_F(ProfileListTest, HostileListEntriesNeverReachFilesOutside) {
    fs::create_directories(m_dir / "outside");
    const fs::path victim = m_dir / "outside" / "victim.Json";
    m_file.WriteJson(victim, FactoryDocument());
    const std::string victimText = ReadText(victim);

    const std::string good = JsonFile::MakeTimestampId();
    Json::Value list;
    list["profileselect"] = 1;
    for (const char* id : {good.c_str(), "../outside/victim", "../outside/victim", good.c_str()}) {
        Json::Value entry;
        entry["profilename"] = id;
        entry["profileUUID"] = id;
        list["profilelist"].append(entry);
    }
    list["profilelist"].append("not an entry");
    WriteList(list);

    ASSERT_EQ(m_list.Load(), 1);
    ASSERT_EQ(m_list.Count(), 5);
    std::set<std::string> ids;
    for (const auto& entry : m_list.Entries()) {
        EXPECT_TRUE(ProfileList::IsProfileIdentifier(entry.identifier));
        ids.insert(entry.identifier);
    }
    EXPECT_EQ(ids.size(), 5u);
    EXPECT_EQ(m_list.Entries()[0].identifier, good);
    // The repair is kept, so the next load names the same files.
    ProfileList again;
    again.SetProfileFolders(m_deviceFolder, m_factoryPath);
    again.Load();
    for (int i = 0; i < 5; ++i) EXPECT_EQ(again.Entries()[i].identifier, m_list.Entries()[i].identifier);

    EXPECT_TRUE(m_list.ResetProfile(1));
    EXPECT_EQ(m_list.RenameProfile(1, u"renamed"), kRenameDone);
    EXPECT_GE(m_list.CopyProfile(1), 0);
    EXPECT_EQ(m_list.DeleteProfile(1), 0);
    EXPECT_EQ(m_list.DeleteProfile(1), 0);
    EXPECT_EQ(ReadText(victim), victimText);
    for (int i = 0; i < m_list.GetProfileCount(); ++i) {
        EXPECT_EQ(m_list.GetProfileFilePath(i).parent_path(), m_deviceFolder);
    }
    EXPECT_TRUE(m_list.GetProfileFilePath(m_list.GetProfileCount()).empty());
}

TEST_F(ProfileListTest, AFolderThatCannotBeWrittenChangesNothing) {
    ASSERT_EQ(m_list.Load(), 0);
    const auto before = Snapshot(m_dir.Path());
    // A regular file where the folder should be: every write below it fails, also for root.
    WriteText(m_dir / "blocked", "");
    ProfileList blocked;
    blocked.SetProfileFolders(m_dir / "blocked" / "keyboard", m_factoryPath);
    EXPECT_EQ(blocked.Load(), -1);
    EXPECT_EQ(blocked.Count(), 0);
    EXPECT_EQ(blocked.NewProfile(), kProfileWriteFailed);
    EXPECT_EQ(blocked.ImportDocument(u"x", FactoryDocument()), kProfileWriteFailed);
    fs::remove(m_dir / "blocked");
    EXPECT_EQ(Snapshot(m_dir.Path()), before);
}

// A list the user may not read is not replaced: its profiles still show (from their files), and
// nothing is written over it; a read-only folder costs nothing at start, where nothing changed.
TEST_F(ProfileListTest, UnreadableListAndReadOnlyFolderAreNeverWrittenOver) {
    PermissionChecks permissions;
    if (!permissions.Active()) GTEST_SKIP() << PermissionChecks::kWhyNot;
    std::vector<DataFileProblem> problems;
    SetDataFileProblemHandler([&problems](const DataFileProblem& problem) { problems.push_back(problem); });
    ASSERT_EQ(m_list.Load(), 0);
    ASSERT_EQ(m_list.NewProfile(), 1);
    const fs::path listPath = m_deviceFolder / kProfileListFile;
    const auto before = Snapshot(m_dir.Path());

    fs::permissions(m_deviceFolder, fs::perms::owner_read | fs::perms::owner_exec);
    ProfileList readOnly;
    readOnly.SetProfileFolders(m_deviceFolder, m_factoryPath);
    EXPECT_EQ(readOnly.Load(), 1);
    EXPECT_TRUE(problems.empty()) << "starting wrote to the read-only folder: " << problems[0].path;
    EXPECT_EQ(readOnly.Select(0), true);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].kind, DataFileProblemKind::NotSaved);
    EXPECT_EQ(problems[0].path, listPath);
    fs::permissions(m_deviceFolder, fs::perms::owner_all);

    problems.clear();
    fs::permissions(listPath, fs::perms::none);
    ProfileList unreadable;
    unreadable.SetProfileFolders(m_deviceFolder, m_factoryPath);
    EXPECT_GE(unreadable.Load(), 0);
    EXPECT_EQ(unreadable.Count(), 2);
    unreadable.Select(1);
    EXPECT_EQ(unreadable.RenameProfile(0, u"Renamed"), kProfileWriteFailed);
    fs::permissions(listPath, fs::perms::owner_read | fs::perms::owner_write);
    SetDataFileProblemHandler({});
    EXPECT_EQ(Snapshot(m_dir.Path()), before);
    ASSERT_FALSE(problems.empty());
    for (const DataFileProblem& problem : problems) {
        EXPECT_EQ(problem.kind, DataFileProblemKind::Unreadable);
        EXPECT_EQ(problem.path, listPath);
    }
}

TEST_F(ProfileListTest, StartCleansUpWhatAKilledSaveLeft) {
    ASSERT_EQ(m_list.Load(), 0);
    ASSERT_EQ(m_list.Count(), 1);
    const std::string firstId = m_list.Entries()[0].identifier;

    // A kill between writing a profile and writing the list: profiles that no entry names, and
    // the hidden temporary files of writes that never reached their rename.
    Json::Value orphan = FactoryDocument();
    orphan["profilename"] = "Gaming";
    m_file.WriteJson(m_deviceFolder / "2030_01_01_00_00_00_002.Json", orphan);
    orphan["profilename"] = "profile1";  // a name the list already holds
    m_file.WriteJson(m_deviceFolder / "2030_01_01_00_00_00_001.Json", orphan);
    WriteText(m_deviceFolder / "2030_01_01_00_00_00_003.Json", "not a profile");
    WriteText(m_deviceFolder / ".ProfileList.ini.Ab12Cd", "{\"profilelist\": [");
    WriteText(m_deviceFolder / ".2030_01_01_00_00_00_004.Json.x9Y8z7", "{");
    WriteText(m_dir / "user" / ".macro.config.QWERTY", "{");
    fs::create_directories(m_dir / "user" / "macro");
    WriteText(m_dir / "user" / "macro" / ".abc.mac.a1b2c3", "{");
    // Not ours: hidden files of the user, and names that only look alike.
    WriteText(m_deviceFolder / ".notes.backup", "mine");
    WriteText(m_deviceFolder / ".ProfileList.ini.toolong7", "mine");
    WriteText(m_deviceFolder / "ProfileList.ini.Ab12Cd", "mine");

    // Start: the data folder is swept once, then the device's list is read.
    EXPECT_EQ(RemoveLeftoverTemporaryFiles(m_dir / "user", 3), 4);
    ProfileList restarted;
    restarted.SetProfileFolders(m_deviceFolder, m_factoryPath);
    restarted.SetDeviceKind(1);
    EXPECT_EQ(restarted.Load(), 0);

    ASSERT_EQ(restarted.Count(), 3);
    EXPECT_EQ(restarted.Entries()[0].identifier, firstId);
    EXPECT_EQ(restarted.Entries()[1].identifier, "2030_01_01_00_00_00_001");
    EXPECT_EQ(WideToUtf8(restarted.Entries()[1].name), "profile1(1)");
    EXPECT_EQ(restarted.Entries()[2].identifier, "2030_01_01_00_00_00_002");
    EXPECT_EQ(WideToUtf8(restarted.Entries()[2].name), "Gaming");
    // Written back, so that the next start and every other reader of the list sees them.
    const Json::Value list = ListFile();
    ASSERT_EQ(list["profilelist"].size(), 3u);
    EXPECT_EQ(list["profilelist"][2]["profileUUID"].asString(), "2030_01_01_00_00_00_002");
    EXPECT_EQ(list["profilelist"][2]["profilename"].asString(), "Gaming");
    EXPECT_EQ(list["profilelist"][2]["profileislink"].asInt(), 0);

    EXPECT_FALSE(fs::exists(m_deviceFolder / ".ProfileList.ini.Ab12Cd"));
    EXPECT_FALSE(fs::exists(m_deviceFolder / ".2030_01_01_00_00_00_004.Json.x9Y8z7"));
    EXPECT_FALSE(fs::exists(m_dir / "user" / ".macro.config.QWERTY"));
    EXPECT_FALSE(fs::exists(m_dir / "user" / "macro" / ".abc.mac.a1b2c3"));
    EXPECT_TRUE(fs::exists(m_deviceFolder / ".notes.backup"));
    EXPECT_TRUE(fs::exists(m_deviceFolder / ".ProfileList.ini.toolong7"));
    EXPECT_TRUE(fs::exists(m_deviceFolder / "ProfileList.ini.Ab12Cd"));
    // A file that is no profile is neither listed nor deleted.
    EXPECT_EQ(ReadText(m_deviceFolder / "2030_01_01_00_00_00_003.Json"), "not a profile");

    // A temporary file left in the device folder alone is removed by the list's own load too.
    WriteText(m_deviceFolder / ".ProfileList.ini.Zz9Zz9", "{");
    EXPECT_EQ(restarted.Load(), 0);
    EXPECT_FALSE(fs::exists(m_deviceFolder / ".ProfileList.ini.Zz9Zz9"));
    EXPECT_EQ(restarted.Count(), 3);
}
