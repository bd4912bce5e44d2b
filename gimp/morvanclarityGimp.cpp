// morvanclarity-gimp: the GIMP 2.10 plug-in. It registers Filters > Enhance > Morvanclarity...
// and acts as the filter's host: an interactive run plays the filter module (and its window)
// over the layer's pixels; a run from a script or a batch, or with the last values, deblurs them
// with the engine directly, as the batch tool does. Every failure is returned to GIMP as an
// execution error with a sentence; the layer changes only when a run succeeds.

#include "choices/psfKernelFile.h"
#include "gimp/drawableRegion.h"
#include "gimp/moduleRun.h"
#include "gimp/procedureValues.h"
#include "gimp/regionDeblur.h"

#include <libgimp/gimp.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

constexpr const char* ProcedureName = "plug-in-morvanclarity";
constexpr int ArgumentCount = 10;

// GIMP's records take names as non-const strings that it only reads.
gchar* text(const char* literal)
{
    return const_cast<gchar*>(literal);
}

void query()
{
    static const GimpParamDef arguments[] = {
        {GIMP_PDB_INT32, text("run-mode"),
            text("The run mode { RUN-INTERACTIVE (0), RUN-NONINTERACTIVE (1), "
                 "RUN-WITH-LAST-VALS (2) }")},
        {GIMP_PDB_IMAGE, text("image"), text("Input image")},
        {GIMP_PDB_DRAWABLE, text("drawable"), text("Input drawable")},
        {GIMP_PDB_INT32, text("mode"), text("Kind of blur { OUT-OF-FOCUS (0), MOTION (1) }")},
        {GIMP_PDB_INT32, text("detail"),
            text("Level of details (1..50): the width of the out-of-focus spot; 0 estimates it "
                 "from the image")},
        {GIMP_PDB_INT32, text("method"), text("Method { PROGRESSIVE (0), SMOOTHING (1) }")},
        {GIMP_PDB_INT32, text("power"), text("Deblurring power { LOW (0), MEDIUM (1), HIGH (2) }")},
        {GIMP_PDB_INT32, text("noise"),
            text("Noise level for the smoothing method { CLEAR (0), MEDIUM (1), NOISY (2) }")},
        {GIMP_PDB_STRING, text("points"),
            text("Motion path \"X,Y;X,Y;...\" in image pixels, at least two points (motion "
                 "mode), or \"auto\" to estimate a straight one from the image; empty "
                 "otherwise")},
        {GIMP_PDB_STRING, text("psf"),
            text("A point-spread function picture to deblur with instead of the built one; "
                 "empty for none")},
    };
    gimp_install_procedure(ProcedureName, "Remove out-of-focus or motion blur",
        "Removes out-of-focus or motion blur by Richardson-Lucy deconvolution. Run "
        "interactively it opens the Morvanclarity window; from a script it deblurs with the "
        "given choices. Only the selection's bounding box is read, and the selection's mask "
        "decides how much of the result each pixel takes. Transparency is kept.",
        "Morvanclarity", "Morvanclarity", "2026", "Morvanclarity...", "RGB*, GRAY*", GIMP_PLUGIN,
        ArgumentCount, 0, arguments, nullptr);
    gimp_plugin_menu_register(ProcedureName, "<Image>/Filters/Enhance");
}

// The module lies beside the plug-in's program in its plug-in folder.
std::string modulePath()
{
    char path[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0)
        return "Morvanclarity.so";
    std::string program(path, std::size_t(length));
    return program.substr(0, program.rfind('/') + 1) + "Morvanclarity.so";
}

// GIMP's progress bar, fed only from the thread that runs the plug-in (its connection to GIMP
// is not shared), and only when the bar would move.
ProgressSink gimpProgress()
{
    struct Bar {
        std::thread::id owner = std::this_thread::get_id();
        std::atomic<int> maximum = 0;
        std::atomic<int> position = 0;
        int shown = -1;
        void show()
        {
            const int high = maximum.load();
            if (std::this_thread::get_id() != owner || high <= 0)
                return;
            const int permille = int(std::int64_t(position.load()) * 1000 / high);
            if (permille == shown)
                return;
            shown = permille;
            gimp_progress_update(std::min(permille, 1000) / 1000.0);
        }
    };
    auto bar = std::make_shared<Bar>();
    ProgressSink sink;
    sink.setRange = [bar](int, int maximum) {
        bar->maximum = maximum;
        bar->show();
    };
    sink.setPosition = [bar](int position) {
        bar->position = position;
        bar->show();
    };
    sink.step = [bar](int delta) {
        bar->position += delta;
        bar->show();
    };
    return sink;
}

