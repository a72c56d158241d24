#pragma once

#include <QPointer>
#include <QWidget>

#include "widgets/PaintManagerUI.h"
#include "widgets/UIDefs.h"
#include "widgets/WindowMessages.h"

class QEventLoop;
namespace vx::widgets {


// Base of the program's skinned windows: a frameless top-level window built from a layout, with
// its UI tree (GetPaintManager), its notifications (Notify), its window messages
// (HandleMessage, reached through GetHWND()), a modal run and the DPI rule of the skin.
//
//   class CMsgWnd : public WindowImplBase {
//       QString GetSkinFile() const override { return "XML_MSG"; }
//       void Notify(TNotifyUI& msg) override { ... Close(1); }
//   };
class WindowImplBase : public QWidget, public INotifyUI, public IDialogBuilderCallback {
    Q_OBJECT
public:
    // Style bits the windows are created with (the values of the native styles they stand for).
    static constexpr quint32 kStyleVisible = 0x10000000;
    static constexpr quint32 kExStyleToolWindow = 0x00000080;
    static constexpr quint32 kExStyleTopmost = 0x00000008;

    explicit WindowImplBase(QWidget* parent = nullptr);
    ~WindowImplBase() override;

    // Builds the layout and makes the window. `owner` may be null. A size of 0 takes the size the
    // layout declares. False when the layout cannot be built.
    bool Create(QWidget* owner, const QString& title, quint32 style, quint32 exStyle,
                const QRect& rc = QRect());
    WindowHandle GetHWND() const { return m_handle; }
    CPaintManagerUI& GetPaintManager() { return m_pm; }

    // Over the owner's window, or on the screen when there is none.
    void CenterWindow();
    // Shows the window modally (its owner, or every window when it has none, takes no input)
    // and returns the code given to Close; 0 when it was closed any other way.
    int ShowModal();
    void Close(int code = 0);

    // The DPI rule: 48, 72, 96, 120, 144, 168 and 192 are taken, anything else writes the
    // diagnostic line `errorLine` and takes 96. The window and its skin lengths follow.
    void SetDPI(int dpi, const char* errorLine = "WND DPI SET ERROR");
    int GetDPI() const { return m_pm.GetDPI(); }

    void Notify(TNotifyUI& msg) override;
    QWidget* CreateControl(const QString& className, QWidget* parent) override;

protected:
    virtual QString GetSkinFile() const = 0;
    virtual QString GetWindowClassName() const = 0;
    // After the layout is built and attached, before the window is first shown.
    virtual void InitWindow() {}
    // Window messages; the default handles kClose (closes with 0).
    virtual qintptr HandleMessage(uint message, quintptr wParam, qintptr lParam, bool& handled);
    // Called when the window has been closed and is about to go.
    virtual void OnFinalMessage() {}

    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // Keeps the layout's "maxbtn" and "restorebtn" (when it has them) showing the one that
    // applies to the window's state.
    void changeEvent(QEvent* event) override;
    void UpdateMaxRestore();

    CPaintManagerUI m_pm;
    QWidget* m_root = nullptr;

private:
    WindowHandle m_handle = 0;
    QSize m_baseSize;
    int m_closeCode = 0;
    QEventLoop* m_modalLoop = nullptr;
};

}  // namespace vx::widgets
