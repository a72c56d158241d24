#include <gtest/gtest.h>

#include "TempDir.h"
#include "profiles/KeyboardProfiledata.h"
#include "profiles/MouseProfiledata.h"
#include "profiles/Ru6533Profiledata.h"

using vx::profiles::CKeyboardProfiledata;
using vx::profiles::CMouseProfiledata;
using vx::profiles::CRu6533Profiledata;
using vx::profiles::CorrectInfo;
using vx::profiles::CustomLightColor;
using vx::profiles::JsonFile;
using vx::profiles::Ru6533SystemSetStages;

namespace fs = std::filesystem;

namespace {

// Loads `node` as the device node of a profile file and returns the data object holding it.
template <typename Data>
void LoadNode(Data& data, const TempDir& dir, const Json::Value& node) {
    Json::Value document;
    document["Device"].append(node);
    JsonFile().WriteJson(dir / "p.Json", document);
    data.SetProfilePath(dir / "p.Json");
    data.LoadProfile(dir / "p.Json");
}

template <typename Data>
Data Reload(const TempDir& dir) {
    Data data;
    data.SetProfilePath(dir / "p.Json");
    data.LoadProfile(dir / "p.Json");
    return data;
}

}  // namespace

TEST(KeyboardProfiledata, SystemStagesRoundTripAndMissingObject) {
    TempDir dir;
    CKeyboardProfiledata data;
    Json::Value node;
    node["LightInfo"]["SelectItem"] = 1;
    LoadNode(data, dir, node);
    EXPECT_EQ(data.GetKeyboardSystemStages(), KeyboardSystemStages{});
    data.SetKeyboardSystemStages(0x00020014u, 0x00030001u, 0x00010000u);
    EXPECT_EQ(data.GetNode()["SystemStages"].getMemberNames().size(), 6u);
    data.SaveProfile();
    auto reread = Reload<CKeyboardProfiledata>(dir);
    const auto s = reread.GetKeyboardSystemStages();
    EXPECT_EQ(s, (KeyboardSystemStages{20, 2, 1, 3, 0, 1}));
    EXPECT_EQ(s.Words(), (std::array<uint32_t, 3>{0x00020014u, 0x00030001u, 0x00010000u}));
}

TEST(KeyboardProfiledata, CustomColoursFillMissingGroupsAndPositions) {
    TempDir dir;
    CKeyboardProfiledata data;
    LoadNode(data, dir, Json::Value(Json::objectValue));
    const auto colors = data.GetCustomLightColors(2, 4);
    EXPECT_EQ(colors, std::vector<CustomLightColor>(4));
    const Json::Value& info = data.GetNode()["CustomLightMode"]["LightColorInfo"];
    ASSERT_EQ(info.size(), 3u);
    EXPECT_TRUE(info[0].isNull());
    EXPECT_TRUE(info[1].isNull());
    ASSERT_EQ(info[2].size(), 4u);
    EXPECT_EQ(info[2][3]["Alpha"].asInt(), 0);

    data.SetCustomLightColors({{1, 2, 3, 4}, {5, 6, 7, 8}}, 2);
    data.SetCustomGroupIndex(3);
    data.SaveProfile();
    auto reread = Reload<CKeyboardProfiledata>(dir);
    EXPECT_EQ(reread.GetCustomGroupIndex(), 3);
    const auto more = reread.GetCustomLightColors(2, 6);  // two stored, two black, two missing
    ASSERT_EQ(more.size(), 6u);
    EXPECT_EQ(more[1], (CustomLightColor{5, 6, 7, 8}));
    EXPECT_EQ(more[3], CustomLightColor{});
    EXPECT_EQ(more[5], CustomLightColor{});
    EXPECT_EQ(reread.GetNode()["CustomLightMode"]["LightColorInfo"][2].size(), 6u);
    // Absurd groups from a hostile file answer black without growing the node.
    EXPECT_EQ(reread.GetCustomLightColors(2000000000, 3).size(), 3u);
    EXPECT_EQ(reread.GetNode()["CustomLightMode"]["LightColorInfo"].size(), 3u);
    reread.SetCustomLightColors({{1, 1, 1, 1}}, -1);
    EXPECT_EQ(reread.GetNode()["CustomLightMode"]["LightColorInfo"].size(), 3u);
}

