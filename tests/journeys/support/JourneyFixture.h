#pragma once
// A journey: the real main window with virtual devices and fresh data folders, driven only the way
// a user drives it. Every action is an input event (mouse or keyboard) delivered to the control a
// user would see under that name; nothing calls a handler or a setter. A journey then checks what
// the window shows, what the device received and what is in the data folder.
//
// Controls are found by name among those a user can see: visible, on the shown window, on the
// page in front. Acting on a control that is hidden or disabled fails the journey, because a
// user could not do it either.

#include <gtest/gtest.h>
#include <json/json.h>

#include <QPointer>
#include <QRgb>
#include <QTimer>
#include <QString>
#include <QStringList>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "JourneyDevices.h"

namespace vx::app { class CMainWnd; }
namespace vx::widgets { class CMsgWnd; }
class QFileDialog;
namespace vx::devices { class CTavimondUSBDevice; }
class QComboBox;
class QImage;
class QSlider;
class QWidget;

namespace journeys {

class JourneyTest : public testing::Test {
protected:
    // The sanitizer build runs several times slower.
#if defined(__SANITIZE_THREAD__)
    static constexpr int kSlowdown = 5;
#else
    static constexpr int kSlowdown = 1;
#endif
    static constexpr int kDeviceWaitMs = 3000 * kSlowdown;

    JourneyTest();
    ~JourneyTest() override;
    void SetUp() override;
    void TearDown() override;

    // --- The program --------------------------------------------------------------------------
    // Starts the window as the program does and waits for its first device scan.
    void StartProgram();
    // "exit" from the tray menu, as the user ends the program; the devices stay plugged.
    void ExitProgram();
    vx::app::CMainWnd& Window() { return *m_wnd; }
    JourneyDevices& Devices() { return *m_devices; }

    // Plugs a device and waits until its entry is in the selector and its page has run its
    // connection sequence.
    void PlugAndWait(Device device);
    // Waits until the page of a bound device has run its connection sequence (after a plug or a
    // switch between cable and receiver).
    void WaitConnected(Device device);
    // Clicks the device's entry in the selector and waits until its page is in front.
    void ShowDevicePage(Device device);
    // The page of a device kind, whether shown or not (for reading what it shows).
    vx::devices::CTavimondUSBDevice* PageOf(Device device);
    vx::devices::CTavimondUSBDevice* CurrentPage();

    // --- Finding what a user sees -------------------------------------------------------------
    // The control named `name` (any letter case) that a user sees: in the front page first, then
    // anywhere in the window, then in other shown top-level windows (message boxes, menus).
    // Null when no visible control has that name.
    QWidget* Find(const QString& name);
    // Like Find, but below `scope` only.
    QWidget* FindIn(QWidget* scope, const QString& name);
    bool Shown(const QString& name) { return Find(name) != nullptr; }

    // --- Acting -------------------------------------------------------------------------------
    // Each returns false (and fails the journey) when the control is not there for the user.
    bool Click(const QString& name);
    bool ClickWidget(QWidget* widget);
    bool DoubleClick(const QString& name);
    // Opens the combo with a click and clicks the item whose text is `text`.
    bool ChooseItem(const QString& comboName, const QString& text);
    // Same, by the item's row.
    bool ChooseRow(const QString& comboName, int row);
    // Presses the slider's handle and drags it to where `value` lies, then lets go.
    bool DragSlider(const QString& name, int value);
    // Clicks into the edit, selects what is there, types `text` and presses Enter.
    bool TypeInto(const QString& name, const QString& text);
    // Picks the item named `itemName` from the pop-up menu that is open now.
    bool ChooseMenuItem(const QString& itemName);
    // Whether a pop-up menu open now offers `itemName`.
    bool MenuOffers(const QString& itemName);

    // Answers the next message box when it appears (also a modal one, which blocks the click that
    // opened it): confirm or cancel. The text it showed is kept in LastMessageText().
    void AnswerNextMessageBox(bool confirm);
    QString LastMessageText() const { return m_lastMessageText; }
    bool MessageBoxWasShown() const { return m_messageBoxShown; }
    // Answers the next file dialog with `path` (typed into its file-name field), or cancels it
    // when `path` is empty. The folder it opened in is kept in LastDialogFolder().
    void AnswerNextFileDialog(const std::string& path);
    // The next window of that class (Qt class name, e.g. "vx::panels::CColorSelectWnd") that
    // shows gets this action run once, as the user would act in it (it may be modal: the click
    // that opens it returns only when it closes). WindowActionRan tells whether it did.
    void ActInNextWindow(const char* className, std::function<void(QWidget* window)> action);
    bool WindowActionRan() const { return m_windowActionRan; }
    // Renders one window (a dialog, say) into the screenshot folder.
    void ScreenshotOf(QWidget* window, const QString& fileName);
    QString LastDialogFolder() const { return m_lastDialogFolder; }

    // --- Reading the window -------------------------------------------------------------------
    QString TextOf(const QString& name);
    int SliderValue(const QString& name);
    QString ComboText(const QString& name);
    QStringList ComboItems(const QString& name);
    bool IsSelected(const QString& optionName);
    // What a device-picture LED shows: the average colour of the lit, saturated pixels of its
    // button as painted now; 0 when the LED shows dark.
    QRgb ShownColour(const QString& ledName);
    QImage Grab(const QString& name);
    // Saves a picture of the whole window below build/screenshots/journeys.
    void Screenshot(const QString& fileName);

    // --- The data folder ----------------------------------------------------------------------
    std::filesystem::path DataFolder() const;
    std::filesystem::path StateFolder() const;
    std::filesystem::path HomeFolder() const { return m_home; }
    Json::Value ReadJson(const std::filesystem::path& file) const;
    // The device record ("Device"[0]) of the profile a device folder's list has selected
    // ("keyboard", "mouse", "MousePad"); null when there is none.
    Json::Value SelectedDeviceRecord(const std::string& deviceFolder) const;

    // Delivers the window's events until pred holds or timeoutMs passed; true when it held.
    bool WaitUntil(const std::function<bool()>& pred, int timeoutMs);
    // Lets the window run for `ms` milliseconds.
    void Run(int ms);

private:
    void ArmModalWatcher();
    void AnswerMessageBox(vx::widgets::CMsgWnd* box);
    void AnswerFileDialog(QFileDialog* dialog);

    QPointer<QTimer> m_modalWatcher;
    std::filesystem::path m_home;
    std::unique_ptr<JourneyDevices> m_devices;
    std::unique_ptr<vx::app::CMainWnd> m_wnd;

    int m_pendingMessageAnswer = -1;  // -1 none, 0 cancel, 1 confirm
    bool m_messageBoxShown = false;
    QString m_lastMessageText;
    bool m_fileDialogPending = false;
    std::string m_fileDialogAnswer;
    QString m_lastDialogFolder;
    std::string m_windowClass;
    std::function<void(QWidget*)> m_windowAction;
    bool m_windowActionRan = false;
};

// Colour helpers for checks on the picture.
bool IsDark(QRgb colour);
// Hue distance of two colours in degrees (0..180); 360 when either is grey or dark.
int HueDistance(QRgb a, QRgb b);

}  // namespace journeys
