// The platform services the main window needs (modal dialogs, tick count, web
// address, message boxes) behind one seam, so tests can answer them.
#pragma once

#include <QColor>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <memory>

class QWidget;

class PlatformServices {
  public:
    virtual ~PlatformServices() = default;

    // Modal text input with caption, prompt and initial text; false when the
    // user cancelled (text is then unchanged).
    virtual bool inputQuery(QWidget* parent, const QString& caption, const QString& prompt,
                            QString& text) = 0;
    // Colour choice preset to colour; false when cancelled.
    virtual bool chooseColour(QWidget* parent, QColor& colour) = 0;
    // Milliseconds since an arbitrary start, wrapping at 2^32 like a system tick.
    virtual quint32 tickCount() = 0;
    // Hands the address to the system's default handler; false when that failed.
    virtual bool openUrl(const QUrl& url) = 0;
    // Modal message box with an error icon.
    virtual void showError(QWidget* parent, const QString& caption, const QString& text) = 0;
    // Modal choice of files to open; empty when cancelled.
    virtual QStringList openFileNames(QWidget* parent, const QString& caption,
                                      const QString& filter) = 0;
    // Modal choice of one of items, preset to index; false when cancelled.
    virtual bool chooseItem(QWidget* parent, const QString& caption, const QString& prompt,
                            const QStringList& items, int& index) = 0;
    // The user's own settings (never the machine-wide key).
    virtual std::unique_ptr<QSettings> userSettings() = 0;
};

// The real program's services: Qt's dialogs, a monotonic clock, QDesktopServices and
// the user-scope settings.
class QtPlatformServices final : public PlatformServices {
  public:
    bool inputQuery(QWidget* parent, const QString& caption, const QString& prompt,
                    QString& text) override;
    bool chooseColour(QWidget* parent, QColor& colour) override;
    quint32 tickCount() override;
    bool openUrl(const QUrl& url) override;
    void showError(QWidget* parent, const QString& caption, const QString& text) override;
    QStringList openFileNames(QWidget* parent, const QString& caption,
                              const QString& filter) override;
    bool chooseItem(QWidget* parent, const QString& caption, const QString& prompt,
                    const QStringList& items, int& index) override;
    std::unique_ptr<QSettings> userSettings() override;
};
