#include "hostSide/filterResult.h"

namespace {

const char* knownMeaning(OSErr result)
{
    switch (result) {
    case userCanceledErr:
        return "the filter was cancelled";
    case memFullErr:
        return "the filter ran out of memory";
    case filterBadParameters:
        return "the filter could not find the parameters the host keeps for it";
    case filterBadMode:
        return "the filter does not handle this picture's size, planes or depth";
    case errPlugInHostInsufficient:
        return "the filter needs something this host does not offer";
    default:
        return nullptr;
    }
}

} // namespace

std::string filterResultMessage(OSErr result)
{
    const std::string code = std::to_string(result);
    if (const char* meaning = knownMeaning(result))
        return std::string(meaning) + " (error " + code + ")";
    return "the filter failed with error " + code;
}
