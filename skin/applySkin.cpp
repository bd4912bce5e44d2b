#include "skin/applySkin.h"

#include "skin/skinColors.h"

#include <QPalette>
#include <QWidget>

namespace {

QColor colorOf(int index)
{
    const std::uint32_t c = skinColor(index); // 0x00BBGGRR
    return QColor(int(c & 0xFF), int(c >> 8 & 0xFF), int(c >> 16 & 0xFF));
}

} // namespace

void applySkin(QWidget* widget)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colorOf(15)); // button face
    palette.setColor(QPalette::WindowText, colorOf(18)); // button text
    palette.setColor(QPalette::Button, colorOf(15));
    palette.setColor(QPalette::ButtonText, colorOf(18));
    palette.setColor(QPalette::Base, colorOf(5)); // window
    palette.setColor(QPalette::AlternateBase, colorOf(4));
    palette.setColor(QPalette::Text, colorOf(8)); // window text
    palette.setColor(QPalette::ToolTipBase, colorOf(5));
    palette.setColor(QPalette::ToolTipText, colorOf(8));
    palette.setColor(QPalette::Light, colorOf(20)); // highlight edge
    palette.setColor(QPalette::Mid, colorOf(16));
    palette.setColor(QPalette::Dark, colorOf(21));
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, colorOf(17)); // grey text
    palette.setColor(QPalette::Disabled, QPalette::WindowText, colorOf(17));
    palette.setColor(QPalette::Disabled, QPalette::Text, colorOf(17));
    widget->setPalette(palette);
}
