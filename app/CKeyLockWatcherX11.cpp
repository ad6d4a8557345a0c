// Reads the lock-key states from the X server; kept apart because X11's macros clash with Qt's names.
#include "app/CKeyLockWatcher.h"

#include <QGuiApplication>

#include <X11/XKBlib.h>

namespace corvane {
std::optional<KeyLocks> CKeyLockWatcher::QueryX11()
{
    auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (!gui)
        return std::nullopt;
    auto* x11 = gui->nativeInterface<QNativeInterface::QX11Application>();
    Display* display = x11 ? x11->display() : nullptr;
    if (!display)
        return std::nullopt;
    const auto lit = [display](const char* name) {
        Bool on = False;
        const Atom atom = XInternAtom(display, name, True);
        if (atom != None)
            XkbGetNamedIndicator(display, atom, nullptr, &on, nullptr, nullptr);
        return on == True;
    };
    return KeyLocks{lit("Caps Lock"), lit("Num Lock"), lit("Scroll Lock")};
}
} // namespace corvane
