#pragma once
// A field of a record named once, by the path of members that reaches it, so that one table can
// serve reading and writing alike: a field left out of a table is then left out of both
// directions, and a round trip over the table shows it.

#include <cstdint>
#include <type_traits>

namespace vx::records {

template <class Member>
struct MemberOwner;
template <class Owner, class Type>
struct MemberOwner<Type Owner::*> {
    using type = Owner;
};

// Reads and writes one integer field of Record; values are cut to the field's width on writing.
template <class Record>
struct FieldRef {
    int64_t (*get)(const Record&) = nullptr;
    void (*set)(Record&, int64_t) = nullptr;
};

// Member<&Outer::inner, &Inner::field>(): the field reached through the given members.
template <auto First, auto... Rest>
constexpr auto Member() {
    using Record = typename MemberOwner<decltype(First)>::type;
    // clang-format off
    return FieldRef<Record>{
        [](const Record& r) -> int64_t { return static_cast<int64_t>(((r.*First) .* ... .* Rest)); },
        [](Record& r, int64_t v) {
            auto& field = ((r.*First) .* ... .* Rest);
            field = static_cast<std::remove_reference_t<decltype(field)>>(v);
        }};
    // clang-format on
}

// Copies the fields of a table from one record into another, leaving the rest of `into` alone.
template <class Record, class Table>
void CopyFields(const Table& table, const Record& from, Record& into) {
    for (const auto& entry : table) entry.field.set(into, entry.field.get(from));
}

}  // namespace vx::records
