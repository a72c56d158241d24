#pragma once
// Text helpers shared by the data files and the control routing. Texts are UTF-8 in files and
// UTF-16 in memory; malformed input never fails a conversion, it is replaced by U+FFFD.

#include <cstdint>
#include <string>
#include <string_view>

namespace vx::profiles {

// UTF-16 to UTF-8, up to the first terminator (U+0000) if the text holds one. Unpaired
// surrogates become U+FFFD.
std::string WideToUtf8(std::u16string_view text);

// UTF-8 to UTF-16. Invalid sequences, overlong forms and surrogate code points become U+FFFD.
std::u16string Utf8ToWide(std::string_view text);

// UTF-16 to the system code page. On Linux that is UTF-8.
std::string WideToAnsi(std::u16string_view text);

// UTF-16 to the narrow console code page: one byte per character, never more bytes than the text
// has characters; characters outside ASCII become '?', as an OEM code page shows unmappable ones.
std::string WideToOem(std::u16string_view text);

// Exactly eight upper-case hexadecimal digits, most significant first (255 -> "000000FF").
std::string ToHex8(uint32_t value);

// Removes every occurrence of one character, in place.
void RemoveChar(std::string& text, char c);

// True when the text is empty after trimming white space at both ends.
bool IsBlank(std::u16string_view text);

// Splits a control name "prefix_12" at its last underscore: prefix receives everything up to and
// including that underscore, index the decimal value of the rest (conversion stops at the first
// non-digit; 0 without digits; saturates at INT32_MAX). Returns false, and leaves both outputs
// untouched, when the name holds no underscore.
bool SplitNameIndex(std::u16string_view name, std::u16string& prefix, int32_t& index);
bool SplitNameIndex(std::string_view name, std::string& prefix, int32_t& index);

// Decimal conversion in the manner of the C library's strtol: leading blanks, an optional sign,
// digits up to the first non-digit; 0 when there are none. Saturates at the 64-bit limits.
int64_t ParseDecimal(std::string_view text);

// Case-insensitive comparison of two texts (ASCII letters and the Latin-1 / basic Unicode
// letters that towlower folds). Used for the uniqueness of macro names.
bool EqualsIgnoreCase(std::u16string_view a, std::u16string_view b);

}  // namespace vx::profiles
