#pragma once

// An interface text (named in "locale/stringKeys.h") as Qt shows it.

#include "locale/localisedStrings.h"
#include "locale/stringKeys.h"

#include <QString>

inline QString interfaceText(int key)
{
    return QString::fromStdU16String(localisedString(key));
}
