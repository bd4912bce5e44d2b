#include "gimp/moduleRun.h"

#include "gimp/regionPixels.h"

ModuleRunStatus runModuleOnRegion(const std::string& modulePath, ImageBuffer* region, bool alpha,
    bool selection, std::string* message)
{
    HostImage image;
    if (hostImageOf(*region, &image)) {
        *message = "not enough memory for the image";
        return ModuleRunStatus::Failed;
    }
    const ModuleRunStatus status = runModuleWindow(modulePath, &image, selection, message);
    if (status == ModuleRunStatus::Done)
        putHostColour(region, alpha, image);
    return status;
}
