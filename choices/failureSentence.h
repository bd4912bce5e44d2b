#pragma once

// Plain sentences for the failures that runs without a window (the batch tool, the GIMP
// plug-in's procedure) word alike. Choices out of range, too small a picture and a stop are
// each front end's own to word.

#include "choices/deblurRun.h"

#include <string>

// The sentence for a NoPathFound, KernelNotBuilt, KernelTooLarge, OutOfMemory or TilesNotDone
// outcome; empty for any other.
std::string jobFailureSentence(const DeblurOutcome& outcome);
