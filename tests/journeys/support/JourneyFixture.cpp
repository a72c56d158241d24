#include "BuildPaths.h"
#include "JourneyFixture.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QColor>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPixmap>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>

#include "app/DeviceOptionUI.h"
#include "app/DevicePageSet.h"
#include "app/MainWnd.h"
#include "widgets/MsgWnd.h"
#include "app/RegisteredMessages.h"
#include "app/StartUp.h"
#include "devices/TavimondUSBDevice.h"
#include "tests/widgets/support/QtTestEnv.h"
#include "widgets/ControlUI.h"
#include "widgets/DeviceKeyButtonUI.h"
#include "widgets/PaintManagerUI.h"

namespace fs = std::filesystem;
using vx::app::CDeviceOptionUI;
using vx::app::CDevicePageSet;
using vx::app::SetupResources;
namespace registered_messages = vx::app::registered_messages;
using vx::discovery::DiscoveryOptions;
using vx::widgets::CPaintManagerUI;
namespace ui = vx::widgets::ui;
using vx::app::CMainWnd;
using vx::devices::CTavimondUSBDevice;
using vx::widgets::CMsgWnd;

namespace journeys {
namespace {

constexpr int kActionSettleMs = 15;
constexpr int kUnexpectedModalMs = 3000;

bool SameName(const QObject* object, const QString& name) {
    return object->objectName().compare(name, Qt::CaseInsensitive) == 0;
}

// The first visible widget named `name` at or below `scope`, in tree order.
QWidget* FindVisible(QWidget* scope, const QString& name) {
    if (!scope || !scope->isVisible()) return nullptr;
    if (SameName(scope, name)) return scope;
    for (QWidget* child : scope->findChildren<QWidget*>(Qt::FindChildrenRecursively)) {
        if (SameName(child, name) && child->isVisible()) return child;
    }
    return nullptr;
}

void SetEnv(const char* name, const fs::path& value) {
    fs::create_directories(value);
    ::setenv(name, value.c_str(), 1);
}

QRect SliderHandle(QSlider* slider, QRect* groove) {
    QStyleOptionSlider opt;
    opt.initFrom(slider);
    opt.subControls = QStyle::SC_None;
    opt.activeSubControls = QStyle::SC_None;
    opt.orientation = slider->orientation();
    opt.maximum = slider->maximum();
    opt.minimum = slider->minimum();
    opt.tickPosition = slider->tickPosition();
    opt.tickInterval = slider->tickInterval();
    opt.upsideDown = slider->orientation() == Qt::Horizontal
                         ? (slider->invertedAppearance() != (opt.direction == Qt::RightToLeft))
                         : (!slider->invertedAppearance());
    opt.direction = Qt::LeftToRight;
    opt.sliderPosition = slider->sliderPosition();
    opt.sliderValue = slider->value();
    opt.singleStep = slider->singleStep();
    opt.pageStep = slider->pageStep();
    if (slider->orientation() == Qt::Horizontal) opt.state |= QStyle::State_Horizontal;
    *groove = slider->style()->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderGroove, slider);
    return slider->style()->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderHandle, slider);
}

