#include "headset/audio/AudioLibrary.h"

#include <dlfcn.h>
#include <unistd.h>

#include <charconv>
#include <cstring>
#include <vector>

#include "platform/DebugLog.h"

namespace vx::headset {
namespace {

std::string Narrow(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char16_t c : text) out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return out;
}

// The number's characters at the start of the text (after blanks), as wcstol/wcstof take them.
std::string NumberPrefix(std::u16string_view text) {
    std::string s = Narrow(text);
    size_t i = s.find_first_not_of(" \t\r\n");
    if (i == std::string::npos) return {};
    s.erase(0, i);
    if (!s.empty() && s[0] == '+') s.erase(0, 1);
    return s;
}

}  // namespace

int32_t TextToInt(std::u16string_view text) {
    const std::string s = NumberPrefix(text);
    int64_t value = 0;
    std::from_chars(s.data(), s.data() + s.size(), value, 10);
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(value);
}

float TextToFloat(std::u16string_view text) {
    const std::string s = NumberPrefix(text);
    float value = 0.0f;
    // from_chars ignores the locale: a desktop set to a decimal comma still reads "0.5".
    std::from_chars(s.data(), s.data() + s.size(), value);
    return value;
}

std::string_view AudioLibraryFileName(AudioLibraryChoice choice) {
    return choice == AudioLibraryChoice::InMemory ? "libvxconf-memory.so" : "libvxconf-pulse.so";
}

std::array<std::filesystem::path, 2> AudioLibraryFolders(const std::filesystem::path& programFolder) {
    return {programFolder.parent_path() / "lib" / "vexor-umbrel", programFolder};
}

std::filesystem::path ProgramFolder() {
    std::error_code error;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return {};
    return exe.parent_path();
}

AudioLibrary::~AudioLibrary() {
    if (m_handle) dlclose(m_handle);
}

bool AudioLibrary::LoadAudioLibrary(AudioLibraryChoice choice) {
    return LoadAudioLibraryBeside(ProgramFolder(), choice);
}

bool AudioLibrary::LoadAudioLibraryBeside(const std::filesystem::path& program, AudioLibraryChoice choice) {
    if (program.empty()) return false;
    for (const auto& folder : AudioLibraryFolders(program)) {
        const auto file = folder / AudioLibraryFileName(choice);
        std::error_code error;
        if (std::filesystem::exists(file, error) && LoadAudioLibraryFile(file)) return true;
    }
    DebugLog("audio library " + std::string(AudioLibraryFileName(choice)) + " not found beside " +
             program.string());
    return false;
}

bool AudioLibrary::LoadAudioLibraryFile(const std::filesystem::path& file) {
    if (m_handle) return true;
    // The libraries carry $ORIGIN in their run path, which finds their own dependencies next to
    // them as the vendor's loader did with its altered search path.
    void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = dlerror();
        DebugLog("dlopen " + file.string() + ": " + (why ? why : "failed"));
        return false;
    }
    m_handle = handle;
    auto look = [handle](const char* name) { return dlsym(handle, name); };
    // A name the library lacks stays null; the calls below test the ones they use.
    m_fn.confLibInit = reinterpret_cast<VxConfLibInitFn>(look("ConfLibInit"));
    m_fn.createDeviceList = reinterpret_cast<VxCreateDeviceListFn>(look("CreateDeviceList"));
    m_fn.getDeviceCount = reinterpret_cast<VxGetDeviceCountFn>(look("GetDeviceCount"));
    m_fn.getDeviceById = reinterpret_cast<VxGetDeviceByIdFn>(look("GetDeviceById"));
    m_fn.propertyControl = reinterpret_cast<VxPropertyControlFn>(look("PropertyControl"));
    m_fn.registerCallbackFunction = reinterpret_cast<VxUnusedFn>(look("RegisterCallbackFunction"));
    m_fn.confLibUnInit = reinterpret_cast<VxUnusedFn>(look("ConfLibUnInit"));
    m_fn.showAsioPanel = reinterpret_cast<VxUnusedFn>(look("ShowAsioPanel"));
    m_fn.playTestSound = reinterpret_cast<VxUnusedFn>(look("PlayTestSound"));
    m_fn.stopTestSound = reinterpret_cast<VxUnusedFn>(look("StopTestSound"));
    m_fn.closeTestSound = reinterpret_cast<VxUnusedFn>(look("CloseTestSound"));
    return true;
}

int AudioLibrary::ConfLibInit() { return m_fn.confLibInit ? m_fn.confLibInit() : -1; }

int AudioLibrary::CreateDeviceList() { return m_fn.createDeviceList ? m_fn.createDeviceList() : -1; }

uint32_t AudioLibrary::GetDeviceCount(int32_t direction) {
    uint32_t count = 0;
    if (!m_fn.getDeviceCount || m_fn.getDeviceCount(direction, &count) != 0) return 0;
    return count;
}

