#include "profiles/MacroFiles.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "TempDir.h"
#include "profiles/BasicProfiledata.h"
#include "profiles/JsonFile.h"

using vx::profiles::CBasicProfiledata;
using vx::profiles::IsMacroInUse;
using vx::profiles::JsonFile;
using vx::profiles::MacroEvent;
using vx::profiles::MacroFiles;
using vx::profiles::MacroListEntry;
using vx::profiles::RemoveMacroFromProfiles;
using vx::profiles::WriteFileAtomically;
using vx::profiles::kMacroNameTaken;
using vx::profiles::kMacroNotFound;
using vx::profiles::kMacroOk;
using vx::profiles::kMacroReadOnly;
using vx::profiles::kMacroUnchanged;
using vx::profiles::kMaxMacros;
using vx::profiles::kReadOnlyMacroListFile;

namespace fs = std::filesystem;

TEST(MacroFiles, AddTakesTheFirstFreeNameAndStopsAtFifty) {
    TempDir dir;
    MacroFiles macros(dir.Path());
    Json::Value list;
    list["MacroInfo"][0]["MacroName"] = "MACRO_1";
    list["MacroInfo"][0]["Guid"] = "a";
    list["MacroInfo"][1]["MacroName"] = "macro_3";
    list["MacroInfo"][1]["Guid"] = "b";
    list["Other"] = "kept";
    JsonFile().WriteJson(dir / "macro.config", list);
    MacroListEntry added;
    EXPECT_EQ(macros.Add(&added), u"macro_2");
    EXPECT_FALSE(added.guid.empty());
    EXPECT_FALSE(fs::exists(macros.MacroFilePath(added.guid)));  // no events file before a save
    EXPECT_EQ(JsonFile().ReadJson(dir / "macro.config")["Other"].asString(), "kept");
    while (macros.LoadList().size() < kMaxMacros) ASSERT_FALSE(macros.Add().empty());
    const std::string before = ReadText(dir / "macro.config");
    EXPECT_TRUE(macros.Add().empty());
    EXPECT_EQ(ReadText(dir / "macro.config"), before);
}

TEST(MacroFiles, RenameRules) {
    TempDir dir;
    MacroFiles macros(dir.Path());
    macros.Add();
    macros.Add();
    EXPECT_EQ(macros.Rename(0, u"   "), kMacroUnchanged);
    EXPECT_EQ(macros.Rename(0, u"MACRO_2"), kMacroNameTaken);
    EXPECT_EQ(macros.Rename(0, u"Macro_1"), kMacroNameTaken);  // its own name counts too
    EXPECT_EQ(macros.Rename(1, u"Fire \u00e9"), kMacroOk);
    EXPECT_EQ(macros.Rename(7, u"x"), kMacroNotFound);
    EXPECT_EQ(macros.LoadList()[1].name, u"Fire \u00e9");
}

TEST(MacroFiles, EventsRoundTripDelayLimitsAndPacking) {
    TempDir dir;
    MacroFiles macros(dir.Path());
    MacroListEntry entry;
    macros.Add(&entry);
    const std::vector<MacroEvent> events{{true, 10, 0x04, 300}, {false, 10, 0x04, 0}, {true, 4, 20, 65535}};
    ASSERT_EQ(macros.SaveEvents(entry, events), kMacroOk);
    EXPECT_EQ(macros.LoadEvents(entry.guid), events);
    const Json::Value file = JsonFile().ReadJson(macros.MacroFilePath(entry.guid));
    EXPECT_EQ(file["Version"].asInt(), 64);
    EXPECT_EQ(file["Events"][0]["Delay"].asString(), "300");
    EXPECT_EQ(file["Guid"].asString(), entry.guid);
    EXPECT_EQ(MacroFiles::Pack(events[0]), (std::array<uint8_t, 4>{0x2C, 0x01, 0x8A, 0x04}));

    Json::Value e;
    e["Delay"] = "70000";
    EXPECT_EQ(MacroFiles::EventFromJson(e).delay, 65535);
    e["Delay"] = "-5";
    EXPECT_EQ(MacroFiles::EventFromJson(e).delay, 65535);
    e["Delay"] = "soon";
    EXPECT_EQ(MacroFiles::EventFromJson(e).delay, 0);
    EXPECT_EQ(MacroFiles::MouseEventLabel({true, 1, 0x10, 0}), "mouse_key_forward");
    EXPECT_EQ(MacroFiles::MouseEventLabel({true, 5, 3, 0}), "mouse_move_to_up_text");
    EXPECT_EQ(MacroFiles::MouseEventLabel({true, 10, 4, 0}), "");
}

