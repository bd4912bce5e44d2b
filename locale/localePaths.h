#pragma once

// The two files behind the interface texts and the user's settings. Every loader takes them as
// a parameter so that tests can point them elsewhere; the defaults are where the product keeps
// them.

#include <string>

struct LocalePaths {
    std::string languageFile; // "<module folder>/Morvanclarity_loc.ini"
    std::string settingsFolder; // "<configuration folder>/MRVCLPhotoshopPlugIn"
    std::string settingsFile; // "<settingsFolder>/MRVCLPhotoshopPlugIn.txt"
};

LocalePaths defaultLocalePaths();
