#pragma once

#include "widgets/WindowImplBase.h"

namespace vx::widgets {

// The one notice and question box ("XML_MSG"): "MessageTitle", "MessageText", "confirm_btn"
// (closes with 1), "cancel_btn" and "closebtn" (close with 0).
class CMsgWnd : public WindowImplBase {
    Q_OBJECT
public:
    explicit CMsgWnd(QWidget* parent = nullptr) : WindowImplBase(parent) {}

    void SetTitle(const QString& title);
    void SetText(const QString& text, bool textIsKey);
    // 0: notice (confirm only), 1: question (confirm and cancel); other values keep the layout's.
    void SetButtonMode(int mode);
    // Makes the box taller than its layout's size when the text needs it (a notice that names a
    // file), so that no text is cut off; never shorter, never wider.
    void GrowToFitText();

    void Notify(TNotifyUI& msg) override;

protected:
    QString GetSkinFile() const override { return QStringLiteral("XML_MSG"); }
    QString GetWindowClassName() const override { return QStringLiteral("MsgWnd"); }
    void InitWindow() override;

private:
    QWidget* m_closeButton = nullptr;
};

// Shows a modal notice or question and returns 1 when "confirm_btn" closed it, 0 otherwise (also
// when the box could not be made). `parent` may be null; an empty title or text keeps the
// layout's; `textIsKey` makes `text` a language key; `dpi` follows the DPI rule.
int ShowMessageBox(QWidget* parent, const QString& title, const QString& text, int dpi, bool textIsKey,
                   int buttonMode);

}  // namespace vx::widgets
