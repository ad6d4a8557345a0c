// The start-up message when no sound output could be opened, in the words of this platform.
#include "audio/SoundOutputMessage.h"

std::string NoSoundOutputMessage(const std::vector<std::string>& tried, bool retrying)
{
    std::string text = "No sound output: no sound server or sound device could be opened";
    if (!tried.empty()) {
        text += " (tried ";
        for (std::size_t i = 0; i < tried.size(); ++i)
            text += (i == 0 ? "" : i + 1 == tried.size() ? " and " : ", ") + tried[i];
        text += ")";
    }
    text += ".\r\nCorvane runs silently";
    text += retrying ? " and keeps trying: the sound starts by itself once an output is available."
                     : ".";
    return text;
}