TEST(MacroFiles, ImportKeepsTheFileAndExportCopiesIt) {
    TempDir dir;
    fs::create_directory(dir / "dev");
    MacroFiles macros(dir / "dev");
    const std::string content = "{\"MacroName\": \"theirs\", \"Guid\": \"g\", \"Events\": []}";
    WriteText(dir / "in.mac", content);
    macros.Add();
    EXPECT_EQ(macros.Import(dir / "in.mac"), u"macro_2");
    const auto list = macros.LoadList();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(ReadText(macros.MacroFilePath(list[1].guid)), content);
    EXPECT_EQ(macros.Export(1, dir / "out.mac"), kMacroOk);
    EXPECT_EQ(ReadText(dir / "out.mac"), content);
    EXPECT_TRUE(macros.Import(dir / "missing.mac").empty());
    EXPECT_TRUE(macros.Import({}).empty());
    EXPECT_EQ(macros.LoadList().size(), 2u);
}

TEST(MacroFiles, HostileGuidsNeverBecomePaths) {
    TempDir dir;
    fs::create_directory(dir / "dev");
    Json::Value list;
    list["MacroInfo"][0]["MacroName"] = "evil";
    list["MacroInfo"][0]["Guid"] = "../victim";
    JsonFile().WriteJson(dir / "dev" / "macro.config", list);
    WriteText(dir / "victim.mac", "{\"Events\": [{\"Type\": 1}]}");
    MacroFiles macros(dir / "dev");
    EXPECT_TRUE(macros.LoadEvents("../victim").empty());
    EXPECT_EQ(macros.SaveEvents({u"evil", "../victim"}, {{true, 1, 1, 1}}), kMacroNotFound);
    EXPECT_EQ(macros.Delete(0), kMacroOk);  // the entry goes, the outside file stays
    EXPECT_TRUE(fs::exists(dir / "victim.mac"));
    EXPECT_EQ(ReadText(dir / "victim.mac"), "{\"Events\": [{\"Type\": 1}]}");
}

TEST(MacroFiles, DeleteRemovesEntryAndFile) {
    TempDir dir;
    MacroFiles macros(dir.Path());
    MacroListEntry a, b;
    macros.Add(&a);
    macros.Add(&b);
    macros.SaveEvents(a, {{true, 1, 1, 10}});
    EXPECT_EQ(macros.Delete(0), kMacroOk);
    EXPECT_FALSE(fs::exists(macros.MacroFilePath(a.guid)));
    ASSERT_EQ(macros.LoadList().size(), 1u);
    EXPECT_EQ(macros.LoadList()[0].guid, b.guid);
    EXPECT_EQ(macros.Delete(5), kMacroNotFound);
}

TEST(MacroFiles, ReadOnlyListIsNeverWritten) {
    TempDir dir;
    MacroFiles pad(dir.Path(), kReadOnlyMacroListFile);
    EXPECT_TRUE(pad.Add().empty());
    EXPECT_EQ(pad.Delete(0), kMacroReadOnly);
    EXPECT_FALSE(fs::exists(dir / kReadOnlyMacroListFile));
}

