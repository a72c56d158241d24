#include "profiles/AudioFile.h"

#include <string>
#include <utility>

#include "profiles/DataFileProblems.h"
#include "profiles/JsonAccess.h"
#include "profiles/StringUtil.h"

namespace vx::profiles {

namespace {

constexpr const char* kColourKeys[12] = {"nStyleR0", "nStyleG0", "nStyleB0", "nStyleR1",
                                         "nStyleG1", "nStyleB1", "nStyleR2", "nStyleG2",
                                         "nStyleB2", "nStyleR3", "nStyleG3", "nStyleB3"};
constexpr const char* kNameKeys[4] = {"nStyleName1", "nStyleName2", "nStyleName3", "nStyleName4"};

}  // namespace

AudioFile::AudioFile(std::filesystem::path userFile, std::filesystem::path factoryFile)
    : m_userFile(std::move(userFile)), m_factoryFile(std::move(factoryFile)) {}

Json::Value AudioFile::LoadDevice() {
    const Json::Value user = m_file.ReadJson(m_userFile);
    const Json::Value& device = JsonMember(user, "Device");
    if (!device.isNull()) return device;
    const Json::Value factory = m_file.ReadJson(m_factoryFile);
    if (!factory.isNull()) SaveDataFile(m_file, m_userFile, factory);
    return JsonMember(factory, "Device");
}

void AudioFile::SaveDevice(const Json::Value& device) {
    Json::Value document = m_file.ReadJson(m_userFile);
    JsonMemberForWrite(document, "Device") = device;
    SaveDataFile(m_file, m_userFile, document);
}

AudioStyles AudioFile::ReadStyles(const Json::Value& device) {
    AudioStyles styles;
    const Json::Value& info = JsonMember(device, "AudioLightInfo");
    if (info.isNull()) return styles;
    styles.selected = JsonByteAt(info, "nAudioStyle");
    for (int i = 0; i < 4; ++i) styles.names[i] = Utf8ToWide(JsonStringAt(info, kNameKeys[i]));
    for (int i = 0; i < 12; ++i) styles.colours[i] = JsonByteAt(info, kColourKeys[i]);
    return styles;
}

void AudioFile::WriteStyles(Json::Value& device, const AudioStyles& styles) {
    Json::Value info(Json::objectValue);
    info["nAudioStyle"] = styles.selected;
    for (int i = 0; i < 4; ++i) info[kNameKeys[i]] = WideToUtf8(styles.names[i]);
    for (int i = 0; i < 12; ++i) info[kColourKeys[i]] = styles.colours[i];
    JsonMemberForWrite(device, "AudioLightInfo") = info;
}

}  // namespace vx::profiles
