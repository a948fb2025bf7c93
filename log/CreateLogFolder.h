#pragma once
// Creation of the main log's folder, through long-path names so that deep
// folders work too.
#include <string>

// Creates `path` and every missing folder above it; true when it is a folder afterwards.
bool CreateLogFolder(const std::string& path);
