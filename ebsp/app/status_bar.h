// A status bar with a simple-text mode and fixed panels: in simple mode one
// text fills the bar, otherwise the panels show side by side.
#pragma once

#include <QStatusBar>
#include <QVector>

class QLabel;
class QStackedWidget;

class PanelStatusBar : public QStatusBar {
    Q_OBJECT
  public:
    // panelCount panels of the given starting widths; the last one also takes
    // whatever room is left.
    explicit PanelStatusBar(const QVector<int>& panelWidths, QWidget* parent = nullptr);

    bool simplePanel() const { return m_simplePanel; }
    void setSimplePanel(bool on);

    QString simpleText() const;
    void setSimpleText(const QString& text);

    int panelCount() const { return static_cast<int>(m_panels.size()); }
    // Out-of-range panel numbers read as empty / width 0 and are ignored on write.
    QString panelText(int panel) const;
    void setPanelText(int panel, const QString& text);
    int panelWidth(int panel) const;
    void setPanelWidth(int panel, int width);

    // The text a person sees now: the simple text or the panels joined by " | ".
    QString visibleText() const;

  private:
    bool m_simplePanel = false;
    QStackedWidget* m_stack = nullptr;
    QLabel* m_simple = nullptr;
    QVector<QLabel*> m_panels;
    QVector<int> m_widths;
};
