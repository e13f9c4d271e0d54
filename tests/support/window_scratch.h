// What every test of the main window's behaviour starts from, with or without a toolkit: a
// scratch folder, a registry file in it, and the scripted dialogs.
#pragma once

#include "registry/registry_file.h"
#include "settings/settings.h"
#include "support/fake_dialogs.h"
#include "support/scratch_folder.h"

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace brevok::testing {

inline std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

class WindowScratch {
protected:
    WindowScratch()
        : registryPath(folder / "config/registry.reg"), registry(std::make_unique<RegistryFile>(registryPath))
    { }

    /// Stores `settings` as a previous run would have left them.
    void StoreSettings(const TSettings& settings)
    {
        RegistryFile store(registryPath);
        SaveSettings(store, settings);
    }

    /// Settings as a previous run stores them: a known compiler, the scratch folder as the
    /// working folder, everything else as given.
    TSettings KnownCompiler() const
    {
        TSettings settings;
        settings.WorkingFolder = folder.Path() + "/";
        settings.CompilerPath = "/opt/brcc32";
        settings.BatchPath = folder / "Temp.bat";
        return settings;
    }

    /// What the store holds now, as the next run would read it.
    TSettings StoredSettings()
    {
        RegistryFile store(registryPath);
        TSettings settings;
        LoadSettings(store, settings);
        return settings;
    }

    std::vector<std::string> BoxTexts() const { return dialogs.BoxTexts(); }

    ScratchFolder folder;
    std::string registryPath;
    std::unique_ptr<RegistryFile> registry;
    FakeDialogs dialogs;
};

}  // namespace brevok::testing
