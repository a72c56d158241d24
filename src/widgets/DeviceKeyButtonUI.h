#pragma once

#include "widgets/ButtonUI.h"

namespace vx::widgets {

// One key or LED of a device picture. Over its status images it draws the LED picture
// ("lightimage", tinted with the LED's colour and brightness while lit) and the key-set mark
// ("keysetimage", while the key has a non-default function). A double click raises "dbclick".
class CDeviceKeyButtonUI : public CButtonUI {
    Q_OBJECT
public:
    explicit CDeviceKeyButtonUI(QWidget* parent = nullptr);

    void SetLightImage(const QString& image);
    QString GetLightImage() const { return m_lightImage; }
    void SetKeySetImage(const QString& image);
    QString GetKeySetImage() const { return m_keySetImage; }
    // Colour is 0xRRGGBB, brightness 0..255; lit while `flag` is set.
    void SetLight(quint32 color, int brightness, bool flag);
    quint32 GetLightColor() const { return m_lightColor; }
    int GetLightBrightness() const { return m_lightBrightness; }
    bool IsLit() const { return m_light; }
    void SetKeySetImageHidden(bool hidden);
    bool IsKeySetImageHidden() const { return m_keySetHidden; }
    void SetSelected(bool selected);
    bool IsSelected() const { return m_selected; }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QString m_lightImage;
    QString m_keySetImage;
    bool m_light = false;
    quint32 m_lightColor = 255;
    int m_lightBrightness = 200;
    bool m_keySetHidden = true;
    bool m_selected = false;
};

}  // namespace vx::widgets
