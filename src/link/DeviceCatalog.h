#pragma once
// Every supported device model, described once as data: its USB identity (cable and, when it has
// one, 2.4 GHz receiver), the HID interfaces it is driven through, its kind, its page and the
// defaults its page starts with. Discovery's interface table, the device kinds, the device pages,
// the udev rules and the virtual devices' identities are all derived from these entries, so a new
// model of a kind the program already drives is one more entry in DeviceCatalog.cpp.
//
// No layout paths here: the page layout is a file name that the window layer places in its skin.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vx::link {

// What a device is; chooses the page class, the firmware of the virtual device and the device
// type codes that discovery hands on.
enum class DeviceClass { Keyboard, Mouse, MousePad, Headset };

// One HID top-level collection of a device.
struct CatalogInterface {
    uint16_t interfaceNumber = 1;   // "&mi_" field
    uint16_t collectionNumber = 0;  // "&col" field, 0 for an interface with one collection
    uint16_t usagePage = 0;
    uint16_t usage = 0;
};

// The vendor collection that carries the framed command channel, and the consumer collection the
// notification reports come on, as every keyboard, mouse and mousepad of the line has them.
constexpr CatalogInterface kVendorCommandCollection{1, 4, 0xFF1C, 0x92};
constexpr CatalogInterface kConsumerNotifyCollection{1, 3, 0x000C, 0x01};

struct DeviceModel {
    // Identity. The kind name is shown on the selector entry and is also the page's data folder
    // and the stem of its factory profile, so it cannot change once profiles exist.
    std::string_view kindName;
    std::string_view shortName;  // lower case, for the virtual devices and listings ("keyboard")
    DeviceClass deviceClass = DeviceClass::Keyboard;
    uint16_t vendorId = 0;
    uint16_t productId = 0;          // on the cable (or the only form)
    uint16_t receiverProductId = 0;  // through the 2.4 GHz receiver; 0 when there is none
    uint16_t variant = 0;            // mousepad: 0 hard, 1 soft

    // Interfaces. A device without a notification collection leaves hasNotification false.
    CatalogInterface command = kVendorCommandCollection;
    bool hasNotification = true;
    CatalogInterface notification = kConsumerNotifyCollection;
    // Where this device's interfaces stand in the interface slot table, whose order the window
    // messages and the listing show: ascending, then by catalogue order.
    int slotOrder = 1000;

    // Page.
    std::string_view pageLayout;  // layout file name of the page
    std::string_view lightNamePrefix = "qorin_light";
    int lightTableIndex = 0;        // the page's light-table index
    bool createdInAdvance = false;  // its page exists before any such device is seen

    // Capability defaults, until the device's capability record says otherwise.
    int ledCount = 0;
    int keyCount = 0;
    bool showsPower = false;  // the page shows a battery indicator
    int selectedLed = -1;     // LED preselected on the page, -1 none
};

// The built-in catalogue, in selector order: the index of an entry is its kind index.
std::span<const DeviceModel> DeviceCatalog();

// Device type codes as discovery reports them: 1 keyboard, 2 mouse, 3 mousepad, 7 headset on the
// cable; 9 keyboard and 6 mouse through the receiver.
uint16_t WiredTypeCodeOf(DeviceClass deviceClass);
uint16_t ReceiverTypeCodeOf(DeviceClass deviceClass);

// One row per interface discovery claims: the command and the notification interface of each
// device on each of its connections.
struct SupportedInterface {
    uint16_t vendorId;
    uint16_t productId;
    uint16_t interfaceNumber;   // "&mi_" field
    uint16_t collectionNumber;  // "&col" field, 0 for an interface with one collection
    uint16_t typeCode;  // 1 keyboard, 9 keyboard by receiver, 2 mouse, 6 mouse by receiver, 3 pad, 7 headset
    uint16_t role;      // kRoleCommand or kRoleNotification
    uint16_t usagePage;
    uint16_t usage;
    uint16_t hasTwin;    // 1 when the device also exists under the other connection
    uint16_t twinIndex;  // row of the twin (same role, other connection)
};

constexpr uint16_t kRoleCommand = 0;
constexpr uint16_t kRoleNotification = 0xFF;

// The interface rows of models: by slot order, each device's cable command and notification rows
// first, then its receiver rows, the twins pointing at each other.
std::vector<SupportedInterface> InterfaceRowsOf(std::span<const DeviceModel> models);

// The distinct vendor/product pairs of models (cable and receiver), in interface-row order.
std::vector<std::pair<uint16_t, uint16_t>> VendorProductsOf(std::span<const DeviceModel> models);

// The udev rules file: uaccess for the hidraw nodes of every model.
std::string UdevRulesOf(std::span<const DeviceModel> models);

}  // namespace vx::link
