#include "link/SupportedDevices.h"

namespace vx::link {

const std::vector<SupportedInterface>& SupportedInterfaces() {
    static const std::vector<SupportedInterface> rows = InterfaceRowsOf(DeviceCatalog());
    return rows;
}

std::vector<std::pair<uint16_t, uint16_t>> SupportedVendorProducts() {
    return VendorProductsOf(DeviceCatalog());
}

std::string SupportedDevicesUdevRules() {
    return UdevRulesOf(DeviceCatalog());
}

}  // namespace vx::link
