// Simple-text and panel modes of the main window's status bar.
#include "status_bar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QStackedWidget>

namespace {

QLabel* makeSunkenLabel(QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setFrameShape(QFrame::StyledPanel);
    label->setFrameShadow(QFrame::Sunken);
    label->setTextFormat(Qt::PlainText);
    label->setContentsMargins(1, 0, 1, 0);
    // Long texts must not widen the window.
    label->setMinimumWidth(0);
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    return label;
}

}  // namespace

PanelStatusBar::PanelStatusBar(const QVector<int>& panelWidths, QWidget* parent)
    : QStatusBar(parent), m_widths(panelWidths) {
    m_stack = new QStackedWidget(this);
    m_simple = makeSunkenLabel(m_stack);
    m_simple->setFrameShape(QFrame::NoFrame);
    m_stack->addWidget(m_simple);

    auto* panelPage = new QWidget(m_stack);
    auto* row = new QHBoxLayout(panelPage);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    for (int i = 0; i < m_widths.size(); ++i) {
        QLabel* panel = makeSunkenLabel(panelPage);
        m_panels.push_back(panel);
        row->addWidget(panel, i + 1 == m_widths.size() ? 1 : 0);
    }
    m_stack->addWidget(panelPage);
    for (int i = 0; i < m_widths.size(); ++i)
        setPanelWidth(i, m_widths[i]);

    m_stack->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    // The last panel is narrow at the window's usual width: it gets the room a
    // size grip would take.
    setSizeGripEnabled(false);
    // The panels draw their own frames; no second frame around the whole row.
    setStyleSheet(QStringLiteral("QStatusBar::item { border: none; }"));
    addWidget(m_stack, 1);
    m_stack->setCurrentIndex(1);
}

void PanelStatusBar::setSimplePanel(bool on) {
    m_simplePanel = on;
    m_stack->setCurrentIndex(on ? 0 : 1);
}

QString PanelStatusBar::simpleText() const {
    return m_simple->text();
}

void PanelStatusBar::setSimpleText(const QString& text) {
    m_simple->setText(text);
}

QString PanelStatusBar::panelText(int panel) const {
    if (panel < 0 || panel >= panelCount()) return {};
    return m_panels[panel]->text();
}

void PanelStatusBar::setPanelText(int panel, const QString& text) {
    if (panel < 0 || panel >= panelCount()) return;
    m_panels[panel]->setText(text);
}

int PanelStatusBar::panelWidth(int panel) const {
    if (panel < 0 || panel >= panelCount()) return 0;
    return m_widths[panel];
}

void PanelStatusBar::setPanelWidth(int panel, int width) {
    if (panel < 0 || panel >= panelCount()) return;
    m_widths[panel] = width;
    QLabel* label = m_panels[panel];
    if (panel + 1 == panelCount()) {
        label->setMinimumWidth(qMax(0, width));  // the last panel stretches beyond it
    } else {
        // A fixed policy, not Ignored: the row's layout must reserve the width.
        label->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
        label->setFixedWidth(qMax(0, width));
    }
}

QString PanelStatusBar::visibleText() const {
    if (m_simplePanel) return simpleText();
    QStringList parts;
    for (const QLabel* panel : m_panels)
        parts << panel->text();
    return parts.join(QStringLiteral(" | "));
}