void SendMove(QWidget* widget, QPoint local) {
    QMouseEvent move(QEvent::MouseMove, QPointF(local), QPointF(widget->mapToGlobal(local)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

}  // namespace

// --- The program ------------------------------------------------------------------------------

JourneyTest::JourneyTest() = default;
JourneyTest::~JourneyTest() {
    delete m_modalWatcher.data();
}

void JourneyTest::SetUp() {
    char pattern[] = "/tmp/vx-journey-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    m_home = pattern;
    // A fresh user: every folder the program may read or write lies in this test's home.
    SetEnv("HOME", m_home);
    SetEnv("XDG_DATA_HOME", m_home / ".local/share");
    SetEnv("XDG_STATE_HOME", m_home / ".local/state");
    SetEnv("XDG_CONFIG_HOME", m_home / ".config");
    SetEnv("XDG_CACHE_HOME", m_home / ".cache");
    SetEnv("XDG_RUNTIME_DIR", m_home / "run");
    fs::permissions(m_home / "run", fs::perms::owner_all);
    SetEnv("TMPDIR", m_home / "tmp");
    SetEnv("VX_VIRTUAL_HID_DIR", m_home / "hid");
    ::unsetenv("VX_DATA_HOME");

    ASSERT_TRUE(SetupResources(vxtest::RepoSkinDir()));
    ASSERT_TRUE(registered_messages::RegisterActivateMessage());
    registered_messages::RegisterGuidMessages();
    registered_messages::RegisterHookMessages();
    m_devices = std::make_unique<JourneyDevices>((m_home / "hid").string());
    ArmModalWatcher();
    StartProgram();
}

void JourneyTest::TearDown() {
    if (m_wnd) ExitProgram();
    delete m_modalWatcher.data();
    m_devices.reset();
    std::error_code ignored;
    fs::remove_all(m_home, ignored);
}

void JourneyTest::StartProgram() {
    ASSERT_FALSE(m_wnd) << "the program is already running";
    m_wnd = std::make_unique<CMainWnd>();
    DiscoveryOptions options;
    options.useUdevMonitor = false;  // only this journey's virtual devices
    m_wnd->SetDiscoveryOptions(options);
    // The virtual headset's audio lives in the in-memory library.
    m_wnd->SetHeadsetAudio(vx::headset::AudioLibraryChoice::InMemory, VX_BINARY_DIR "/src/app");
    ASSERT_TRUE(
        m_wnd->Create(nullptr, CMainWnd::kTitle, 0, 0, QRect(0, 0, CMainWnd::kWidth, CMainWnd::kHeight)));
    m_wnd->show();
    ASSERT_TRUE(WaitUntil([this] { return m_wnd->FirstScanDone(); }, kDeviceWaitMs));
}

void JourneyTest::ExitProgram() {
    if (!m_wnd) return;
    // The user's right click on the tray icon, then "exit" in the menu it opens.
    m_wnd->GetTray().ReportRightClick();
    const bool menuShown = WaitUntil([this] { return MenuOffers("exit"); }, 2000);
    if (menuShown) {
        ChooseMenuItem("exit");
    } else {
        ADD_FAILURE() << "the tray menu did not open";
        m_wnd->OnMenuItem("exit");
    }
    m_wnd.reset();
    vxtest::Pump(5);
}

void JourneyTest::PlugAndWait(Device device) {
    ASSERT_EQ(Devices().Plug(device), 1);
    const bool ready = WaitUntil(
        [&] {
            CTavimondUSBDevice* page = PageOf(device);
            if (!page || !page->CommandLink().IsConnected()) return false;
            CDeviceOptionUI* entry = m_wnd->Pages()->EntryOf(page);
            return entry && ui::IsVisible(entry);
        },
        kDeviceWaitMs);
    ASSERT_TRUE(ready) << "the device's entry did not appear";
    WaitConnected(device);
}

void JourneyTest::WaitConnected(Device device) {
    // The entry's start-up timer runs the connection sequence; once it is done the entry's frame
    // timer drives the page.
    CDeviceOptionUI* entry = m_wnd->Pages()->EntryOf(PageOf(device));
    ASSERT_NE(entry, nullptr);
    CPaintManagerUI& pm = m_wnd->GetPaintManager();
    ASSERT_TRUE(WaitUntil(
        [&] {
            return !pm.HasTimer(entry, CDeviceOptionUI::kTimerStartUp) &&
                   pm.HasTimer(entry, CDeviceOptionUI::kTimerFrame);
        },
        kDeviceWaitMs))
        << "the connection sequence did not end";
    Run(100);
}

void JourneyTest::ShowDevicePage(Device device) {
    CTavimondUSBDevice* page = PageOf(device);
    ASSERT_NE(page, nullptr);
    CDeviceOptionUI* entry = m_wnd->Pages()->EntryOf(page);
    ASSERT_NE(entry, nullptr);
    QWidget* select = FindIn(entry, "device_select");
    ASSERT_NE(select, nullptr) << "the device's entry has no button to click";
    ASSERT_TRUE(ClickWidget(select));
    ASSERT_TRUE(WaitUntil([&] { return CurrentPage() == page && page->GetPage()->isVisible(); }, 2000))
        << "clicking the entry did not bring its page to the front";
}

CTavimondUSBDevice* JourneyTest::PageOf(Device device) {
    if (!m_wnd || !m_wnd->Pages()) return nullptr;
    const CDevicePageSet& pages = *m_wnd->Pages();
    const std::vector<CTavimondUSBDevice*>* list = nullptr;
    switch (device) {
        case Device::KeyboardWired:
        case Device::KeyboardReceiver: list = &pages.Keyboards(); break;
        case Device::MouseWired:
        case Device::MouseReceiver: list = &pages.Mice(); break;
        case Device::Mousepad: list = &pages.MousePads(); break;
        case Device::Headset: list = &pages.Headsets(); break;
    }
    return list->empty() ? nullptr : list->front();
}

CTavimondUSBDevice* JourneyTest::CurrentPage() {
    return m_wnd ? m_wnd->CurrentDevicePage() : nullptr;
}

// --- Finding ----------------------------------------------------------------------------------

QWidget* JourneyTest::FindIn(QWidget* scope, const QString& name) {
    return FindVisible(scope, name);
}

QWidget* JourneyTest::Find(const QString& name) {
    // Pop-ups and message boxes lie over the window: a user sees them first.
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top == m_wnd.get() || !top->isVisible()) continue;
        if (QWidget* found = FindVisible(top, name)) return found;
    }
    if (!m_wnd) return nullptr;
    if (CTavimondUSBDevice* page = CurrentPage()) {
        if (QWidget* found = FindVisible(page->GetPage(), name)) return found;
    }
    return FindVisible(m_wnd.get(), name);
}

