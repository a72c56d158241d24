#pragma once

#include <QObject>
#include <QPointer>
#include <functional>

class QSystemTrayIcon;
class QWidget;
namespace vx::widgets {


// The notification-area icon with its tooltip, reporting left and right clicks. On a desktop
// without a notification area a small always-on-top button in the screen's bottom-right corner
// stands in for it, with the same two clicks.
class CTrayIcon : public QObject {
    Q_OBJECT
public:
    explicit CTrayIcon(QObject* parent = nullptr);
    ~CTrayIcon() override;

    // `icon` is a picture name below the skin folder.
    bool Create(const QString& icon, const QString& toolTip);
    void SetToolTip(const QString& toolTip);
    void Remove();
    bool IsVisible() const;
    // True when the stand-in button is used.
    bool IsFallback() const { return m_fallback != nullptr; }

    std::function<void()> onLeftClick;
    std::function<void()> onRightClick;

    // For the stand-in: the user's clicks arrive here.
    void ReportLeftClick();
    void ReportRightClick();

private:
    QSystemTrayIcon* m_tray = nullptr;
    QPointer<QWidget> m_fallback;
};

}  // namespace vx::widgets
