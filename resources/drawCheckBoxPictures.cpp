// Draws the check-box pictures, 13 x 13 opaque pixels, into the folder given on the command line
// (resources/pictures). Run it after changing a drawing and check the PNGs in:
//
//     build/resources/drawCheckBoxPictures resources/pictures
//
// Twelve pictures: CHECKD_ (dark schemes) or CHECK_ (light), then DES (unchecked), SEL (checked)
// or SEMI (indeterminate), then ON (enabled) or OFF (disabled). Every pixel is opaque and drawn
// without smoothing, so a box shows exactly these pixels on any background.

#include <QColor>
#include <QImage>
#include <QPainter>
#include <cstdio>

namespace {

struct Colours {
    QColor border;
    QColor inside;
    QColor mark;
};

// Light marks in a sunken dark well for the dark schemes; the classic white box otherwise.
// Disabled boxes are flatter and dimmer.
constexpr int DarkOn[3][3] = {{140, 140, 140}, {43, 43, 43}, {230, 230, 230}};
constexpr int DarkOff[3][3] = {{95, 95, 95}, {60, 60, 60}, {130, 130, 130}};
constexpr int LightOn[3][3] = {{51, 51, 51}, {255, 255, 255}, {32, 32, 32}};
constexpr int LightOff[3][3] = {{160, 160, 160}, {240, 240, 240}, {160, 160, 160}};

Colours coloursOf(const int (&table)[3][3])
{
    auto colour = [&](int row) { return QColor(table[row][0], table[row][1], table[row][2]); };
    return {colour(0), colour(1), colour(2)};
}

enum class Mark { None, Check, Square };

QImage draw(const Colours& colours, Mark mark)
{
    QImage image(13, 13, QImage::Format_ARGB32);
    image.fill(colours.border);
    QPainter painter(&image);
    painter.fillRect(1, 1, 11, 11, colours.inside);
    // A shade along the inner top and left edges makes the well look sunken.
    const QColor shade = colours.inside.darker(130);
    painter.fillRect(1, 1, 11, 1, shade);
    painter.fillRect(1, 1, 1, 11, shade);
    if (mark == Mark::Check) {
        // The classic tick: seven columns, three pixels tall each, down to x = 5 and up again.
        constexpr int tops[7] = {5, 6, 7, 6, 5, 4, 3};
        for (int column = 0; column < 7; ++column)
            painter.fillRect(3 + column, tops[column], 1, 3, colours.mark);
    } else if (mark == Mark::Square) {
        painter.fillRect(4, 4, 5, 5, colours.mark);
    }
    return image;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: drawCheckBoxPictures FOLDER\n");
        return 64;
    }
    struct Scheme {
        const char* prefix;
        Colours on;
        Colours off;
    } const schemes[] = {{"CHECKD_", coloursOf(DarkOn), coloursOf(DarkOff)},
        {"CHECK_", coloursOf(LightOn), coloursOf(LightOff)}};
    struct State {
        const char* name;
        Mark mark;
    } const states[] = {{"DES", Mark::None}, {"SEL", Mark::Check}, {"SEMI", Mark::Square}};
    for (const Scheme& scheme : schemes) {
        for (const State& state : states) {
            for (const bool enabled : {true, false}) {
                const QImage image = draw(enabled ? scheme.on : scheme.off, state.mark);
                const QString path = QString::fromLocal8Bit(argv[1]) + "/" + scheme.prefix
                    + state.name + (enabled ? "ON" : "OFF") + ".png";
                if (!image.save(path)) {
                    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
                    return 1;
                }
            }
        }
    }
    return 0;
}
