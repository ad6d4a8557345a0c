// The ready-made sounds: .corvane files in the installed share/corvane/sounds beside the
// program, or in the source tree when the program runs from its build folder.
#pragma once

#include <QString>
#include <QStringList>

class CSoundLibrary {
public:
    // Uses the first of `folders` that exists.
    explicit CSoundLibrary(const QStringList& folders = DefaultFolders());

    // <program folder>/../share/corvane/sounds, then the source tree's res/sounds.
    static QStringList DefaultFolders();
    // The name a person picks from a menu for a file stem: "rain-on-a-roof" -> "Rain on a Roof".
    static QString NameOf(const QString& fileStem);

    QString Folder() const { return m_folder; } // empty when no folder exists
    // Menu names of every sound, sorted without regard to case.
    QStringList Names() const;
    // The file of the sound called `name`, given as its menu name or its file stem, without
    // regard to case; empty when there is none.
    QString PathOf(const QString& name) const;

private:
    QStringList Stems() const;

    QString m_folder;
};
