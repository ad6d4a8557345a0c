// What the desktop's player controls (media keys, the sound menu) act on in the program.
#pragma once

#include <QString>

namespace corvane {
class IMediaPlayerHost {
public:
    virtual ~IMediaPlayerHost() = default;

    virtual bool IsPaused() const = 0;
    // true fades the sound out and holds silence, false fades it back in; a request for the
    // state already reached or under way changes nothing.
    virtual void SetPaused(bool paused) = 0;
    // The name a player shows as the title: the document's, or the ready sound's.
    virtual QString Title() const = 0;
    // Brings the main window to the front, restoring it when minimised.
    virtual void Raise() = 0;
    // Ends the program the way File > Exit does. May return before the program ends.
    virtual void Quit() = 0;
};
} // namespace corvane
