// A device model added as one catalogue entry, and nothing else, is claimed by discovery as its own
// kind on both its connections and is given access by the udev rules; every built-in entry is
// picked up the same way.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <sstream>
#include <vector>

#include "RecordingSink.h"
#include "VirtualNodePlayer.h"
#include "app/discovery/DeviceDiscovery.h"
#include "app/discovery/DeviceKinds.h"
#include "app/discovery/InterfaceSlotTable.h"
#include "emulator/ReportDescriptors.h"
#include "emulator/VirtualModel.h"
#include "link/SupportedDevices.h"

using vx::emulator::FirmwareKind;
using vx::emulator::ModelInfo;
using vx::emulator::ParseVirtualModel;
using vx::emulator::Transport;
using vx::emulator::VirtualModel;
using vx::emulator::VirtualModelInfo;
using vx::emulator::VirtualModels;
using vx::emulator::ReportDescriptor;
using vx::link::CatalogInterface;
using vx::link::DeviceCatalog;
using vx::link::DeviceClass;
using vx::link::DeviceModel;
using vx::link::SupportedDevicesUdevRules;
using vx::link::UdevRulesOf;
using vx::link::WiredTypeCodeOf;
using vx::discovery::DeviceDiscovery;
using vx::discovery::DeviceKindOfSlot;
using vx::discovery::DiscoveryOptions;
using vx::discovery::InterfaceSlot;
using vx::discovery::InterfaceSlotTable;
using vx::discovery::PlaceholderSlotIndex;
using vx::discovery::SameIdentity;
using vx::discovery::WiredTypeCode;

namespace {

using namespace std::chrono_literals;
using vxtest::Clock;
using vxtest::RecordingSink;
using vxtest::ScopedTempDir;
using vxtest::SinkEvent;
using Kind = SinkEvent::Kind;

// A mouse model the program has never heard of, written as its developer would add it.
constexpr DeviceModel kSmallMouse{
    .kindName = "MouseMini",
    .shortName = "mouse-mini",
    .deviceClass = DeviceClass::Mouse,
    .vendorId = 0x320F,
    .productId = 0x2230,
    .receiverProductId = 0x2231,
    .pageLayout = "mousedevice.xml",
    .lightTableIndex = 1,
    .ledCount = 0x08,
    .keyCount = 0x07,
    .showsPower = true,
};

std::vector<DeviceModel> WithSmallMouse() {
    std::vector<DeviceModel> models(DeviceCatalog().begin(), DeviceCatalog().end());
    models.push_back(kSmallMouse);
    return models;
}

// The vendor/product pairs the rules text grants access to.
std::set<std::pair<unsigned, unsigned>> RuleIds(const std::string& rules) {
    std::set<std::pair<unsigned, unsigned>> ids;
    std::istringstream lines(rules);
    std::string line;
    while (std::getline(lines, line)) {
        unsigned vendor = 0, product = 0;
        if (std::sscanf(line.c_str(),
                        "KERNEL==\"hidraw*\", ATTRS{idVendor}==\"%x\", ATTRS{idProduct}==\"%x\"", &vendor,
                        &product) == 2)
            ids.insert({vendor, product});
    }
    return ids;
}

// Every model of a filled table: each of its slots (both connections, both roles) finds the model
// as its kind, the twins pair cable with receiver, and the udev rules name each of its products.
void ExpectEveryModelPickedUp(const InterfaceSlotTable& slots) {
    const std::set<std::pair<unsigned, unsigned>> ruled = RuleIds(UdevRulesOf(slots.Models()));
    for (size_t kind = 0; kind < slots.Models().size(); ++kind) {
        const DeviceModel& model = slots.Models()[kind];
        SCOPED_TRACE(std::string(model.kindName));
        size_t owned = 0;
        for (size_t i = 0; i < slots.Size(); ++i) {
            const InterfaceSlot slot = slots.Slot(i);
            const bool cable = slot.productId == model.productId;
            if (slot.vendorId != model.vendorId || (!cable && slot.productId != model.receiverProductId))
                continue;
            ++owned;
            EXPECT_EQ(DeviceKindOfSlot(slots, i), int(kind)) << "slot " << i;
            EXPECT_EQ(WiredTypeCode(slot.typeCode), WiredTypeCodeOf(model.deviceClass));
            EXPECT_EQ(slot.IsWireless(), !cable);
            const CatalogInterface& at = slot.IsCommand() ? model.command : model.notification;
            EXPECT_EQ(slot.collectionNumber, at.collectionNumber);
            EXPECT_EQ(slot.usagePage, at.usagePage);
            if (model.receiverProductId != 0) {
                ASSERT_EQ(slot.hasTwin, 1);
                const InterfaceSlot twin = slots.Slot(slot.twinIndex);
                EXPECT_EQ(twin.twinIndex, i);
                EXPECT_EQ(twin.role, slot.role);
                EXPECT_NE(twin.productId, slot.productId);
            }
        }
        const size_t connections = model.receiverProductId != 0 ? 2 : 1;
        EXPECT_EQ(owned, connections * (model.hasNotification ? 2 : 1));
        EXPECT_EQ(ruled.count({model.vendorId, model.productId}), 1u);
        if (model.receiverProductId != 0) {
            EXPECT_EQ(ruled.count({model.vendorId, model.receiverProductId}), 1u);
        }
        if (model.createdInAdvance) {
            const int placeholder = PlaceholderSlotIndex(slots, int(kind));
            ASSERT_GE(placeholder, 0);
            EXPECT_TRUE(slots.Slot(size_t(placeholder)).IsCommand());
            EXPECT_FALSE(slots.Slot(size_t(placeholder)).IsWireless());
        }
    }
}

TEST(CatalogueEntry, EveryBuiltInModelIsPickedUp) {
    InterfaceSlotTable slots;
    slots.Fill();
    ASSERT_EQ(slots.Models().size(), DeviceCatalog().size());
    ExpectEveryModelPickedUp(slots);
}

TEST(CatalogueEntry, OneMoreEntryIsPickedUpAndLeavesTheOthersWhereTheyWere) {
    InterfaceSlotTable builtIn;
    builtIn.Fill();
    InterfaceSlotTable slots;
    slots.Fill(WithSmallMouse());
    ExpectEveryModelPickedUp(slots);
    // The new device's four interfaces come after the others, whose slot numbers the window's
    // messages already carry.
    ASSERT_EQ(slots.Size(), builtIn.Size() + 4);
    for (size_t i = 0; i < builtIn.Size(); ++i)
        EXPECT_TRUE(SameIdentity(slots.Slot(i), builtIn.Slot(i))) << i;
    EXPECT_EQ(DeviceKindOfSlot(slots, builtIn.Size()), int(DeviceCatalog().size()));
    EXPECT_EQ(RuleIds(UdevRulesOf(slots.Models())).size(), RuleIds(SupportedDevicesUdevRules()).size() + 2);
}

// The virtual devices take their list from the catalogue: one per connection, in slot order, and
// the names the tests and the control console use still name the devices they always did.
TEST(CatalogueEntry, TheVirtualDevicesAreTheCataloguesConnections) {
    InterfaceSlotTable slots;
    slots.Fill();
    std::vector<std::pair<uint16_t, uint16_t>> commandSlots;
    for (const InterfaceSlot& slot : slots.Snapshot()) {
        if (slot.IsCommand()) commandSlots.push_back({slot.vendorId, slot.productId});
    }
    std::vector<std::pair<uint16_t, uint16_t>> virtualDevices;
    for (const VirtualModelInfo& info : VirtualModels()) virtualDevices.push_back({info.vendor, info.product});
    EXPECT_EQ(virtualDevices, commandSlots);
    const std::pair<VirtualModel, const char*> named[] = {
        {VirtualModel::KeyboardWired, "keyboard-wired"}, {VirtualModel::KeyboardReceiver, "keyboard-receiver"},
        {VirtualModel::MouseWired, "mouse-wired"},       {VirtualModel::MouseReceiver, "mouse-receiver"},
        {VirtualModel::Mousepad, "mousepad"},            {VirtualModel::Headset, "headset"}};
    for (const auto& [model, name] : named) {
        EXPECT_EQ(ModelInfo(model).name, name);
        EXPECT_EQ(ParseVirtualModel(name), model);
    }
    EXPECT_EQ(ModelInfo(VirtualModel::Headset).nodeName, "headset-if3");
    EXPECT_EQ(ModelInfo(VirtualModel::MouseReceiver).transport, Transport::Receiver);
    EXPECT_EQ(ModelInfo(VirtualModel::Mousepad).firmware, FirmwareKind::Mousepad);
}

class CatalogueDiscoveryTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("VX_VIRTUAL_HID_DIR", m_dir.Path().c_str(), 1);
        m_slots.Fill(WithSmallMouse());
    }
    void TearDown() override {
        if (m_discovery) { EXPECT_TRUE(m_discovery->Stop()); }
        EXPECT_TRUE(m_sink.Violations().empty()) << m_sink.Violations().front();
        unsetenv("VX_VIRTUAL_HID_DIR");
    }

    ScopedTempDir m_dir;
    InterfaceSlotTable m_slots;
    RecordingSink m_sink{m_slots};
    std::unique_ptr<DeviceDiscovery> m_discovery;
};

