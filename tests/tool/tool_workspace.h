#pragma once
// An ePSXe folder for the tool's tests, inside a test prefix's drive C:
// "C:\epsxe" (or another folder name) with a PLUGINS folder holding copies of
// the test plugins (each copy keeps its own .cfg and .log beside it) and, when
// wanted, "epsxe.exe".

#include <string>

namespace dravolo::test {

class ToolWorkspace {
public:
    // driveC: host path of the prefix's drive_c; folder: the folder's name there.
    explicit ToolWorkspace(const std::string& driveC, const std::string& folder = "epsxe");

    const std::string& host() const { return host_; }         // host path of the folder
    std::string windows() const { return "C:\\" + folder_; }  // the same as Windows sees it
    std::string toolPath() const { return windows() + "\\KestrineTool.exe"; }

    // Copies a built plugin into PLUGINS under name; cfg, when given, becomes
    // its side file.
    void AddPlugin(const std::string& builtPath, const std::string& name, const std::string& cfg = {}) const;
    void AddEmulator() const;  // an "epsxe.exe" to take the date from
    // Last write time of a file below the folder, at noon local time.
    void SetDate(const std::string& relative, int year, int month, int day) const;
    // What a plugin copy wrote into its log ("" when nothing).
    std::string PluginLog(const std::string& name) const;

private:
    std::string folder_, host_;
};

// Built test plugins.
std::string SharedTestPlugin(const std::string& file);  // tests/support/plugins
std::string ToolTestPlugin(const std::string& file);    // the tool's own

}  // namespace dravolo::test
