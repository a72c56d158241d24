#include "emulator/FirmwareMemory.h"

#include <json/json.h>

#include <exception>
#include <memory>
#include <optional>

namespace vx::emulator {

namespace {

constexpr int kFormat = 1;
constexpr int kLastImageCheck = static_cast<int>(MacroImageCheck::TrailingBytes);

std::string Hex(const std::vector<uint8_t>& bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(bytes.size() * 2);
    for (uint8_t byte : bytes) {
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0x0F];
    }
    return text;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::optional<std::vector<uint8_t>> Bytes(const Json::Value& value) {
    if (!value.isString()) return std::nullopt;
    const std::string text = value.asString();
    if (text.size() % 2 != 0) return std::nullopt;
    std::vector<uint8_t> bytes;
    bytes.reserve(text.size() / 2);
    for (size_t i = 0; i < text.size(); i += 2) {
        const int high = HexDigit(text[i]);
        const int low = HexDigit(text[i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        bytes.push_back(static_cast<uint8_t>(high << 4 | low));
    }
    return bytes;
}

const char* StateName(ImageState state) {
    switch (state) {
        case ImageState::None:
            return "none";
        case ImageState::Receiving:
            return "receiving";
        case ImageState::Valid:
            return "valid";
        case ImageState::Invalid:
            return "invalid";
    }
    return "none";
}

Json::Value ImageValue(const ImageRecord& image) {
    Json::Value value(Json::objectValue);
    value["state"] = StateName(image.state);
    value["check"] = static_cast<int>(image.check);
    value["bytes"] = Hex(image.bytes);
    return value;
}

bool ParseImage(const Json::Value& value, ImageRecord& image) {
    if (!value.isObject() || !value["check"].isInt()) return false;
    const int check = value["check"].asInt();
    const std::optional<std::vector<uint8_t>> bytes = Bytes(value["bytes"]);
    if (check < 0 || check > kLastImageCheck || !bytes || !value["state"].isString()) return false;
    const std::string state = value["state"].asString();
    image.check = static_cast<MacroImageCheck>(check);
    image.bytes = *bytes;
    if (state == "none") {
        image.state = ImageState::None;
    } else if (state == "valid") {
        image.state = ImageState::Valid;
    } else if (state == "invalid") {
        image.state = ImageState::Invalid;
    } else if (state == "receiving") {
        // Power went while the transfer ran: the image was never finished.
        image.state = ImageState::Invalid;
        image.check = MacroImageCheck::LengthMismatch;
    } else {
        return false;
    }
    return true;
}

}  // namespace

const char* FirmwareKindName(FirmwareKind kind) {
    switch (kind) {
        case FirmwareKind::Keyboard:
            return "keyboard";
        case FirmwareKind::Mouse:
            return "mouse";
        case FirmwareKind::Mousepad:
            return "mousepad";
        case FirmwareKind::Headset:
            return "headset";
    }
    return "unknown";
}

std::string FirmwareMemoryText(const FirmwareMemory& memory) {
    Json::Value root(Json::objectValue);
    root["device"] = FirmwareKindName(memory.kind);
    root["format"] = kFormat;
    Json::Value missing(Json::arrayValue);
    for (size_t key : memory.missingKeys) missing.append(static_cast<Json::UInt64>(key));
    root["missing_keys"] = missing;
    root["config"] = Hex(memory.config);
    root["key_table"] = Hex(memory.keyTable);
    root["key_colours"] = Hex(memory.keyColours);
    root["macros"] = ImageValue(memory.macros);
    root["shoot"] = ImageValue(memory.shoot);
    Json::StreamWriterBuilder builder;
    builder["indentation"] = "   ";
    return Json::writeString(builder, root) + "\n";
}

bool ParseFirmwareMemory(const std::string& text, FirmwareKind kind, FirmwareMemory& memory,
                         std::string& problem) {
    Json::Value root;
    Json::CharReaderBuilder builder;
    builder["collectComments"] = false;
    std::string errors;
    const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    bool parsed = false;
    try {
        parsed = reader->parse(text.data(), text.data() + text.size(), &root, &errors);
    } catch (const std::exception&) {
        // The reader throws on nesting past its limit; a state file is outside input like any.
        parsed = false;
    }
    if (!parsed) {
        problem = "not valid JSON";
        return false;
    }
    if (!root.isObject() || !root["device"].isString() ||
        root["device"].asString() != FirmwareKindName(kind)) {
        problem = "not the state of a " + std::string(FirmwareKindName(kind));
        return false;
    }
    if (!root["format"].isInt() || root["format"].asInt() != kFormat) {
        problem = "unknown format";
        return false;
    }
    FirmwareMemory result;
    result.kind = kind;
    const Json::Value& missing = root["missing_keys"];
    if (!missing.isArray()) {
        problem = "bad missing_keys";
        return false;
    }
    for (const Json::Value& key : missing) {
        if (!key.isUInt()) {
            problem = "bad missing_keys";
            return false;
        }
        result.missingKeys.push_back(key.asUInt());
    }
    const auto config = Bytes(root["config"]);
    const auto keyTable = Bytes(root["key_table"]);
    const auto keyColours = Bytes(root["key_colours"]);
    if (!config || !keyTable || !keyColours) {
        problem = "bad memory bytes";
        return false;
    }
    result.config = *config;
    result.keyTable = *keyTable;
    result.keyColours = *keyColours;
    if (!ParseImage(root["macros"], result.macros) || !ParseImage(root["shoot"], result.shoot)) {
        problem = "bad macro or shoot image";
        return false;
    }
    memory = std::move(result);
    return true;
}

}  // namespace vx::emulator
