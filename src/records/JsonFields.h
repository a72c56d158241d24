#pragma once
// One JSON member of a record: its key in the profile files, exactly as the files spell it, how
// its value is read, and the field it fills. The profile layer reads and writes through the same
// table; this header needs no JSON library.

#include "records/FieldTable.h"

namespace vx::records {

enum class JsonKind : uint8_t {
    Byte,   // low 8 bits of the integer
    Flag,   // any non-zero value (or true) reads as 1
    Word,   // low 16 bits
    Int32,  // low 32 bits
};

template <class Record>
struct JsonField {
    const char* key;
    JsonKind kind;
    FieldRef<Record> field;
};

}  // namespace vx::records