TEST(MouseProfiledata, DpiStagesMergeAndNeverShrink) {
    TempDir dir;
    CMouseProfiledata data;
    Json::Value five;
    five["DPIStages"]["StageActive"] = 2;
    for (int i = 0; i < 5; ++i) {
        five["DPIStages"]["StageDPIs"][i]["StageDPIX"] = 400 * (i + 1);
        five["DPIStages"]["StageDPIs"][i]["StageDPIY"] = 400 * (i + 1);
        five["DPIStages"]["StageDPIs"][i]["StageActive"] = 1;
    }
    LoadNode(data, dir, five);
    ASSERT_EQ(data.GetDpiStages().size(), 5u);
    EXPECT_EQ(data.GetActiveStage(), 2);

    Json::Value three = five;
    three["DPIStages"]["StageDPIs"].resize(3);
    for (int i = 0; i < 3; ++i) three["DPIStages"]["StageDPIs"][i]["StageDPIX"] = 100 + i;
    LoadNode(data, dir, three);
    const auto merged = data.GetDpiStages();
    ASSERT_EQ(merged.size(), 5u);
    EXPECT_EQ(merged[0].dpiX, 100);
    EXPECT_EQ(merged[2].dpiX, 102);
    EXPECT_EQ(merged[3].dpiX, 1600);
    EXPECT_EQ(merged[4].dpiX, 2000);

    // Without "DPIStages" nothing changes.
    LoadNode(data, dir, Json::Value(Json::objectValue));
    data.SetActiveStage(4);
    Json::Value empty(Json::objectValue);
    LoadNode(data, dir, empty);
    EXPECT_EQ(data.GetDpiStages().size(), 5u);
    EXPECT_EQ(data.GetActiveStage(), 4);
}

TEST(MouseProfiledata, SetDpiStagesKeepsTheTailAndCutsTo16Bits) {
    TempDir dir;
    CMouseProfiledata data;
    Json::Value node;
    for (int i = 0; i < 5; ++i) node["DPIStages"]["StageDPIs"][i]["StageDPIX"] = 7;
    LoadNode(data, dir, node);
    data.SetDpiStages({{1, 0, 12000, 12000, 255, 0, 0}, {1, 1, 800, 1600, 0, 255, 0}});
    data.SetActiveStage(1);
    data.SaveProfile();
    auto reread = Reload<CMouseProfiledata>(dir);
    const auto stages = reread.GetDpiStages();
    ASSERT_EQ(stages.size(), 5u);
    EXPECT_EQ(stages[0], (DpiStage{1, 0, 12000, 12000, 255, 0, 0}));
    EXPECT_EQ(stages[1], (DpiStage{1, 1, 800, 1600, 0, 255, 0}));
    EXPECT_EQ(stages[2].dpiX, 7);
    EXPECT_EQ(reread.GetActiveStage(), 1);

    Json::Value big;
    big["DPIStages"]["StageDPIs"][0]["StageDPIX"] = 65536 + 300;
    LoadNode(data, dir, big);
    EXPECT_EQ(data.GetDpiStages()[0].dpiX, 300);
}

TEST(MouseProfiledata, SystemStagesReportStageAndPresets) {
    TempDir dir;
    CMouseProfiledata data;
    Json::Value node;
    node["SystemStages"]["DoubleClickTime"] = 500;
    node["SystemStages"]["MouseSpeed"] = 10;
    node["SystemStages"]["PointerPrecision"] = 1;
    node["SystemStages"]["ScorllPage"] = 0;
    node["SystemStages"]["WheelScorlllinse"] = 3;
    node["CorrectInfo"][0]["CorrectName"] = "Gl\xc3\xa4s";
    node["CorrectInfo"][0]["CorrectSelect"] = 1;
    node["CorrectInfo"][0]["CorrectPixThresh"] = 32;
    node["CorrectInfo"][1]["CorrectSelect"] = 1;
    node["CorrectInfo"][1]["CorrectMinSq"] = 16;
    LoadNode(data, dir, node);
    EXPECT_EQ(data.GetMouseSystemStages(), (MouseSystemStages{500, 10, 1, 0, 3, 0}));
    const auto presets = data.GetCorrectInfo();
    ASSERT_EQ(presets.size(), 2u);
    EXPECT_EQ(presets[0], (CorrectInfo{32, 0, 1, u"Gl\u00e4s"}));
    EXPECT_EQ(presets[1].select, 1);

    data.SetMouseSystemStages(MouseSystemStages{300, 12, 0, 1, 5, 2}.Words()[0], 0x00010000u, 0x00020005u);
    data.SaveProfile();
    auto reread = Reload<CMouseProfiledata>(dir);
    EXPECT_EQ(reread.GetMouseSystemStages(), (MouseSystemStages{300, 12, 0, 1, 5, 2}));
    EXPECT_EQ(reread.GetNode()["ReportStages"]["StageActive"].asInt(), 2);
}