// --- Acting -----------------------------------------------------------------------------------

bool JourneyTest::ClickWidget(QWidget* widget) {
    if (!widget || !widget->isVisible()) {
        ADD_FAILURE() << "nothing visible to click";
        return false;
    }
    if (!widget->isEnabled()) {
        ADD_FAILURE() << "\"" << widget->objectName().toStdString() << "\" is disabled";
        return false;
    }
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, widget->rect().center());
    Run(kActionSettleMs);
    return true;
}

bool JourneyTest::Click(const QString& name) {
    QWidget* widget = Find(name);
    if (!widget) {
        ADD_FAILURE() << "no visible control \"" << name.toStdString() << "\" to click";
        return false;
    }
    return ClickWidget(widget);
}

bool JourneyTest::DoubleClick(const QString& name) {
    QWidget* widget = Find(name);
    if (!widget || !widget->isEnabled()) {
        ADD_FAILURE() << "no usable control \"" << name.toStdString() << "\" to double-click";
        return false;
    }
    QTest::mouseDClick(widget, Qt::LeftButton, Qt::NoModifier, widget->rect().center());
    Run(kActionSettleMs);
    return true;
}

bool JourneyTest::ChooseRow(const QString& comboName, int row) {
    auto* combo = qobject_cast<QComboBox*>(Find(comboName));
    if (!combo) {
        ADD_FAILURE() << "no visible list \"" << comboName.toStdString() << "\"";
        return false;
    }
    if (row < 0 || row >= combo->count()) {
        ADD_FAILURE() << "\"" << comboName.toStdString() << "\" has no row " << row;
        return false;
    }
    if (!ClickWidget(combo)) return false;
    QAbstractItemView* view = combo->view();
    if (!WaitUntil([view] { return view->isVisible(); }, 1000)) {
        ADD_FAILURE() << "\"" << comboName.toStdString() << "\" did not open its list";
        return false;
    }
    const QModelIndex index = combo->model()->index(row, combo->modelColumn(), combo->rootModelIndex());
    view->scrollTo(index);  // the user scrolls the open list to the item
    const QRect rect = view->visualRect(index);
    QTest::mouseMove(view->viewport(), rect.center());
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
    Run(kActionSettleMs);
    if (view->isVisible()) {
        ADD_FAILURE() << "the list of \"" << comboName.toStdString() << "\" stayed open";
        return false;
    }
    return true;
}