bool valuesFromArguments(int count, const GimpParam* params, ProcedureValues* values)
{
    if (count != ArgumentCount)
        return true;
    *values = defaultProcedureValues();
    values->mode = params[3].data.d_int32;
    values->detail = params[4].data.d_int32;
    values->method = params[5].data.d_int32;
    values->power = params[6].data.d_int32;
    values->noise = params[7].data.d_int32;
    return storeValueText(values->points, ValuesPointsSize, params[8].data.d_string)
        || storeValueText(values->psf, ValuesPathSize, params[9].data.d_string);
}

ProcedureValues lastValues()
{
    ProcedureValues values = defaultProcedureValues();
    if (gimp_get_data_size(ProcedureName) == sizeof values)
        gimp_get_data(ProcedureName, &values);
    return values;
}

// A run without the window. Returns true with the reason in `message` when it failed.
bool runWithValues(
    std::int32_t image, DrawableRegion* region, const ProcedureValues& values, std::string* message)
{
    DeblurChoices choices;
    std::string psfPath;
    if (choicesFromValues(values, region->originX, region->originY, &choices, &psfPath, message))
        return true;
    if (!psfPath.empty()
        && readPsfKernelFile(psfPath, &choices.psf, message) != PsfFileStatus::Read)
        return true;
    gimp_progress_init("Morvanclarity: deblurring");
    const bool failed
        = deblurRegion(region->pixels.get(), region->alpha, choices, gimpProgress(), {}, message);
    gimp_progress_end();
    if (failed)
        return true;
    writeDrawableRegion(image, *region);
    gimp_set_data(ProcedureName, &values, sizeof values);
    return false;
}

GimpPDBStatusType runFilter(
    GimpRunMode mode, int count, const GimpParam* params, std::string* message)
{
    const std::int32_t image = params[1].data.d_image;
    const std::int32_t drawable = params[2].data.d_drawable;
    DrawableRegion region;
    if (readDrawableRegion(image, drawable, &region, message))
        return GIMP_PDB_EXECUTION_ERROR;
    if (mode == GIMP_RUN_INTERACTIVE) {
        const bool selection = !gimp_selection_is_empty(image);
        // The window hands back what it shows, which is the input when it closed without a
        // correction: then nothing is written, so the image gets no undo step and stays clean.
        switch (runModuleOnRegion(
            modulePath(), region.pixels.get(), region.alpha, selection, message)) {
        case ModuleRunStatus::Done:
            writeDrawableRegion(image, region);
            gimp_displays_flush();
            return GIMP_PDB_SUCCESS;
        case ModuleRunStatus::Unchanged:
            return GIMP_PDB_SUCCESS; // no undo step, the image not marked changed
        case ModuleRunStatus::Cancelled:
            return GIMP_PDB_CANCEL;
        case ModuleRunStatus::Failed:
            return GIMP_PDB_EXECUTION_ERROR;
        }
        return GIMP_PDB_EXECUTION_ERROR;
    }
    ProcedureValues values {};
    if (mode == GIMP_RUN_WITH_LAST_VALS) {
        values = lastValues();
    } else if (valuesFromArguments(count, params, &values)) {
        *message = "plug-in-morvanclarity takes run-mode, image, drawable, mode, detail, "
                   "method, power, noise, points and psf";
        return GIMP_PDB_CALLING_ERROR;
    }
    if (runWithValues(image, &region, values, message))
        return GIMP_PDB_EXECUTION_ERROR;
    if (mode != GIMP_RUN_NONINTERACTIVE)
        gimp_displays_flush();
    return GIMP_PDB_SUCCESS;
}

void run(
    const gchar* name, gint count, const GimpParam* params, gint* resultCount, GimpParam** results)
{
    static GimpParam values[2];
    static std::string message;
    *resultCount = 1;
    *results = values;
    values[0].type = GIMP_PDB_STATUS;
    message.clear();
    GimpPDBStatusType status = GIMP_PDB_CALLING_ERROR;
    if (std::strcmp(name, ProcedureName) != 0 || count < 3) {
        message = "unknown procedure or too few arguments";
    } else {
        gegl_init(nullptr, nullptr);
        status = runFilter(GimpRunMode(params[0].data.d_int32), count, params, &message);
    }
    values[0].data.d_status = status;
    if (status != GIMP_PDB_SUCCESS && !message.empty()) {
        *resultCount = 2;
        values[1].type = GIMP_PDB_STRING;
        values[1].data.d_string = text(message.c_str());
    }
}

} // namespace

const GimpPlugInInfo PLUG_IN_INFO = {nullptr, nullptr, query, run};

MAIN()
