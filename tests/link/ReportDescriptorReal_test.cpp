// Descriptors of real devices against what another operating system's HID parser computed from
// them on the device (data/real/README.md).

#include "BuildPaths.h"
#include <gtest/gtest.h>
#include <json/json.h>

#include <fstream>
#include <sstream>
#include <string>

#include "link/ReportDescriptor.h"

namespace {

const std::string kDataDir = std::string(VX_SOURCE_DIR) + "/tests/link/data/real/";

const char* const kDescriptors[] = {
    "cherry_046a_0011_ifNA",   "logitech_046d_0a37_if3", "logitech_046d_c077_ifNA",
    "logitech_046d_c283_ifNA", "logitech_046d_c52f_if0", "logitech_046d_c52f_if1",
    "logitech_046d_c534_if0",  "logitech_046d_c534_if1", "microsoft_045e_02ff_ifNA",
};

std::string ReadText(const std::string& path) {
    std::ifstream in(path);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

uint16_t Hex16(const Json::Value& v) {
    return static_cast<uint16_t>(std::stoul(v.asString(), nullptr, 16));
}

std::vector<uint8_t> Ids(const Json::Value& list) {
    std::vector<uint8_t> ids;
    for (const auto& v : list) ids.push_back(static_cast<uint8_t>(v.asUInt()));
    return ids;
}

class RealDescriptor : public ::testing::TestWithParam<const char*> {};

TEST_P(RealDescriptor, CollectionsMatchRecordedFacts) {
    const std::string name = GetParam();
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ParseHexBytes(ReadText(kDataDir + name + ".rdesc.hex"), &bytes)) << name;
    Json::Value facts;
    std::istringstream json(ReadText(kDataDir + name + ".json"));
    ASSERT_TRUE(Json::parseFromStream(Json::CharReaderBuilder(), json, &facts, nullptr)) << name;
    const Json::Value& tlcs = facts["windows_top_level_collections"];
    ASSERT_GT(tlcs.size(), 0u);

    ReportDescriptor descriptor;
    ASSERT_EQ(descriptor.Parse(bytes), ReportDescriptorStatus::Ok)
        << name << " at " << descriptor.ErrorOffset();
    const auto& cols = descriptor.Collections();
    ASSERT_EQ(cols.size(), tlcs.size()) << name;
    for (Json::ArrayIndex i = 0; i < tlcs.size(); ++i) {
        const Json::Value& t = tlcs[i];
        const HidCollectionInfo& c = cols[i];
        SCOPED_TRACE(name + " collection " + std::to_string(i + 1));
        // An interface with one collection has no collection field in its path.
        if (!t["windows_col"].isNull()) {
            EXPECT_EQ(c.number, t["windows_col"].asUInt());
        }
        EXPECT_EQ(c.number, i + 1);
        EXPECT_EQ(c.usagePage, Hex16(t["usage_page"]));
        EXPECT_EQ(c.usage, Hex16(t["usage"]));
        EXPECT_EQ(c.reportLength[0], t["input_report_byte_length"].asUInt());
        EXPECT_EQ(c.reportLength[1], t["output_report_byte_length"].asUInt());
        EXPECT_EQ(c.reportLength[2], t["feature_report_byte_length"].asUInt());
        const Json::Value& ids = t["report_ids_from_caps"];
        EXPECT_EQ(c.reportIds[0], Ids(ids["input"]));
        EXPECT_EQ(c.reportIds[1], Ids(ids["output"]));
        EXPECT_EQ(c.reportIds[2], Ids(ids["feature"]));
        const bool recordedUsesIds = !Ids(ids["input"]).empty() && Ids(ids["input"])[0] != 0;
        EXPECT_EQ(c.usesReportIds, recordedUsesIds);
    }
}

INSTANTIATE_TEST_SUITE_P(Corpus, RealDescriptor, ::testing::ValuesIn(kDescriptors),
                         [](const auto& info) { return std::string(info.param); });

// Every recorded capability of the corpus must appear among ours with the same report id, page,
// usage (or range start), kind of control and payload position.
TEST(RealDescriptorCaps, RecordedCapabilitiesAreFound) {
    for (const char* name : kDescriptors) {
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(ParseHexBytes(ReadText(kDataDir + name + ".rdesc.hex"), &bytes));
        Json::Value facts;
        std::istringstream json(ReadText(kDataDir + name + ".json"));
        ASSERT_TRUE(Json::parseFromStream(Json::CharReaderBuilder(), json, &facts, nullptr));
        ReportDescriptor descriptor;
        ASSERT_EQ(descriptor.Parse(bytes), ReportDescriptorStatus::Ok);
        const Json::Value& tlcs = facts["windows_top_level_collections"];
        for (Json::ArrayIndex i = 0; i < tlcs.size(); ++i) {
            for (const Json::Value& cap : tlcs[i]["caps"]) {
                const HidReportKind kind = cap["type"].asString() == "input"    ? HidReportKind::Input
                                           : cap["type"].asString() == "output" ? HidReportKind::Output
                                                                                : HidReportKind::Feature;
                const uint16_t usage = Hex16(cap["is_range"].asBool() ? cap["usage_min"] : cap["usage"]);
                const uint32_t bit = (cap["byte_position"].asUInt() - 1) * 8 + cap["bit_position"].asUInt();
                bool found = false;
                for (const HidCapability& c : descriptor.Collections()[i].caps) {
                    found |= c.kind == kind && c.reportId == cap["report_id"].asUInt() &&
                             c.usagePage == Hex16(cap["usage_page"]) && c.usageMin == usage &&
                             c.isButton == cap["is_button"].asBool() && c.bitPosition == bit &&
                             c.bitSize == cap["bit_size"].asUInt();
                }
                EXPECT_TRUE(found) << name << " collection " << i + 1 << " cap " << cap.toStyledString();
            }
        }
    }
}

}  // namespace
