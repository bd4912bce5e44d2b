#include "window/optionsDialog.h"

#include "locale/localisedStrings.h"
#include "panel/interfaceText.h"
#include "panel/messageBox.h"
#include "settings/settings.h"
#include "skin/applySkin.h"

#include <QComboBox>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString controlName(int id)
{
    return QStringLiteral("control%1").arg(id);
}

} // namespace

int runOptionsDialog(QWidget* owner, Settings* settings, const LocalePaths& paths)
{
    QDialog dialog(owner);
    dialog.setObjectName(QStringLiteral("dialog158"));
    dialog.setWindowTitle(interfaceText(StringOptions));
    auto* label = new QLabel(interfaceText(StringSelectLanguage), &dialog);
    label->setTextFormat(Qt::PlainText);
    label->setObjectName(controlName(OptionsLabelId));
    auto* languages = new QComboBox(&dialog);
    languages->setObjectName(controlName(OptionsLanguageListId));
    languages->setAccessibleName(interfaceText(StringSelectLanguage));
    for (const Language& language : settings->languages)
        languages->addItem(QString::fromStdU16String(language.name));
    languages->setCurrentIndex(
        settings->languageCurrent < languages->count() ? settings->languageCurrent : -1);
    auto* ok = new QPushButton(interfaceText(StringOk), &dialog);
    ok->setObjectName(controlName(OptionsOkId));
    ok->setDefault(true);
    auto* cancel = new QPushButton(interfaceText(StringCancel), &dialog);
    cancel->setObjectName(controlName(OptionsCancelId));

    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(label);
    layout->addWidget(languages);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);

    QObject::connect(ok, &QPushButton::clicked, &dialog, [&] {
        settings->languageCurrent = languages->currentIndex();
        saveLanguageChoice(settings->languageCurrent, paths);
        dialog.done(OptionsOkId);
    });
    QObject::connect(
        cancel, &QPushButton::clicked, &dialog, [&dialog] { dialog.done(OptionsCancelId); });
    applySkin(&dialog);
    dialog.adjustSize();
    if (owner) {
        const QRect area = owner->frameGeometry();
        dialog.move(area.left() + area.width() / 2 - dialog.width() / 2,
            area.top() + area.height() / 2 - dialog.height() / 2);
    }
    const int result = dialog.exec();
    return result == OptionsOkId ? OptionsOkId : OptionsCancelId;
}

void runOptionsFlow(QWidget* owner, Settings* settings, const LocalePaths& paths)
{
    const int previousLanguage = settings->languageCurrent;
    *settings = loadSettings(paths);
    if (runOptionsDialog(owner, settings, paths) != OptionsOkId)
        return;
    reloadStrings({StringRestartForLanguage, StringReport}, settings->languageCurrent, paths);
    if (settings->languageCurrent != previousLanguage)
        showMessageBox({owner, interfaceText(StringRestartForLanguage), interfaceText(StringReport),
            BoxButtons::Ok, true});
}
