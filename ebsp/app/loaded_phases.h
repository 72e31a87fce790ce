// The phases the user added from files: each file's path and data block, the
// phase read from it or why it could not be read, and their keeping in the
// user's settings so they come back at the next start.
#pragma once

#include <QSettings>
#include <QString>

#include <optional>
#include <vector>

#include "user_phase.h"

struct LoadedPhase {
    QString path;       // absolute
    QString blockName;  // the CIF data block chosen; empty: the first one, or a crystal file
    QString name;       // the phase's name (Latin-1 text of the record), kept for a file gone
    std::optional<ebsp_structure::UserPhase> phase;  // none: the file has gone or no longer loads
    QString problem;                                 // why phase is none

    bool usable() const { return phase.has_value(); }
    // The list's text: the phase's name, or the file's name before it was ever read.
    QString listName() const;
    // The list's tooltip: the file (and block), then the notes or the problem.
    QString toolTip() const;
};

// Reads a phase file (CIF or crystal file) through the structure library; the
// library's own messages are kept with the problem instead of being shown.  A
// phase whose lattice closes no cell is refused here, before any crystal set is
// built from it.  Needs the setup data for crystal files; UI thread only.
LoadedPhase readPhaseFile(const QString& path, const QString& blockName);

// Names of the structure blocks of a CIF file (empty for a crystal file).
QStringList structureBlocksOf(const QString& path);

class LoadedPhases {
  public:
    int size() const { return static_cast<int>(m_phases.size()); }
    const LoadedPhase& at(int index) const { return m_phases.at(static_cast<std::size_t>(index)); }
    // Index of the entry of this file and block, -1 when there is none.
    int find(const QString& path, const QString& blockName) const;
    // Appends phase, or replaces the entry of the same file and block; gives its index.
    int put(LoadedPhase phase);
    void remove(int index);

    // The list under the key "LoadedPhases": path, block and name of each entry.
    void save(QSettings& settings) const;
    // Reads the list kept in settings and reads each file again; a file that has
    // gone or no longer loads stays listed with its problem.
    void restore(QSettings& settings);

  private:
    std::vector<LoadedPhase> m_phases;
};
