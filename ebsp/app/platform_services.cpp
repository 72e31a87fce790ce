// Qt implementation of the platform services.
#include "platform_services.h"

#include <QColorDialog>
#include <QDesktopServices>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

#include <chrono>

#include "user_settings.h"

bool QtPlatformServices::inputQuery(QWidget* parent, const QString& caption, const QString& prompt,
                                    QString& text) {
    bool ok = false;
    const QString answer =
        QInputDialog::getText(parent, caption, prompt, QLineEdit::Normal, text, &ok);
    if (ok) text = answer;
    return ok;
}

bool QtPlatformServices::chooseColour(QWidget* parent, QColor& colour) {
    const QColor chosen = QColorDialog::getColor(colour, parent);
    if (!chosen.isValid()) return false;  // an invalid colour is Qt's "cancelled"
    colour = chosen;
    return true;
}

quint32 QtPlatformServices::tickCount() {
    using namespace std::chrono;
    const auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    return static_cast<quint32>(static_cast<quint64>(ms));  // keeps the low 32 bits: wraps
}

bool QtPlatformServices::openUrl(const QUrl& url) {
    return QDesktopServices::openUrl(url);
}

void QtPlatformServices::showError(QWidget* parent, const QString& caption, const QString& text) {
    QMessageBox::critical(parent, caption, text);
}

QStringList QtPlatformServices::openFileNames(QWidget* parent, const QString& caption,
                                              const QString& filter) {
    return QFileDialog::getOpenFileNames(parent, caption, QString(), filter);
}

bool QtPlatformServices::chooseItem(QWidget* parent, const QString& caption, const QString& prompt,
                                    const QStringList& items, int& index) {
    bool ok = false;
    const QString chosen = QInputDialog::getItem(parent, caption, prompt, items, index, false, &ok);
    if (!ok) return false;
    index = static_cast<int>(items.indexOf(chosen));
    return index >= 0;
}

std::unique_ptr<QSettings> QtPlatformServices::userSettings() {
    return std::make_unique<QSettings>(QSettings::UserScope,
                                       QString::fromLatin1(kSettingsOrganisation),
                                       QString::fromLatin1(kSettingsApplication));
}
