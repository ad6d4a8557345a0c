// The names and value syntax that describe a sound: the export's options and the keys of a
// .corvane file are the same table, so a setting added here is both at once.
#pragma once

#include "app/export/CExportOptions.h"

#include <QString>

#include <optional>
#include <vector>

class CSoundVocabulary {
public:
    struct Key {
        QString name;     // option and file key: "cutoff", "lfo2", "route.pan"
        QString accepted; // what the value may be, for messages and help
        // Reads `text` into `o`; false when the text is not an accepted value.
        bool (*parse)(const QString& text, CExportOptions& o, int index);
        // The value in `o` as text, or nothing when `o` leaves it unset.
        std::optional<QString> (*format)(const CExportOptions& o, int index);
        int index = 0; // the LFO or route target a shared parser works on
    };

    // Every key, in the order a sound is applied (generator, filter, channel, LFOs, routes).
    static const std::vector<Key>& Keys();
    // The key named `name` (compared without regard to case), or null.
    static const Key* Find(const QString& name);

    // The route targets' names, in CExportOptions::RouteTarget order.
    static const QStringList& RouteTargetNames();
    // Names of the list values, in list order (the command line's help uses them).
    static const QStringList& NoiseNames();
    static const QStringList& FilterNames();
    static const QStringList& ShapeNames();

    // Shortest decimal text for `value` that reads back as the same float where `value` is
    // one, else as the same double.
    static QString ShortNumber(double value);
};
