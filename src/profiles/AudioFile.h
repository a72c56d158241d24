#pragma once
// "AudioFile.json", the audio light styles shared by all devices: {"Device": {"AudioLightInfo":
// {"nAudioStyle", "nStyleName1".."nStyleName4", "nStyleR0".."nStyleB3"}}}. The user copy lives
// in the user data folder, the factory copy ("AudioFile" + ".json") in the default data folder.
// The main window keeps the "Device" member in memory and writes it back with the same
// read-replace-write rule as a profile node; other members of the file stay.

#include <json/json.h>

#include <filesystem>

#include "profiles/JsonFile.h"
#include "profiles/ProfileRecords.h"

namespace vx::profiles {

class AudioFile {
public:
    AudioFile(std::filesystem::path userFile, std::filesystem::path factoryFile);

    // The user file's "Device" member. When the user file is missing or has none, the factory
    // copy is written to the user path unchanged and its "Device" member is returned.
    Json::Value LoadDevice();

    // Reads the user file, replaces its "Device" member, writes it.
    void SaveDevice(const Json::Value& device);

    // The style record of a "Device" member; empty names and zeros without "AudioLightInfo".
    static AudioStyles ReadStyles(const Json::Value& device);
    // Stores the record as the member's "AudioLightInfo" (other members of "Device" stay).
    static void WriteStyles(Json::Value& device, const AudioStyles& styles);

private:
    std::filesystem::path m_userFile;
    std::filesystem::path m_factoryFile;
    JsonFile m_file;
};

}  // namespace vx::profiles
