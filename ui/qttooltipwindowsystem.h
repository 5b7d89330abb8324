#pragma once

#include "ui/tooltipwindowsystem.h"

#include <QHash>
#include <QPointer>

#include <memory>

class QWidget;
class TipWindow;

// Tooltip windows drawn by Qt: each handle is a small frameless tip window that shows
// when the pointer rests on its tool window and hides when it leaves or times out.
class QtTooltipWindowSystem : public TooltipWindowSystem
{
public:
    QtTooltipWindowSystem();
    ~QtTooltipWindowSystem() override;

    // The handle that stands for a Qt window in this layer (0 for nullptr).
    static TooltipApi::WindowHandle handleOf(QWidget *widget);
    static QWidget *widgetOf(TooltipApi::WindowHandle handle);

    void initCommonControls() override {}
    TooltipApi::ModuleHandle moduleInstance() const override;
    TooltipApi::WindowHandle createWindow(const TooltipApi::CreateWindowParams &params) override;
    std::intptr_t sendMessage(TooltipApi::WindowHandle window, std::uint32_t message,
                              std::uintptr_t wParam, std::intptr_t lParam) override;
    bool destroyWindow(TooltipApi::WindowHandle window) override;

    // The tip window behind a handle (nullptr when unknown), for inspection.
    TipWindow *tipWindow(TooltipApi::WindowHandle window) const;

private:
    QHash<TooltipApi::WindowHandle, QPointer<TipWindow>> m_windows;
};
