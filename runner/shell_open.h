#pragma once
// Opens a file or URL the way the shell's "open" verb does, without waiting for it:
// the installed product after a successful install, or the page it asks for.
#include <string>

// `maximised` shows the started window maximised where the system has windows.
// False when nothing could be started.
bool ShellOpen(const std::wstring& target, bool maximised = false);
