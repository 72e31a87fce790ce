// The platform services the main window needs (modal dialogs, tick count, web
// address, message boxes) behind one seam, so tests can answer them.
#pragma once

#include <QColor>
#include <QString>
#include <QUrl>

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
};

// The real program's services: Qt's dialogs, a monotonic clock and QDesktopServices.
class QtPlatformServices final : public PlatformServices {
  public:
    bool inputQuery(QWidget* parent, const QString& caption, const QString& prompt,
                    QString& text) override;
    bool chooseColour(QWidget* parent, QColor& colour) override;
    quint32 tickCount() override;
    bool openUrl(const QUrl& url) override;
    void showError(QWidget* parent, const QString& caption, const QString& text) override;
};
