#include "cli/folderCommand.h"

#include "cli/deblurCommand.h"
#include "pictureFiles/photoFile.h"
#include "platform/memoryStatus.h"

#include <QImageReader>
#include <algorithm>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

// A stop request ends the whole run; any other status is one photo's, and the worst counts.
bool isStopStatus(int status)
{
    return status > 128;
}

// Bytes a job on the photo may take at its peak: about 40 a pixel (the picture, its planes, the
// result and the tiles' canvases), and the program itself.
long long jobBytes(const std::string& path)
{
    const QSize size = QImageReader(QString::fromLocal8Bit(path.c_str())).size();
    const long long pixels = size.isValid() ? 1LL * size.width() * size.height() : 12000000LL;
    return pixels * 40 + (100LL << 20);
}

// As many side by side as asked, as the memory available holds for the largest photo, and at
// least one.
int jobsThatFit(const CliOptions& options)
{
    if (options.jobs <= 1)
        return 1;
    long long largest = 0;
    for (const std::string& input : options.inputs)
        largest = std::max(largest, jobBytes(input));
    const long long available = availableMemoryBytes();
    const long long fit = available > 0 ? available / largest : options.jobs;
    return int(std::clamp<long long>(fit, 1, options.jobs));
}

// Where each photo goes, decided before any work.
struct FolderPlan {
    std::vector<std::string> outputs;
    std::vector<bool> renamed; // its usual name is another photo's: a number was added
};

bool sameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Two photos whose outputs would have one name (x.jpg from two folders, a.png beside a.gif) get
// distinct names, the later ones NAME + suffix + "-2" and so on. An output that is one of the
// photos to deblur (its own, as with --suffix "" in the photos' folder, or another's) would be
// replaced before or after it is read: the run is refused. Returns true with a sentence then.
bool planOutputs(const CliOptions& options, FolderPlan* plan, std::string* message)
{
    std::vector<struct stat> inputs;
    for (const std::string& input : options.inputs) {
        struct stat status { };
        if (::stat(input.c_str(), &status) == 0)
            inputs.push_back(status);
    }
    std::set<std::string> taken;
    for (const std::string& input : options.inputs) {
        std::string output = outputPhotoPath(input, options.outputFolder, options.suffix);
        bool renamed = false;
        for (int number = 2; taken.count(output) != 0; ++number) {
            output = outputPhotoPath(
                input, options.outputFolder, options.suffix + "-" + std::to_string(number));
            renamed = true;
        }
        struct stat status { };
        if (::stat(output.c_str(), &status) == 0) {
            for (const struct stat& photo : inputs) {
                if (sameFile(status, photo)) {
                    *message = output
                        + " is one of the photos to deblur and would be replaced; "
                          "choose another --output-dir or --suffix";
                    return true;
                }
            }
        }
        taken.insert(output);
        plan->outputs.push_back(output);
        plan->renamed.push_back(renamed);
    }
    return false;
}

CliOptions photoOptions(const CliOptions& options, const FolderPlan& plan, std::size_t index)
{
    CliOptions photo = options;
    photo.input = options.inputs[index];
    photo.output = plan.outputs[index];
    return photo;
}

void announce(const CliOptions& options, const FolderPlan& plan, std::size_t index)
{
    if (options.quiet)
        return;
    std::fprintf(stderr, "Photo %zu of %zu: %s", index + 1, options.inputs.size(),
        options.inputs[index].c_str());
    if (plan.renamed[index])
        std::fprintf(stderr, " (written as %s: another photo has its usual name)",
            plan.outputs[index].c_str());
    std::fprintf(stderr, "\n");
}

int oneAfterAnother(const CliOptions& options, const FolderPlan& plan)
{
    int worst = ExitSuccess;
    for (std::size_t i = 0; i < options.inputs.size(); ++i) {
        if (const int stopped = pendingStopStatus())
            return stopped;
        announce(options, plan, i);
        const int status = runDeblurCommand(photoOptions(options, plan, i));
        // The writer ignores the stop signals once a photo is as good as written: from here on
        // they stop the run again.
        catchStopSignals();
        if (isStopStatus(status))
            return status;
        worst = std::max(worst, status);
    }
    return pendingStopStatus() != 0 ? pendingStopStatus() : worst;
}

// Each photo in a process of its own, at most `jobs` at once. A stop request, whether it reached
// the whole terminal's process group or only this process (kill, a shutdown), is passed on to
// every running photo, which stops with nothing written, and no new one starts.
int sideBySide(const CliOptions& options, const FolderPlan& plan, int jobs)
{
    std::map<pid_t, std::size_t> running;
    int worst = ExitSuccess;
    int stopped = 0;
    std::size_t next = 0;
    std::size_t done = 0;
    bool passedOn = false;
    const auto collect = [&] {
        int status = 0;
        pid_t pid = 0;
        // Polled rather than waited for: a stop's handler does not interrupt a wait.
        while ((pid = ::waitpid(-1, &status, WNOHANG)) == 0) {
            if (const int stop = pendingStopStatus(); stop != 0 && !passedOn) {
                for (const auto& [child, index] : running)
                    ::kill(child, stop - 128);
                passedOn = true;
            }
            ::usleep(10'000);
        }
        if (pid < 0)
            return;
        running.erase(pid);
        ++done;
        const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        if (isStopStatus(code))
            stopped = code;
        else
            worst = std::max(worst, code);
        if (!options.quiet)
            std::fprintf(stderr, "%zu of %zu photos done\n", done, options.inputs.size());
    };
    while (next < options.inputs.size() || !running.empty()) {
        if (pendingStopStatus() != 0 || stopped != 0)
            next = options.inputs.size();
        if (next < options.inputs.size() && int(running.size()) < jobs) {
            announce(options, plan, next);
            std::fflush(nullptr);
            const pid_t pid = ::fork();
            if (pid == 0) {
                CliOptions photo = photoOptions(options, plan, next);
                photo.quiet = true; // several bars at once would garble the terminal
                const int status = runDeblurCommand(photo);
                std::fflush(nullptr);
                ::_exit(status);
            }
            if (pid < 0) {
                std::fprintf(stderr, "morvanclarity: cannot start a job for %s\n",
                    options.inputs[next].c_str());
                worst = std::max(worst, int(ExitJobFailed));
            } else {
                running[pid] = next;
            }
            ++next;
            continue;
        }
        collect();
    }
    if (stopped != 0)
        return stopped;
    return pendingStopStatus() != 0 ? pendingStopStatus() : worst;
}

} // namespace

int runFolderCommand(const CliOptions& options)
{
    struct stat status { };
    if (::stat(options.outputFolder.c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) {
        std::fprintf(stderr, "morvanclarity: %s: the output folder does not exist\n",
            options.outputFolder.c_str());
        return ExitBadOutput;
    }
    FolderPlan plan;
    std::string message;
    if (planOutputs(options, &plan, &message)) {
        std::fprintf(stderr, "morvanclarity: %s; nothing was written\n", message.c_str());
        return ExitUsage;
    }
    catchStopSignals();
    const int jobs = jobsThatFit(options);
    const int result = jobs > 1 ? sideBySide(options, plan, jobs) : oneAfterAnother(options, plan);
    if (!options.quiet && !isStopStatus(result))
        std::fprintf(stderr, "%zu photos, exit status %d\n", options.inputs.size(), result);
    return result;
}
