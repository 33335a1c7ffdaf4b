#include "seged/colors.h"

#include <QGuiApplication>
#include <QPalette>

#include <cstddef>
#include <iterator>

namespace {
struct TSystemColor {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

// The classic system colour indices, each given the palette role that plays
// the same part in a Qt window. Index 5 (the window's client area, where
// text is typed) is the Base role; the dialog face is 15.
constexpr QPalette::ColorGroup Active = QPalette::Active;
constexpr QPalette::ColorGroup Inactive = QPalette::Inactive;
constexpr TSystemColor SystemColors[] = {
    {Active, QPalette::Button},  // 0 scroll bar
    {Active, QPalette::Window},  // 1 desktop
    {Active, QPalette::Highlight},  // 2 active caption
    {Inactive, QPalette::Highlight},  // 3 inactive caption
    {Active, QPalette::Window},  // 4 menu
    {Active, QPalette::Base},  // 5 window
    {Active, QPalette::Dark},  // 6 window frame
    {Active, QPalette::WindowText},  // 7 menu text
    {Active, QPalette::Text},  // 8 window text
    {Active, QPalette::HighlightedText},  // 9 caption text
    {Active, QPalette::Button},  // 10 active border
    {Active, QPalette::Midlight},  // 11 inactive border
    {Active, QPalette::Mid},  // 12 application workspace
    {Active, QPalette::Highlight},  // 13 highlight
    {Active, QPalette::HighlightedText},  // 14 highlight text
    {Active, QPalette::Button},  // 15 button face
    {Active, QPalette::Dark},  // 16 button shadow
    {QPalette::Disabled, QPalette::Text},  // 17 grey text
    {Active, QPalette::ButtonText},  // 18 button text
    {Inactive, QPalette::HighlightedText},  // 19 inactive caption text
    {Active, QPalette::Light},  // 20 button highlight
    {Active, QPalette::Shadow},  // 21 3D dark shadow
    {Active, QPalette::Midlight},  // 22 3D light
    {Active, QPalette::ToolTipText},  // 23 info text
    {Active, QPalette::ToolTipBase},  // 24 info background
    {Active, QPalette::Base},  // 25 not used: the window colour
    {Active, QPalette::Link},  // 26 hot-tracked item
    {Active, QPalette::Highlight},  // 27 active caption gradient
    {Inactive, QPalette::Highlight},  // 28 inactive caption gradient
    {Active, QPalette::Highlight},  // 29 menu highlight
    {Active, QPalette::Window},  // 30 menu bar
};
constexpr std::size_t WindowIndex = 5;
}  // namespace

QColor ColorToQColor(std::int32_t color)
{
    const auto value = static_cast<std::uint32_t>(color);
    if ((value >> 24) == 0xFF) {
        std::size_t index = value & 0xFF;
        if (index >= std::size(SystemColors))
            index = WindowIndex;
        const TSystemColor& system = SystemColors[index];
        return QGuiApplication::palette().color(system.group, system.role);
    }
    return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                  static_cast<int>((value >> 16) & 0xFF));
}

std::int32_t QColorToColor(const QColor& color)
{
    const QColor rgb = color.toRgb();
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(rgb.red()) |
                                     static_cast<std::uint32_t>(rgb.green()) << 8 |
                                     static_cast<std::uint32_t>(rgb.blue()) << 16);
}
