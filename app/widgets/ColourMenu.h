#pragma once

#include <QColor>
#include <QMenu>
#include <QToolButton>

#include <cstdint>
#include <optional>

// Report colours are kept as 0x00BBGGRR.
QColor colourFromBgr(std::uint32_t bgr);
std::uint32_t bgrFromColour(const QColor& colour);

// The sixteen named colours, "Custom" (the colour chooser, solid colours only) and "Cancel".
// Each named entry carries its 0x00BBGGRR value as the action's data.
class TColourMenu : public QMenu {
    Q_OBJECT

  public:
    explicit TColourMenu(QWidget* parent = nullptr);

    // Pops up below `anchor`; the chosen colour, or nothing for "Cancel" or a dismissed menu.
    static std::optional<std::uint32_t> choose(QWidget* anchor, std::uint32_t current);

    QAction* customAction() const { return custom_; }

  private:
    QAction* custom_;
};

// A button that shows a colour and lets the user change it through the colour menu.
class TColourSwatch : public QToolButton {
    Q_OBJECT

  public:
    explicit TColourSwatch(QWidget* parent = nullptr);

    std::uint32_t colour() const { return colour_; }
    void setColour(std::uint32_t bgr);

  private:
    void pickColour();

    std::uint32_t colour_ = 0;
};
