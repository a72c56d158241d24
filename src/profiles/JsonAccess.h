#pragma once
// Reading and writing members of JSON values that come from files the user may have edited or
// imported. jsoncpp's asInt() and friends throw on a value of the wrong type, and operator[]
// asserts on a value that is neither null nor of the expected kind; every profile reader goes
// through these helpers instead, so a wrong-typed member reads as 0, false or empty text and a
// write replaces a wrong-typed container instead of failing.

#include <json/json.h>

#include <cstdint>
#include <string>

#include "records/JsonFields.h"

namespace vx::profiles {

// Largest array index the program creates when it writes into a file's arrays. An index taken from
// a hostile file (a group number of 4e9, say) must not make the program allocate billions of
// elements; writes past this bound are dropped.
constexpr Json::ArrayIndex kMaxCreatedIndex = 4096;

// The member `key` of an object; a shared null value when `value` is not an object or lacks it.
const Json::Value& JsonMember(const Json::Value& value, const char* key);

// Element `index` of an array; a shared null value when `value` is not an array or is shorter.
const Json::Value& JsonElement(const Json::Value& value, Json::ArrayIndex index);
const Json::Value& JsonElement(const Json::Value& value, int64_t index);

// The results above refer into their argument; a temporary argument would leave them dangling.
const Json::Value& JsonMember(Json::Value&& value, const char* key) = delete;
const Json::Value& JsonElement(Json::Value&& value, Json::ArrayIndex index) = delete;
const Json::Value& JsonElement(Json::Value&& value, int64_t index) = delete;

// The integer value: integers as they are (64 bits), booleans as 0 or 1, finite doubles within
// the 64-bit range truncated, everything else (text, arrays, objects, null) as 0.
int64_t JsonInt(const Json::Value& value);

// Low byte, low 16 bits and low 32 bits of JsonInt, as the file readers take them.
inline uint8_t JsonByte(const Json::Value& value) {
    return static_cast<uint8_t>(JsonInt(value));
}
inline uint16_t JsonWord(const Json::Value& value) {
    return static_cast<uint16_t>(JsonInt(value));
}
inline int32_t JsonInt32(const Json::Value& value) {
    return static_cast<int32_t>(static_cast<uint32_t>(JsonInt(value)));
}

// A "boolean" member of the files: any non-zero number (or true) reads as 1.
inline uint8_t JsonFlag(const Json::Value& value) {
    return JsonInt(value) != 0 ? 1 : 0;
}

// The text of a string value; empty for every other type.
std::string JsonString(const Json::Value& value);

// Shorthands for a member of an object.
inline int64_t JsonIntAt(const Json::Value& object, const char* key) {
    return JsonInt(JsonMember(object, key));
}
inline uint8_t JsonByteAt(const Json::Value& object, const char* key) {
    return JsonByte(JsonMember(object, key));
}
inline std::string JsonStringAt(const Json::Value& object, const char* key) {
    return JsonString(JsonMember(object, key));
}

// True when the value is absent in the sense of the files: null (a missing member reads as null).
inline bool JsonIsNull(const Json::Value& value) {
    return value.isNull();
}

// The member `key` of `value` for writing: `value` becomes an object first when it is not one
// (a null value or a wrong-typed one from a hand-edited file), then the member is created null.
Json::Value& JsonMemberForWrite(Json::Value& value, const char* key);

// Element `index` of `value` for writing: `value` becomes an array first when it is not one, and
// grows with null elements up to the index. Returns nullptr, changing nothing, when the index is
// negative or above kMaxCreatedIndex.
Json::Value* JsonElementForWrite(Json::Value& value, int64_t index);

// Number of elements of an array; 0 for every other type.
Json::ArrayIndex JsonArraySize(const Json::Value& value);

// The value of one member as a field table says to read it.
inline int64_t JsonFieldValue(const Json::Value& value, vx::records::JsonKind kind) {
    switch (kind) {
        case vx::records::JsonKind::Flag:
            return JsonFlag(value);
        case vx::records::JsonKind::Word:
            return JsonWord(value);
        case vx::records::JsonKind::Int32:
            return JsonInt32(value);
        case vx::records::JsonKind::Byte:
            break;
    }
    return JsonByte(value);
}

// Reads the members a field table names from `object` into `record`; a missing or wrong-typed
// member reads as 0. Fields the table does not name are left as they are.
template <class Record, class Table>
void ReadJsonFields(const Table& table, const Json::Value& object, Record& record) {
    for (const auto& entry : table)
        entry.field.set(record, JsonFieldValue(JsonMember(object, entry.key), entry.kind));
}

// Writes the fields a field table names into members of `object` (made an object first when it
// is not one); other members of `object` stay.
template <class Record, class Table>
void WriteJsonFields(const Table& table, const Record& record, Json::Value& object) {
    for (const auto& entry : table)
        JsonMemberForWrite(object, entry.key) = static_cast<Json::Int64>(entry.field.get(record));
}

}  // namespace vx::profiles