void AudioLibrary::SelectEndpoints() {
    if (!m_fn.getDeviceById) return;
    auto list = [this](int32_t direction) {
        std::vector<VxAudioEndpoint> endpoints;
        const uint32_t count = GetDeviceCount(direction);
        for (uint32_t i = 0; i < count; ++i) {
            VxAudioEndpoint record{};
            if (m_fn.getDeviceById(direction, i, &record) == 0) endpoints.push_back(record);
        }
        return endpoints;
    };

    const auto outputs = list(kDirectionOutput);
    // Headphones first; without them a USB output, then a digital one, then any other output.
    // An endpoint that is not active is never taken.
    for (int32_t type : {kEndpointHeadphones, kEndpointUsbOutput, kEndpointDigitalOutput, kEndpointOtherOutput}) {
        bool found = false;
        for (const auto& e : outputs) {
            if (e.type == type && e.state == kEndpointActive) {
                m_render.record = e;
                found = true;
                break;
            }
        }
        if (found) break;
    }
    for (const auto& e : list(kDirectionInput)) {
        if (e.type == kEndpointMicrophone) {
            m_capture.record = e;
            break;
        }
    }
    QueryFeatures(m_capture);
    QueryFeatures(m_render);
}

void AudioLibrary::QueryFeatures(AudioEndpoint& endpoint) {
    if (endpoint.record.type <= 0) return;
    const auto text = GetTextProperty(endpoint, AudioProperty::GetSupportFeature);
    if (!text) return;
    std::vector<std::u16string_view> items;
    std::u16string_view rest = *text;
    while (true) {
        const size_t comma = rest.find(u',');
        items.push_back(rest.substr(0, comma));
        if (comma == std::u16string_view::npos) break;
        rest.remove_prefix(comma + 1);
    }
    if (items.size() < 7) {
        if (m_notices) m_notices->ShowAudioMessage("UpdateAPOAvailable failed!");
        return;
    }
    endpoint.features = {TextToInt(items[0]), TextToInt(items[4]), TextToInt(items[6])};
}

const AudioEndpoint& AudioLibrary::EndpointOf(AudioProperty property) const {
    return PropertyInfo(property).endpoint == AudioEndpointRole::Render ? m_render : m_capture;
}

bool AudioLibrary::Read(const AudioEndpoint& endpoint, AudioProperty property) {
    if (!m_fn.propertyControl) return false;
    const AudioPropertyInfo& info = PropertyInfo(property);
    m_valueOut.fill(0);
    void* value = m_valueOut.data();
    void* parameter = m_paramOut.data();
    void** parameterAddress = &parameter;
    m_paramOut.fill(0);
    const int32_t surround[3] = {4, -1, 0};
    switch (info.parameter) {
    case AudioParameter::None: parameterAddress = nullptr; break;
    case AudioParameter::MasterChannel: { const int32_t c = -1; std::memcpy(m_paramOut.data(), &c, 4); break; }
    case AudioParameter::Channel0:
    case AudioParameter::ZeroedOnReadOnly: break;
    case AudioParameter::Surround: std::memcpy(m_paramOut.data(), surround, sizeof surround); break;
    }
    return m_fn.propertyControl(endpoint.record, info.name.data(), &value, parameterAddress, 0) == 0;
}

bool AudioLibrary::Write(const AudioEndpoint& endpoint, AudioProperty property, const void* bytes, size_t size) {
    if (!m_fn.propertyControl) return false;
    const AudioPropertyInfo& info = PropertyInfo(property);
    m_valueIn.fill(0);
    m_paramIn.fill(0);
    std::memcpy(m_valueIn.data(), bytes, size);
    void* value = m_valueIn.data();
    void* parameter = m_paramIn.data();
    void** parameterAddress = &parameter;
    const int32_t surround[3] = {4, -1, 0};
    switch (info.parameter) {
    case AudioParameter::None:
    case AudioParameter::ZeroedOnReadOnly: parameterAddress = nullptr; break;
    case AudioParameter::MasterChannel: { const int32_t c = -1; std::memcpy(m_paramIn.data(), &c, 4); break; }
    case AudioParameter::Channel0: break;
    case AudioParameter::Surround: std::memcpy(m_paramIn.data(), surround, sizeof surround); break;
    }
    return m_fn.propertyControl(endpoint.record, info.name.data(), &value, parameterAddress, 1) == 0;
}

std::u16string AudioLibrary::ValueOutText() const {
    std::u16string text;
    for (size_t i = 0; i + 1 < m_valueOut.size(); i += 2) {
        char16_t c;
        std::memcpy(&c, m_valueOut.data() + i, 2);
        if (c == 0) break;
        text.push_back(c);
    }
    return text;
}

std::optional<std::u16string> AudioLibrary::GetTextProperty(const AudioEndpoint& endpoint, AudioProperty property) {
    if (!Read(endpoint, property)) return std::nullopt;
    return ValueOutText();
}

std::optional<int32_t> AudioLibrary::GetIntProperty(AudioProperty property) {
    if (!Read(EndpointOf(property), property)) return std::nullopt;
    return TextToInt(ValueOutText());
}

std::optional<float> AudioLibrary::GetScalarProperty(AudioProperty property) {
    if (!Read(EndpointOf(property), property)) return std::nullopt;
    return TextToFloat(ValueOutText());
}

bool AudioLibrary::SetIntProperty(AudioProperty property, int32_t value) {
    return Write(EndpointOf(property), property, &value, sizeof value);
}

bool AudioLibrary::SetScalarProperty(AudioProperty property, float value) {
    return Write(EndpointOf(property), property, &value, sizeof value);
}

void AudioLibrary::RunStartupProbe() {
    for (const AudioPropertyInfo& info : AllAudioProperties()) {
        if (!info.probed) continue;
        if (Read(EndpointOf(info.id), info.id)) continue;
        if (info.scalar) SetScalarProperty(info.id, 0.0f);
        else SetIntProperty(info.id, 0);
    }
}

}  // namespace vx::headset
