#pragma once
// The file layer of every data file: whole-file reads that never fail loudly, and whole-file
// writes in jsoncpp's styled form that replace the file atomically.
//
// Reading: a file that is missing, empty, larger than kMaxJsonFileSize, not valid JSON (comments
// are allowed) or nested deeper than the reader's limit reads as a null value. Callers treat null
// as "use the default".
//
// Writing: the text is jsoncpp's StyledWriter output (three-space indent, keys in ascending byte
// order, right margin 74, ending in a line end) followed by one more line end, so files stay
// interchangeable with those the program has always written. The text goes to a temporary file in
// the same folder, is flushed to the disk and then renamed over the target: a failed write leaves
// the previous file whole. Failures reach the caller as a status (and an errno); telling the user
// is the caller's business (DataFileProblems.h).
//
// JsonFile holds no state; every data object that touches files owns one.

#include <json/json.h>

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace vx::profiles {

// Files beyond this size are refused as input: profiles are a few kilobytes, and a huge file
// handed to the importer must not exhaust memory.
constexpr std::uintmax_t kMaxJsonFileSize = 8u * 1024u * 1024u;

// How a read went, for callers that must tell "no file" from "a file we may not read" from "a
// file that is not JSON": only the last may be replaced, and the second must never be.
enum class JsonReadStatus {
    Read,        // parsed (the root may be any JSON value)
    Missing,     // no such file (or a folder on its path is missing)
    Empty,       // a file of zero bytes
    Unreadable,  // there, but opening or reading it failed (permissions, I/O), or not a regular file
    Malformed,   // read whole, but not JSON, or larger than kMaxJsonFileSize
};

struct JsonReadResult {
    Json::Value value;  // null unless status is Read
    JsonReadStatus status = JsonReadStatus::Missing;
    int error = 0;      // errno of the failing call for Unreadable
};

class JsonFile {
public:
    // The whole file as bytes; empty when it cannot be opened, is larger than kMaxJsonFileSize or
    // could not be read completely.
    std::string readjsonFile(const std::filesystem::path& path) const;

    // The parsed document, or null.
    Json::Value ReadJson(const std::filesystem::path& path) const;
    // The same read, telling why a document is null.
    JsonReadResult ReadJsonChecked(const std::filesystem::path& path) const;

    // Parses a text as ReadJson does; null when it is not valid JSON (`parsed`, when given, tells
    // a document "null" from a failure). Never throws.
    static Json::Value ParseText(const std::string& text, bool* parsed = nullptr);

    // Writes the value; always returns 0, whatever happened.
    int WriteJson(const std::filesystem::path& path, const Json::Value& value) const;

    // The same write, telling whether the file now holds the value; on failure `error` (when
    // given) receives the errno of the call that failed.
    bool TryWriteJson(const std::filesystem::path& path, const Json::Value& value, int* error = nullptr) const;

    // The exact text WriteJson puts into a file.
    static std::string StyledText(const Json::Value& value);

    // A time-stamp identifier "%d_%02d_%02d_%02d_%02d_%02d_%03d" (local year, month, day, hour,
    // minute, second, millisecond). Identifiers made by one process are strictly increasing: a
    // call within the millisecond of the previous one gets the next millisecond, so two new
    // profiles or macros never share a file name.
    static std::string MakeTimestampId();

    // The file name without folder and extension.
    static std::string FileStem(const std::filesystem::path& path);
};

// Writes bytes to a file the same atomic way (temporary file, flush, rename). Used to copy
// macro, shoot and profile files unchanged.
// A new file gets the mode the user's umask gives any new file (0666 less the umask); a file
// replaced keeps no more rights than it had.
// On failure `error` (when given) receives the errno of the call that failed.
bool WriteFileAtomically(const std::filesystem::path& path, const std::string& bytes, int* error = nullptr);

// True for the name of the temporary file an atomic write uses beside its target:
// "." + target name (which has an extension) + "." + six letters or digits.
bool IsAtomicWriteTemporaryName(std::string_view name);
// Removes the temporary files that a write cut short (the program killed between creating and
// renaming one) left in folder and, to `depth` levels, its subfolders. Symbolic links are not
// followed. Returns how many were removed.
int RemoveLeftoverTemporaryFiles(const std::filesystem::path& folder, int depth = 0);

}  // namespace vx::profiles
