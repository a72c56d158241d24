#include "app/AudioLighting.h"

#include <QDateTime>
#include <QWidget>

#include "app/PagePanels.h"
#include "app/audio/CompanionProtocol.h"
#include "devices/TavimondUSBDevice.h"
#include "panels/LightControlModeTables.h"
#include "panels/LightControlUI.h"
#include "platform/DebugLog.h"
#include "profiles/DataFolders.h"
#include "widgets/ControlUI.h"

using vx::devices::CTavimondUSBDevice;
using vx::panels::CLightControlUI;
namespace light_panel = vx::panels::light_panel;
namespace ui = vx::widgets::ui;

namespace vx::app {

using vx::platform::DebugLog;
using vx::profiles::AudioFile;
using vx::profiles::AudioStyles;
using vx::profiles::DefaultDataFolder;
using vx::profiles::UserDataFolder;

namespace protocol = vx::audio::companion;

namespace {

int64_t NowMs() { return QDateTime::currentMSecsSinceEpoch(); }

bool ShowsAudioMode(CTavimondUSBDevice* page) {
    if (page == nullptr || !page->CommandLink().IsConnected()) return false;
    const light_panel::ModeLayoutRow* row = light_panel::FindModeLayout(page->GetKind(), page->GetLightInfo().selectItem);
    return row != nullptr && row->extra == light_panel::ModeExtra::AudioList;
}

void PutLe32(QByteArray& bytes, int slot, int32_t value) {
    const auto v = static_cast<uint32_t>(value);
    for (int k = 0; k < 4; ++k) bytes[slot * 4 + k] = static_cast<char>((v >> (8 * k)) & 0xFF);
}

}  // namespace

CAudioLighting::CAudioLighting(qint64 windowHandle, Pages pages, QObject* parent)
    : QObject(parent),
      m_windowHandle(windowHandle),
      m_pages(std::move(pages)),
      m_file(UserDataFolder() / "AudioFile.json", DefaultDataFolder() / "AudioFile.json") {
    m_companion.SetWindowHandle(windowHandle);
    connect(&m_companion, &CAudioCompanion::Record, this, &CAudioLighting::OnCopyData);
    connect(&m_companion, &CAudioCompanion::Connected, this, [this] {
        SendColour();
        ShowStatus();
    });
    connect(&m_companion, &CAudioCompanion::Failed, this, [this](const QString& key) {
        DebugLog("audio companion failed: " + key.toStdString());
        ShowStatus();
    });
    m_connectTimer.setSingleShot(true);
    connect(&m_connectTimer, &QTimer::timeout, this, &CAudioLighting::ConnectCompanion);
    connect(&m_flushTimer, &QTimer::timeout, this, &CAudioLighting::OnFlushTick);
}

CAudioLighting::~CAudioLighting() { Shutdown(); }

void CAudioLighting::Start() {
    if (m_started) return;
    m_started = true;
    m_root = m_file.LoadDevice();
    ReadStylesFromRoot();
    SendColour();
    m_connectTimer.start(kConnectDelayMs);
    m_flushTimer.start(kFlushPeriodMs);
}

void CAudioLighting::Shutdown() {
    m_connectTimer.stop();
    m_flushTimer.stop();
    m_companion.Stop();
}

void CAudioLighting::ConnectCompanion() {
    // A companion is started by this program only, when a page shows an audio mode; one that a
    // page asked for before this moment is connected as soon as it reaches the window.
    OnFlushTick();
}

void CAudioLighting::OnFlushTick() {
    m_feed.OnFlushTimer(NowMs());
    const bool shown = AudioModeShown();
    if (shown == m_audioShown) return;
    m_audioShown = shown;
    if (shown) {
        m_companion.Start();
    } else {
        m_companion.Stop();
    }
    ShowStatus();
}

bool CAudioLighting::AudioModeShown() const {
    for (auto* list : {&m_pages.keyboards, &m_pages.mice}) {
        if (!*list) continue;
        for (CTavimondUSBDevice* page : (*list)()) {
            if (ShowsAudioMode(page)) return true;
        }
    }
    return false;
}

void CAudioLighting::ShowStatus() {
    const QString key = m_audioShown ? m_companion.FailureKey() : QString();
    for (auto* list : {&m_pages.keyboards, &m_pages.mice}) {
        if (!*list) continue;
        for (CTavimondUSBDevice* page : (*list)()) {
            CLightControlUI* panel = CPagePanels::LightPanelOf(page);
            if (panel == nullptr) continue;
            auto* label = panel->findChild<QWidget*>(QString::fromLatin1(kStatusLabel));
            if (label == nullptr) continue;
            if (!key.isEmpty()) {
                ui::SetResourceText(label, true);
                ui::SetText(label, key);
            }
            ui::SetVisible(label, !key.isEmpty());
        }
    }
}

void CAudioLighting::OnCopyData(int tag, const QByteArray& data) {
    if (data.isEmpty() || (m_pages.awake && !m_pages.awake())) return;
    if (tag == protocol::kTagFrame) {
        m_feed.OnFrame(reinterpret_cast<const uint8_t*>(data.constData()), static_cast<std::size_t>(data.size()),
                       NowMs());
        return;
    }
    if (tag == protocol::kTagParameters) {
        if (!m_pages.keyboards) return;
        const std::vector<CTavimondUSBDevice*> keyboards = m_pages.keyboards();
        if (keyboards.empty()) return;
        int32_t values[kParameterValues] = {};
        for (int i = 0; i < kParameterValues && (i + 1) * 4 <= data.size(); ++i) {
            const auto* p = reinterpret_cast<const uint8_t*>(data.constData()) + 4 * i;
            values[i] = static_cast<int32_t>(p[0] | p[1] << 8 | p[2] << 16 | uint32_t{p[3]} << 24);
        }
        keyboards.front()->SetAudioParameters(values, kParameterValues);
    }
}

void CAudioLighting::KeyboardLevels(const int32_t* values, std::size_t count) {
    if (m_pages.keyboards) {
        for (CTavimondUSBDevice* page : m_pages.keyboards()) page->OnAudioLevels(values, count);
    }
    emit LevelsHandedOver();
}

void CAudioLighting::MouseLevels(const int32_t* values, std::size_t count) {
    if (!m_pages.mice) return;
    const std::vector<CTavimondUSBDevice*> mice = m_pages.mice();
    if (!mice.empty()) mice.front()->OnAudioLevels(values, count);
}

void CAudioLighting::SendCommand(int command, int argument) {
    m_companion.SendCommand(command, argument);
}

AudioStyles CAudioLighting::Styles() const { return AudioFile::ReadStyles(m_root); }

void CAudioLighting::ReadStylesFromRoot() { m_styles = AudioFile::ReadStyles(m_root); }

QByteArray CAudioLighting::ColourRecord(const AudioStyles& styles) {
    QByteArray record(kColourRecordSize, '\0');
    const int style = styles.selected < 4 ? styles.selected : 0;
    const uint8_t red = styles.colours[style * 3];
    const uint8_t green = styles.colours[style * 3 + 1];
    const uint8_t blue = styles.colours[style * 3 + 2];
    PutLe32(record, 0, red);
    // The companion reads a green of 0 as "no colour given".
    PutLe32(record, 1, green == 0 ? 1 : green);
    PutLe32(record, 2, blue);
    return record;
}

void CAudioLighting::SendColour() {
    if (!m_companion.IsConnected()) return;
    m_companion.SendRecord(protocol::kTagColour, ColourRecord(m_styles));
    DebugLog("2222222222");
}

void CAudioLighting::ApplyStyles(const AudioStyles& styles) {
    m_styles = styles;
    SendColour();
    AudioFile::WriteStyles(m_root, styles);
    m_file.SaveDevice(m_root);
}

void CAudioLighting::ResetStyles() {
    const std::filesystem::path user = UserDataFolder() / "AudioFile.json";
    std::error_code ignored;
    std::filesystem::remove(user, ignored);
    m_root = m_file.LoadDevice();
    ReadStylesFromRoot();
}

}  // namespace vx::app
