#pragma once
// The engine's commands. Each takes the arguments after its name and returns the
// process exit code.
#include <string>
#include <vector>

using EngineArgs = std::vector<std::wstring>;

int RunConfigCommand(const EngineArgs& args);
int RunDoctorCommand(const EngineArgs& args);
int RunReportCommand(const EngineArgs& args);
int RunDownloadCommand(const EngineArgs& args);
int RunInstallCommand(const EngineArgs& args);
