#pragma once

#include "ui/tooltipwindowsystem.h"

#include <QList>
#include <QStringList>

// Records what a tooltip asks of the window system, one line a message, its texts read the
// way the window would read them at the time of the call: "add <text>", "update <text>",
// "title <icon> <text>", "fore <colour>", "back <colour>", "delay <ms>".
class RecordingTooltipSystem : public TooltipWindowSystem
{
public:
    int created = 0;
    QList<TooltipApi::WindowHandle> destroyed;
    QStringList log;

    void initCommonControls() override {}
    TooltipApi::ModuleHandle moduleInstance() const override { return 0x400000; }
    TooltipApi::WindowHandle createWindow(const TooltipApi::CreateWindowParams &) override
    {
        return 0x1000 + created++;
    }
    bool destroyWindow(TooltipApi::WindowHandle window) override
    {
        destroyed.append(window);
        return true;
    }

    std::intptr_t sendMessage(TooltipApi::WindowHandle, std::uint32_t message,
                              std::uintptr_t wParam, std::intptr_t lParam) override
    {
        using namespace TooltipApi;
        const auto text = [](const char *ansi) {
            return QString::fromLatin1(ansi);
        };
        const QString w = QString::number(wParam);
        if (message == TTM_ADDTOOLA || message == TTM_UPDATETIPTEXTA)
            log << (message == TTM_ADDTOOLA ? "add " : "update ") +
                       text(reinterpret_cast<const ToolInfo *>(lParam)->lpszText);
        else if (message == TTM_SETTITLEA)
            log << "title " + w + ' ' + text(reinterpret_cast<const char *>(lParam));
        else if (message == TTM_SETTIPTEXTCOLOR || message == TTM_SETTIPBKCOLOR)
            log << (message == TTM_SETTIPTEXTCOLOR ? "fore " : "back ") + w;
        else if (message == TTM_SETDELAYTIME)
            log << "delay " + QString::number(lParam);
        else
            log << QString::number(message);
        return 1;
    }
};
