#pragma once

// An interface text (named in "locale/stringKeys.h") as Qt shows it. The texts come from a language
// file anyone can edit, so they are always shown as plain text: labels and boxes are set to plain
// text, and tooltips (which have no such setting) get their markup escaped.

#include "locale/localisedStrings.h"
#include "locale/stringKeys.h"

#include <QString>
#include <QTextDocument>

inline QString interfaceText(int key)
{
    return QString::fromStdU16String(localisedString(key));
}

// `text` as a tooltip shows it: literally, even where it looks like markup.
inline QString plainToolTip(const QString& text)
{
    return Qt::mightBeRichText(text) ? QStringLiteral("<p>%1</p>").arg(text.toHtmlEscaped()) : text;
}