bool JourneyTest::ChooseItem(const QString& comboName, const QString& text) {
    auto* combo = qobject_cast<QComboBox*>(Find(comboName));
    if (!combo) {
        ADD_FAILURE() << "no visible list \"" << comboName.toStdString() << "\"";
        return false;
    }
    const int row = combo->findText(text);
    if (row < 0) {
        ADD_FAILURE() << "\"" << comboName.toStdString() << "\" offers no \"" << text.toStdString() << "\"";
        return false;
    }
    return ChooseRow(comboName, row);
}

bool JourneyTest::DragSlider(const QString& name, int value) {
    auto* slider = qobject_cast<QSlider*>(Find(name));
    if (!slider || !slider->isEnabled()) {
        ADD_FAILURE() << "no usable slider \"" << name.toStdString() << "\"";
        return false;
    }
    QRect groove;
    const QRect handle = SliderHandle(slider, &groove);
    const bool horizontal = slider->orientation() == Qt::Horizontal;
    const int length = horizontal ? handle.width() : handle.height();
    const int start = horizontal ? groove.x() : groove.y();
    const int span = (horizontal ? groove.right() : groove.bottom()) - length + 1 - start;
    const bool upsideDown = horizontal ? slider->invertedAppearance() : !slider->invertedAppearance();
    const int target = start + QStyle::sliderPositionFromValue(slider->minimum(), slider->maximum(), value,
                                                               span, upsideDown);
    const QPoint press = handle.center();
    const QPoint shift = horizontal ? QPoint(target - handle.x(), 0) : QPoint(0, target - handle.y());
    QTest::mousePress(slider, Qt::LeftButton, Qt::NoModifier, press);
    constexpr int kSteps = 6;
    for (int i = 1; i <= kSteps; ++i) {
        SendMove(slider, press + shift * i / kSteps);
        Run(2);
    }
    QTest::mouseRelease(slider, Qt::LeftButton, Qt::NoModifier, press + shift);
    Run(kActionSettleMs);
    return true;
}

bool JourneyTest::TypeInto(const QString& name, const QString& text) {
    QWidget* edit = Find(name);
    if (!edit || !edit->isEnabled()) {
        ADD_FAILURE() << "no usable edit \"" << name.toStdString() << "\"";
        return false;
    }
    QTest::mouseClick(edit, Qt::LeftButton, Qt::NoModifier, edit->rect().center());
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
    Run(kActionSettleMs);
    return true;
}

bool JourneyTest::MenuOffers(const QString& itemName) {
    for (QWidget* top : QApplication::topLevelWidgets()) {
        auto* menu = qobject_cast<QMenu*>(top);
        if (!menu || !menu->isVisible()) continue;
        for (QAction* action : menu->actions()) {
            if (SameName(action, itemName) && action->isVisible()) return true;
        }
    }
    return false;
}

bool JourneyTest::ChooseMenuItem(const QString& itemName) {
    for (QWidget* top : QApplication::topLevelWidgets()) {
        auto* menu = qobject_cast<QMenu*>(top);
        if (!menu || !menu->isVisible()) continue;
        for (QAction* action : menu->actions()) {
            if (!SameName(action, itemName)) continue;
            if (!action->isEnabled() || !action->isVisible()) {
                ADD_FAILURE() << "menu item \"" << itemName.toStdString() << "\" cannot be chosen";
                return false;
            }
            const QRect rect = menu->actionGeometry(action);
            QTest::mouseMove(menu, rect.center());
            QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier, rect.center());
            Run(kActionSettleMs);
            return true;
        }
    }
    ADD_FAILURE() << "no open menu offers \"" << itemName.toStdString() << "\"";
    return false;
}

void JourneyTest::AnswerNextMessageBox(bool confirm) {
    m_pendingMessageAnswer = confirm ? 1 : 0;
    m_messageBoxShown = false;
    m_lastMessageText.clear();
}

void JourneyTest::ActInNextWindow(const char* className, std::function<void(QWidget*)> action) {
    m_windowClass = className;
    m_windowAction = std::move(action);
    m_windowActionRan = false;
}