TEST_F(CatalogueDiscoveryTest, TheNewModelIsClaimedOnItsCableAndThroughItsReceiver) {
    // The interface the virtual mouse publishes: the same collections as every mouse of the line.
    const std::span<const uint8_t> mouseInterface = ReportDescriptor(FirmwareKind::Mouse);
    vxtest::VirtualNodeConfig cable;
    cable.name = "mouse-mini-wired-if1";
    cable.product = kSmallMouse.productId;
    cable.descriptor.assign(mouseInterface.begin(), mouseInterface.end());
    vxtest::VirtualNodeConfig receiver = cable;
    receiver.name = "mouse-mini-receiver-if1";
    receiver.product = kSmallMouse.receiverProductId;
    vxtest::VirtualNodePlayer cableNode(m_dir.Path());
    vxtest::VirtualNodePlayer receiverNode(m_dir.Path());
    ASSERT_TRUE(cableNode.Publish(cable));
    ASSERT_TRUE(receiverNode.Publish(receiver));

    DiscoveryOptions options;
    options.scanPeriod = 20ms;
    options.useUdevMonitor = false;
    options.virtualDirectory = m_dir.Path();
    m_discovery = std::make_unique<DeviceDiscovery>(m_slots, m_sink, options);
    ASSERT_TRUE(m_discovery->Start());

    const int newKind = int(DeviceCatalog().size());
    const auto start = Clock::now() - 1s;
    std::set<size_t> claimed;
    for (size_t i = 0; i < m_slots.Size(); ++i) {
        if (DeviceKindOfSlot(m_slots, i) != newKind) continue;
        ASSERT_TRUE(m_sink.WaitEvent(Kind::Arrived, i, start, 3000ms)) << "slot " << i;
        claimed.insert(i);
    }
    EXPECT_EQ(claimed.size(), 4u);
    // Nothing else was claimed: the built-in mouse is not plugged.
    for (const SinkEvent& e : m_sink.Events()) {
        if (e.kind == Kind::Arrived) { EXPECT_EQ(claimed.count(e.index), 1u) << "slot " << e.index; }
    }
}

}  // namespace
