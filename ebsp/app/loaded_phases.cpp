// Loaded phases: reading the files and keeping the list in the user's settings.
#include "loaded_phases.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <algorithm>

#include "library_messages.h"

namespace {

const QString kSettingsKey = QStringLiteral("LoadedPhases");
constexpr int kMaxKeptPhases = 1000;

// File names and messages of the structure library are UTF-8; the phase record
// holds the program's single-byte text, so a name is converted once here.
std::string latin1Name(const std::string& utf8) {
    return QString::fromStdString(utf8).toLatin1().toStdString();
}

QString fromLibrary(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

QString LoadedPhase::listName() const {
    if (!name.isEmpty()) return name;
    return QFileInfo(path).fileName();
}

QString LoadedPhase::toolTip() const {
    QString tip = path;
    if (!blockName.isEmpty()) tip += QStringLiteral(" (data block %1)").arg(blockName);
    if (!usable()) return tip + QStringLiteral("\n") + problem;
    for (const std::string& note : phase->notes)
        tip += QStringLiteral("\nNote: ") + fromLibrary(note);
    return tip;
}

QStringList structureBlocksOf(const QString& path) {
    QStringList names;
    for (const std::string& block :
         ebsp_structure::structureBlocksOfFile(QFile::encodeName(path).toStdString()))
        names << fromLibrary(block);
    return names;
}

LoadedPhase readPhaseFile(const QString& path, const QString& blockName) {
    LoadedPhase loaded;
    loaded.path = QFileInfo(path).absoluteFilePath();
    loaded.blockName = blockName;
    if (!QFileInfo::exists(loaded.path)) {
        loaded.problem = QStringLiteral("%1: no such file (moved or deleted?)").arg(loaded.path);
        return loaded;
    }
    int blockIndex = -1;
    if (!blockName.isEmpty()) {
        blockIndex = static_cast<int>(structureBlocksOf(loaded.path).indexOf(blockName));
        if (blockIndex < 0) {
            loaded.problem = QStringLiteral("%1: the file holds no structure block \"%2\" any more")
                                 .arg(loaded.path, blockName);
            return loaded;
        }
    }

    QStringList messages;
    collectLibraryMessages(&messages);
    const ebsp_structure::UserPhaseResult result =
        ebsp_structure::loadUserPhase(QFile::encodeName(loaded.path).toStdString(), blockIndex);
    collectLibraryMessages(nullptr);

    if (!result.ok) {
        loaded.problem = fromLibrary(result.error);
        messages.removeDuplicates();
        if (!messages.isEmpty()) loaded.problem += QStringLiteral("\n") + messages.join('\n');
        return loaded;
    }
    const TPhaseRecord& record = result.phase.record;
    if (!ebsp_structure::latticeIsUsable(record.A, record.B, record.C, record.Alpha, record.Beta,
                                         record.Gamma)) {
        loaded.problem = QStringLiteral(
                             "%1: the lattice values a=%2 b=%3 c=%4 alpha=%5 beta=%6 gamma=%7 "
                             "close no cell")
                             .arg(loaded.path)
                             .arg(double(record.A))
                             .arg(double(record.B))
                             .arg(double(record.C))
                             .arg(double(record.Alpha))
                             .arg(double(record.Beta))
                             .arg(double(record.Gamma));
        return loaded;
    }
    loaded.phase = result.phase;
    loaded.phase->record.Name = latin1Name(record.Name);
    loaded.name = QString::fromLatin1(loaded.phase->record.Name);
    return loaded;
}

int LoadedPhases::find(const QString& path, const QString& blockName) const {
    for (std::size_t i = 0; i < m_phases.size(); ++i) {
        if (m_phases[i].path == path && m_phases[i].blockName == blockName)
            return static_cast<int>(i);
    }
    return -1;
}

int LoadedPhases::put(LoadedPhase phase) {
    const int existing = find(phase.path, phase.blockName);
    // A file that no longer reads keeps the name it was listed under.
    if (phase.name.isEmpty() && existing >= 0) phase.name = at(existing).name;
    if (existing >= 0) {
        m_phases[static_cast<std::size_t>(existing)] = std::move(phase);
        return existing;
    }
    m_phases.push_back(std::move(phase));
    return size() - 1;
}

void LoadedPhases::remove(int index) {
    if (index < 0 || index >= size()) return;
    m_phases.erase(m_phases.begin() + index);
}

void LoadedPhases::save(QSettings& settings) const {
    settings.remove(kSettingsKey);
    settings.beginWriteArray(kSettingsKey, size());
    for (int i = 0; i < size(); ++i) {
        settings.setArrayIndex(i);
        settings.setValue(QStringLiteral("path"), at(i).path);
        settings.setValue(QStringLiteral("block"), at(i).blockName);
        settings.setValue(QStringLiteral("name"), at(i).name);
    }
    settings.endArray();
    settings.sync();
}

void LoadedPhases::restore(QSettings& settings) {
    m_phases.clear();
    // A damaged settings file may claim any size.
    const int count = std::min(settings.beginReadArray(kSettingsKey), kMaxKeptPhases);
    std::vector<LoadedPhase> kept;
    for (int i = 0; i < count; ++i) {
        settings.setArrayIndex(i);
        LoadedPhase entry;
        entry.path = settings.value(QStringLiteral("path")).toString();
        entry.blockName = settings.value(QStringLiteral("block")).toString();
        entry.name = settings.value(QStringLiteral("name")).toString();
        if (!entry.path.isEmpty()) kept.push_back(std::move(entry));
    }
    settings.endArray();
    // The files are read after the settings are closed: reading may take a while.
    for (const LoadedPhase& entry : kept) {
        LoadedPhase loaded = readPhaseFile(entry.path, entry.blockName);
        if (!loaded.usable()) loaded.name = entry.name;
        put(std::move(loaded));
    }
}