void JourneyTest::ScreenshotOf(QWidget* window, const QString& fileName) {
    vxtest::RenderToPng(window, QStringLiteral(VX_BINARY_DIR "/screenshots/journeys/") + fileName);
}

void JourneyTest::AnswerNextFileDialog(const std::string& path) {
    m_fileDialogPending = true;
    m_fileDialogAnswer = path;
    m_lastDialogFolder.clear();
}

// Message boxes and file dialogs are modal: the click that opens one does not return until it is
// closed. A timer that also fires inside their event loops answers them as the user would. One
// that nobody expected fails the journey and is cancelled after a while, so a journey never hangs.
void JourneyTest::ArmModalWatcher() {
    // The watcher belongs to this journey only: TearDown deletes it, so it never fires into the
    // next journey's event loop with a pointer to this one.
    auto* timer = new QTimer(QApplication::instance());
    m_modalWatcher = timer;
    timer->setInterval(20);
    auto unexpectedSince = std::make_shared<QElapsedTimer>();
    QObject::connect(timer, &QTimer::timeout, timer, [this, unexpectedSince] {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (!top->isVisible()) continue;
            if (m_windowAction && m_windowClass == top->metaObject()->className()) {
                // Taken first: the action may open a modal loop of its own.
                auto action = std::move(m_windowAction);
                m_windowAction = nullptr;
                m_windowActionRan = true;
                action(top);
                return;
            }
            auto* box = qobject_cast<CMsgWnd*>(top);
            auto* dialog = qobject_cast<QFileDialog*>(top);
            if (!box && !dialog) continue;
            const bool expected = box ? m_pendingMessageAnswer >= 0 : m_fileDialogPending;
            if (!expected) {
                if (!unexpectedSince->isValid()) unexpectedSince->start();
                if (unexpectedSince->elapsed() < kUnexpectedModalMs) return;
                unexpectedSince->invalidate();
                QWidget* text = box ? FindVisible(box, "MessageText") : nullptr;
                ADD_FAILURE() << "an unexpected " << (box ? "message box" : "file dialog") << " appeared"
                              << (text ? ": " + ui::GetText(text).toStdString() : std::string());
                QTest::keyClick(top, Qt::Key_Escape);
                if (box) box->Close(0);
                return;
            }
            unexpectedSince->invalidate();
            if (box) {
                AnswerMessageBox(box);
            } else {
                AnswerFileDialog(dialog);
            }
            return;
        }
    });
    timer->start();
}

void JourneyTest::AnswerMessageBox(CMsgWnd* box) {
    m_messageBoxShown = true;
    if (QWidget* text = FindVisible(box, "MessageText")) m_lastMessageText = ui::GetText(text);
    QWidget* button = FindVisible(box, m_pendingMessageAnswer ? "confirm_btn" : "cancel_btn");
    m_pendingMessageAnswer = -1;
    if (button) {
        QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, button->rect().center());
    } else {
        ADD_FAILURE() << "the message box has no button for the answer";
        box->Close(0);
    }
}

void JourneyTest::AnswerFileDialog(QFileDialog* dialog) {
    m_fileDialogPending = false;
    m_lastDialogFolder = dialog->directory().absolutePath();
    if (m_fileDialogAnswer.empty()) {
        QTest::keyClick(dialog, Qt::Key_Escape);
        return;
    }
    auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
    if (!name) {
        ADD_FAILURE() << "the file dialog has no file-name field";
        QTest::keyClick(dialog, Qt::Key_Escape);
        return;
    }
    QTest::keyClick(name, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(name, QString::fromStdString(m_fileDialogAnswer));
    // The name field's completer may hold Enter for itself; the dialog's own button does not.
    auto* buttons = dialog->findChild<QDialogButtonBox*>("buttonBox");
    QPushButton* accept = nullptr;
    if (buttons) {
        for (QAbstractButton* button : buttons->buttons()) {
            if (buttons->buttonRole(button) == QDialogButtonBox::AcceptRole) accept = qobject_cast<QPushButton*>(button);
        }
    }
    if (accept && accept->isEnabled()) {
        QTest::mouseClick(accept, Qt::LeftButton, Qt::NoModifier, accept->rect().center());
    } else {
        QTest::keyClick(name, Qt::Key_Return);
    }
}

// --- Reading the window -----------------------------------------------------------------------

QString JourneyTest::TextOf(const QString& name) {
    QWidget* widget = Find(name);
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) return edit->text();
    if (auto* combo = qobject_cast<QComboBox*>(widget)) return combo->currentText();
    return widget ? ui::GetText(widget) : QString();
}

