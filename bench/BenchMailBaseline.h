#pragma once
// Baselines of the mail workloads in plain C++ (no Qt: GMime's glib headers use "signals").

#include <string>
#include <vector>

namespace bench {

// Every file parsed by GMime into a message, as a plain program would, and dropped.
void plainGMimeParse(const std::vector<std::string>& files);

// The body text of a file, parsed by GMime: the text of the message's main body part ("" when
// it is not a text part), as a plain program would read it.
std::string plainGMimeBody(const std::string& file);

// The program started with the arguments and the bytes on its standard input, waited for:
// posix_spawn, a pipe and waitpid. Returns the exit status.
int plainSpawn(const std::string& program, const std::vector<std::string>& args, const std::string& input);

} // namespace bench
