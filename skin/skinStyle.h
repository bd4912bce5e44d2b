#pragma once

// The skin's style: the standard controls drawn in the colour table's colours, over Fusion for
// everything it does not draw itself. One instance is shared by every skinned widget (see
// applySkin); it is set on those widgets only, never on the application.
//
// Push buttons get a button-face fill with a raised three-dimensional edge (sunken while
// pressed); check boxes show the check-box pictures; group boxes an etched frame; sliders a
// sunken channel and a raised thumb; combo boxes, scroll bars, progress bars, menus, the status
// bar and tool bars their own faces and edges.

#include <QHash>
#include <QPixmap>
#include <QProxyStyle>

// The colour of skin slot `index` (through skinColor) as a Qt colour.
QColor skinQColor(int index);

// The name of the check-box picture for a scheme, state and enablement: "CHECKD_" in a dark
// scheme, else "CHECK_"; then "DES", "SEL" or "SEMI"; then "ON" or "OFF". The pictures are
// resources under ":/pictures/", e.g. ":/pictures/CHECKD_SELON.png".
QString checkBoxPictureName(bool darkScheme, Qt::CheckState state, bool enabled);

class SkinStyle : public QProxyStyle {
public:
    SkinStyle();

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
        const QWidget* widget) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
        const QWidget* widget) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
        QPainter* painter, const QWidget* widget) const override;
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option,
        SubControl subControl, const QWidget* widget) const override;
    QRect subElementRect(
        SubElement element, const QStyleOption* option, const QWidget* widget) const override;
    int pixelMetric(
        PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override;
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
        QStyleHintReturn* returnData) const override;
    QIcon standardIcon(
        StandardPixmap icon, const QStyleOption* option, const QWidget* widget) const override;

private:
    const QPixmap& checkBoxPicture(Qt::CheckState state, bool enabled) const;
    void drawPushButtonPanel(const QStyleOption* option, QPainter* painter, bool flat) const;
    void drawToolButtonPanel(const QStyleOption* option, QPainter* painter) const;
    void drawGroupBox(const QStyleOptionComplex* option, QPainter* painter) const;
    void drawSlider(
        const QStyleOptionComplex* option, QPainter* painter, const QWidget* widget) const;
    void drawComboBox(
        const QStyleOptionComplex* option, QPainter* painter, const QWidget* widget) const;
    void drawScrollBar(
        const QStyleOptionComplex* option, QPainter* painter, const QWidget* widget) const;

    mutable QHash<QString, QPixmap> pictures; // decoded once per style
};
