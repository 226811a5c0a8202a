#pragma once

#include <string>

// The length of a WAV file in seconds, or a negative value when the file cannot be read as one.
double wavFileLength(const std::string& utf8Path);
