#pragma once

#include "ui/tooltipwindowsystem.h"

#include <QString>

#include <cstdint>

class QWidget;

// One tooltip window serving one parent window as a single tool: a standard or balloon
// tip with optional title, icon, colours and timing.
class CTooltip
{
public:
    // `system` must outlive the object; nullptr uses TooltipWindowSystem::instance().
    explicit CTooltip(TooltipWindowSystem *system = nullptr);
    ~CTooltip();
    CTooltip(const CTooltip &) = delete;
    CTooltip &operator=(const CTooltip &) = delete;

    // Builds the tip window and registers `ParentHwnd` as its tool; rebuilds an existing one.
    // The result is always false: nothing reads it.
    bool Create(TooltipApi::WindowHandle ParentHwnd);
    // Convenience for Qt windows: the handle of `parent` in the Qt window system.
    bool Create(QWidget *parent);
    // Destroys the tip window if there is one.
    void Destroy();

    std::int32_t Style() const { return m_style; } // 1: balloon
    void setStyle(std::int32_t style) { m_style = style; }
    bool Centered() const { return m_centered; }
    void setCentered(bool centered) { m_centered = centered; }
    std::int32_t Icon() const { return m_icon; }
    void setIcon(std::int32_t icon);
    TooltipApi::ColorRef ForeColor() const { return m_foreColor; }
    void setForeColor(TooltipApi::ColorRef color);
    TooltipApi::ColorRef BackColor() const { return m_backColor; }
    void setBackColor(TooltipApi::ColorRef color);
    QString Title() const { return m_title; }
    void setTitle(const QString &title);
    QString TipText() const { return m_tipText; }
    void setTipText(const QString &text);
    std::int32_t VisibleTime() const { return m_visibleTime; }
    void setVisibleTime(std::int32_t ms) { m_visibleTime = ms; }
    std::int32_t DelayTime() const { return m_delayTime; }
    void setDelayTime(std::int32_t ms) { m_delayTime = ms; }

    // The tip window (0 when none) and the parent given to Create.
    TooltipApi::WindowHandle windowHandle() const { return m_hwnd; }
    TooltipApi::WindowHandle parentHandle() const { return m_parent; }

private:
    void sendTitle();

    TooltipWindowSystem &m_system;
    std::int32_t m_style = 0;
    bool m_centered = false;
    std::int32_t m_icon = 0;
    TooltipApi::ColorRef m_foreColor = 0;
    TooltipApi::ColorRef m_backColor = 0;
    QString m_title;
    QString m_tipText;
    std::int32_t m_visibleTime = 5000;
    std::int32_t m_delayTime = 500;

    TooltipApi::WindowHandle m_hwnd = 0;
    TooltipApi::WindowHandle m_parent = 0;
    TooltipApi::ToolInfo m_toolInfo;
    // The ANSI forms of the texts the window was handed; they outlive every message.
    std::string m_titleAnsi;
    std::string m_tipTextAnsi;
};
