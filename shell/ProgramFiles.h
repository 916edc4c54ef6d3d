// The data files the program reads from its program folder: a copy that lacks one was
// installed or unpacked incompletely, which a warning at start makes plain.
#pragma once

#include <string>
#include <vector>

namespace shell {

// The files of folder (ending with '/') that the program needs and that are not there.
std::vector<std::string> MissingProgramFiles(const std::string& folder);

// Writes "missing file: <path>" to standard error for each file of the program folder that
// is not there; returns how many were missing.
std::size_t ReportMissingProgramFiles();

} // namespace shell
