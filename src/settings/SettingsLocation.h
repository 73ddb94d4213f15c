// Where the settings files of the program live.
//
// A copy of the program run from a folder of its own (or from a USB stick)
// keeps its settings files next to its executable. An installed program (one
// under /usr, /opt or Program Files) never writes there, nor does a copy in a
// folder it cannot write, so its files live in the user's configuration directory of the
// program instead, with the same names, layout and rules; until a file exists
// there, its first contents are read from the file next to the executable, so
// the values kept there carry over.
#pragma once

#include <QString>

namespace przenosnik {

struct SettingsPlaces
{
    QString programDirectory; // the directory of the program's executable
    QString configDirectory; // the user's configuration directory of the program; empty without a usable home
    bool installed = false;  // the program lies under a system prefix: never beside it

    // The running program's places: its executable's directory, whether that
    // is an installation, and the user's settings folder of the program.
    static SettingsPlaces standard();
};

struct SettingsLocation
{
    QString path;     // where the file is written; empty when it cannot be kept anywhere
    QString readPath; // where it is read from when its store is created
    bool inConfigDirectory = false;
};

// Beside the program when its directory can be written, else in the user's
// configuration directory; with neither, nowhere (the file is only read).
SettingsLocation locateSettingsFile(const SettingsPlaces& places, const QString& configuredName);

// Says once, on standard error, that the settings will not be saved.
void warnSettingsNotSaved(const QString& programDirectory);

// True when settings files can be kept in the directory: its permission bits
// let the current user write into it, and a file can really be created there.
// Both are asked because either alone misleads: the super-user may write
// wherever the bits forbid, and a read-only medium refuses writes the bits allow.
bool canKeepSettingsIn(const QString& directory);

} // namespace przenosnik
