#pragma once

#include <QPushButton>

namespace vx::widgets {

// A push button that draws the skin's status images when the layout gives any ("normalimage",
// "hotimage", "pushedimage", "disabledimage", "focusedimage", "foreimage", "hotforeimage",
// "selectedimage", "bkimage", "bkcolor" as dynamic properties); otherwise the style sheet draws it.
// A user click raises "click"; click() from code counts as a user click, setters raise nothing.
class CButtonUI : public QPushButton {
    Q_OBJECT
public:
    explicit CButtonUI(QWidget* parent = nullptr);

    void SetNormalImage(const QString& image) { SetImage("normalimage", image); }
    QString GetNormalImage() const { return Image("normalimage"); }
    void SetHotImage(const QString& image) { SetImage("hotimage", image); }
    QString GetHotImage() const { return Image("hotimage"); }
    void SetPushedImage(const QString& image) { SetImage("pushedimage", image); }
    void SetDisabledImage(const QString& image) { SetImage("disabledimage", image); }
    void SetForeImage(const QString& image) { SetImage("foreimage", image); }
    QString GetForeImage() const { return Image("foreimage"); }
    void SetSelectedImage(const QString& image) { SetImage("selectedimage", image); }
    QString GetSelectedImage() const { return Image("selectedimage"); }

    // Whether the pointer is over the button, as the skin shows it.
    bool IsHot() const { return m_hot; }

protected:
    QString Image(const char* name) const { return property(name).toString(); }
    void SetImage(const char* name, const QString& image);
    bool UsesImages() const;

    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    // Status image, then fore image; subclasses draw more on top.
    virtual void PaintStatusImages(QPainter& painter);
    void PaintBevel(QPainter& painter);
    void PaintText(QPainter& painter);

    bool m_hot = false;
};

}  // namespace vx::widgets
