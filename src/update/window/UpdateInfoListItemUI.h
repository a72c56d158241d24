#pragma once
// One row of the settings window's update list ("UpdateInfoListItemUI"): the product's check
// box with its name, the local and server versions, the status text, a progress indicator with
// its percentage, and a completion mark. Built from the row layout
// "XML\CustomControlXML\device_Update_list_item.xml"; every child is found by name on first use
// and then kept, and a child the layout lacks makes its operations do nothing.

#include <QPointer>

#include "widgets/ListUI.h"

namespace vx::widgets { class COptionUI; }

namespace vx::update {

class CUpdateInfoListItemUI : public vx::widgets::CListContainerElementUI {
    Q_OBJECT
public:
    static constexpr int kRowHeight = 50;
    static inline const QString kLayout = QStringLiteral("XML\\CustomControlXML\\device_Update_list_item.xml");

    explicit CUpdateInfoListItemUI(QWidget* parent = nullptr);
    // A row with its layout built in; nullptr when the layout cannot be built.
    static CUpdateInfoListItemUI* Create(QWidget* parent = nullptr);

    void SetProductName(const QString& name);
    QString GetProductName() const;
    void SetLocalVersion(const QString& label);
    QString GetLocalVersion() const;
    // An empty label hides the server version.
    void SetServerVersion(const QString& label);
    QString GetServerVersion() const;
    // The row statuses 0 to 8 (UpdateStatus). The same status again changes nothing;
    // an unknown one is stored and changes nothing on screen.
    void SetStatus(int status);
    int GetStatus() const { return m_status; }
    // A row whose request failed keeps status 7 (nothing to select) but says that nothing is
    // known, rather than "up to date"; the next SetStatus shows the status's own text again.
    void ShowNoInformation();
    void SetProgress(int percent);
    int GetProgress() const { return m_percent; }
    // Showing or hiding the indicator starts its percentage at 0 again.
    void ShowProgress(bool show);
    void ShowDone(bool show);
    bool IsChecked() const;
    // Raises "selectchanged" from the check box when the state changes.
    void SetChecked(bool checked);
    void SetCheckEnabled(bool enabled);
    bool IsCheckEnabled() const;
    bool IsHot() const { return m_hot; }

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QWidget* Child(QPointer<QWidget>& slot, const char* name) const;
    vx::widgets::COptionUI* Check() const;
    void SetCheckColours(const QString& text, const QString& disabled);

    mutable QPointer<QWidget> m_check, m_oldRev, m_updateRev, m_statusText, m_progress, m_progressValue, m_done;
    int m_status = -1;
    bool m_noInformation = false;
    int m_percent = 0;
    bool m_hot = false;
};

}  // namespace vx::update
