#pragma once
// Problems with the user's data files that the user has to hear about: a profile the program may
// not read, a damaged profile it replaced, a change it could not save. The file layer finds them
// on whatever thread touches the file; the application installs one handler that turns them into
// notices (and decides how often to show them). Without a handler a problem only reaches the
// diagnostic output.
//
// No Qt here: the handler is a plain function, called on the thread that met the problem, and
// must not block (the application queues the notice for its window thread).

#include <filesystem>
#include <functional>
#include <string>

#include <json/json.h>

namespace vx::profiles {

class JsonFile;

enum class DataFileProblemKind {
    // The file is there but could not be read (its permissions, or an I/O error). It is left
    // exactly as it is and never overwritten; factory values stand in for it in memory.
    Unreadable,
    // The file held something that is not a profile; it was moved to `keptAs` and replaced by
    // factory values. `keptAs` empty: it could not be moved, so it was left as it is and factory
    // values stand in for it in memory.
    Broken,
    // A write failed (read-only folder, full disk, permissions): the change is not in the file.
    NotSaved,
};

struct DataFileProblem {
    DataFileProblemKind kind = DataFileProblemKind::NotSaved;
    std::filesystem::path path;
    std::filesystem::path keptAs;
    int error = 0;  // errno of the failing call; 0 when there was none (a parse failure)
};

using DataFileProblemHandler = std::function<void(const DataFileProblem&)>;

// Installs the handler (an empty one removes it). When this returns, no call of the previous
// handler is still running.
void SetDataFileProblemHandler(DataFileProblemHandler handler);

// Logs the problem and hands it to the handler, if any.
void ReportDataFileProblem(const DataFileProblem& problem);

// The system's text for an errno value ("Permission denied"); empty for 0.
std::string DataFileErrorText(int error);

// Moves a data file that holds something the program cannot use to "<name>.broken" (".broken2",
// ".broken3" ... up to ".broken20" when that is taken: each is the user's only copy of what the
// file once held; the last is reused when all are taken) and
// reports it as Broken, with the new name, or with the error when it could not be moved. True
// when the file is out of the way and may be replaced.
bool MoveBrokenFileAside(const std::filesystem::path& path);

// Writes a data file of the user's as JsonFile::TryWriteJson does and reports a failure as
// NotSaved. True when the file now holds the value.
bool SaveDataFile(const JsonFile& file, const std::filesystem::path& path, const Json::Value& value);

}  // namespace vx::profiles
