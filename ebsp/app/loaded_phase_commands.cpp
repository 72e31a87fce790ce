// The main window's phases loaded from files: the phase list's context menu,
// dropped files, the list items below the built-in phases and their keeping in
// the user's settings.
#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QTimer>

#include "Unit1.h"
#include "loaded_phases.h"

namespace {

const QString kAddCaption = QStringLiteral("Add phase from file");

QStringList localFiles(const QMimeData* data) {
    QStringList paths;
    if (!data || !data->hasUrls()) return paths;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile()) paths << url.toLocalFile();
    }
    return paths;
}

}  // namespace

void TForm1::createPhaseListMenu() {
    m_loadedPhases = std::make_unique<LoadedPhases>();
    PopupMenu3 = new QMenu(this);
    AddPhaseFromFile1 = PopupMenu3->addAction(QStringLiteral("Add phase from file..."));
    AddPhaseFromFile1->setStatusTip(
        QStringLiteral("Add a phase from a structure file (CIF) or a crystal file"));
    AddPhaseFromFile1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    AddPhaseFromFile1->setShortcutContext(Qt::WindowShortcut);
    addAction(AddPhaseFromFile1);  // the shortcut works with the menu closed
    RemovePhase1 = PopupMenu3->addAction(QStringLiteral("Remove phase"));
    RemovePhase1->setStatusTip(QStringLiteral("Remove the phase loaded from a file from the list"));
    connect(AddPhaseFromFile1, &QAction::triggered, this, &TForm1::AddPhaseFromFile1Click);
    connect(RemovePhase1, &QAction::triggered, this, &TForm1::RemovePhase1Click);
    connect(PopupMenu3, &QMenu::hovered, this,
            [this](QAction* action) { DisplayHint(action->statusTip()); });

    ListBox1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ListBox1, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        const QListWidgetItem* item = ListBox1->itemAt(pos);
        PopupMenu3Popup(item ? ListBox1->row(item) : SelectedIndex());
        PopupMenu3->popup(ListBox1->viewport()->mapToGlobal(pos));
    });
    setAcceptDrops(true);
}

void TForm1::restoreLoadedPhases() {
    m_builtInPhaseCount = ListBox1->count();
    const std::unique_ptr<QSettings> settings = m_services->userSettings();
    m_loadedPhases->restore(*settings);
    for (int i = 0; i < m_loadedPhases->size(); ++i)
        showLoadedPhaseItem(i);
}

void TForm1::saveLoadedPhases() {
    const std::unique_ptr<QSettings> settings = m_services->userSettings();
    m_loadedPhases->save(*settings);
}

void TForm1::showLoadedPhaseItem(int index) {
    const LoadedPhase& loaded = m_loadedPhases->at(index);
    const int row = m_builtInPhaseCount + index;
    QListWidgetItem* item = ListBox1->item(row);
    if (!item) {
        item = new QListWidgetItem;
        ListBox1->insertItem(row, item);
    }
    item->setText(loaded.listName());
    item->setToolTip(loaded.toolTip());
    QFont font = ListBox1->font();
    font.setItalic(true);
    item->setFont(font);
    // Greyed but still selectable, so the reason can be read and the entry removed.
    item->setForeground(loaded.usable()
                            ? ListBox1->palette().brush(QPalette::Text)
                            : ListBox1->palette().brush(QPalette::Disabled, QPalette::Text));
}

void TForm1::selectRowByCode(int row) {
    m_listSelectedByCode = true;
    ListBox1->setCurrentRow(row);
    m_listSelectedByCode = false;
    ListBox1Click();
}

int32_t TForm1::buildSelectedPhase() {
    const int row = SelectedIndex();
    const int index = row - m_builtInPhaseCount;
    if (row < 0 || index < 0 || index >= m_loadedPhases->size())
        return LaueIndexOfCode(CurrentPhase.SpaceGroupCode);
    const LoadedPhase& loaded = m_loadedPhases->at(index);
    if (!loaded.usable()) {
        // The empty record stays: the views show nothing, the label says why.
        Label1->setText(QStringLiteral("Phase=") + loaded.listName() + QStringLiteral("\r\n") +
                        loaded.problem + QStringLiteral("\r\n"));
        return -1;
    }
    CurrentPhase = loaded.phase->record;
    return loaded.phase->laueGroup;
}

int TForm1::nextSpinRow() const {
    const int count = ListBox1->count();
    const int selected = SelectedIndex();
    for (int step = 1; step <= count; ++step) {
        const int row = (selected + step) % count;
        const int index = row - m_builtInPhaseCount;
        if (index < 0 || index >= m_loadedPhases->size() || m_loadedPhases->at(index).usable())
            return row;
    }
    return (selected + 1) % count;
}

void TForm1::AddPhaseFromFile1Click() {
    StopSpinCycle();
    const QStringList paths = m_services->openFileNames(
        this, kAddCaption,
        QStringLiteral("Structure and crystal files (*.cif *.CIF *.cry *.CRY);;All files (*)"));
    AddPhaseFiles(paths);
}

void TForm1::AddPhaseFiles(const QStringList& paths) {
    int added = -1;
    for (const QString& path : paths) {
        QString blockName;
        const QStringList blocks = structureBlocksOf(path);
        if (blocks.size() > 1) {
            int chosen = 0;
            if (!m_services->chooseItem(
                    this, kAddCaption,
                    QStringLiteral("%1 holds several structures; add which one?")
                        .arg(QFileInfo(path).fileName()),
                    blocks, chosen) ||
                chosen < 0 || chosen >= blocks.size())
                continue;
            blockName = blocks.at(chosen);
        }
        LoadedPhase loaded = readPhaseFile(path, blockName);
        if (!loaded.usable()) {
            m_services->showError(this, kAddCaption,
                                  QStringLiteral("No phase was added from %1:\n\n%2")
                                      .arg(loaded.path, loaded.problem));
            continue;
        }
        added = m_loadedPhases->put(std::move(loaded));
        showLoadedPhaseItem(added);
    }
    if (added < 0) return;
    saveLoadedPhases();
    selectRowByCode(m_builtInPhaseCount + added);
}

void TForm1::PopupMenu3Popup(int row) {
    StopSpinCycle();
    m_phaseMenuRow = row;
    const int index = row - m_builtInPhaseCount;
    RemovePhase1->setEnabled(row >= 0 && index >= 0 && index < m_loadedPhases->size());
}

void TForm1::RemovePhase1Click() {
    const int row = m_phaseMenuRow >= 0 ? m_phaseMenuRow : SelectedIndex();
    m_phaseMenuRow = -1;
    const int index = row - m_builtInPhaseCount;
    if (row < 0 || index < 0 || index >= m_loadedPhases->size()) return;
    const bool wasSelected = row == SelectedIndex();
    m_listSelectedByCode = true;
    delete ListBox1->takeItem(row);
    m_listSelectedByCode = false;
    m_loadedPhases->remove(index);
    saveLoadedPhases();
    // The phase shown goes with its entry: the one above it is shown instead.
    if (wasSelected) selectRowByCode(row - 1);
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
    if (localFiles(event->mimeData()).isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event) {
    const QStringList paths = localFiles(event->mimeData());
    if (paths.isEmpty()) return;
    event->acceptProposedAction();
    // Dialogs may follow: they run after the drop has ended, not inside it.
    QTimer::singleShot(0, this, [this, paths] { AddPhaseFiles(paths); });
}
