#pragma once
// A short notice at the foot of the main window that goes away by itself. A device that does not
// answer is told this way rather than with a message box: a box per click would stop the user at
// every control touched, while the notice lets them go on, and a repeated cause only restarts
// its time instead of piling notices up.

#include <QLabel>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

class QWidget;
namespace vx::app {


class CDeviceNotice : public QObject {
    Q_OBJECT
public:
    static constexpr int kShownMs = 5000;
    static constexpr const char* kLabelName = "device_notice_label";

    explicit CDeviceNotice(QWidget* host);
    ~CDeviceNotice() override;

    // Shows the text of a language key (the key itself when the language has no such text).
    void Show(const QString& key);
    void Hide();
    bool IsShown() const;
    QLabel* Label() const { return m_label.data(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Place();

    QPointer<QWidget> m_host;
    QPointer<QLabel> m_label;
    QTimer m_hideTimer;
};

}  // namespace vx::app
