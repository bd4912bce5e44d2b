#pragma once

// The Options dialog (158): the interface language for the next start.

#include "locale/localePaths.h"
#include "settings/settings.h"

class QWidget;

// Control ids of the dialog, as object names "control<id>".
constexpr int OptionsOkId = 1;
constexpr int OptionsCancelId = 2;
constexpr int OptionsLabelId = 1083;
constexpr int OptionsLanguageListId = 1081;

// Shows the dialog modally over `owner`, centred on it, with the language list and the current
// language selected. OK stores the selection (-1 when none) as the language of the next start
// and returns 1; Cancel or closing stores nothing and returns 2.
int runOptionsDialog(QWidget* owner, Settings* settings, const LocalePaths& paths);

// The Options command: rereads the settings (the panel's method, power and noise return to the
// stored ones), shows the dialog, and after OK with a new language shows the notice that it
// takes effect at the next start, in the new language.
void runOptionsFlow(QWidget* owner, Settings* settings, const LocalePaths& paths);
