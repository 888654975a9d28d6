#pragma once
// Splits a command line into arguments the way a Windows program's start-up code does
// (CommandLineToArgvW): the program part ends at the closing quote or the first blank;
// later arguments honour double quotes, "" inside quotes, and backslashes before quotes.
#include <string>
#include <vector>

std::vector<std::wstring> SplitCommandLine(const std::wstring& commandLine);

// A switch's boolean as the package and the uninstaller take it: "true" or "false".
const wchar_t* SwitchBool(bool value);
