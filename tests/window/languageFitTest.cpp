// Every window, panel, dialog, box and menu in every shipped language: each text shown fits the
// control that shows it, and each control lies inside its parent.

#include "locale/localisedStrings.h"
#include "panel/dialogUnits.h"
#include "panel/interfaceText.h"
#include "tests/window/windowFixture.h"
#include "window/optionsDialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyleOption>
#include <QTimer>
#include <QToolButton>

namespace {

constexpr int ShippedLanguages = 7;

// The button's text as drawn: without the mnemonic's ampersand.
QString shownText(const QAbstractButton* button)
{
    QString text = button->text();
    return text.remove(QRegularExpression(QStringLiteral("&(?!&)")));
}

// Why the text does not fit the area the style draws it in (a push button's label area, a check
// box's text beside its box), or nothing. A style's preferred size has more room than the text
// needs (a push button is at least 80 pixels wide in some), so the measure is the text itself.
QString buttonTextProblem(const QAbstractButton* button, QStyle::SubElement area)
{
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    option.icon = button->icon();
    option.iconSize = button->iconSize();
    if (const auto* push = qobject_cast<const QPushButton*>(button)) {
        if (push->isDefault())
            option.features |= QStyleOptionButton::DefaultButton;
        if (push->autoDefault())
            option.features |= QStyleOptionButton::AutoDefaultButton;
    }
    const QRect label = button->style()->subElementRect(area, &option, button);
    const QFontMetrics metrics = button->fontMetrics();
    if (metrics.horizontalAdvance(shownText(button)) > label.width()
        || metrics.height() > label.height())
        return QStringLiteral("label area %1 x %2").arg(label.width()).arg(label.height());
    return {};
}

// Why one of the combo box's items does not fit its text field, or nothing.
QString comboProblem(const QComboBox* combo)
{
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.editable = combo->isEditable();
    option.frame = combo->hasFrame();
    const QRect field = combo->style()->subControlRect(
        QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo);
    const QFontMetrics metrics = combo->fontMetrics();
    for (int item = 0; item < combo->count(); ++item) {
        if (metrics.horizontalAdvance(combo->itemText(item)) > field.width()
            || metrics.height() > field.height())
            return QStringLiteral("item \"%1\" in a field of %2 x %3")
                .arg(combo->itemText(item))
                .arg(field.width())
                .arg(field.height());
    }
    return {};
}

QString sizeProblem(const QWidget* widget, QSize need)
{
    if (widget->width() >= need.width() && widget->height() >= need.height())
        return {};
    return QStringLiteral("%1 x %2 where it needs %3 x %4")
        .arg(widget->width())
        .arg(widget->height())
        .arg(need.width())
        .arg(need.height());
}

// The text a widget shows, and why it does not fit (empty when it does or shows none).
struct Fit {
    QString text;
    QString problem;
};

Fit fitOf(const QWidget* widget)
{
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
        if (label->text().isEmpty())
            return {};
        const QSize need = label->wordWrap() ? QSize(0, label->heightForWidth(label->width()))
                                             : label->sizeHint();
        return {label->text(), sizeProblem(label, need)};
    }
    if (const auto* button = qobject_cast<const QPushButton*>(widget))
        return {button->text(), buttonTextProblem(button, QStyle::SE_PushButtonContents)};
    if (const auto* box = qobject_cast<const QCheckBox*>(widget))
        return {box->text(), buttonTextProblem(box, QStyle::SE_CheckBoxContents)};
    if (const auto* tool = qobject_cast<const QToolButton*>(widget)) {
        if (tool->toolButtonStyle() == Qt::ToolButtonIconOnly)
            return {}; // the text is only the tooltip
        return {tool->text(), sizeProblem(tool, tool->sizeHint())};
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
        return {button->text(), sizeProblem(button, button->sizeHint())};
    if (const auto* combo = qobject_cast<const QComboBox*>(widget))
        return {combo->currentText(), comboProblem(combo)};
    return {};
}

// Every text shown in `root` and its visible descendants fits its control, and every control
// lies inside its parent.
void expectTextsFit(const QWidget* root, const QString& language)
{
    ASSERT_TRUE(root->isVisible()) << root->objectName().toStdString();
    QList<const QWidget*> widgets {root};
    for (const QWidget* child : root->findChildren<QWidget*>())
        widgets.push_back(child);
    for (const QWidget* widget : widgets) {
        if (!widget->isVisible())
            continue;
        const Fit fit = fitOf(widget);
        EXPECT_TRUE(fit.problem.isEmpty())
            << language.toStdString() << ": " << widget->objectName().toStdString() << " \""
            << fit.text.toStdString() << "\" is cut: " << fit.problem.toStdString();
        if (widget != root && !widget->isWindow()) {
            EXPECT_TRUE(widget->parentWidget()->rect().contains(widget->geometry()))
                << language.toStdString() << ": " << widget->objectName().toStdString() << " \""
                << fit.text.toStdString() << "\" lies outside its parent";
        }
    }
}

// A menu is as wide as its widest item needs, and so are its submenus, opened one by one.
void expectMenuFits(QMenu* menu, const QString& language)
{
    menu->popup(QPoint(0, 0));
    EXPECT_GE(menu->width(), menu->sizeHint().width())
        << language.toStdString() << ": menu \"" << menu->title().toStdString() << "\"";
    for (QAction* action : menu->actions()) {
        EXPECT_TRUE(menu->rect().contains(menu->actionGeometry(action)))
            << language.toStdString() << ": " << action->text().toStdString();
        if (action->menu())
            expectMenuFits(action->menu(), language);
    }
    menu->hide();
}

// Opens windows in the language of the settings; the other tests of the program expect the
// English texts afterwards.
class LanguageWindow : public WindowFixture {
protected:
    ~LanguageWindow() override { loadStrings(0, LocalePaths {}); }

