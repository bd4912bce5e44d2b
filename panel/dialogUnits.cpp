#include "panel/dialogUnits.h"

#include <QApplication>
#include <QFontMetrics>

namespace {

// a * b / c rounded to the nearest integer, halves away from zero.
int scaled(int a, int b, int c)
{
    const long long product = static_cast<long long>(a) * b;
    const long long half = c / 2;
    return int(product >= 0 ? (product + half) / c : (product - half) / c);
}

} // namespace

QFont dialogFont()
{
    QFont font = QApplication::font();
    font.setPointSize(8);
    return font;
}

DialogBaseUnits dialogBaseUnits(const QFont& font)
{
    const QFontMetrics metrics(font);
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return {(letters / 26 + 1) / 2, metrics.height()};
}

QRect dialogRect(const DialogBaseUnits& units, int x, int y, int width, int height)
{
    return QRect(scaled(x, units.x, 4), scaled(y, units.y, 8), scaled(width, units.x, 4),
        scaled(height, units.y, 8));
}
