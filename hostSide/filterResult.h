#pragma once

// What a filter's result code means to the person who ran the filter.

#include "module/hostInterface.h"

#include <string>

// A sentence for a failed run's result code, with the code itself: the codes of the host
// interface the module uses say what went wrong, any other says that the filter failed.
std::string filterResultMessage(OSErr result);