int JourneyTest::SliderValue(const QString& name) {
    auto* slider = qobject_cast<QSlider*>(Find(name));
    return slider ? slider->value() : -1;
}

QString JourneyTest::ComboText(const QString& name) {
    auto* combo = qobject_cast<QComboBox*>(Find(name));
    return combo ? combo->currentText() : QString();
}

QStringList JourneyTest::ComboItems(const QString& name) {
    QStringList items;
    if (auto* combo = qobject_cast<QComboBox*>(Find(name))) {
        for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
    }
    return items;
}

bool JourneyTest::IsSelected(const QString& optionName) {
    QWidget* widget = Find(optionName);
    if (!widget) return false;
    const QVariant selected = widget->property("selected");
    if (selected.isValid()) return selected.toBool();
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) return button->isChecked();
    return false;
}

QImage JourneyTest::Grab(const QString& name) {
    QWidget* widget = Find(name);
    return widget ? widget->grab().toImage() : QImage();
}

QRgb JourneyTest::ShownColour(const QString& ledName) {
    const QImage image = Grab(ledName);
    if (image.isNull()) return 0;
    long r = 0, g = 0, b = 0, count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.hsvSaturation() < 80 || c.value() < 60) continue;  // the cap's greys and the dark
            r += c.red();
            g += c.green();
            b += c.blue();
            ++count;
        }
    }
    // A few tinted pixels of the cap's edge are not a lit LED.
    if (count * 50 < static_cast<long>(image.width()) * image.height()) return 0;
    return qRgb(static_cast<int>(r / count), static_cast<int>(g / count), static_cast<int>(b / count));
}

void JourneyTest::Screenshot(const QString& fileName) {
    vxtest::RenderToPng(m_wnd.get(), QStringLiteral(VX_BINARY_DIR "/screenshots/journeys/") + fileName);
}

// --- Data folder ------------------------------------------------------------------------------

fs::path JourneyTest::DataFolder() const {
    return m_home / ".local/share/VexorUmbrelControlCenter";
}

fs::path JourneyTest::StateFolder() const {
    return m_home / ".local/state/VexorUmbrelControlCenter";
}

Json::Value JourneyTest::ReadJson(const fs::path& file) const {
    std::ifstream in(file);
    Json::Value value;
    if (!in) return value;
    Json::CharReaderBuilder builder;
    std::string errors;
    if (!Json::parseFromStream(builder, in, &value, &errors)) return Json::Value();
    return value;
}

Json::Value JourneyTest::SelectedDeviceRecord(const std::string& deviceFolder) const {
    const fs::path folder = DataFolder() / deviceFolder;
    const Json::Value list = ReadJson(folder / "ProfileList.ini");
    const Json::Value& entry = list["profilelist"][list["profileselect"].asInt()];
    if (!entry.isObject()) return Json::Value();
    return ReadJson(folder / (entry["profileUUID"].asString() + ".Json"))["Device"][0];
}

bool JourneyTest::WaitUntil(const std::function<bool()>& pred, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (true) {
        if (pred()) return true;
        if (timer.elapsed() > timeoutMs) return false;
        vxtest::Pump(1);
    }
}

void JourneyTest::Run(int ms) {
    vxtest::Pump(ms);
}

// --- Colours ----------------------------------------------------------------------------------

bool IsDark(QRgb colour) {
    return QColor(colour).value() < 40;
}

int HueDistance(QRgb a, QRgb b) {
    const QColor ca(a), cb(b);
    if (IsDark(a) || IsDark(b) || ca.hsvHue() < 0 || cb.hsvHue() < 0) return 360;
    const int d = std::abs(ca.hsvHue() - cb.hsvHue());
    return std::min(d, 360 - d);
}

}  // namespace journeys
