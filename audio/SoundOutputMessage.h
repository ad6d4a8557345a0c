// The start-up message when no sound output could be opened, in the words of this platform.
#pragma once

#include <string>
#include <vector>

// `tried` names the sound systems tried (may be empty); `retrying` says whether the program
// keeps trying to open an output in the background.
std::string NoSoundOutputMessage(const std::vector<std::string>& tried, bool retrying);