TEST(Ru6533Profiledata, SystemSetStages) {
    TempDir dir;
    CRu6533Profiledata data;
    LoadNode(data, dir, Json::Value(Json::objectValue));
    EXPECT_EQ(data.GetSystemSetStages(), Ru6533SystemSetStages{});
    EXPECT_FALSE(data.GetNode().isMember("SystemSetStages"));
    const Ru6533SystemSetStages s{1, 3, 13, 2, 1, 80, 0, 55};
    data.SetSystemSetStages(s);
    data.SaveProfile();
    EXPECT_EQ(Reload<CRu6533Profiledata>(dir).GetSystemSetStages(), s);
}

TEST(Ru6533Profiledata, EqRowsByPresetNumber) {
    TempDir dir;
    CRu6533Profiledata data;
    LoadNode(data, dir, Json::Value(Json::objectValue));
    EXPECT_EQ(data.GetEqValues(4), std::vector<int32_t>(10, 0));
    const Json::Value& rows = data.GetNode()["EQHzValueInfo"];
    ASSERT_EQ(rows.size(), 5u);
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(rows[i].isNull());
    EXPECT_EQ(rows[4][0]["value"].asInt(), 0);

    const Json::Value before = data.GetNode();
    EXPECT_TRUE(data.GetEqValues(13).empty());
    EXPECT_EQ(data.GetNode(), before);

    const std::vector<int32_t> gains{7, 11, 2, -3, -1, 4, 9, 12, 9, 5};
    data.SetEqValues(1, gains);
    EXPECT_EQ(data.GetEqValues(0), gains);
    EXPECT_EQ(data.GetEqValues(14), gains);
    EXPECT_EQ(data.GetEqValues(-1), gains);  // negative counts as above 13
    data.SetEqValues(13, {1, 1, 1, 1, 1, 1, 1, 1, 1, 1});
    EXPECT_EQ(data.GetEqValues(1), gains);
    data.SetEqValues(2, {5, 6});  // a short list writes what it has
    EXPECT_EQ(data.GetEqValues(2), (std::vector<int32_t>{5, 6, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(Ru6533Profiledata, CustomEqualisers) {
    TempDir dir;
    CRu6533Profiledata data;
    LoadNode(data, dir, Json::Value(Json::objectValue));
    data.SetCustomEqNames({u"Bass \u00fc", u"Voice"});
    data.SetCustomEqValues(1, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11});
    data.SaveProfile();
    auto reread = Reload<CRu6533Profiledata>(dir);
    EXPECT_EQ(reread.GetCustomEqNames(), (std::vector<std::u16string>{u"Bass \u00fc", u"Voice"}));
    EXPECT_EQ(reread.GetCustomEqValues(1), (std::vector<int32_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(reread.GetNode()["CustomEQHzValueInfo"][1].size(), 10u);
    reread.SetCustomEqNames({});
    EXPECT_TRUE(reread.GetNode()["CustomEQNameInfo"].isNull());
    EXPECT_TRUE(reread.GetCustomEqNames().empty());
    // A position taken from a hostile file neither allocates nor writes.
    EXPECT_EQ(reread.GetCustomEqValues(1 << 30), std::vector<int32_t>(10, 0));
    reread.SetCustomEqValues(-5, {1});
    EXPECT_EQ(reread.GetNode()["CustomEQHzValueInfo"].size(), 2u);
}
