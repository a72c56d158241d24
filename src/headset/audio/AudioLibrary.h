#pragma once
// The binding to an audio configuration library (ConfLibAbi.h): loads it at run time, keeps
// the two endpoints the headset page works on, and reads and writes their properties with the
// value encodings the libraries share. One object per headset page; all calls come from the
// page's window thread, so nothing here is locked.

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "headset/audio/AudioProperties.h"
#include "headset/audio/ConfLibAbi.h"

namespace vx::headset {

// The notices the binding shows to the user. The headset page implements it with its message
// box; the texts are passed exactly ("UpdateAPOAvailable failed!", "ConfLibInit called failed!").
class AudioNotices {
public:
    virtual ~AudioNotices() = default;
    virtual void ShowAudioMessage(std::string_view text) = 0;
};

// An endpoint as the page keeps it: the library's record and three feature values.
struct AudioEndpoint {
    VxAudioEndpoint record{};
    std::array<int32_t, 3> features{};
};

// Which library file to load. The vendor's program picked one build of its library by the
// operating system's version; here the choice is between the library on the desktop's sound
// server and the in-memory one that stands behind the virtual headset.
enum class AudioLibraryChoice { SoundServer, InMemory };

// "libvxconf-pulse.so" or "libvxconf-memory.so".
std::string_view AudioLibraryFileName(AudioLibraryChoice choice);

// The folders a library file is looked for in, in order: the installed program's private
// library folder (<prefix>/lib/vexor-umbrel beside <prefix>/bin), then the program's own folder,
// where the build tree puts the libraries next to the executable.
std::array<std::filesystem::path, 2> AudioLibraryFolders(const std::filesystem::path& programFolder);

// The folder of the running executable (from /proc/self/exe); empty when it cannot be read.
std::filesystem::path ProgramFolder();

class AudioLibrary {
public:
    explicit AudioLibrary(AudioNotices* notices) : m_notices(notices) {}
    ~AudioLibrary();
    AudioLibrary(const AudioLibrary&) = delete;
    AudioLibrary& operator=(const AudioLibrary&) = delete;

    // Loads the chosen library from the program's library folders and looks up its names.
    // False (and no function set) when no folder holds a library that dlopen accepts.
    bool LoadAudioLibrary(AudioLibraryChoice choice);
    // The same for a program in the given folder.
    bool LoadAudioLibraryBeside(const std::filesystem::path& programFolder, AudioLibraryChoice choice);
    // The same for one given file (tests, and the virtual headset's own folder).
    bool LoadAudioLibraryFile(const std::filesystem::path& file);
    bool IsLoaded() const { return m_handle != nullptr; }
    // The dlopen handle, for callers that reach a library's own extra functions (tests).
    void* Handle() const { return m_handle; }

    // The library's calls; each fails (non-zero, or a count of 0) when nothing is loaded.
    int ConfLibInit();
    int CreateDeviceList();
    uint32_t GetDeviceCount(int32_t direction);

    // Chooses the render and capture endpoints among the library's endpoints and reads their
    // features. Run once at start, when at least one output endpoint exists.
    void SelectEndpoints();
    void QueryFeatures(AudioEndpoint& endpoint);

    // One PropertyControl call on the property's endpoint (the capture endpoint for the
    // properties that live on both). Reading converts the library's text; nullopt on failure.
    std::optional<int32_t> GetIntProperty(AudioProperty property);
    std::optional<float> GetScalarProperty(AudioProperty property);
    bool SetIntProperty(AudioProperty property, int32_t value);
    bool SetScalarProperty(AudioProperty property, float value);
    // Plain read on one endpoint, returning the library's text (GetSupportFeature).
    std::optional<std::u16string> GetTextProperty(const AudioEndpoint& endpoint, AudioProperty property);

    // Reads every probed property and writes 0 into each one whose read fails, so that the
    // endpoints start with no property left unset.
    void RunStartupProbe();

    // The notices go through the page's message box.
    void ShowNotice(std::string_view text) {
        if (m_notices) m_notices->ShowAudioMessage(text);
    }

    const AudioEndpoint& Render() const { return m_render; }
    const AudioEndpoint& Capture() const { return m_capture; }

private:
    struct Functions {
        VxConfLibInitFn confLibInit = nullptr;
        VxCreateDeviceListFn createDeviceList = nullptr;
        VxGetDeviceCountFn getDeviceCount = nullptr;
        VxGetDeviceByIdFn getDeviceById = nullptr;
        VxPropertyControlFn propertyControl = nullptr;
        VxUnusedFn registerCallbackFunction = nullptr;
        VxUnusedFn confLibUnInit = nullptr;
        VxUnusedFn showAsioPanel = nullptr;
        VxUnusedFn playTestSound = nullptr;
        VxUnusedFn stopTestSound = nullptr;
        VxUnusedFn closeTestSound = nullptr;
    };

    const AudioEndpoint& EndpointOf(AudioProperty property) const;
    // Zeroes the buffers, fills the parameter and calls PropertyControl; true on result 0.
    bool Read(const AudioEndpoint& endpoint, AudioProperty property);
    bool Write(const AudioEndpoint& endpoint, AudioProperty property, const void* value, size_t size);
    std::u16string ValueOutText() const;

    AudioNotices* m_notices;
    void* m_handle = nullptr;
    Functions m_fn;
    AudioEndpoint m_render;
    AudioEndpoint m_capture;
    // The page's buffers: value and parameter for writing, value and parameter for reading.
    alignas(8) std::array<uint8_t, kConfLibValueBufferSize> m_valueIn{};
    alignas(8) std::array<uint8_t, kConfLibValueBufferSize> m_paramIn{};
    alignas(8) std::array<uint8_t, kConfLibValueBufferSize> m_valueOut{};
    alignas(8) std::array<uint8_t, kConfLibValueBufferSize> m_paramOut{};
};

// The library's decimal text as a number, the way a wide-text conversion reads it: leading
// blanks skipped, as many characters taken as form a number, 0 when none do.
int32_t TextToInt(std::u16string_view text);
float TextToFloat(std::u16string_view text);

}  // namespace vx::headset
