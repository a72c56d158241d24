#pragma once
// The main window's audio-reactive lighting: the companion's frames condensed into band levels
// for the keyboard and mouse pages, the four audio styles of "AudioFile.json" and the colour the
// companion is told. The companion runs while a connected keyboard or mouse shows an audio mode;
// when it cannot start or record, the pages' lighting panels say so. UI thread only.

#include <QObject>
#include <QString>
#include <QTimer>
#include <json/json.h>
#include <functional>
#include <vector>

#include "app/AudioCompanion.h"
#include "app/audio/AudioFrameFeed.h"
#include "profiles/AudioFile.h"
#include "profiles/ProfileRecords.h"

namespace vx::devices { class CTavimondUSBDevice; }
namespace vx::app {


class CAudioLighting : public QObject, private vx::audio::IAudioLevelSink {
    Q_OBJECT
public:
    // The window's timers of this feature: connecting after initialisation, and the queue flush
    // (which also looks whether a page wants the companion).
    static constexpr int kConnectTimerId = 1011;
    static constexpr int kConnectDelayMs = 100;
    static constexpr int kFlushTimerId = 1067;
    static constexpr int kFlushPeriodMs = 100;
    // The tag-10 record is declared this long; only its first three values carry anything.
    static constexpr int kColourRecordSize = 40;
    // The parameter record of tag 2 is handed to the keyboard as this many values.
    static constexpr int kParameterValues = 6;
    static inline const char* const kStatusLabel = "audio_companion_status";

    struct Pages {
        std::function<std::vector<vx::devices::CTavimondUSBDevice*>()> keyboards;
        std::function<std::vector<vx::devices::CTavimondUSBDevice*>()> mice;
        // False while the machine sleeps: records that arrive then are dropped. Unset: awake.
        std::function<bool()> awake;
    };

    CAudioLighting(qint64 windowHandle, Pages pages, QObject* parent = nullptr);
    ~CAudioLighting() override;

    // At "windowinit": loads the styles (replacing a missing or damaged user file by the factory
    // copy), tells the companion the colour and starts the timers.
    void Start();
    // At exit: the companion gets its disconnect commands and ends.
    void Shutdown();

    // A record from the companion: tag 1 a frame, tag 2 the keyboard's parameter record.
    void OnCopyData(int tag, const QByteArray& data);
    // A numbered command (the lighting panel's colour sliders send 6, 7 and 8).
    void SendCommand(int command, int argument);

    // The style set as "AudioFile.json" holds it now.
    vx::profiles::AudioStyles Styles() const;
    // The style window ended with OK: the colour goes to the companion, the set to the file.
    void ApplyStyles(const vx::profiles::AudioStyles& styles);
    // After a profile reset: the factory styles replace the user's.
    void ResetStyles();

    // Whether a connected keyboard or mouse page shows an audio mode now.
    bool AudioModeShown() const;
    CAudioCompanion& Companion() { return m_companion; }
    const vx::audio::AudioFrameFeed& Feed() const { return m_feed; }
    // The bytes of the tag-10 record for a style set (green 0 is sent as 1).
    static QByteArray ColourRecord(const vx::profiles::AudioStyles& styles);

signals:
    // Every frame condensed and handed over (for whoever draws or measures).
    void LevelsHandedOver();

private:
    void KeyboardLevels(const int32_t* values, std::size_t count) override;
    void MouseLevels(const int32_t* values, std::size_t count) override;
    void OnFlushTick();
    void ConnectCompanion();
    void SendColour();
    void ShowStatus();
    void ReadStylesFromRoot();

    qint64 m_windowHandle;
    Pages m_pages;
    vx::audio::AudioFrameFeed m_feed{*this};
    vx::profiles::AudioFile m_file;
    Json::Value m_root;
    vx::profiles::AudioStyles m_styles;
    CAudioCompanion m_companion;
    QTimer m_connectTimer;
    QTimer m_flushTimer;
    bool m_audioShown = false;
    bool m_started = false;
};

}  // namespace vx::app
