#pragma once
// The test packages' script: one command per line, run in order; the process exits 0
// at the end of the script unless a command ends it earlier.
//   out TEXT          TEXT and "\r\n" on standard output, in one write
//   raw TEXT          TEXT with \n \r \t \\ \xHH escapes decoded, in one write, no line end
//   err TEXT          TEXT and "\n" on standard error
//   flood-out N       N bytes of lines that match no protocol key, on standard output
//   flood-err N       the same on standard error
//   sleep MS          pause
//   hang              pause for ever
//   crash             end abnormally
//   exit CODE         end with the exit code
//   heir FILE         start this program again with the script FILE on the same
//                     standard handles, without waiting for it
//   args FILE         write the raw command line to FILE
//   argv FILE         write the arguments after the program, one per line, to FILE
// Blank lines and lines starting with "#" are skipped; unknown commands end the
// process with exit code 99.
#include <string>
#include <vector>

namespace Package {

constexpr int kUnknownCommandExitCode = 99;

// Runs the script text; returns the exit code.
int RunScript(const std::string& script, const std::string& rawCommandLine, const std::vector<std::string>& args);

}  // namespace Package
