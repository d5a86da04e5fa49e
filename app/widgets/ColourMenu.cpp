#include "app/widgets/ColourMenu.h"

#include <QColorDialog>
#include <QPainter>
#include <QPixmap>

#include <array>

namespace {

struct NamedColour {
    const char* name;
    std::uint32_t bgr;
};

constexpr std::array<NamedColour, 16> kNamedColours{{
    {"Black", 0x000000},
    {"Dark Gray", 0x808080},
    {"Maroon", 0x000080},
    {"Olive Green", 0x008080},
    {"Green", 0x008000},
    {"Teal", 0x808000},
    {"Navy Blue", 0x800000},
    {"Purple", 0x800080},
    {"White", 0xFFFFFF},
    {"Gray", 0xC0C0C0},
    {"Red", 0x0000FF},
    {"Yellow", 0x00FFFF},
    {"Lime Green", 0x00FF00},
    {"Aqua", 0xFFFF00},
    {"Blue", 0xFF0000},
    {"Fuchsia", 0xFF00FF},
}};

constexpr std::uint32_t kColourMask = 0xFFFFFF;

QIcon swatchIcon(std::uint32_t bgr, QSize size) {
    QPixmap pixmap(size);
    pixmap.fill(colourFromBgr(bgr));
    QPainter painter(&pixmap);
    painter.setPen(Qt::darkGray);
    painter.drawRect(pixmap.rect().adjusted(0, 0, -1, -1));
    return QIcon(pixmap);
}

}  // namespace

QColor colourFromBgr(std::uint32_t bgr) {
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}

std::uint32_t bgrFromColour(const QColor& colour) {
    QColor rgb = colour.toRgb();
    return (static_cast<std::uint32_t>(rgb.blue()) << 16 |
            static_cast<std::uint32_t>(rgb.green()) << 8 | static_cast<std::uint32_t>(rgb.red())) &
           kColourMask;
}

TColourMenu::TColourMenu(QWidget* parent) : QMenu(parent) {
    for (const NamedColour& named : kNamedColours) {
        QAction* action = addAction(swatchIcon(named.bgr, QSize(16, 16)), tr(named.name));
        action->setData(QVariant::fromValue(named.bgr));
    }
    addSeparator();
    custom_ = addAction(tr("Custom"));
    addAction(tr("Cancel"));
}

std::optional<std::uint32_t> TColourMenu::choose(QWidget* anchor, std::uint32_t current) {
    TColourMenu menu(anchor);
    QAction* chosen = menu.exec(anchor->mapToGlobal(QPoint(0, anchor->height())));
    if (chosen == nullptr) {
        return std::nullopt;
    }
    if (chosen == menu.customAction()) {
        QColor colour = QColorDialog::getColor(colourFromBgr(current), anchor->window());
        return colour.isValid() ? std::optional(bgrFromColour(colour)) : std::nullopt;
    }
    if (!chosen->data().isValid()) {
        return std::nullopt;
    }
    return chosen->data().value<std::uint32_t>();
}

TColourSwatch::TColourSwatch(QWidget* parent) : QToolButton(parent) {
    setIconSize(QSize(44, 14));
    setColour(0);
    connect(this, &QToolButton::clicked, this, &TColourSwatch::pickColour);
}

void TColourSwatch::setColour(std::uint32_t bgr) {
    colour_ = bgr & kColourMask;
    setIcon(swatchIcon(colour_, iconSize()));
    setToolTip(colourFromBgr(colour_).name(QColor::HexRgb).toUpper());
}

void TColourSwatch::pickColour() {
    if (std::optional<std::uint32_t> chosen = TColourMenu::choose(this, colour_)) {
        setColour(*chosen);
    }
}
