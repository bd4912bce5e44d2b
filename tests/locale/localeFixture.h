#pragma once

// A temporary configuration folder (through XDG_CONFIG_HOME) and a language file path inside it,
// so that every test starts from a first run.

#include "locale/localePaths.h"
#include "tests/support/scopedEnvironment.h"
#include "tests/support/temporaryFolder.h"

#include <filesystem>
#include <gtest/gtest.h>

class LocaleFixture : public testing::Test {
protected:
    LocaleFixture()
        : configHome("XDG_CONFIG_HOME", folder.path().c_str())
    {
        paths = defaultLocalePaths();
        paths.languageFile = folder.file("Morvanclarity_loc.ini");
    }

    void writeLanguageFile(const std::string& text) { writeFileBytes(paths.languageFile, text); }
    void writeSettingsFile(const std::string& text)
    {
        std::filesystem::create_directories(paths.settingsFolder);
        writeFileBytes(paths.settingsFile, text);
    }

    TemporaryFolder folder;
    ScopedEnvironment configHome;
    LocalePaths paths;
};
