#pragma once

#include <string>

// The system's text for an errno value, always in English: once the GUI has
// called setlocale(), plain strerror() would follow the user's language.
std::string ErrnoText(int error);