TEST(MacroAssignments, DeletingAMacroRenumbersEveryProfile) {
    TempDir dir;
    // Two profiles of one device; key 0 runs macro 1, key 1 runs macro 2, key 2 macro 0.
    Json::Value node;
    const uint32_t current[3] = {0x700100, 0x710203, 0x700000};
    for (int i = 0; i < 3; ++i) {
        node["KeyList"][i]["Assignment"] = current[i];
        node["KeyList"][i]["DefaultAssignment"] = 0x200004 + i;
    }
    Json::Value document;
    document["profilename"] = "p";
    document["Device"].append(node);
    std::vector<fs::path> profiles{dir / "a.Json", dir / "b.Json"};
    for (const auto& p : profiles) JsonFile().WriteJson(p, document);
    Json::Value untouched = document;
    untouched["Device"][0]["KeyList"][0]["Assignment"] = 0x200004;
    untouched["Device"][0]["KeyList"][1]["Assignment"] = 0x200005;
    untouched["Device"][0]["KeyList"][2]["Assignment"] = 0x200006;
    JsonFile().WriteJson(dir / "c.Json", untouched);
    profiles.push_back(dir / "c.Json");
    const std::string cBefore = ReadText(dir / "c.Json");

    CBasicProfiledata data;
    data.LoadProfile(dir / "a.Json");
    EXPECT_TRUE(IsMacroInUse(data.GetKeyList(), 1));
    EXPECT_FALSE(IsMacroInUse(data.GetKeyList(), 3));
    EXPECT_EQ(RemoveMacroFromProfiles(data, profiles, 1), 2);
    for (int p = 0; p < 2; ++p) {
        const Json::Value keys = JsonFile().ReadJson(profiles[p])["Device"][0]["KeyList"];
        EXPECT_EQ(keys[0]["Assignment"].asUInt(), 0x200004u);  // back to its default
        EXPECT_EQ(keys[1]["Assignment"].asUInt(), 0x710103u);  // macro 2 became macro 1
        EXPECT_EQ(keys[2]["Assignment"].asUInt(), 0x700000u);  // before the deleted one: kept
        EXPECT_EQ(JsonFile().ReadJson(profiles[p])["profilename"].asString(), "p");
    }
    EXPECT_EQ(ReadText(dir / "c.Json"), cBefore);  // nothing to change: not rewritten
    // The page's own node is left for the page to reload.
    EXPECT_EQ(data.GetKeyList()[0].current.Code(), 0x700100u);
}

namespace {

// The umask for one scope; the previous one comes back at the end.
class ScopedUmask {
public:
    explicit ScopedUmask(mode_t mask) : m_previous(::umask(mask)) {}
    ~ScopedUmask() { ::umask(m_previous); }

private:
    mode_t m_previous;
};

fs::perms Rights(const fs::path& path) {
    return fs::status(path).permissions() & fs::perms::all;
}

}  // namespace

TEST(MacroFiles, SavedFilesTakeTheUsersUmask) {
    using P = fs::perms;
    TempDir dir;
    MacroFiles macros(dir.Path());
    MacroListEntry entry;
    const std::vector<MacroEvent> events{{true, 10, 0x04, 300}, {false, 10, 0x04, 0}};
    {
        // A user who keeps their files private: recorded keystrokes stay theirs.
        ScopedUmask mask(077);
        ASSERT_FALSE(macros.Add(&entry).empty());
        ASSERT_EQ(macros.SaveEvents(entry, events), kMacroOk);
        EXPECT_EQ(Rights(macros.MacroFilePath(entry.guid)), P::owner_read | P::owner_write);
        EXPECT_EQ(Rights(dir / "macro.config"), P::owner_read | P::owner_write);
        ASSERT_TRUE(WriteFileAtomically(dir / "copy.mac", "{}"));
        EXPECT_EQ(Rights(dir / "copy.mac"), P::owner_read | P::owner_write);
    }
    {
        // The usual umask gives the usual rights to a new file, and a rewrite never widens the
        // rights of a file the user narrowed.
        ScopedUmask mask(022);
        ASSERT_TRUE(WriteFileAtomically(dir / "new.config", "{}"));
        EXPECT_EQ(Rights(dir / "new.config"),
                  P::owner_read | P::owner_write | P::group_read | P::others_read);
        ASSERT_EQ(macros.SaveEvents(entry, events), kMacroOk);
        EXPECT_EQ(Rights(macros.MacroFilePath(entry.guid)), P::owner_read | P::owner_write);
    }
    {
        // A file written before with wider rights loses what the umask now takes away.
        ScopedUmask mask(027);
        ASSERT_TRUE(WriteFileAtomically(dir / "new.config", "{}"));
        EXPECT_EQ(Rights(dir / "new.config"), P::owner_read | P::owner_write | P::group_read);
    }
}