    // The panel of the mode, with what shows only while a job runs or memory is short: every text
    // fits and no two controls cover each other.
    void expectPanelFits(bool motion, const QString& language)
    {
        motion ? window->openMotionCorrection() : window->openFocusCorrection();
        DeblurPanel* panel = window->panel();
        ASSERT_TRUE(panel);
        for (int id : {ProgressControl, AbortControl, MemoryWarning})
            panel->control(id)->show();
        expectTextsFit(panel, language);
        std::vector<const QWidget*> shown;
        for (const QWidget* child : panel->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (child->isHidden())
                continue;
            for (const QWidget* other : shown)
                EXPECT_FALSE(other->geometry().intersects(child->geometry()))
                    << language.toStdString() << ": " << child->objectName().toStdString()
                    << " covers " << other->objectName().toStdString();
            shown.push_back(child);
        }
        EXPECT_EQ(panel->size(), DeblurPanel::panelSize()) << language.toStdString();
        panel->pressCancel();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

class LanguageFit : public LanguageWindow, public testing::WithParamInterface<int> {
protected:
    LanguageFit()
    {
        paths.languageFile = SHIPPED_LANGUAGE_FILE;
        writeSettingsFile("[General]\nLanguage Current=" + std::to_string(GetParam()) + "\n");
    }

    QString language() const
    {
        return QStringLiteral("language %1 (%2)").arg(GetParam()).arg(interfaceText(StringCancel));
    }
};

TEST_P(LanguageFit, EveryTextFitsItsControl)
{
    makeSource(64, 48);
    openWindow();
    // The texts are the language's own, not the English defaults.
    ASSERT_EQ(localisedString(StringCancel) == englishString(StringCancel), GetParam() == 0);
    expectTextsFit(window, language());
    expectPanelFits(false, language() + " focus");
    expectPanelFits(true, language() + " motion");
    // English is the design: nothing grows.
    if (GetParam() == 0) {
        EXPECT_EQ(DeblurPanel::panelSize(),
            dialogRect(dialogBaseUnits(dialogFont()), 0, 0, 187, 178).size());
    }

    QMenu* menu = window->applicationMenu();
    expectMenuFits(menu, language());
    delete menu;

    bool optionsShown = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        optionsShown = true;
        expectTextsFit(dialog, language() + " options");
        dialog->reject();
    });
    Settings settings = loadSettings(paths);
    runOptionsDialog(window, &settings, paths);
    EXPECT_TRUE(optionsShown);

    for (const auto& [text, caption, buttons] : {
             std::tuple {StringCrashedLastTime, StringWarning, BoxButtons::Ok},
             std::tuple {StringUnsavedSignedImage, StringWarning, BoxButtons::YesNo},
             std::tuple {StringRestartForLanguage, StringReport, BoxButtons::Ok},
             std::tuple {StringFormatNotSupported, StringWarning, BoxButtons::Ok},
             std::tuple {StringCannotBuildKernel, StringWarning, BoxButtons::Ok},
             std::tuple {StringTooLargeTryCrop, StringWarning, BoxButtons::Ok},
         }) {
        const std::unique_ptr<QMessageBox> box
            = buildMessageBox({window, interfaceText(text), interfaceText(caption), buttons, true});
        box->show();
        expectTextsFit(box.get(), language() + " box " + QString::number(text));
    }
}

INSTANTIATE_TEST_SUITE_P(ShippedLanguages, LanguageFit, testing::Range(0, ShippedLanguages));

// Texts far longer than any shipped one: the wrapped texts take more lines and push the rows
// below them down, a long label pushes its neighbours right, and the panel grows with them.
using LongTexts = LanguageWindow;

TEST_F(LongTexts, PushTheControlsAfterThemAndGrowThePanel)
{
    std::string paragraph;
    for (int sentence = 0; sentence < 8; ++sentence)
        paragraph += "A sentence of many words that takes more than one line. ";
    writeFileBytes(paths.languageFile,
        "[General]\nLanguages No=1\n[0]\nLanguage=Long\nAcronym=LG\nstring58=" + paragraph
            + "\nstring82=" + paragraph + "\nstring84=A method label much wider than its room:\n");
    makeSource(64, 48);
    openWindow();
    expectPanelFits(false, QStringLiteral("long focus"));
    expectPanelFits(true, QStringLiteral("long motion"));
    const QSize design = dialogRect(dialogBaseUnits(dialogFont()), 0, 0, 187, 178).size();
    EXPECT_GT(DeblurPanel::panelSize().width(), design.width());
    EXPECT_GT(DeblurPanel::panelSize().height(), design.height());
}

} // namespace
