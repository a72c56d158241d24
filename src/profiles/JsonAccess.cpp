#include "profiles/JsonAccess.h"

#include <cmath>

namespace vx::profiles {

namespace {

const Json::Value& NullValue() {
    static const Json::Value null;
    return null;
}

}  // namespace

const Json::Value& JsonMember(const Json::Value& value, const char* key) {
    if (!value.isObject()) return NullValue();
    const Json::Value* found = value.find(key, key + std::char_traits<char>::length(key));
    return found != nullptr ? *found : NullValue();
}

const Json::Value& JsonElement(const Json::Value& value, Json::ArrayIndex index) {
    if (!value.isArray() || index >= value.size()) return NullValue();
    return value[index];
}

const Json::Value& JsonElement(const Json::Value& value, int64_t index) {
    if (index < 0 || index > static_cast<int64_t>(UINT32_MAX)) return NullValue();
    return JsonElement(value, static_cast<Json::ArrayIndex>(index));
}

int64_t JsonInt(const Json::Value& value) {
    switch (value.type()) {
        case Json::intValue:
            return value.asInt64();
        case Json::uintValue:
            return static_cast<int64_t>(value.asUInt64());
        case Json::booleanValue:
            return value.asBool() ? 1 : 0;
        case Json::realValue: {
            const double d = value.asDouble();
            // 2^63 is exactly representable; anything at or beyond it cannot be truncated to 64 bits.
            if (!std::isfinite(d) || d >= 9223372036854775808.0 || d < -9223372036854775808.0) return 0;
            return static_cast<int64_t>(d);
        }
        default:
            return 0;
    }
}

std::string JsonString(const Json::Value& value) {
    if (!value.isString()) return {};
    return value.asString();
}

Json::Value& JsonMemberForWrite(Json::Value& value, const char* key) {
    if (!value.isObject()) value = Json::Value(Json::objectValue);
    return value[key];
}

Json::Value* JsonElementForWrite(Json::Value& value, int64_t index) {
    if (index < 0 || index > static_cast<int64_t>(kMaxCreatedIndex)) return nullptr;
    if (!value.isArray()) value = Json::Value(Json::arrayValue);
    return &value[static_cast<Json::ArrayIndex>(index)];
}

Json::ArrayIndex JsonArraySize(const Json::Value& value) {
    return value.isArray() ? value.size() : 0;
}

}  // namespace vx::profiles
