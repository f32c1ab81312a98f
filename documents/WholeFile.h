// WholeFile: writing an output file (an export, a CSV, a picture) whole or not
// at all: the bytes go to a work file beside it, are flushed and then renamed
// over the target, so a failure never leaves a file half written.
#pragma once

#include <string>
#include <string_view>

// False with one line naming the file and the reason in `error`.
bool WriteFileWhole(const std::string& path, std::string_view bytes, std::string& error);
