#include "winsupport/CTooltip.h"

#include "winsupport/TooltipWindow.h"

CTooltip::~CTooltip() {
    Destroy();
}

bool CTooltip::Create(QWidget* parent) {
    Destroy();
    if (!parent)
        return false;
    m_window = new TooltipWindow(parent, {m_style == 1, m_centered, m_visibleTime, m_delayTime});
    m_window->setText(m_tipText);
    if (!m_title.isEmpty() || m_icon != 0)
        m_window->setTitle(m_icon, m_title);
    if (m_foreColor != 0)
        m_window->setTextColor(m_foreColor);
    if (m_backColor != 0)
        m_window->setBackColor(m_backColor);
    return true;
}

TooltipWindow* CTooltip::window() const {
    return m_window;
}

void CTooltip::Destroy() {
    // The tip goes at once, as callers of Destroy expect; its parent widget, when it has one, would only
    // take it along later.
    delete m_window.data();
    m_window = nullptr;
}

// A tip that exists takes a new title only together with an icon: an empty title or no icon leaves it as is.
void CTooltip::updateTitle() {
    if (m_window && !m_title.isEmpty() && m_icon != 0)
        m_window->setTitle(m_icon, m_title);
}

void CTooltip::setIcon(int icon) {
    m_icon = icon;
    updateTitle();
}

void CTooltip::setTitle(const QString& title) {
    m_title = title;
    updateTitle();
}

void CTooltip::setForeColor(quint32 color) {
    m_foreColor = color;
    if (m_window)
        m_window->setTextColor(color);
}

void CTooltip::setBackColor(quint32 color) {
    m_backColor = color;
    if (m_window)
        m_window->setBackColor(color);
}

void CTooltip::setTipText(const QString& text) {
    m_tipText = text;
    if (m_window)
        m_window->setText(text);
}
